// The exact decimal reference, compiled on its own.

#include "fuzz/exact_reference.hpp"

#include "tests/exact_decimal_reference.hpp"

namespace fuzz {

std::string exactReferenceText(bool negative, std::uint16_t exponentField,
                               std::uint64_t significand, std::int32_t width,
                               std::int32_t decimals) {
  return exact_decimal_reference::realText(negative, exponentField, significand, width, decimals);
}

}  // namespace fuzz
