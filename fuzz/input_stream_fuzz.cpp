// Fuzzes the reading of input lines: arbitrary bytes, delivered by the
// recording host in read requests of arbitrary sizes, taken line after line
// by read a string (limit 255) and finish a line on the standard input
// stream.  Each reply, and the bytes left unread after each line, must be
// what a plain model of the line rules gives.
//
// The fuzz input: a count n, then n delivery sizes of one byte each (0: that
// request finds the end of input), then the bytes to deliver.  Bytes the
// sizes leave over come in requests of the stream's full buffer.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <string_view>

#include "runtime/short_string.hpp"
#include "runtime/standard_streams.hpp"
#include "runtime/text_stream.hpp"
#include "tests/fake_host.hpp"

namespace {

// What one read a string and finish a line leave of an input.
struct LineSplit {
  std::string_view reply;
  std::string_view unread;
};

// Whether `byte` ends a line.
bool isLineEnd(char byte) {
  return byte == '\r' || byte == '\n';
}

// The model.  The reply is the bytes before the first CR or LF, at most 255,
// or all of them when there is neither.  The rest of that line is discarded
// through its line end: an LF; a CR, with an LF right after it.
LineSplit modelSplit(std::string_view input) {
  std::size_t replyEnd = 0;
  while (replyEnd < input.size() && replyEnd < runtime::MaxTextLength &&
         !isLineEnd(input[replyEnd])) {
    ++replyEnd;
  }
  std::size_t next = replyEnd;
  while (next < input.size() && !isLineEnd(input[next])) ++next;
  if (next < input.size()) {
    const bool carriageReturn = input[next] == '\r';
    ++next;
    if (carriageReturn && next < input.size() && input[next] == '\n') ++next;
  }
  return {input.substr(0, replyEnd), input.substr(next)};
}

// The bytes the input stream has not taken: what its buffer still holds,
// then what the host would deliver before its end of input.
std::string unreadByStream() {
  const runtime::TextStream& stream = runtime::inputStream;
  std::string unread(reinterpret_cast<const char*>(stream.buffer) + stream.position,
                     stream.count - stream.position);
  if (stream.endOfInput) return unread;
  for (const std::string& delivery : fake::host().reads) {
    if (delivery.empty()) break;
    unread += delivery;
  }
  return unread;
}

// Ends the run as a finding when `holds` is false, showing both sides.
void require(bool holds, const char* what, std::string_view got, std::string_view wanted) {
  if (holds) return;
  std::fprintf(stderr, "%s differs from the model\n  got:    \"%.*s\"\n  wanted: \"%.*s\"\n", what,
               static_cast<int>(got.size()), got.data(), static_cast<int>(wanted.size()),
               wanted.data());
  std::abort();
}

}  // namespace

// One fuzz input: the deliveries it describes, read line by line to the end.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::size_t sizeCount = size == 0 ? 0 : std::min<std::size_t>(data[0], size - 1);
  const std::uint8_t* sizes = data + (size == 0 ? 0 : 1);
  std::string_view bytes(reinterpret_cast<const char*>(sizes + sizeCount),
                         size - (size == 0 ? 0 : 1 + sizeCount));

  std::deque<std::string> deliveries;
  std::string input;  // what the stream can read: the deliveries before the first empty one
  bool ended = false;
  for (std::size_t i = 0; i < sizeCount; ++i) {
    const std::string_view delivery = bytes.substr(0, sizes[i]);
    bytes.remove_prefix(delivery.size());
    if (sizes[i] != 0 && delivery.empty()) break;
    deliveries.emplace_back(delivery);
    ended = ended || delivery.empty();
    if (!ended) input += delivery;
  }
  if (!bytes.empty()) {
    deliveries.emplace_back(bytes);
    if (!ended) input += bytes;
  }

  fake::reset();
  fake::host().reads = std::move(deliveries);
  std::string_view expected = input;
  for (;;) {
    runtime::ShortString reply;
    runtime::readString(runtime::inputStream, reply, runtime::MaxTextLength);
    runtime::finishLine(runtime::inputStream);
    const LineSplit line = modelSplit(expected);
    if (runtime::pendingIoError != 0) {
      std::fprintf(stderr, "reading left I/O error %u\n", runtime::pendingIoError);
      std::abort();
    }
    require(reply.view() == line.reply, "reply", reply.view(), line.reply);
    const std::string unread = unreadByStream();
    require(unread == line.unread, "unread rest", unread, line.unread);
    if (expected.empty()) break;
    expected = line.unread;
  }
  return 0;
}
