// End a line: CR LF, handed over at once on a stream with statement flushing.

#include "runtime/stream_internals.hpp"

namespace runtime {

void endLine(TextStream& stream) {
  if (!readyForOutput(stream)) return;
  putBytes(stream, "\r\n", 2);
  if (pendingIoError == 0 && stream.statementFlushing) handOver(stream);
}

}  // namespace runtime
