// The one path by which an output stream's bytes reach the operating system,
// and the buffer filling that leads to it.

#include <algorithm>
#include <cstring>

#include "runtime/stream_internals.hpp"

namespace runtime {

void handOver(TextStream& stream) {
  const std::uint32_t asked = stream.count;
  std::uint32_t written = 0;
  stream.count = 0;
  if (!host::write(stream.handle, stream.buffer, asked, written)) failFromHost();
  if (written != asked) failStream(101);
}

namespace {

// Appends `size` bytes that `fill(destination, offset, count)` produces; a full
// buffer is handed over only when more bytes are still to come, so a write
// that fills it exactly leaves it full until the next write.
template <typename Fill>
void putRun(TextStream& stream, std::uint32_t size, Fill fill) {
  std::uint32_t done = 0;
  while (done < size) {
    if (stream.count == StreamBufferSize) {
      handOver(stream);
      if (pendingIoError != 0) return;
    }
    const std::uint32_t taken =
        std::min(size - done, static_cast<std::uint32_t>(StreamBufferSize) - stream.count);
    fill(stream.buffer + stream.count, done, taken);
    stream.count += taken;
    done += taken;
  }
}

}  // namespace

void putBytes(TextStream& stream, const char* bytes, std::uint32_t size) {
  putRun(stream, size, [bytes](std::uint8_t* to, std::uint32_t from, std::uint32_t count) {
    std::memcpy(to, bytes + from, count);
  });
}

void putBlanks(TextStream& stream, std::uint32_t count) {
  putRun(stream, count,
         [](std::uint8_t* to, std::uint32_t, std::uint32_t n) { std::memset(to, ' ', n); });
}

}  // namespace runtime
