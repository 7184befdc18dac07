// Whole-number text of a signed 32-bit value.

#include "runtime/whole_text.hpp"

namespace runtime {

std::size_t formatWhole(std::int32_t value, char* out) {
  // The magnitude is taken in 64 bits, so -2147483648 needs no special case.
  std::int64_t magnitude = value;
  std::size_t length = 0;
  if (magnitude < 0) {
    out[length++] = '-';
    magnitude = -magnitude;
  }
  char reversed[MaxWholeTextLength];
  std::size_t digits = 0;
  do {
    reversed[digits++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (digits > 0) out[length++] = reversed[--digits];
  return length;
}

std::string wholeText(std::int32_t value) {
  char text[MaxWholeTextLength];
  return {text, formatWhole(value, text)};
}

}  // namespace runtime
