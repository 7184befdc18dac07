// Write a real: its text, written as a string in the same field.

#include "runtime/real_text.hpp"
#include "runtime/stream_internals.hpp"

namespace runtime {

void writeReal(TextStream& stream, long double value, std::int32_t width, std::int32_t decimals) {
  if (pendingIoError != 0) return;
  char text[MaxTextLength];
  const std::size_t length = formatReal(value, width, decimals, text);
  writeString(stream, {text, length}, width);
}

}  // namespace runtime
