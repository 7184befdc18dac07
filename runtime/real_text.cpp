// Real-number text: exact decimal digits of an extended value, worked out in
// integers from the value's bits.  No floating-point instruction touches the
// value, so the text comes out even with every floating-point trap enabled.

#include "runtime/real_text.hpp"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>
#include <limits>

#include "runtime/decimal_integer.hpp"

namespace runtime {

namespace {

// Binary exponents of the lowest significand bit a finite value can have.
constexpr std::int32_t LowestExponent = -static_cast<std::int32_t>(LowestBinaryExponent);
constexpr std::int32_t HighestExponent = 0x7FFE - 16383 - 63;

// Significant digits of the extended class, and the most decimals it writes.
constexpr std::int32_t DigitBudget = 17;
// Magnitudes from 10^36 on take the scientific form even with decimals given.
constexpr std::int32_t FirstScientificExponent = 36;
// Digits of the exponent in the scientific form; the extended range needs 4.
constexpr std::size_t ExponentDigits = 4;

// The longest text before padding: the fixed form of a magnitude just below
// 10^36 that rounds up, with its sign, 37 integer digits, the point and 17
// decimals.  The scientific form needs 25.
constexpr std::size_t MaxDigitText = 1 + (FirstScientificExponent + 1) + 1 + DigitBudget;
static_assert(MaxDigitText <= MaxTextLength);

// A value reduced to what its text depends on.
struct DecodedReal {
  enum class Kind { Finite, Infinity, NaN };
  Kind kind = Kind::Finite;
  bool negative = false;
  // A finite magnitude is significand × 2^exponent.
  std::uint64_t significand = 0;
  std::int32_t exponent = 0;
};

DecodedReal decodeExtended(std::uint64_t significand, std::uint16_t signAndExponent) {
  constexpr std::uint16_t ExponentMask = 0x7FFF;
  constexpr std::int32_t Bias = 16383;
  constexpr std::int32_t FractionBits = 63;
  DecodedReal decoded;
  decoded.negative = (signAndExponent & 0x8000) != 0;
  const std::int32_t field = signAndExponent & ExponentMask;
  if (field == ExponentMask) {
    // The integer bit does not matter: pseudo-infinities and pseudo-NaNs read
    // as their proper counterparts.
    const bool fractionZero = (significand << 1) == 0;
    decoded.kind = fractionZero ? DecodedReal::Kind::Infinity : DecodedReal::Kind::NaN;
    return decoded;
  }
  // Denormals and pseudo-denormals share the exponent of the smallest
  // normals; unnormals take the plain formula.
  decoded.significand = significand;
  decoded.exponent = std::max(field, 1) - Bias - FractionBits;
  return decoded;
}

// Used only where long double is not the x87 extended format.
[[maybe_unused]] DecodedReal decodeDouble(std::uint64_t bits) {
  constexpr std::uint64_t FractionMask = (std::uint64_t{1} << 52) - 1;
  constexpr std::int32_t ExponentMask = 0x7FF;
  constexpr std::int32_t Bias = 1023;
  constexpr std::int32_t FractionBits = 52;
  DecodedReal decoded;
  decoded.negative = (bits >> 63) != 0;
  const std::int32_t field = static_cast<std::int32_t>(bits >> FractionBits) & ExponentMask;
  const std::uint64_t fraction = bits & FractionMask;
  if (field == ExponentMask) {
    decoded.kind = fraction == 0 ? DecodedReal::Kind::Infinity : DecodedReal::Kind::NaN;
    return decoded;
  }
  decoded.significand = field == 0 ? fraction : fraction | (FractionMask + 1);
  decoded.exponent = std::max(field, 1) - Bias - FractionBits;
  return decoded;
}

static_assert(std::numeric_limits<long double>::digits != 64 ||
              std::endian::native == std::endian::little);

DecodedReal decode(long double value) {
  if constexpr (std::numeric_limits<long double>::digits == 64) {
    // The x87 extended format: 8 bytes of significand, then sign and
    // exponent, little-endian like every host that has it.
    unsigned char bytes[10];
    std::memcpy(bytes, &value, sizeof bytes);
    std::uint64_t significand;
    std::uint16_t signAndExponent;
    std::memcpy(&significand, bytes, sizeof significand);
    std::memcpy(&signAndExponent, bytes + sizeof significand, sizeof signAndExponent);
    return decodeExtended(significand, signAndExponent);
  } else {
    // Without the 80-bit format the value is taken as a double; where long
    // double is a double this is no conversion at all.
    const double narrow = static_cast<double>(value);
    std::uint64_t bits;
    std::memcpy(&bits, &narrow, sizeof bits);
    return decodeDouble(bits);
  }
}

// floor(k · log10 2) for |k| <= 32768, which covers every binary exponent of
// the extended range.  The truncated 32-bit fraction of log10 2 first gives a
// result one too low at k = 70777.
std::int32_t floorLog10Pow2(std::int32_t k) {
  assert(k >= -32768 && k <= 32768);
  constexpr std::int64_t Log10Of2Times2To32 = 1292913986;
  return static_cast<std::int32_t>((std::int64_t{k} * Log10Of2Times2To32) >> 32);
}

// Whether significand × 2^exponent >= 10^power, exactly.  Valid for a value
// of the decoded range and a power within one of its decimal exponent.
bool atLeastPowerOfTen(std::uint64_t significand, std::int32_t exponent, std::int32_t power) {
  DecimalInteger value(significand);
  DecimalInteger bound(1);
  if (exponent >= 0) {
    value.shiftLeft(static_cast<std::size_t>(exponent));
  } else {
    bound.shiftLeft(static_cast<std::size_t>(-exponent));
  }
  if (power >= 0) {
    bound.multiplyByPowerOfTen(static_cast<std::uint32_t>(power));
  } else {
    value.multiplyByPowerOfTen(static_cast<std::uint32_t>(-power));
  }
  return compare(value, bound) >= 0;
}

// floor(log10(significand × 2^exponent)) for a nonzero significand and an
// exponent of the decoded range, -16445 to 16320.
std::int32_t decimalExponent(std::uint64_t significand, std::int32_t exponent) {
  assert(significand != 0);
  assert(exponent >= LowestExponent && exponent <= HighestExponent);
  // The value lies in [2^k, 2^(k+1)), so its decimal exponent is the estimate
  // or one more.
  const std::int32_t k = static_cast<std::int32_t>(std::bit_width(significand)) - 1 + exponent;
  const std::int32_t estimate = floorLog10Pow2(k);
  return atLeastPowerOfTen(significand, exponent, estimate + 1) ? estimate + 1 : estimate;
}

// significand × 2^exponent × 10^power rounded half away from zero, as
// floor(2x + 1) / 2.  Valid while 2 × significand × 10^power fits the
// capacity of DecimalInteger: power at most 16 minus the decimal exponent of
// the value; no lower limit.
DecimalInteger roundScaled(std::uint64_t significand, std::int32_t exponent, std::int32_t power) {
  assert(exponent >= LowestExponent && exponent <= HighestExponent);
  DecimalInteger scaled(significand);
  // Exponent of the power of two in 2x.
  const std::int32_t twos = exponent + 1;
  // Growing steps go first and the truncating ones last; floor(floor(a/b)/c)
  // is floor(a/(bc)), so splitting the divisions loses nothing.
  if (power > 0) scaled.multiplyByPowerOfTen(static_cast<std::uint32_t>(power));
  if (twos > 0) scaled.shiftLeft(static_cast<std::size_t>(twos));
  if (twos < 0) scaled.shiftRight(static_cast<std::size_t>(-twos));
  if (power < 0) scaled.divideByPowerOfTen(static_cast<std::uint32_t>(-power));
  scaled.multiplyAdd(1, 1);
  scaled.shiftRight(1);
  return scaled;
}

// Builds the text left to right in a buffer of MaxDigitText characters.
class TextBuilder {
 public:
  void put(char c) {
    assert(length_ < MaxDigitText);
    text_[length_++] = c;
  }
  void put(const char* text, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) put(text[i]);
  }
  void put(const char* text) { put(text, std::strlen(text)); }
  void zeros(std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) put('0');
  }
  const char* text() const { return text_; }
  std::size_t length() const { return length_; }

