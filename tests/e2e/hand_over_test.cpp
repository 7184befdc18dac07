// When bytes reach standard output.  With a datagram socket as standard output
// every write the program makes arrives as one message, so the hand-overs can
// be seen one by one.  Like a pipe, a socket is not a character device: the
// empty line and the prompt go out one statement at a time, the report in
// blocks of 256 bytes and a last, shorter block at the close.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "expected_report.hpp"
#include "program_under_test.hpp"

namespace e2e {
namespace {

constexpr std::size_t bufferSize = 256;

// The hand-overs of the two statements before the reply: the empty line, and
// the question without a line end.
std::vector<std::string> promptWrites() {
  return {std::string(promptText.substr(0, 2)), std::string(promptText.substr(2))};
}

// The prompt's hand-overs, then `text` in full buffers and a last shorter one.
std::vector<std::string> promptThenBlocks(std::string_view text) {
  std::vector<std::string> writes = promptWrites();
  for (std::size_t at = 0; at < text.size(); at += bufferSize)
    writes.emplace_back(text.substr(at, bufferSize));
  return writes;
}

struct HandOverCase {
  const char* name;
  std::string reply;
  std::vector<std::string> writes;

  friend void PrintTo(const HandOverCase& row, std::ostream* out) { *out << row.name; }
};

class HandOver : public testing::TestWithParam<HandOverCase> {
 protected:
  ScratchDirectory scratch;
};

TEST_P(HandOver, ComesAtStatementEndsThenInBlocks) {
  const HandOverCase& row = GetParam();
  const Outcome outcome = runProgram(scratch, Input::of(row.reply), Output::datagrams());

  ASSERT_TRUE(outcome.exitedWith(0)) << outcome.describe();
  EXPECT_EQ(outcome.errorOutput, "");
  // A hand-over of no bytes leaves no trace in a pipe or a file, so it does
  // not count here either.
  std::vector<std::string> writes = outcome.writes;
  std::erase(writes, std::string());
  EXPECT_EQ(writes, row.writes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandOver,
    testing::Values(HandOverCase{"ReportToFile", "report.txt\r\n", promptWrites()},
                    HandOverCase{"ReportToStandardOutput", "\r\n", promptThenBlocks(reportText)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
