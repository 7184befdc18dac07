// Open a bound stream for writing.

#include <cstring>

#include "runtime/standard_streams.hpp"
#include "runtime/stream_internals.hpp"

namespace runtime {

void openForWriting(TextStream& stream) {
  if (pendingIoError != 0) return;
  // The name ends at its first NUL byte.
  char name[MaxTextLength + 1];
  const void* nul = std::memchr(stream.name.bytes, '\0', stream.name.length);
  const std::size_t length =
      nul ? static_cast<const char*>(nul) - stream.name.bytes : stream.name.length;
  std::memcpy(name, stream.name.bytes, length);
  name[length] = '\0';

  host::Handle handle = 0;
  if (length == 0) {
    handle = standardHandles.output;
  } else if (!host::openForWriting(name, handle)) {
    failFromHost();
    return;
  }
  stream.handle = handle;
  stream.state = StreamState::Output;
  stream.count = 0;
  stream.statementFlushing = host::isCharacterDevice(handle);
}

}  // namespace runtime
