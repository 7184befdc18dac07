#pragma once
// The conversion of processor faults into run-time errors.

#include "runtime/host/host.hpp"

namespace runtime {

// Turns `fault` into its run-time error at the faulting instruction, with the
// back-trace from the level that was running; for a floating-point fault the
// unit is reset to the start-up settings first.  Never returns.
[[noreturn]] void convertFault(const host::Fault& fault);

}  // namespace runtime
