// Round to a whole number, ties to even, independent of the rounding mode.

#include "runtime/round_to_whole.hpp"

#include <cmath>

#include "runtime/call_level.hpp"
#include "runtime/host/host.hpp"
#include "runtime/runtime_error.hpp"

namespace runtime {

std::int32_t roundToWhole(long double value) {
  // Beyond this bound nothing rounds into range; within it floor and the
  // fraction are exact.  The NaN test comes first: it is a quiet comparison.
  if (!std::isnan(value) && std::fabs(value) <= 2147483649.0L) {
    const long double floor = std::floor(value);
    const long double fraction = value - floor;
    std::int64_t whole = static_cast<std::int64_t>(floor);
    if (fraction > 0.5L || (fraction == 0.5L && (whole & 1) != 0)) ++whole;
    if (whole >= INT32_MIN && whole <= INT32_MAX) return static_cast<std::int32_t>(whole);
  }
  // The invalid-operation error, reported where the conversion was asked for,
  // from the caller's level.
  runtimeError(host::InvalidFloatingOperation, host::codeLocation(__builtin_return_address(0)),
               static_cast<const CallLevel*>(host::callerFrame(__builtin_frame_address(0))));
}

}  // namespace runtime
