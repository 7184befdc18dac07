#pragma once
// Round to a whole number: the conversion every printed figure goes through.

#include <cstdint>

namespace runtime {

// `value` rounded to the nearest 32-bit signed integer, ties to even, whatever
// rounding mode the caller has set.  A NaN, an infinity or a value that rounds
// outside -2147483648..2147483647 ends the program with run-time error 207.
[[gnu::noinline]] std::int32_t roundToWhole(long double value);

}  // namespace runtime
