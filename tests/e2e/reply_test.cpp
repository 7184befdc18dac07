// The prompt and the reply: the question is out before the program waits for
// the answer, and the first input line, as typed, picks the destination.

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <set>
#include <string>

#include "expected_report.hpp"
#include "program_under_test.hpp"

namespace e2e {
namespace {

using namespace std::string_literals;

// The prompt must reach the reader while the program waits for the reply; the
// test sends nothing until the whole prompt has arrived.
class PromptBeforeReply : public testing::TestWithParam<Output> {
 protected:
  ScratchDirectory scratch;
};

TEST_P(PromptBeforeReply, ArrivesWhileTheProgramWaits) {
  if (const char* reason = whyOutputIsHidden(GetParam())) GTEST_SKIP() << reason;
  Process program(programCommand(), scratch.path(), Input::heldOpen(), GetParam());
  EXPECT_EQ(program.readOutputUntil(promptText), promptText);
  program.send("report.txt\r\n");
  const Outcome outcome = program.finish();

  ASSERT_TRUE(outcome.exitedWith(0)) << outcome.describe();
  EXPECT_EQ(outcome.errorOutput, "");
  EXPECT_EQ(outcome.output, promptText);
  EXPECT_EQ(scratch.read("report.txt"), reportText);
}

INSTANTIATE_TEST_SUITE_P(Cases, PromptBeforeReply,
                         testing::Values(Output::pipe(), Output::terminal()), [](const auto& info) {
                           return info.param.kind == Output::Kind::Pipe ? "Pipe" : "Terminal";
                         });

// Where the reply sends the report.
struct Destination {
  enum class Kind { File, StandardOutput, RunTimeError, Unsettled };
  Kind kind;
  std::string file;  // File: its name, relative to the working folder
  int error = 0;     // RunTimeError: its number

  static Destination fileNamed(std::string name) { return {Kind::File, std::move(name)}; }
  static Destination standardOutput() { return {Kind::StandardOutput, {}}; }
  static Destination runTimeError(int error) { return {Kind::RunTimeError, {}, error}; }
  // Not yet observed on that host; the case is skipped there.
  static Destination unsettled() { return {Kind::Unsettled, {}}; }
};

struct ReplyCase {
  const char* name;
  Input input;
  Destination expected;
  std::optional<Destination> onWindows = std::nullopt;  // when that host differs

  friend void PrintTo(const ReplyCase& row, std::ostream* out) { *out << row.name; }
};

// A name of 255 bytes, the most one reply holds and one folder entry takes.
const std::string longestName = std::string(251, 'n') + ".txt";

const ReplyCase replyCases[] = {
    // Line ends; nothing after the first line is used.
    {"CrLfEndsTheReply", Input::of("report.txt\r\nother.txt\r\n"),
     Destination::fileNamed("report.txt")},
    {"LfEndsTheReply", Input::of("report.txt\nother.txt\n"), Destination::fileNamed("report.txt")},
    {"CrEndsTheReply", Input::of("report.txt\rother.txt\r"), Destination::fileNamed("report.txt")},
    {"InputEndEndsTheReply", Input::of("report.txt"), Destination::fileNamed("report.txt")},

    // The 255-byte limit: the rest of a longer line is dropped, line end included.
    {"LineOf256KeepsFirst255", Input::of(longestName + "X\r\n"),
     Destination::fileNamed(longestName),
     Destination::fileNamed(longestName)},  // Wine lets the full path pass MAX_PATH
    {"LineOf300KeepsFirst255", Input::of(longestName + std::string(45, 'z') + "\r\nother.txt\r\n"),
     Destination::fileNamed(longestName)},

    // The name is used as typed.
    {"SubstituteByteIsPartOfTheName", Input::of("re\x1Aport.txt\r\n"),
     Destination::fileNamed("re\x1Aport.txt"),
     Destination::runTimeError(123)},  // control bytes are not allowed in Windows names
    {"BlanksAreKept", Input::of("  report.txt  \r\n"), Destination::fileNamed("  report.txt  "),
     Destination::fileNamed("  report.txt")},  // Windows drops trailing blanks of a name
    {"BlanksOnlyNameAFile", Input::of("   \r\n"), Destination::fileNamed("   "),
     Destination::runTimeError(3)},  // dropping trailing blanks leaves no name
    {"NulEndsTheName", Input::of("report.txt\0other.txt\r\n"s),
     Destination::fileNamed("report.txt")},
    {"SlashSeparatesFolders", Input::of("sub/report.txt\r\n"),
     Destination::fileNamed("sub/report.txt")},
    {"BackslashIsAnOrdinaryByte", Input::of("sub\\report.txt\r\n"),
     Destination::fileNamed("sub\\report.txt"),
     Destination::fileNamed("sub/report.txt")},  // there it separates folders

    // No name: the report goes to standard output.
    {"EmptyLine", Input::of("\r\nreport.txt\r\n"), Destination::standardOutput()},
    // Windows fails reading a closed empty pipe with 109; Wine reads a POSIX
    // pipe, and that is the end of input.
    {"InputEndAtOnce", Input::of(""), Destination::standardOutput()},
    {"NullDevice", Input::nullDevice(), Destination::standardOutput()},
};

class Reply : public testing::TestWithParam<ReplyCase> {
 protected:
  // Every run finds the folder "sub" in its working folder.
  void SetUp() override { std::filesystem::create_directory(scratch.path() / "sub"); }

  ScratchDirectory scratch;
};

TEST_P(Reply, PicksTheDestination) {
  const ReplyCase& row = GetParam();
  const Destination& expected = windowsHost() && row.onWindows ? *row.onWindows : row.expected;
  if (expected.kind == Destination::Kind::Unsettled) GTEST_SKIP() << "not settled on this host";

  const Outcome outcome = runProgram(scratch, row.input);

  EXPECT_EQ(outcome.errorOutput, "");
  std::set<std::string> expectedContents = {"sub"};
  switch (expected.kind) {
    case Destination::Kind::File:
      ASSERT_TRUE(outcome.exitedWith(0)) << outcome.describe();
      EXPECT_EQ(outcome.output, promptText);
      expectedContents.insert(expected.file);
      ASSERT_EQ(scratch.contents(), expectedContents);
      EXPECT_EQ(scratch.read(expected.file), reportText);
      break;
    case Destination::Kind::StandardOutput:
      ASSERT_TRUE(outcome.exitedWith(0)) << outcome.describe();
      EXPECT_EQ(outcome.output, std::string(promptText) + std::string(reportText));
      EXPECT_EQ(scratch.contents(), expectedContents);
      break;
    case Destination::Kind::RunTimeError:
      EXPECT_TRUE(outcome.exitedWith(expected.error)) << outcome.describe();
      EXPECT_EQ(outcome.output.rfind(std::string(promptText) + "Runtime error " +
                                         std::to_string(expected.error) + " at 0x",
                                     0),
                0u)
          << outcome.output;
      EXPECT_EQ(scratch.contents(), expectedContents);
      break;
    case Destination::Kind::Unsettled: break;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Reply, testing::ValuesIn(replyCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
