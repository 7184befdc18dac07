// The fixed-capacity unsigned integer of exact decimal conversion.

#include "runtime/decimal_integer.hpp"

#include <bit>
#include <cassert>
#include <cstring>

namespace runtime {

namespace {

// The largest power of ten in a limb, the step of the power-of-ten helpers.
constexpr std::uint32_t LimbTen = 1000000000;
constexpr std::uint32_t LimbTenDigits = 9;

}  // namespace

DecimalInteger::DecimalInteger(std::uint64_t value) {
  while (value != 0) {
    limbs_[used_++] = static_cast<std::uint32_t>(value);
    value >>= LimbBits;
  }
}

std::size_t DecimalInteger::bitLength() const {
  if (used_ == 0) return 0;
  return (used_ - 1) * LimbBits + std::bit_width(limbs_[used_ - 1]);
}

void DecimalInteger::multiplyAdd(std::uint32_t factor, std::uint32_t addend) {
  std::uint64_t carry = addend;
  for (std::size_t i = 0; i < used_; ++i) {
    const std::uint64_t product = std::uint64_t{limbs_[i]} * factor + carry;
    limbs_[i] = static_cast<std::uint32_t>(product);
    carry = product >> LimbBits;
  }
  if (carry != 0) {
    assert(used_ < MaxLimbs && "product wider than the capacity");
    limbs_[used_++] = static_cast<std::uint32_t>(carry);
  }
  // A zero factor leaves zero limbs at the top.
  while (used_ > 0 && limbs_[used_ - 1] == 0) --used_;
}

void DecimalInteger::multiplyByPowerOfTen(std::uint32_t exponent) {
  for (; exponent >= LimbTenDigits; exponent -= LimbTenDigits) multiplyAdd(LimbTen, 0);
  std::uint32_t rest = 1;
  for (; exponent > 0; --exponent) rest *= 10;
  multiplyAdd(rest, 0);
}

void DecimalInteger::shiftLeft(std::size_t bits) {
  if (used_ == 0 || bits == 0) return;
  assert(bitLength() + bits <= MaxLimbs * LimbBits && "shift beyond the capacity");
  const std::size_t limbShift = bits / LimbBits;
  const unsigned bitShift = bits % LimbBits;
  const std::size_t oldUsed = used_;
  // The top limb gains the bits shifted out of the old top limb, if any.
  used_ = oldUsed + limbShift +
          ((bitShift != 0 && (limbs_[oldUsed - 1] >> (LimbBits - bitShift)) != 0) ? 1 : 0);
  for (std::size_t i = used_; i-- > limbShift;) {
    const std::size_t source = i - limbShift;
    std::uint32_t limb = source < oldUsed ? limbs_[source] << bitShift : 0;
    if (bitShift != 0 && source >= 1 && source - 1 < oldUsed) {
      limb |= limbs_[source - 1] >> (LimbBits - bitShift);
    }
    limbs_[i] = limb;
  }
  std::memset(limbs_, 0, limbShift * sizeof limbs_[0]);
}

void DecimalInteger::shiftRight(std::size_t bits) {
  const std::size_t limbShift = bits / LimbBits;
  if (limbShift >= used_) {
    std::memset(limbs_, 0, used_ * sizeof limbs_[0]);
    used_ = 0;
    return;
  }
  const unsigned bitShift = bits % LimbBits;
  const std::size_t kept = used_ - limbShift;
  for (std::size_t i = 0; i < kept; ++i) {
    std::uint32_t limb = limbs_[i + limbShift] >> bitShift;
    if (bitShift != 0 && i + limbShift + 1 < used_) {
      limb |= limbs_[i + limbShift + 1] << (LimbBits - bitShift);
    }
    limbs_[i] = limb;
  }
  std::memset(limbs_ + kept, 0, limbShift * sizeof limbs_[0]);
  used_ = kept;
  while (used_ > 0 && limbs_[used_ - 1] == 0) --used_;
}

std::uint32_t DecimalInteger::divide(std::uint32_t divisor) {
  assert(divisor != 0);
  std::uint64_t remainder = 0;
  for (std::size_t i = used_; i-- > 0;) {
    const std::uint64_t dividend = (remainder << LimbBits) | limbs_[i];
    limbs_[i] = static_cast<std::uint32_t>(dividend / divisor);
    remainder = dividend % divisor;
  }
  while (used_ > 0 && limbs_[used_ - 1] == 0) --used_;
  return static_cast<std::uint32_t>(remainder);
}

void DecimalInteger::divideByPowerOfTen(std::uint32_t exponent) {
  // floor(floor(a / b) / c) = floor(a / bc), so the steps compose exactly.
  for (; exponent >= LimbTenDigits && used_ != 0; exponent -= LimbTenDigits) divide(LimbTen);
  if (used_ == 0) return;
  std::uint32_t rest = 1;
  for (; exponent > 0; --exponent) rest *= 10;
  divide(rest);
}

int compare(const DecimalInteger& a, const DecimalInteger& b) {
  if (a.used_ != b.used_) return a.used_ < b.used_ ? -1 : 1;
  for (std::size_t i = a.used_; i-- > 0;) {
    if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
  }
  return 0;
}

std::size_t DecimalInteger::writeDecimal(char* out, std::size_t room) const {
  // Digits are produced last first, from the end of `out`, then moved down.
  DecimalInteger rest = *this;
  std::size_t start = room;
  do {
    std::uint32_t chunk = rest.divide(LimbTen);
    // A full chunk below the top keeps its leading zeros.
    const std::uint32_t digits = rest.isZero() ? 0 : LimbTenDigits;
    std::uint32_t written = 0;
    do {
      assert(start > 0 && "more digits than room");
      out[--start] = static_cast<char>('0' + chunk % 10);
      chunk /= 10;
      ++written;
    } while (chunk != 0 || written < digits);
  } while (!rest.isZero());
  std::memmove(out, out + start, room - start);
  return room - start;
}

}  // namespace runtime
