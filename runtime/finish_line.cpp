// Finish an input line: the rest of the current line and its line end (CR LF,
// LF or CR) are taken and discarded.

#include "runtime/stream_internals.hpp"

namespace runtime {

void finishLine(TextStream& stream) {
  if (!readyForInput(stream)) return;
  while (refillIfUsed(stream)) {
    const std::uint8_t byte = stream.buffer[stream.position++];
    if (byte == '\n') return;
    if (byte == '\r') {
      if (refillIfUsed(stream) && stream.buffer[stream.position] == '\n') ++stream.position;
      return;
    }
  }
}

}  // namespace runtime
