#pragma once
// An unsigned integer held in place, wide enough for the exact decimal
// conversion of any extended value: the few operations that conversion needs
// and nothing else.

#include <cstddef>
#include <cstdint>

namespace runtime {

// The widest integer the conversion forms.  It scales a significand m < 2^64
// times 2^e by 10^p and doubles it for rounding: 2·m·2^e·10^p.
//  - Large values: 2·m·2^e < 2^16385 (e at most 16320), and p is never
//    positive there.
//  - Small values: the scientific form keeps 17 digits, so p = 16 - X for the
//    decimal exponent X of the value, and 2·m·10^p < 2·10^17·2^-e before the
//    shift by e; with e down to -16445 that is below 2^(1 + 57 + 16445).
// The exponent test of the value forms m·10^k or m·2^e against a power of ten
// no wider than 10·2^16445, inside the same bound.
constexpr std::size_t LowestBinaryExponent = 16445;  // -e of the smallest denormal
constexpr std::size_t BudgetBits = 57;               // 10^17 < 2^57
constexpr std::size_t DecimalIntegerBits = 1 + BudgetBits + LowestBinaryExponent;

class DecimalInteger {
 public:
  static constexpr std::size_t LimbBits = 32;
  // 516 limbs: 16512 bits, 2 KiB.
  static constexpr std::size_t MaxLimbs = (DecimalIntegerBits + LimbBits - 1) / LimbBits;

  explicit DecimalInteger(std::uint64_t value);

  bool isZero() const { return used_ == 0; }
  bool isOdd() const { return used_ != 0 && (limbs_[0] & 1) != 0; }

  // Bits up to and including the highest one set; 0 for zero.
  std::size_t bitLength() const;

  // value = value × factor + addend.  The result must fit in MaxLimbs limbs.
  void multiplyAdd(std::uint32_t factor, std::uint32_t addend);

  // value = value × 10^exponent.  The result must fit in MaxLimbs limbs.
  void multiplyByPowerOfTen(std::uint32_t exponent);

  // value = value × 2^bits.  The result must fit in MaxLimbs limbs.
  void shiftLeft(std::size_t bits);

  // value = floor(value / 2^bits); any count is valid.
  void shiftRight(std::size_t bits);

  // value = floor(value / divisor), divisor not 0; returns the remainder.
  std::uint32_t divide(std::uint32_t divisor);

  // value = floor(value / 10^exponent); any exponent is valid.
  void divideByPowerOfTen(std::uint32_t exponent);

  // Negative, zero or positive as a is below, equal to or above b.
  friend int compare(const DecimalInteger& a, const DecimalInteger& b);

  // Writes the decimal digits (at least one, no leading zeros) into `out` and
  // returns their count, which must not exceed `room`.
  std::size_t writeDecimal(char* out, std::size_t room) const;

 private:
  // Base 2^32 digits, least significant first.  limbs_[used_ - 1] is nonzero;
  // limbs at used_ and above are zero.
  std::uint32_t limbs_[MaxLimbs]{};
  std::size_t used_ = 0;
};

}  // namespace runtime
