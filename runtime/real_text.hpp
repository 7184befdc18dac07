#pragma once
// Real-number text of an extended value: fixed form with a count of decimals,
// or scientific form, right-aligned in a minimum field width.  The digits are
// exact: the decimal value of the extended number rounded half away from zero
// at the last position written, within a budget of 17 significant digits.

#include <cstddef>
#include <cstdint>
#include <string>

#include "runtime/short_string.hpp"

namespace runtime {

// Writes the text of `value` into `out` (room for MaxTextLength) and returns
// its length.  `decimals` of 0 or more selects the fixed form (above 17 counts
// as 17), a negative count the scientific form; `width` is a minimum, never
// padded beyond MaxTextLength.  Reads the value's bits only, so it never
// raises a floating-point exception.
std::size_t formatReal(long double value, std::int32_t width, std::int32_t decimals, char* out);

// The text of `value`, as formatReal writes it.
std::string realText(long double value, std::int32_t width, std::int32_t decimals);

}  // namespace runtime
