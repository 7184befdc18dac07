// A driver that does one faulting thing, named by its first argument, under
// the program's own start-up, so that each row of the fault table can be seen
// from outside.  The operands are volatile: the compiler must not work the
// faults out, or away, while building.
//
//   fault_fixture CASE [ARGUMENT]
//
// A case that does not fault ends normally, with exit status 0 and no output.
// An unknown case ends with exit status 1.

#include <cfloat>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <string_view>

#include "runtime/host/host.hpp"
#include "runtime/round_to_whole.hpp"
#include "runtime/runtime_error.hpp"
#include "runtime/standard_streams.hpp"
#include "runtime/startup.hpp"

namespace {

std::string_view caseName;  // the first argument
const char* caseArgument;   // the second argument, or null

// A store the compiler must keep, so every result below is computed.
template <typename T>
void keep(T value) {
  volatile T kept = value;
  (void)kept;
}

// 1 / 0 in double arithmetic (SSE).
[[gnu::noinline]] void divideDouble() {
  volatile double one = 1.0, zero = 0.0;
  keep(one / zero);
}

// 1 / 0 in extended arithmetic (x87).
[[gnu::noinline]] void divideExtended() {
  volatile long double one = 1.0L, zero = 0.0L;
  keep(one / zero);
}

// 1 / 0 in 32-bit integers.
[[gnu::noinline]] void divideInteger() {
  volatile int one = 1, zero = 0;
  // cppcheck-suppress zerodiv
  keep(one / zero);  // NOLINT(clang-analyzer-core.DivideZero): the fault wanted
}

// The square root of -1, extended, through the C library as the program's
// own arithmetic takes it.
[[gnu::noinline]] void rootOfNegative() {
  volatile long double negative = -1.0L;
  // cppcheck-suppress invalidFunctionArg
  keep(std::sqrt(negative));
}

// 0 / 0 in double arithmetic: an invalid operation.
[[gnu::noinline]] void zeroByZeroDouble() {
  volatile double zero = 0.0;
  // cppcheck-suppress duplicateExpression
  keep(zero / zero);
}

// The largest double squared.
[[gnu::noinline]] void overflowDouble() {
  volatile double largest = DBL_MAX;
  keep(largest * largest);
}

// The largest extended value squared.
[[gnu::noinline]] void overflowExtended() {
  volatile long double largest = LDBL_MAX;
  keep(largest * largest);
}

// The routines below that only execute an instruction of their own keep a
// value too: without it the compiler gives them no frame, and the back-trace,
// which starts at the faulting frame, would miss their return point.

// Nine loads onto the eight registers of the x87 stack; the wait raises the
// stack fault the ninth left pending.
[[gnu::noinline]] void x87StackFault() {
  keep(0);
  asm volatile(
      "fld1\n\tfld1\n\tfld1\n\tfld1\n\tfld1\n\tfld1\n\tfld1\n\tfld1\n\t"
      "fld1\n\tfwait"
      :
      :
      : "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)");
}

// Underflowing results and denormal operands, in both units: masked, so the
// run goes on.
[[gnu::noinline]] void underflow() {
  volatile double smallest = DBL_MIN, denormal = DBL_TRUE_MIN;
  volatile long double smallestExtended = LDBL_MIN, denormalExtended = LDBL_TRUE_MIN;
  keep(smallest * smallest);
  keep(denormal * 0.5);
  keep(smallestExtended * smallestExtended);
  keep(denormalExtended * 0.5L);
}

// Inexact results in both units: masked, so the run goes on.
[[gnu::noinline]] void inexact() {
  volatile double one = 1.0, three = 3.0;
  volatile long double oneExtended = 1.0L, threeExtended = 3.0L;
  keep(one / three);
  keep(oneExtended / threeExtended);
}

// An inexact result with that exception unmasked: not a fault the program
// converts, so the system's handling ends the run.
[[gnu::noinline]] void unmaskedInexact() {
  std::uint32_t mxcsr;
  asm volatile("stmxcsr %0" : "=m"(mxcsr));
  mxcsr &= ~(1u << 12);  // the precision mask
  asm volatile("ldmxcsr %0" : : "m"(mxcsr));
  volatile double one = 1.0, three = 3.0;
  keep(one / three);
}

// A fault signal that another party sends, not the processor: left to the
// system's handling.
[[gnu::noinline]] void sentFaultSignal() {
  static_cast<void>(std::raise(SIGSEGV));
}

// A store through a null pointer.
[[gnu::noinline]] void nullPointer() {
  volatile int* volatile nowhere = nullptr;
  // cppcheck-suppress nullPointer
  *nowhere = 1;  // NOLINT(clang-analyzer-core.NullDereference): the fault wanted
}

// HLT, which only the kernel may execute.
[[gnu::noinline]] void privilegedInstruction() {
  keep(0);
  asm volatile("hlt");
}

// UD2, the instruction defined to be undefined.
[[gnu::noinline]] void illegalInstruction() {
  keep(0);
  asm volatile("ud2");
}

// INT3, a breakpoint with no debugger to take it.
[[gnu::noinline]] void breakpoint() {
  keep(0);
  asm volatile("int3");
}

// Sets the trap flag: the processor stops after the next instruction.
[[gnu::noinline]] void singleStep() {
  keep(0);
  asm volatile("pushfq\n\torq $0x100, (%%rsp)\n\tpopfq\n\tnop" ::: "cc");
}

// Round to a whole number of a value whose nearest whole is out of range.
[[gnu::noinline]] void roundTooLarge() {
  volatile long double beyond = 2147483647.5L;  // a tie that rounds to 2^31
  keep(runtime::roundToWhole(beyond));
}

// Calls itself `levels` times, then dereferences null; a negative count goes
// on until the stack runs out.  The work after the call keeps each level's
// frame alive.
[[gnu::noinline]] void descend(long levels) {
  volatile long here = levels;
  if (levels == 0)
    nullPointer();
  else
    descend(levels - 1);
  keep(here + 0);
}

// Recursion until the stack runs out.
[[gnu::noinline]] void endlessRecursion() {
  descend(-1);
}

// A null-pointer fault as many levels down as the decimal argument says.
[[gnu::noinline]] void deepFault() {
  long levels = 0;
  for (const char* digit = caseArgument; digit != nullptr && *digit != '\0'; ++digit)
    levels = levels * 10 + (*digit - '0');
  descend(levels);
}

// Writes a few bytes to a report file, fewer than its buffer holds, then
// faults: nothing was handed over, so the file must stay empty.
[[gnu::noinline]] void bufferedThenFault() {
  using namespace runtime;
  bindName(reportStream, caseArgument != nullptr ? caseArgument : "");
  openForWriting(reportStream);
  ioCheck();
  writeString(reportStream, "bytes still in the buffer");
  endLine(reportStream);
  ioCheck();
  divideDouble();
}

struct Case {
  std::string_view name;
  void (*run)();
};

// There is no integer-overflow case: x86-64 has no instruction that traps on
// it (INTO is invalid in 64-bit mode).
constexpr Case cases[] = {
    {"divide-double", divideDouble},
    {"divide-extended", divideExtended},
    {"divide-integer", divideInteger},
    {"root-of-negative", rootOfNegative},
    {"zero-by-zero", zeroByZeroDouble},
    {"overflow-double", overflowDouble},
    {"overflow-extended", overflowExtended},
    {"x87-stack-fault", x87StackFault},
    {"underflow", underflow},
    {"inexact", inexact},
    {"unmasked-inexact", unmaskedInexact},
    {"sent-signal", sentFaultSignal},
    {"null-pointer", nullPointer},
    {"privileged", privilegedInstruction},
    {"illegal", illegalInstruction},
    {"breakpoint", breakpoint},
    {"single-step", singleStep},
    {"round-too-large", roundTooLarge},
    {"endless", endlessRecursion},
    {"deep", deepFault},
    {"buffered", bufferedThenFault},
};

// The driver: runs the case the arguments name, between the run-time
// initialisation and the normal end.
void faultDriver() {
  runtime::runtimeInit();
  for (const Case& each : cases) {
    if (each.name == caseName) {
      each.run();
      runtime::normalEnd();
    }
  }
  runtime::host::exitProcess(1);
}

}  // namespace

int main(int argc, char** argv) {
  caseName = argc > 1 ? argv[1] : "";
  caseArgument = argc > 2 ? argv[2] : nullptr;
  runtime::startProgram(faultDriver);
}
