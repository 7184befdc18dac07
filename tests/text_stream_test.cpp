// Text streams on the recording host: when bytes are handed over, how a reply
// line is read, and which number each failure leaves.

#include "runtime/text_stream.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/standard_streams.hpp"
#include "tests/fake_host.hpp"

namespace {

using namespace runtime;
using fake::host;

class TextStreamTest : public ::testing::Test {
 protected:
  void SetUp() override { fake::reset(); }

  // Binds the report stream to `name` and opens it; the fake gives it a file.
  static void openReportFile(const char* name = "report.txt") {
    bindName(reportStream, name);
    openForWriting(reportStream);
  }

  // The sizes of the write requests made so far.
  static std::vector<std::size_t> requestSizes() {
    std::vector<std::size_t> sizes;
    for (const auto& request : host().writes) sizes.push_back(request.asked.size());
    return sizes;
  }
};

using Sizes = std::vector<std::size_t>;

// --- Hand-over moments ---------------------------------------------------

TEST_F(TextStreamTest, InitialBindingHandsOverAtEveryLineEndAndStatementEnd) {
  endLine(reportStream);
  writeString(reportStream, "Prompt: ");
  EXPECT_EQ(requestSizes(), (Sizes{2}));  // the prompt waits for its statement's end
  endStatement(reportStream);
  EXPECT_EQ(requestSizes(), (Sizes{2, 8}));
  EXPECT_EQ(fake::writtenTo(fake::OutputHandle), "\r\nPrompt: ");
  endStatement(reportStream);  // nothing held: still one request, of zero bytes
  EXPECT_EQ(requestSizes(), (Sizes{2, 8, 0}));
}

TEST_F(TextStreamTest, FileReceivesFullBlocksThenTheRestAtClose) {
  openReportFile();
  ASSERT_EQ(reportStream.handle, fake::FirstFileHandle);
  EXPECT_FALSE(reportStream.statementFlushing);
  const std::string line(100, 'a');
  for (int i = 0; i < 3; ++i) {
    writeString(reportStream, line);
    endLine(reportStream);
    endStatement(reportStream);
  }
  EXPECT_EQ(requestSizes(), (Sizes{256}));
  closeStream(reportStream);
  EXPECT_EQ(requestSizes(), (Sizes{256, 50}));
  EXPECT_EQ(fake::writtenTo(fake::FirstFileHandle), line + "\r\n" + line + "\r\n" + line + "\r\n");
  EXPECT_EQ(host().closed, (std::vector<fake::Handle>{fake::FirstFileHandle}));
}

TEST_F(TextStreamTest, ExactlyFullBufferWaitsForTheNextWrite) {
  openReportFile();
  writeString(reportStream, std::string(256, 'a'));
  EXPECT_TRUE(host().writes.empty());
  writeString(reportStream, "");  // nothing to add: still no request
  EXPECT_TRUE(host().writes.empty());
  writeString(reportStream, "b");
  EXPECT_EQ(requestSizes(), (Sizes{256}));
  EXPECT_EQ(reportStream.count, 1u);
}

TEST_F(TextStreamTest, LongStringAndBlankFieldsSpanSeveralBlocks) {
  openReportFile();
  writeString(reportStream, "x", 600);  // 599 blanks, then x
  EXPECT_EQ(requestSizes(), (Sizes{256, 256}));
  closeStream(reportStream);
  EXPECT_EQ(fake::writtenTo(fake::FirstFileHandle), std::string(599, ' ') + "x");
}

TEST_F(TextStreamTest, LineEndSplitsAcrossBlocks) {
  openReportFile();
  writeString(reportStream, std::string(255, 'a'));
  endLine(reportStream);
  EXPECT_EQ(requestSizes(), (Sizes{256}));
  EXPECT_EQ(host().writes[0].asked.back(), '\r');
  EXPECT_EQ(reportStream.count, 1u);
}

TEST_F(TextStreamTest, CharacterNeedsTwoFreeBytes) {
  openReportFile();
  writeString(reportStream, std::string(254, 'a'));
  writeChar(reportStream, 'x');  // two free: placed
  EXPECT_TRUE(host().writes.empty());
  writeChar(reportStream, 'y');  // one free: the 255 bytes go first
  EXPECT_EQ(requestSizes(), (Sizes{255}));
  EXPECT_EQ(reportStream.count, 1u);
  writeChar(reportStream, 'z', 3);
  closeStream(reportStream);
  EXPECT_EQ(fake::writtenTo(fake::FirstFileHandle), std::string(254, 'a') + "xy  z");
}

TEST_F(TextStreamTest, CharacterDeviceDestinationFlushesEveryStatement) {
  host().characterDevices.insert(fake::FirstFileHandle);
  openReportFile("/dev/tty");
  EXPECT_TRUE(reportStream.statementFlushing);
  writeString(reportStream, "Theta = ");
  endStatement(reportStream);
  writeString(reportStream, "Alpha");
  endLine(reportStream);
  EXPECT_EQ(requestSizes(), (Sizes{8, 7}));
  closeStream(reportStream);  // a device is not released
  EXPECT_TRUE(host().closed.empty());
}

TEST_F(TextStreamTest, EmptyNameWritesToStandardOutputByItsDeviceTest) {
  openReportFile("");
  EXPECT_TRUE(host().openedNames.empty());
  EXPECT_EQ(reportStream.handle, fake::OutputHandle);
  EXPECT_FALSE(reportStream.statementFlushing);  // standard output is a file or pipe here
  writeString(reportStream, "abc");
  endLine(reportStream);
  EXPECT_TRUE(host().writes.empty());
  closeStream(reportStream);  // handed over, but standard output stays open
  EXPECT_EQ(fake::writtenTo(fake::OutputHandle), "abc\r\n");
  EXPECT_TRUE(host().closed.empty());
}

TEST_F(TextStreamTest, NameEndsAtItsFirstNul) {
  openReportFile();
  closeStream(reportStream);
  bindName(reportStream, std::string("out\0put", 7));
  openForWriting(reportStream);
  EXPECT_EQ(host().openedNames, (std::vector<std::string>{"report.txt", "out"}));
}

TEST_F(TextStreamTest, NameOfOnlyNulIsStandardOutput) {
  bindName(reportStream, std::string("\0x", 2));
  openForWriting(reportStream);
  EXPECT_TRUE(host().openedNames.empty());
  EXPECT_EQ(reportStream.handle, fake::OutputHandle);
}

// --- Reading a reply -------------------------------------------------------

struct ReplyCase {
  const char* what;
  std::vector<std::string> reads;  // what successive read requests deliver
  std::string reply;
  std::string nextLine;  // what the following line reads as
};

class ReplyTest : public TextStreamTest, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(ReplyTest, ReadsTheLineAndDiscardsItsRest) {
  const ReplyCase& c = GetParam();
  host().reads.assign(c.reads.begin(), c.reads.end());
  ShortString reply;
  readString(inputStream, reply, 255);
  finishLine(inputStream);
  EXPECT_EQ(reply.view(), c.reply);
  ShortString next;
  readString(inputStream, next, 255);
  EXPECT_EQ(next.view(), c.nextLine);
  EXPECT_EQ(pendingIoError, 0);
}

const std::string Long300 = std::string(255, 'a') + std::string(45, 'b');

INSTANTIATE_TEST_SUITE_P(
    LineEnds, ReplyTest,
    ::testing::Values(
        ReplyCase{"crlf", {"name\r\nnext\r\n"}, "name", "next"},
        ReplyCase{"lf", {"name\nnext\n"}, "name", "next"},
        ReplyCase{"cr", {"name\rnext\r"}, "name", "next"},
        ReplyCase{"cr then lf in the next read", {"name\r", "\nnext"}, "name", "next"},
        ReplyCase{"lf cr is two line ends", {"name\n\rnext"}, "name", ""},
        ReplyCase{"line split over reads", {"na", "me", "\nnext"}, "name", "next"},
        ReplyCase{"end of input without line end", {"name"}, "name", ""},
        ReplyCase{"end of input at once", {}, "", ""},
        ReplyCase{"empty line", {"\r\nnext"}, "", "next"},
        ReplyCase{"300 bytes: the rest is discarded",
                  {Long300 + "\r\nnext"},
                  std::string(255, 'a'),
                  "next"},
        ReplyCase{
            "exactly 255 bytes", {std::string(255, 'c') + "\nnext"}, std::string(255, 'c'), "next"},
        ReplyCase{"ordinary bytes",
                  {std::string(" a\x1A\x00\tb \n", 8)},
                  std::string(" a\x1A\x00\tb ", 7),
                  ""},
        ReplyCase{"long line over many reads",
                  {std::string(200, 'a'), std::string(200, 'b'), "\rnext"},
                  std::string(200, 'a') + std::string(55, 'b'),
                  "next"}),
    [](const auto& info) {
      std::string name;
      for (char ch : std::string(info.param.what)) name += std::isalnum(ch) ? ch : '_';
      return name;
    });

TEST_F(TextStreamTest, RefillsAskForAFullBuffer) {
  host().reads = {std::string(300, 'a') + "\n"};
  ShortString reply;
  readString(inputStream, reply, 255);
  finishLine(inputStream);
  EXPECT_EQ(host().readRequests, 2);  // 256 bytes, then the remaining 45
  EXPECT_EQ(reply.length, 255);
}

TEST_F(TextStreamTest, EndOfInputIsAskedForOnce) {
  ShortString reply;
  readString(inputStream, reply, 255);
  finishLine(inputStream);
  EXPECT_EQ(host().readRequests, 1);  // a terminal's one end-of-input key is enough
}

// --- Failures ------------------------------------------------------------------

TEST_F(TextStreamTest, FailedOpenMapsTheSystemCode) {
  struct Case {
    std::uint32_t systemCode;
    std::uint16_t error;
  };
  for (const Case c : {Case{3, 3}, Case{5, 5}, Case{32, 5}, Case{19, 150}, Case{31, 162},
                       Case{123, 123}, Case{0x10005, 5}}) {
    fake::reset();
    host().openFailure = c.systemCode;
    openReportFile();
    EXPECT_EQ(pendingIoError, c.error) << c.systemCode;
    EXPECT_EQ(reportStream.state, StreamState::Closed);
  }
}

TEST_F(TextStreamTest, FailedOrShortHandOverLeaves101AndSilencesTheStatement) {
  for (const bool shortWrite : {false, true}) {
    fake::reset();
    (shortWrite ? host().shortWrite : host().failingWrite) = 0;
    openReportFile();
    writeString(reportStream, std::string(300, 'a'));  // fails at the first block
    EXPECT_EQ(pendingIoError, 101);
    writeString(reportStream, "more");
    endLine(reportStream);
    closeStream(reportStream);
    EXPECT_EQ(requestSizes(), (Sizes{256})) << "nothing after the failure";
    EXPECT_EQ(reportStream.count, 0u);
  }
}

TEST_F(TextStreamTest, FailedReadMapsTheSystemCode) {
  host().readFailure = 109;
  ShortString reply;
  readString(inputStream, reply, 255);
  EXPECT_EQ(pendingIoError, 109);
  EXPECT_EQ(reply.length, 0);
}

TEST_F(TextStreamTest, WrongStateErrors) {
  struct Case {
    const char* what;
    void (*operation)();
    std::uint16_t error;
  };
  const Case cases[] = {
      {"write to a closed stream",
       [] {
         bindName(reportStream, "x");
         writeString(reportStream, "a");
       },
       103},
      {"line end on a closed stream",
       [] {
         bindName(reportStream, "x");
         endLine(reportStream);
       },
       103},
      {"close a closed stream",
       [] {
         bindName(reportStream, "x");
         closeStream(reportStream);
       },
       103},
      {"read an output stream",
       [] {
         ShortString s;
         readString(reportStream, s, 255);
       },
       104},
      {"finish a line of an output stream", [] { finishLine(reportStream); }, 104},
      {"read a closed stream",
       [] {
         bindName(inputStream, "");
         finishLine(inputStream);
       },
       103},
      {"write to an input stream", [] { writeString(inputStream, "a"); }, 105},
      {"character to an input stream", [] { writeChar(inputStream, 'a'); }, 105},
      {"line end on an input stream", [] { endLine(inputStream); }, 105},
  };
  for (const Case& c : cases) {
    fake::reset();
    c.operation();
    EXPECT_EQ(pendingIoError, c.error) << c.what;
  }
}

TEST_F(TextStreamTest, PendingErrorSilencesAllButBindStatementEndAndRead) {
  openReportFile("");
  host().characterDevices.insert(fake::OutputHandle);
  reportStream.statementFlushing = true;
  writeString(reportStream, "held");
  pendingIoError = 7;
  writeString(reportStream, "a");
  writeChar(reportStream, 'b');
  writeWhole(reportStream, 1);
  writeReal(reportStream, 1.5L, 5, 2);
  endLine(reportStream);
  EXPECT_TRUE(host().writes.empty());
  endStatement(reportStream);  // still hands over what the statement wrote before
  EXPECT_EQ(fake::writtenTo(fake::OutputHandle), "held");

  ShortString reply;
  reply.length = 9;
  host().reads = {"abc\n"};
  readString(inputStream, reply, 255);
  EXPECT_EQ(reply.length, 0);
  EXPECT_EQ(host().readRequests, 0);

  bindName(reportStream, "later");
  EXPECT_EQ(reportStream.name.view(), "later");
  openForWriting(reportStream);
  closeStream(reportStream);
  EXPECT_TRUE(host().openedNames.empty());
  EXPECT_EQ(pendingIoError, 7);
}

TEST_F(TextStreamTest, CloseReleasesTheFileEvenAfterAFailedHandOver) {
  host().failingWrite = 0;
  openReportFile();
  writeString(reportStream, "abc");
  closeStream(reportStream);
  EXPECT_EQ(pendingIoError, 101);
  EXPECT_EQ(host().closed, (std::vector<fake::Handle>{fake::FirstFileHandle}));
  EXPECT_EQ(reportStream.state, StreamState::Closed);
}

TEST_F(TextStreamTest, FileTheSystemCannotCompleteIsAFailedWrite) {
  host().closeFails = true;
  openReportFile();
  writeString(reportStream, "abc");
  closeStream(reportStream);
  EXPECT_EQ(pendingIoError, 101);
  EXPECT_EQ(fake::writtenTo(fake::FirstFileHandle), "abc");
}

}  // namespace
