// Read a string, and the refill of an input buffer that reading relies on.

#include "runtime/stream_internals.hpp"

namespace runtime {

bool refillIfUsed(TextStream& stream) {
  if (stream.position < stream.count) return true;
  stream.position = 0;
  stream.count = 0;
  // Once the end has been seen, a terminal is not asked for a second one.
  if (stream.endOfInput) return false;
  std::uint32_t got = 0;
  if (!host::read(stream.handle, stream.buffer, StreamBufferSize, got)) {
    failFromHost();
    return false;
  }
  stream.count = got;
  stream.endOfInput = got == 0;
  return got > 0;
}

void readString(TextStream& stream, ShortString& into, std::uint32_t limit) {
  into.length = 0;
  if (!readyForInput(stream)) return;
  if (limit > MaxTextLength) limit = MaxTextLength;
  while (into.length < limit && refillIfUsed(stream)) {
    const std::uint8_t byte = stream.buffer[stream.position];
    if (byte == '\r' || byte == '\n') return;
    into.bytes[into.length++] = static_cast<char>(byte);
    ++stream.position;
  }
}

}  // namespace runtime
