#pragma once
// A text of at most 255 bytes, held in place: the length of every name, reply
// and formatted number the program handles.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace runtime {

// The longest text the program holds.
constexpr std::size_t MaxTextLength = 255;

struct ShortString {
  std::uint8_t length = 0;      // bytes in use, 0 to MaxTextLength
  char bytes[MaxTextLength]{};  // the text; bytes past `length` mean nothing

  std::string_view view() const { return {bytes, length}; }
};

}  // namespace runtime
