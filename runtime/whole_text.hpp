#pragma once
// Whole-number text: "-" for a negative value, then the decimal digits of the
// magnitude without leading zeros.

#include <cstddef>
#include <cstdint>
#include <string>

namespace runtime {

// Characters the text of a signed 32-bit value can need: a sign and 10 digits.
constexpr std::size_t MaxWholeTextLength = 11;

// Writes the text of `value` into `out` (room for MaxWholeTextLength) and
// returns its length.  Safe in a signal handler.
std::size_t formatWhole(std::int32_t value, char* out);

// The text of `value`.
std::string wholeText(std::int32_t value);

}  // namespace runtime
