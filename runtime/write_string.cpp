// Write a string: leading blanks up to the field width, then the text.

#include "runtime/stream_internals.hpp"

namespace runtime {

void writeString(TextStream& stream, std::string_view text, std::int32_t width) {
  if (!readyForOutput(stream)) return;
  const auto length = static_cast<std::int32_t>(text.size());
  if (width > length) putBlanks(stream, static_cast<std::uint32_t>(width - length));
  putBytes(stream, text.data(), static_cast<std::uint32_t>(text.size()));
}

}  // namespace runtime
