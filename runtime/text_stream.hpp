#pragma once
// The buffered text stream: its record, and the operations a program's read
// and write statements are made of.  A failing operation leaves a number in
// pendingIoError and the following ones do nothing; the I/O check after the
// statement turns it into a run-time error.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "runtime/host/host.hpp"
#include "runtime/short_string.hpp"

namespace runtime {

// Bytes a stream buffers before handing them to the operating system.
constexpr std::size_t StreamBufferSize = 256;

enum class StreamState : std::uint8_t { Closed, Input, Output };

struct TextStream {
  StreamState state = StreamState::Closed;
  host::Handle handle = 0;         // meaningful only while open
  ShortString name;                // the name given when bound; empty for standard
  std::uint32_t count = 0;         // output: bytes held; input: bytes the last refill delivered
  std::uint32_t position = 0;      // input: index of the next byte to take, <= count
  bool statementFlushing = false;  // output: hand over at every line end and statement end
  bool endOfInput = false;         // input: a refill found the end; no later refill asks again
  std::uint8_t buffer[StreamBufferSize]{};
};

// The process-wide number left by the first failing operation; 0 when none.
extern std::uint16_t pendingIoError;

// Writes `text`, after (width - length) blanks when the width is larger.
void writeString(TextStream& stream, std::string_view text, std::int32_t width = 0);

// Writes `byte`, after (width - 1) blanks when the width is above 1.
void writeChar(TextStream& stream, char byte, std::int32_t width = 0);

// Writes the whole-number text of `value` in a field of `width`.
void writeWhole(TextStream& stream, std::int32_t value, std::int32_t width = 0);

// Writes the real text of the extended value `value` in a field of `width`,
// with `decimals` decimals (a negative count: scientific form).
void writeReal(TextStream& stream, long double value, std::int32_t width, std::int32_t decimals);

// Appends CR LF; hands over on a stream with statement flushing.
void endLine(TextStream& stream);

// Ends a write statement: hands over on a stream with statement flushing, even
// while an error is pending.
void endStatement(TextStream& stream);

// Reads the current line into `into` up to (not including) its CR or LF, at
// most `limit` bytes.
void readString(TextStream& stream, ShortString& into, std::uint32_t limit);

// Discards the rest of the current input line through its line end.
void finishLine(TextStream& stream);

// Drops the stream's present binding and names its destination; the stream is
// left closed.  Does no input or output.
void bindName(TextStream& stream, std::string_view name);

// Opens the bound destination for writing: standard output for an empty
// name, otherwise a file created or emptied.
void openForWriting(TextStream& stream);

// Hands over what an output stream holds and releases its handle.
void closeStream(TextStream& stream);

}  // namespace runtime
