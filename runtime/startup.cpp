// The start-up.

#include "runtime/startup.hpp"

#include "runtime/fault_conversion.hpp"
#include "runtime/floating_point.hpp"
#include "runtime/host/host.hpp"
#include "runtime/runtime_error.hpp"

namespace runtime {

[[gnu::noinline]] void startProgram(void (*driver)()) {
  host::prepareProcess();
  host::installFaultHook(convertFault);
  resetFloatingPoint();
  // The driver's caller link is this routine's own level: back-traces end
  // with the driver's return point into it.
  setOutermostLink(static_cast<const CallLevel*>(__builtin_frame_address(0)));
  driver();
  normalEnd();
}

}  // namespace runtime
