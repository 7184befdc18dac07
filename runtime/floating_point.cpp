// Floating-point unit set-up.  Only x86 has the extended unit the control
// word describes; elsewhere the processor's defaults stand.

#include "runtime/floating_point.hpp"

namespace runtime {

void resetFloatingPoint() {
#if defined(__x86_64__) || defined(__i386__)
  const std::uint16_t controlWord = StartupControlWord;
  asm volatile("fninit\n\tfldcw %0" : : "m"(controlWord));
#endif
#if defined(__x86_64__)
  // Every x86-64 processor has SSE, and double arithmetic runs on it.
  const std::uint32_t mxcsr = StartupMxcsr;
  asm volatile("ldmxcsr %0" : : "m"(mxcsr));
#endif
}

}  // namespace runtime
