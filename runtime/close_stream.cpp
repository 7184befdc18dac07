// Close a stream.

#include "runtime/standard_streams.hpp"
#include "runtime/stream_internals.hpp"

namespace runtime {

namespace {

// Whether `handle` belongs to the process rather than to the stream.
bool isSharedHandle(host::Handle handle) {
  return handle == standardHandles.input || handle == standardHandles.output ||
         handle == standardHandles.error || host::isCharacterDevice(handle);
}

}  // namespace

void closeStream(TextStream& stream) {
  if (pendingIoError != 0) return;
  if (stream.state == StreamState::Closed) {
    failStream(103);
    return;
  }
  if (stream.state == StreamState::Output) handOver(stream);
  // A file whose last bytes the system could not complete is a failed write,
  // not a finished report.
  if (!isSharedHandle(stream.handle) && !host::close(stream.handle) && pendingIoError == 0) {
    failStream(101);
  }
  stream.state = StreamState::Closed;
  stream.count = 0;
  stream.position = 0;
}

}  // namespace runtime
