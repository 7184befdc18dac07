// Bind a stream to a name.

#include <algorithm>
#include <cstring>

#include "runtime/stream_internals.hpp"

namespace runtime {

void bindName(TextStream& stream, std::string_view name) {
  // The present binding is forgotten, not closed: the report stream's initial
  // binding shares standard output with the error stream.
  stream.state = StreamState::Closed;
  stream.count = 0;
  stream.position = 0;
  const std::size_t length = std::min(name.size(), MaxTextLength);
  std::memcpy(stream.name.bytes, name.data(), length);
  stream.name.length = static_cast<std::uint8_t>(length);
}

}  // namespace runtime
