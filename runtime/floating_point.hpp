#pragma once
// The floating-point settings the program computes under.

#include <cstdint>

namespace runtime {

// The start-up control word: extended precision, rounding to nearest,
// invalid operation, division by zero and overflow raising a fault;
// denormal operands, underflow and inexact results masked.
constexpr std::uint16_t StartupControlWord = 0x1332;

// The SSE counterpart of the start-up control word, so that double arithmetic
// faults as extended arithmetic does: rounding to nearest, no flushing to
// zero, invalid operation (bit 7), division by zero (bit 9) and overflow
// (bit 10) unmasked, denormal operands, underflow and inexact results masked,
// and no exception flag set.
constexpr std::uint32_t StartupMxcsr = 0x1900;

// Resets the floating-point unit, clearing every pending exception, and loads
// the start-up control word and its SSE counterpart.
void resetFloatingPoint();

}  // namespace runtime
