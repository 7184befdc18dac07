#pragma once
// The tests' exact decimal reference, behind a call into a library of its own
// that is built without instrumentation.

#include <cstdint>
#include <string>

namespace fuzz {

// The text exact_decimal_reference::realText gives for these fields.
std::string exactReferenceText(bool negative, std::uint16_t exponentField,
                               std::uint64_t significand, std::int32_t width,
                               std::int32_t decimals);

}  // namespace fuzz
