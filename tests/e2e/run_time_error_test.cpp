// Failing input and output: the error report on standard output, its exit
// status, and that a failed open leaves every file as it was.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>

#include "expected_report.hpp"
#include "program_under_test.hpp"

namespace e2e {
namespace {

// `text` as the error report of an I/O check: its back-trace is the
// location's own line and one return point, the driver's into the start-up.
std::optional<ErrorReport> ioCheckReport(const std::string& text) {
  std::optional<ErrorReport> parsed = parseErrorReport(text);
  if (!parsed || parsed->trace.size() != 2 || parsed->trace.front() != parsed->location)
    return std::nullopt;
  return parsed;
}

// The return point of an I/O check's report.
const std::string& returnPoint(const ErrorReport& report) {
  return report.trace.back();
}

// What standard output holds after the prompt.
std::string afterPrompt(const Outcome& outcome) {
  if (outcome.output.rfind(promptText, 0) != 0) return "(no prompt) " + outcome.output;
  return outcome.output.substr(promptText.size());
}

// The files every failing run finds in its working folder, with their bytes.
const std::map<std::string, std::string> filesPresent = {
    {"plain.txt", "plain contents\r\n"},
    {"held.txt", "held contents\r\n"},  // held open by another process
};

struct FailureCase {
  const char* name;
  std::string reply;
  int error;
  int exitStatus;  // the error number, or 255 for one an 8-bit status cannot hold
  Output standardOutput;
  bool posixOnly = false;

  friend void PrintTo(const FailureCase& row, std::ostream* out) { *out << row.name; }
};

const FailureCase failureCases[] = {
    {"MissingFolder", "missing/report.txt\r\n", 3, 3, Output::pipe()},
    {"FileUsedAsFolder", "plain.txt/report.txt\r\n", 3, 3, Output::pipe()},
    {"Folder", "folder\r\n", 5, 5, Output::pipe()},
    {"FileHeldByAnotherProcess", "held.txt\r\n", 5, 5, Output::pipe()},
    {"FullDevice", "/dev/full\r\n", 101, 101, Output::pipe()},
    // The empty line before the prompt fails; the error report is lost too.
    {"OutputCannotBeWritten", "report.txt\r\n", 101, 101, Output::file("/dev/full")},
    // A symbolic link to itself: a system code above 255, so the status is 255
    // while the report keeps the full number.
    {"LinkLoopNumberAbove255", "loop\r\n", 1921, 255, Output::pipe(), true},
};

class Failure : public testing::TestWithParam<FailureCase> {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(scratch.path() / "folder");
    for (const auto& [name, bytes] : filesPresent) scratch.write(name, bytes);
    if (windowsHost()) {
      // Only a process of the program's host holds a file against it: Wine's
      // command interpreter, with held.txt open as its standard error, shows
      // its prompt and waits for a line.
      holder.emplace(hostCommand({"cmd", "/c", "set /p line=held 2>>held.txt"}), scratch.path(),
                     Input::heldOpen(), Output::pipe());
      ASSERT_NE(holder->readOutputUntil("held").find("held"), std::string::npos);
    } else {
      std::filesystem::create_symlink("loop", scratch.path() / "loop");
      heldFile = ::open((scratch.path() / "held.txt").c_str(), O_RDONLY | O_CLOEXEC);
      ASSERT_GE(heldFile, 0);
      ASSERT_EQ(::flock(heldFile, LOCK_EX | LOCK_NB), 0);
    }
  }
  void TearDown() override {
    if (heldFile >= 0) ::close(heldFile);
    if (holder) holder->finish();
  }

