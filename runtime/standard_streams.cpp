// The standard handles and streams, and the run-time initialisation.

#include "runtime/standard_streams.hpp"

#include "runtime/stream_internals.hpp"

namespace runtime {

StandardHandles standardHandles;
TextStream inputStream;
TextStream reportStream;
TextStream errorStream;
TextStream standardErrorStream;

namespace {

// Opens `stream` on `handle` in `state`, buffer empty, with statement flushing
// on for output.
void openStandard(TextStream& stream, host::Handle handle, StreamState state) {
  stream = TextStream{};
  stream.handle = handle;
  stream.state = state;
  stream.statementFlushing = state == StreamState::Output;
}

}  // namespace

void runtimeInit() {
  standardHandles.input = host::standardHandle(host::StandardHandle::Input);
  standardHandles.output = host::standardHandle(host::StandardHandle::Output);
  standardHandles.error = host::standardHandle(host::StandardHandle::Error);
  openStandard(inputStream, standardHandles.input, StreamState::Input);
  openStandard(reportStream, standardHandles.output, StreamState::Output);
  openStandard(errorStream, standardHandles.output, StreamState::Output);
  openStandard(standardErrorStream, standardHandles.error, StreamState::Output);
  pendingIoError = 0;
}

}  // namespace runtime
