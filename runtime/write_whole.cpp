// Write a whole number: its text, written as a string in the same field.

#include "runtime/stream_internals.hpp"
#include "runtime/whole_text.hpp"

namespace runtime {

void writeWhole(TextStream& stream, std::int32_t value, std::int32_t width) {
  if (pendingIoError != 0) return;
  char text[MaxWholeTextLength];
  const std::size_t length = formatWhole(value, text);
  writeString(stream, {text, length}, width);
}

}  // namespace runtime
