// Fuzzes real text: any 10-byte extended encoding (unnormals, pseudo-
// denormals, pseudo-NaNs and pseudo-infinities included), with any width and
// count of decimals, is formatted under the start-up's floating-point
// settings, where an invalid operation, a division by zero or an overflow
// traps.  The text must fit 255 characters and, for a valid encoding, be the
// text of the tests' exact decimal reference.
//
// The fuzz input: the encoding's 10 bytes as they lie in memory, then the
// width and the decimals as 4-byte little-endian integers; bytes past the end
// of a short input count as zero.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz/exact_reference.hpp"
#include "runtime/real_text.hpp"
#include "runtime/short_string.hpp"
#include "tests/fake_host.hpp"
#include "tests/run_under_startup.hpp"

#if !defined(__x86_64__)
#error "The encodings fuzzed are those of the x87 extended format."
#endif

namespace {

// Bytes of an extended encoding, and of a whole fuzz input.
constexpr std::size_t EncodingSize = 10;
constexpr std::size_t InputSize = EncodingSize + 2 * sizeof(std::int32_t);

// The case the driver formats, and the text it leaves.
struct FormatCase {
  long double value;
  std::int32_t width;
  std::int32_t decimals;
  char* text;  // room for MaxTextLength, exactly, so an overrun is caught
  std::size_t length;
};
FormatCase formatCase;

// The driver run under the start-up: formats the case, then waits for the
// floating-point unit, so that an x87 exception the formatting left pending
// traps here, before the settings are restored and the exception with them.
void formatUnderStartup() {
  formatCase.length =
      runtime::formatReal(formatCase.value, formatCase.width, formatCase.decimals, formatCase.text);
  asm volatile("fwait");
}

// Whether the encoding is one the processor itself produces: a zero or
// denormal (exponent 0, integer bit clear), a normal (exponent 1 to 32766,
// integer bit set), or an infinity or NaN (exponent all ones, integer bit set).
bool isValidEncoding(std::uint16_t exponentField, std::uint64_t significand) {
  const bool integerBit = (significand >> 63) != 0;
  return exponentField == 0 ? !integerBit : integerBit;
}

// Reads a little-endian 32-bit integer.
std::int32_t readInt32(const unsigned char* bytes) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | bytes[i];
  return static_cast<std::int32_t>(value);
}

}  // namespace

// One fuzz input: its case formatted and checked.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  unsigned char input[InputSize] = {};
  std::memcpy(input, data, std::min(size, sizeof input));
  std::uint64_t significand;
  std::uint16_t signAndExponent;
  std::memcpy(&significand, input, sizeof significand);
  std::memcpy(&signAndExponent, input + sizeof significand, sizeof signAndExponent);

  const std::unique_ptr<char[]> text(new char[runtime::MaxTextLength]);
  formatCase = {};
  std::memcpy(&formatCase.value, input, EncodingSize);
  formatCase.width = readInt32(input + EncodingSize);
  formatCase.decimals = readInt32(input + EncodingSize + sizeof(std::int32_t));
  formatCase.text = text.get();

  fake::reset();
  if (fake::runUnderStartup(formatUnderStartup) != 0) {
    std::fprintf(stderr, "the formatting did not end normally\n");
    std::abort();
  }
  if (formatCase.length > runtime::MaxTextLength) {
    std::fprintf(stderr, "text of %zu characters\n", formatCase.length);
    std::abort();
  }

  const std::uint16_t exponentField = signAndExponent & 0x7FFF;
  if (!isValidEncoding(exponentField, significand)) return 0;
  const std::string got(text.get(), formatCase.length);
  const std::string wanted =
      fuzz::exactReferenceText((signAndExponent & 0x8000) != 0, exponentField, significand,
                               formatCase.width, formatCase.decimals);
  if (got != wanted) {
    std::fprintf(stderr,
                 "encoding %04X %016llX, width %d, decimals %d\n  got:    \"%s\"\n"
                 "  wanted: \"%s\"\n",
                 signAndExponent, static_cast<unsigned long long>(significand), formatCase.width,
                 formatCase.decimals, got.c_str(), wanted.c_str());
    std::abort();
  }
  return 0;
}