  ScratchDirectory scratch;
  int heldFile = -1;              // POSIX: held.txt under the test's own lock
  std::optional<Process> holder;  // Windows: the process holding held.txt open
};

TEST_P(Failure, EndsWithTheErrorReportAndItsNumber) {
  const FailureCase& row = GetParam();
  if (row.posixOnly && windowsHost()) GTEST_SKIP() << "symbolic links of the POSIX host";
  const std::set<std::string> contentsBefore = scratch.contents();

  const Outcome outcome = runProgram(scratch, Input::of(row.reply), row.standardOutput);

  EXPECT_TRUE(outcome.exitedWith(row.exitStatus)) << outcome.describe();
  EXPECT_EQ(outcome.errorOutput, "");
  if (row.standardOutput.kind == Output::Kind::Pipe) {
    const std::string report = afterPrompt(outcome);
    const std::optional<ErrorReport> parsed = ioCheckReport(report);
    ASSERT_TRUE(parsed) << "not an error report: " << testing::PrintToString(report);
    EXPECT_EQ(parsed->number, row.error);
    EXPECT_NE(parsed->location, "00000000");
    EXPECT_NE(returnPoint(*parsed), "00000000");
  }
  // Nothing was created, emptied or written.
  EXPECT_EQ(scratch.contents(), contentsBefore);
  for (const auto& [name, bytes] : filesPresent) EXPECT_EQ(scratch.read(name), bytes) << name;
}

INSTANTIATE_TEST_SUITE_P(Cases, Failure, testing::ValuesIn(failureCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The location names the I/O check that failed, the same on every run; the
// return point is where the driver was started from, whatever failed.
TEST(ErrorReport, LocationNamesTheFailingStatement) {
  ScratchDirectory scratch;
  std::filesystem::create_directory(scratch.path() / "folder");
  const auto reportFor = [&](const char* reply) {
    const Outcome outcome = runProgram(scratch, Input::of(reply));
    EXPECT_EQ(outcome.errorOutput, "");
    return afterPrompt(outcome);
  };
  const std::string missingFolder = reportFor("missing/report.txt\r\n");
  const std::string missingFolderAgain = reportFor("missing/report.txt\r\n");
  const std::optional<ErrorReport> atOpen = ioCheckReport(missingFolder);
  const std::optional<ErrorReport> alsoAtOpen = ioCheckReport(reportFor("folder\r\n"));
  const std::optional<ErrorReport> atFirstLine = ioCheckReport(reportFor("/dev/full\r\n"));
  ASSERT_TRUE(atOpen && alsoAtOpen && atFirstLine);

  EXPECT_EQ(missingFolderAgain, missingFolder);
  EXPECT_EQ(alsoAtOpen->location, atOpen->location);
  EXPECT_NE(atFirstLine->location, atOpen->location);
  EXPECT_EQ(returnPoint(*alsoAtOpen), returnPoint(*atOpen));
  EXPECT_EQ(returnPoint(*atFirstLine), returnPoint(*atOpen));
}

// A reader of standard output that leaves once it has the prompt.  Writing
// the report there fails with 101 (the error report is lost with it); a report
// bound for a file needs nothing more from standard output.
struct ReaderGoneCase {
  const char* name;
  std::string reply;
  int status;

  friend void PrintTo(const ReaderGoneCase& row, std::ostream* out) { *out << row.name; }
};

const ReaderGoneCase readerGoneCases[] = {
    {"ReportToStandardOutputFails", "\r\n", 101},
    {"ReportToFileIsUnaffected", "report.txt\r\n", 0},
};

class ReaderGone : public testing::TestWithParam<ReaderGoneCase> {
 protected:
  ScratchDirectory scratch;
};

TEST_P(ReaderGone, AfterThePrompt) {
  const ReaderGoneCase& row = GetParam();
  Process program(programCommand(), scratch.path(), Input::heldOpen(), Output::pipe());
  ASSERT_EQ(program.readOutputUntil(promptText), promptText);
  program.closeOutput();
  program.send(row.reply);
  const Outcome outcome = program.finish();

  EXPECT_TRUE(outcome.exitedWith(row.status)) << outcome.describe();
  EXPECT_EQ(outcome.errorOutput, "");
  if (row.status == 0) {
    EXPECT_EQ(scratch.read("report.txt"), reportText);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ReaderGone, testing::ValuesIn(readerGoneCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