 private:
  char text_[MaxDigitText]{};
  std::size_t length_ = 0;
};

// Digits of a rounded significand: at most the budget and one carry digit.
struct Digits {
  char text[DigitBudget + 1];
  std::size_t count;
};

Digits digitsOf(const DecimalInteger& value) {
  Digits digits;
  digits.count = value.writeDecimal(digits.text, sizeof digits.text);
  return digits;
}

// Scientific form: sign position, 17 significant digits, 4 exponent digits.
void writeScientific(const DecodedReal& real, TextBuilder& text) {
  text.put(real.negative ? '-' : ' ');
  std::int32_t exponent = 0;
  Digits digits{};
  if (real.significand == 0) {
    std::memset(digits.text, '0', DigitBudget);
    digits.count = DigitBudget;
  } else {
    exponent = decimalExponent(real.significand, real.exponent);
    digits = digitsOf(roundScaled(real.significand, real.exponent, DigitBudget - 1 - exponent));
    // Rounding up to a power of ten adds a digit: 10^17 becomes 10^16 × 10.
    if (digits.count > static_cast<std::size_t>(DigitBudget)) {
      digits.count = DigitBudget;
      ++exponent;
    }
  }
  text.put(digits.text[0]);
  text.put('.');
  text.put(digits.text + 1, digits.count - 1);
  text.put('E');
  text.put(exponent < 0 ? '-' : '+');
  std::uint32_t magnitude = static_cast<std::uint32_t>(exponent < 0 ? -exponent : exponent);
  char exponentText[ExponentDigits];
  for (std::size_t i = ExponentDigits; i-- > 0; magnitude /= 10) {
    exponentText[i] = static_cast<char>('0' + magnitude % 10);
  }
  assert(magnitude == 0 && "decimal exponent wider than its field");
  text.put(exponentText, ExponentDigits);
}

