// The conversion continuation.

#include "runtime/fault_conversion.hpp"

#include "runtime/floating_point.hpp"
#include "runtime/runtime_error.hpp"

namespace runtime {

void convertFault(const host::Fault& fault) {
  if (fault.floatingPoint) resetFloatingPoint();
  runtimeError(fault.errorNumber, host::codeLocation(fault.instruction),
               static_cast<const CallLevel*>(fault.frame));
}

}  // namespace runtime
