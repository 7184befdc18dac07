#pragma once
// The floating-point settings the program computes under.

#include <cstdint>

namespace runtime {

// The start-up control word: extended precision, rounding to nearest,
// invalid operation, division by zero and overflow raising a fault;
// denormal operands, underflow and inexact results masked.
constexpr std::uint16_t StartupControlWord = 0x1332;

// Resets the floating-point unit and loads the start-up control word.
void resetFloatingPoint();

}  // namespace runtime
