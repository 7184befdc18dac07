// Write a character: leading blanks up to the field width, then the byte.

#include "runtime/stream_internals.hpp"

namespace runtime {

void writeChar(TextStream& stream, char byte, std::int32_t width) {
  if (!readyForOutput(stream)) return;
  if (width > 1) putBlanks(stream, static_cast<std::uint32_t>(width - 1));
  if (pendingIoError != 0) return;
  // A character is placed only while two bytes are free.
  if (StreamBufferSize - stream.count < 2) {
    handOver(stream);
    if (pendingIoError != 0) return;
  }
  stream.buffer[stream.count++] = static_cast<std::uint8_t>(byte);
}

}  // namespace runtime