// Fixed form with `decimals` of 0 to 17, or the scientific form from 10^36 on.
void writeFixed(const DecodedReal& real, std::int32_t decimals, TextBuilder& text) {
  assert(decimals >= 0 && decimals <= DigitBudget);
  // Decimal positions kept by the rounding; negative when the budget ends
  // among the integer digits.
  std::int32_t kept = decimals;
  if (real.significand != 0) {
    const std::int32_t exponent = decimalExponent(real.significand, real.exponent);
    if (exponent >= FirstScientificExponent) return writeScientific(real, text);
    // The budget counts from the first integer digit of a magnitude of 1 or
    // more; the decimals of a smaller one are written in full.
    if (exponent >= 0) kept = std::min(decimals, DigitBudget - (exponent + 1));
  }
  const Digits digits = digitsOf(roundScaled(real.significand, real.exponent, kept));
  if (real.negative) text.put('-');
  if (kept < 0) {
    // Integer positions past the budget read as zeros, and so do the decimals.
    text.put(digits.text, digits.count);
    text.zeros(-kept);
    if (decimals > 0) {
      text.put('.');
      text.zeros(decimals);
    }
    return;
  }
  // The digits stand for the magnitude × 10^kept, kept <= decimals.
  const std::size_t fraction = static_cast<std::size_t>(kept);
  const std::size_t integer = digits.count > fraction ? digits.count - fraction : 0;
  if (integer > 0) {
    text.put(digits.text, integer);
  } else {
    text.put('0');
  }
  if (decimals == 0) return;
  text.put('.');
  text.zeros(kept - static_cast<std::int32_t>(digits.count - integer));
  text.put(digits.text + integer, digits.count - integer);
  text.zeros(decimals - kept);
}

}  // namespace

std::size_t formatReal(long double value, std::int32_t width, std::int32_t decimals, char* out) {
  const DecodedReal real = decode(value);
  TextBuilder text;
  switch (real.kind) {
    case DecodedReal::Kind::NaN: text.put("NaN"); break;
    case DecodedReal::Kind::Infinity: text.put(real.negative ? "-Inf" : "Inf"); break;
    case DecodedReal::Kind::Finite:
      if (decimals < 0) {
        writeScientific(real, text);
      } else {
        writeFixed(real, std::min(decimals, DigitBudget), text);
      }
      break;
  }
  // Blanks on the left up to the width, which is capped at the longest text.
  const std::size_t field =
      width > 0 ? std::min(static_cast<std::size_t>(width), MaxTextLength) : 0;
  const std::size_t padding = field > text.length() ? field - text.length() : 0;
  std::memset(out, ' ', padding);
  std::memcpy(out + padding, text.text(), text.length());
  return padding + text.length();
}

std::string realText(long double value, std::int32_t width, std::int32_t decimals) {
  char text[MaxTextLength];
  return {text, formatReal(value, width, decimals, text)};
}

}  // namespace runtime
