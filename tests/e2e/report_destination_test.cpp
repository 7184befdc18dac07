// The whole report, byte for byte, at each kind of destination: a file named
// in the reply, or standard output as a pipe, a file or a terminal.

#include <gtest/gtest.h>

#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "expected_report.hpp"
#include "program_under_test.hpp"

namespace e2e {
namespace {

struct DestinationCase {
  const char* name;
  Output standardOutput;
  std::string reply;
  bool reportToFile;                        // the report goes to report.txt
  std::string oldReport;                    // report.txt before the run; empty: none
  std::vector<std::string> arguments = {};  // accepted and ignored

  friend void PrintTo(const DestinationCase& row, std::ostream* out) { *out << row.name; }
};

const std::string longerOldReport(2000, 'x');

const DestinationCase destinationCases[] = {
    // name                           standard output             reply             to file  old
    // report
    {"FileNamedInReply", Output::pipe(), "report.txt\r\n", true, ""},
    {"FileIsEmptiedFirst", Output::pipe(), "report.txt\r\n", true, longerOldReport},
    {"FileWhileOutputIsATerminal", Output::terminal(), "report.txt\r\n", true, ""},
    {"OutputPipe", Output::pipe(), "\r\n", false, ""},
    {"OutputFile", Output::file("stdout.txt"), "\r\n", false, ""},
    {"OutputTerminal", Output::terminal(), "\r\n", false, ""},
    {"ArgumentsNamingAFileAreIgnored",
     Output::pipe(),
     "\r\n",
     false,
     "",
     {"report.txt", "--output", "report.txt", "-h"}},
};

class ReportDestination : public testing::TestWithParam<DestinationCase> {
 protected:
  ScratchDirectory scratch;
};

TEST_P(ReportDestination, ReceivesEveryByteOfTheReport) {
  const DestinationCase& row = GetParam();
  if (const char* reason = whyOutputIsHidden(row.standardOutput)) GTEST_SKIP() << reason;
  std::set<std::string> expectedContents;
  if (!row.oldReport.empty()) scratch.write("report.txt", row.oldReport);
  if (row.reportToFile) expectedContents.insert("report.txt");
  if (row.standardOutput.kind == Output::Kind::Path)
    expectedContents.insert(row.standardOutput.path.string());

  const Outcome outcome =
      runProgram(scratch, Input::of(row.reply), row.standardOutput, row.arguments);

  ASSERT_TRUE(outcome.exitedWith(0)) << outcome.describe();
  EXPECT_EQ(outcome.errorOutput, "");
  const std::string standardOutput = row.standardOutput.kind == Output::Kind::Path
                                         ? scratch.read(row.standardOutput.path)
                                         : outcome.output;
  EXPECT_EQ(standardOutput,
            std::string(promptText) + std::string(row.reportToFile ? "" : reportText));
  if (row.reportToFile) {
    EXPECT_EQ(scratch.read("report.txt"), reportText);
  }
  EXPECT_EQ(scratch.contents(), expectedContents);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReportDestination, testing::ValuesIn(destinationCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
