// End a write statement: a stream with statement flushing hands over, even
// while an error is pending, so what a statement wrote before the failure is
// not held back.

#include "runtime/stream_internals.hpp"

namespace runtime {

void endStatement(TextStream& stream) {
  if (stream.state == StreamState::Output && stream.statementFlushing) handOver(stream);
}

}  // namespace runtime
