// Processor faults become numbered run-time errors: the fault fixture does
// one faulting thing per run, and the error report, exit status and files it
// leaves are checked against the fault table.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "process_runner.hpp"
#include "program_under_test.hpp"

namespace e2e {
namespace {

// The command that starts the fixture (GEOBUDGET_FAULT_FIXTURE) with
// `arguments`.
std::vector<std::string> fixtureCommand(const std::vector<std::string>& arguments) {
  return testedCommand("GEOBUDGET_FAULT_FIXTURE", arguments);
}

// How a run of the fixture ends.
struct Ending {
  enum class Kind {
    Report,  // the error report of run-time error `number`, and that exit status
    Clean,   // exit status 0 and no output
    System,  // the system's handling, with no report; on POSIX by signal `number`
  };
  Kind kind;
  int number;
  int traceLines;  // Report: back-trace lines after the location's own line
};

constexpr Ending report(int number, int traceLines) {
  return {Ending::Kind::Report, number, traceLines};
}
constexpr Ending clean() {
  return {Ending::Kind::Clean, 0, 0};
}
constexpr Ending bySystem(int signal) {
  return {Ending::Kind::System, signal, 0};
}

struct FaultCase {
  const char* name;
  std::vector<std::string> arguments;  // the fixture's case and its argument
  Output standardOutput;
  Ending posix;
  Ending windows;  // where the Windows build differs, as its fault codes do

  friend void PrintTo(const FaultCase& row, std::ostream* out) { *out << row.name; }
};

const Output piped = Output::pipe();
const Output terminal = Output::terminal();

// A fault in a routine the driver called shows two return points: the
// routine's into the driver and the driver's into the start-up.  No case
// raises integer overflow (215): x86-64 has no instruction that traps on it.
// clang-format off
const FaultCase faultCases[] = {
    // name                 fixture arguments        output    POSIX              Windows
    {"DivideDouble",        {"divide-double"},       piped,    report(200, 2),    report(200, 2)},
    {"DivideExtended",      {"divide-extended"},     piped,    report(200, 2),    report(200, 2)},
    {"DivideInteger",       {"divide-integer"},      piped,    report(200, 2),    report(200, 2)},
    {"RootOfNegative",      {"root-of-negative"},    piped,    report(207, 2),    report(207, 2)},
    {"ZeroByZeroDouble",    {"zero-by-zero"},        piped,    report(207, 2),    report(207, 2)},
    {"X87StackFault",       {"x87-stack-fault"},     piped,    report(207, 2),    report(207, 2)},
    {"RoundTooLarge",       {"round-too-large"},     piped,    report(207, 2),    report(207, 2)},
    {"OverflowDouble",      {"overflow-double"},     piped,    report(205, 2),    report(205, 2)},
    {"OverflowExtended",    {"overflow-extended"},   piped,    report(205, 2),    report(205, 2)},
    {"NullPointer",         {"null-pointer"},        piped,    report(216, 2),    report(216, 2)},
    // A general protection fault on Linux, a privileged instruction on Windows.
    {"Privileged",          {"privileged"},          piped,    report(216, 2),    report(217, 2)},
    {"IllegalInstruction",  {"illegal"},             piped,    report(217, 2),    report(217, 2)},
    {"SingleStep",          {"single-step"},         piped,    report(217, 2),    report(217, 2)},
    // Windows has no row for a breakpoint.
    {"Breakpoint",          {"breakpoint"},          piped,    report(217, 2),    bySystem(0)},
    // More levels than a back-trace shows.
    {"EndlessRecursion",    {"endless"},             piped,    report(202, 257),  report(202, 257)},
    {"DeepFaultPiped",      {"deep", "300"},         piped,    report(216, 257),  report(216, 257)},
    {"DeepFaultOnTerminal", {"deep", "300"},         terminal, report(216, 9),    report(216, 9)},
    // The report file keeps only what was handed over: nothing.
    {"BufferedBytesLost",   {"buffered", "out.txt"}, piped,    report(200, 2),    report(200, 2)},
    // Masked: the run goes on.
    {"Underflow",           {"underflow"},           piped,    clean(),           clean()},
    {"Inexact",             {"inexact"},             piped,    clean(),           clean()},
    // Not faults of the table: the system's handling ends the run.
    {"UnmaskedInexact",     {"unmasked-inexact"},    piped,    bySystem(SIGFPE),  bySystem(0)},
    {"SentFaultSignal",     {"sent-signal"},         piped,    bySystem(SIGSEGV), bySystem(0)},
};
// clang-format on

class Fault : public testing::TestWithParam<FaultCase> {
 protected:
  // Endless recursion must end soon whatever stack limit the tests run under,
  // and the runs the system ends must leave no core files.
  static void SetUpTestSuite() {
    constexpr rlim_t StackLimit = 8 << 20;
    rlimit stack{};
    if (getrlimit(RLIMIT_STACK, &stack) == 0 && stack.rlim_cur > StackLimit) {
      stack.rlim_cur = StackLimit;
      setrlimit(RLIMIT_STACK, &stack);
    }
    rlimit core{};
    if (getrlimit(RLIMIT_CORE, &core) == 0) {
      core.rlim_cur = 0;
      setrlimit(RLIMIT_CORE, &core);
    }
  }

  ScratchDirectory scratch;
};

TEST_P(Fault, EndsAsTheFaultTableSays) {
  const FaultCase& row = GetParam();
  const Ending& ending = windowsHost() ? row.windows : row.posix;
  if (const char* reason = whyOutputIsHidden(row.standardOutput)) GTEST_SKIP() << reason;

  const Outcome outcome =
      run(fixtureCommand(row.arguments), scratch.path(), Input::of(""), row.standardOutput);

  // Wine notes on standard error an exception it is left to handle.
  if (!(ending.kind == Ending::Kind::System && windowsHost())) {
    EXPECT_EQ(outcome.errorOutput, "");
  }
  switch (ending.kind) {
    case Ending::Kind::Report: {
      // Every number of the table fits an exit status as it is.
      EXPECT_TRUE(outcome.exitedWith(ending.number)) << outcome.describe();
      const std::optional<ErrorReport> parsed = parseErrorReport(outcome.output);
      ASSERT_TRUE(parsed) << "not an error report: " << testing::PrintToString(outcome.output);
      EXPECT_EQ(parsed->number, ending.number);
      ASSERT_FALSE(parsed->trace.empty());
      EXPECT_EQ(parsed->trace.front(), parsed->location);
      EXPECT_EQ(parsed->trace.size() - 1, static_cast<std::size_t>(ending.traceLines));
      break;
    }
    case Ending::Kind::Clean:
      EXPECT_TRUE(outcome.exitedWith(0)) << outcome.describe();
      EXPECT_EQ(outcome.output, "");
      break;
    case Ending::Kind::System:
      EXPECT_FALSE(outcome.exitedWith(0)) << outcome.describe();
      if (ending.number != 0) {
        EXPECT_EQ(outcome.signal, ending.number) << outcome.describe();
      }
      EXPECT_EQ(outcome.output, "");
      break;
  }
  // No case hands a byte of a file over, so every file a run leaves is empty.
  for (const std::string& name : scratch.contents()) EXPECT_EQ(scratch.read(name), "") << name;
}

INSTANTIATE_TEST_SUITE_P(Cases, Fault, testing::ValuesIn(faultCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
