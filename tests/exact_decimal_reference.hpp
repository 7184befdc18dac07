#pragma once
// A slow, independent reference for the text of an extended value.  It writes
// out the value's complete decimal expansion as a string of digits (the
// significand in decimal, multiplied digit by digit by 2^e, or by 5^-e with the
// point moved -e places), then rounds half away from zero by looking only at
// the first digit dropped.  The runtime instead scales in binary with floor
// divisions; the two share nothing but the rules of the text.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace exact_decimal_reference {

// The text of the 80-bit extended value with these fields, formatted as
// runtime::formatReal does: fixed form for decimals >= 0 (at most 17, 17 digit
// budget from the first integer digit, scientific from 10^36 on), scientific
// form for negative decimals, blanks on the left up to the width capped at 255.
// `exponentField` is the 15-bit biased exponent, 0 to 0x7FFF; `significand`
// includes the integer bit; the value is significand × 2^(max(exponentField, 1)
// - 16446), whatever that bit says.
inline std::string realText(bool negative, std::uint16_t exponentField, std::uint64_t significand,
                            std::int32_t width, std::int32_t decimals);

namespace detail {

// Decimal digits, least significant first.
using Digits = std::vector<std::uint8_t>;

// digits = digits × factor; factor × 10 must fit in 64 bits.
inline void multiply(Digits& digits, std::uint64_t factor) {
  std::uint64_t carry = 0;
  for (std::uint8_t& digit : digits) {
    const std::uint64_t product = digit * factor + carry;
    digit = static_cast<std::uint8_t>(product % 10);
    carry = product / 10;
  }
  for (; carry != 0; carry /= 10) digits.push_back(static_cast<std::uint8_t>(carry % 10));
}

// The exact decimal expansion of significand × 2^exponent, most significant
// digit first: integer digits without leading zeros (none below 1), then all
// the fraction digits.
struct Expansion {
  std::string integer;
  std::string fraction;
};

inline Expansion expand(std::uint64_t significand, std::int32_t exponent) {
  Digits digits;
  for (std::uint64_t rest = significand; rest != 0; rest /= 10) {
    digits.push_back(static_cast<std::uint8_t>(rest % 10));
  }
  std::size_t fractionDigits = 0;
  if (exponent >= 0) {
    for (std::int32_t left = exponent; left > 0; left -= 59) {
      multiply(digits, std::uint64_t{1} << std::min(left, 59));
    }
  } else {
    // m / 2^k = m × 5^k / 10^k.
    std::uint64_t fivePower26 = 1;
    for (int i = 0; i < 26; ++i) fivePower26 *= 5;
    for (std::int32_t left = -exponent; left > 0; left -= 26) {
      std::uint64_t factor = fivePower26;
      if (left < 26) {
        factor = 1;
        for (int i = 0; i < left; ++i) factor *= 5;
      }
      multiply(digits, factor);
    }
    fractionDigits = static_cast<std::size_t>(-exponent);
  }
  digits.resize(std::max(digits.size(), fractionDigits), 0);
  Expansion expansion;
  for (std::size_t i = digits.size(); i-- > fractionDigits;) {
    if (expansion.integer.empty() && digits[i] == 0) continue;
    expansion.integer += static_cast<char>('0' + digits[i]);
  }
  for (std::size_t i = fractionDigits; i-- > 0;) {
    expansion.fraction += static_cast<char>('0' + digits[i]);
  }
  return expansion;
}

// The first `count` digits of `digits` (zeros past its end), rounded half
// away from zero at the last one kept; a carry out of the first digit makes
// the result one digit longer.
inline std::string roundAt(const std::string& digits, std::size_t count) {
  std::string kept = digits.substr(0, std::min(count, digits.size()));
  kept.resize(count, '0');
  const bool up = count < digits.size() && digits[count] >= '5';
  if (!up) return kept;
  std::size_t i = kept.size();
  while (i > 0 && kept[i - 1] == '9') kept[--i] = '0';
  if (i == 0) return "1" + kept;
  ++kept[i - 1];
  return kept;
}

inline std::string scientific(bool negative, const Expansion& expansion) {
  const std::string all = expansion.integer + expansion.fraction;
  const std::size_t first = all.find_first_not_of('0');
  std::string sign = negative ? "-" : " ";
  if (first == std::string::npos) return sign + "0.0000000000000000E+0000";
  std::int64_t exponent =
      static_cast<std::int64_t>(expansion.integer.size()) - 1 - static_cast<std::int64_t>(first);
  std::string kept = roundAt(all.substr(first), 17);
  if (kept.size() > 17) {
    kept.pop_back();
    ++exponent;
  }
  std::string exponentText = std::to_string(exponent < 0 ? -exponent : exponent);
  exponentText.insert(0, 4 - std::min<std::size_t>(4, exponentText.size()), '0');
  return sign + kept[0] + "." + kept.substr(1) + "E" + (exponent < 0 ? "-" : "+") + exponentText;
}

inline std::string fixed(bool negative, const Expansion& expansion, std::int32_t decimals) {
  const std::int32_t integerDigits = static_cast<std::int32_t>(expansion.integer.size());
  if (integerDigits > 36) return scientific(negative, expansion);
  // Decimal places that survive the 17 digit budget; negative when it ends
  // among the integer digits.
  const std::int32_t kept = integerDigits > 0 ? std::min(decimals, 17 - integerDigits) : decimals;
  // The rounded digits stand for the magnitude × 10^kept.
  const std::int32_t roundedLength = integerDigits + kept;
  std::string digits =
      roundAt(expansion.integer + expansion.fraction, static_cast<std::size_t>(roundedLength));
  std::string integer;
  std::string fraction;
  if (kept >= 0) {
    integer = digits.substr(0, digits.size() - static_cast<std::size_t>(kept));
    fraction = digits.substr(digits.size() - static_cast<std::size_t>(kept));
  } else {
    integer = digits + std::string(static_cast<std::size_t>(-kept), '0');
  }
  fraction.resize(static_cast<std::size_t>(decimals), '0');
  integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size()));
  if (integer.empty()) integer = "0";
  return (negative ? "-" : "") + integer + (decimals > 0 ? "." + fraction : "");
}

}  // namespace detail

inline std::string realText(bool negative, std::uint16_t exponentField, std::uint64_t significand,
                            std::int32_t width, std::int32_t decimals) {
  std::string text;
  if (exponentField == 0x7FFF) {
    const bool infinity = (significand & 0x7FFFFFFFFFFFFFFF) == 0;
    text = !infinity ? "NaN" : negative ? "-Inf" : "Inf";
  } else {
    // Denormals read with the exponent of the smallest normals.
    const std::int32_t exponent = std::max<std::int32_t>(exponentField, 1) - 16383 - 63;
    const detail::Expansion expansion = detail::expand(significand, exponent);
    text = decimals < 0 ? detail::scientific(negative, expansion)
                        : detail::fixed(negative, expansion, std::min(decimals, 17));
  }
  const std::size_t field = static_cast<std::size_t>(std::clamp(width, 0, 255));
  if (text.size() < field) text.insert(0, field - text.size(), ' ');
  return text;
}

}  // namespace exact_decimal_reference
