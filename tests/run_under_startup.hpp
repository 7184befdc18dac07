#pragma once
// Runs a driver on the start-up, as the program runs its own, and returns the
// exit code the run ended with.

#include <cstdint>

#include "runtime/startup.hpp"
#include "tests/fake_host.hpp"

namespace fake {

inline std::uint16_t runUnderStartup(void (*driver)()) {
  std::uint16_t code = 0xFFFF;
  try {
    runtime::startProgram(driver);
  } catch (const ProcessExit& exit) {
    code = exit.code;
  }
#if defined(__x86_64__) || defined(__i386__)
  // The test process goes on with the default floating-point settings.
  const std::uint16_t defaultControlWord = 0x037F;
  asm volatile("fninit\n\tfldcw %0" : : "m"(defaultControlWord));
#endif
#if defined(__x86_64__)
  const std::uint32_t defaultMxcsr = 0x1F80;
  asm volatile("ldmxcsr %0" : : "m"(defaultMxcsr));
#endif
  return code;
}

}  // namespace fake
