// Real-number text: hand-worked cases, agreement with the slow decimal
// reference over random encodings, odd encodings, and formatting with the
// floating-point traps enabled.

#include "runtime/real_text.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "tests/exact_decimal_reference.hpp"

namespace {

using runtime::MaxTextLength;
using runtime::realText;

constexpr long double Nan = std::numeric_limits<long double>::quiet_NaN();
constexpr long double Infinity = std::numeric_limits<long double>::infinity();

// The fields of an 80-bit extended value.
struct Encoding {
  bool negative;
  std::uint16_t exponentField;  // 0 to 0x7FFF
  std::uint64_t significand;    // integer bit included
};

long double fromEncoding(const Encoding& encoding) {
  long double value = 0;
  const std::uint16_t signAndExponent =
      static_cast<std::uint16_t>(encoding.exponentField | (encoding.negative ? 0x8000 : 0));
  unsigned char bytes[10];
  std::memcpy(bytes, &encoding.significand, 8);
  std::memcpy(bytes + 8, &signAndExponent, 2);
  std::memcpy(&value, bytes, sizeof bytes);
  // Hidden from the optimiser: clang folds a known value into a constant of
  // its own, turning a pseudo-denormal into a normal and an unnormal into a
  // NaN, so the formatter would never see the encoding under test.
  asm("" : "+m"(value));
  return value;
}

Encoding encodingOf(long double value) {
  unsigned char bytes[10];
  std::memcpy(bytes, &value, sizeof bytes);
  Encoding encoding;
  std::uint16_t signAndExponent;
  std::memcpy(&encoding.significand, bytes, 8);
  std::memcpy(&signAndExponent, bytes + 8, 2);
  encoding.negative = (signAndExponent & 0x8000) != 0;
  encoding.exponentField = signAndExponent & 0x7FFF;
  return encoding;
}

std::string referenceText(const Encoding& e, std::int32_t width, std::int32_t decimals) {
  return exact_decimal_reference::realText(e.negative, e.exponentField, e.significand, width,
                                           decimals);
}

std::string describe(const Encoding& e, std::int32_t width, std::int32_t decimals) {
  char text[96];
  static_cast<void>(std::snprintf(
      text, sizeof text, "sign %d exponent 0x%04X significand 0x%016llX width %d decimals %d",
      e.negative ? 1 : 0, e.exponentField, static_cast<unsigned long long>(e.significand), width,
      decimals));
  return text;
}

// A decimal number stands for the double nearest to it, widened.
struct Case {
  long double value;
  std::int32_t width;
  std::int32_t decimals;
  const char* expected;
};

// clang-format off
const Case HandWorkedCases[] = {
  // value                      width decimals expected
  // Round half away from zero, at the exact decimal value.
  {41.76005452449748,             5,   2,  "41.76"},
  {42.60310267925846,             5,   2,  "42.60"},
  {0.005,                         5,   2,  " 0.01"},   // 0.005000000000000000104
  {-0.005,                        5,   2,  "-0.01"},
  {9.995,                         5,   2,  " 9.99"},   // 9.994999999999999218: below the tie
  {123.456,                       5,   2,  "123.46"},
  {-12.345,                       5,   2,  "-12.35"},  // 12.345000000000000639
  {2.5,                           5,   0,  "    3"},   // an exact tie goes up
  {-2.5,                          5,   0,  "   -3"},
  {0.125,                         0,   2,  "0.13"},
  {1.0 / 3,                       0,  17,  "0.33333333333333331"},
  {1.0L / 3,                      0,  17,  "0.33333333333333333"},
  {0.1,                           0,  -1,  " 1.0000000000000001E-0001"},
  // Carries through every digit, gaining one.
  {0.999,                         5,   2,  " 1.00"},
  {99.995,                        5,   2,  "100.00"},  // 99.995000000000004547: above the tie
  {9.99999999999999999e35L,       0,   2,  "1000000000000000000000000000000000000.00"},
  {9.99999999999999999L,          0,  -1,  " 1.0000000000000000E+0001"},
  // Results that round to zero keep one integer digit.
  {0.004,                         5,   2,  " 0.00"},
  {0.4,                           5,   0,  "    0"},
  {1e-300,                        0,   3,  "0.000"},
  // Negative zero and negatives that round to zero keep the sign.
  {0.0,                           5,   2,  " 0.00"},
  {-0.0,                          5,   2,  "-0.00"},
  {-0.001,                        5,   2,  "-0.00"},
  {-0.4,                          5,   0,  "   -0"},
  {0.0,                           0,  -1,  " 0.0000000000000000E+0000"},
  {-0.0,                          0,  -1,  "-0.0000000000000000E+0000"},
  // Specials ignore the decimals; a NaN has no sign.
  {Nan,                           5,   2,  "  NaN"},
  {-Nan,                          5,   2,  "  NaN"},
  {Infinity,                      5,   2,  "  Inf"},
  {-Infinity,                     5,   2,  " -Inf"},
  {-Infinity,                     0,  -1,  "-Inf"},
  // Width is a minimum, capped at 255, ignored when not positive.
  {1.5,                           8,   2,  "    1.50"},
  {1.5,                           0,   2,  "1.50"},
  {1.5,                          -7,   2,  "1.50"},
  {-1.5,                          3,   2,  "-1.50"},
  // The 17 digit budget, and the decimals cap at 17.
  {1.5,                           0,  20,  "1.50000000000000000"},
  {1234567890123456.75L,          0,   2,  "1234567890123456.80"},
  {123456789012345678.0,          0,   1,  "123456789012345680.0"},
  {1e35L,                         0,   0,  "100000000000000000000000000000000000"},
  {0.0123456789012345678L,        0,  17,  "0.01234567890123457"},
  // From 10^36 the scientific form takes over, and the exponent has 4 digits.
  {1e36,                          0,   2,  " 1.0000000000000000E+0036"},
  {-1e300,                        0,  -1,  "-1.0000000000000001E+0300"},
  {std::numeric_limits<long double>::max(),        0, -1, " 1.1897314953572318E+4932"},
  {std::numeric_limits<long double>::denorm_min(), 0, -1, " 3.6451995318824746E-4951"},
};
// clang-format on

TEST(RealText, HandWorkedCases) {
  for (const Case& c : HandWorkedCases) {
    EXPECT_EQ(realText(c.value, c.width, c.decimals), c.expected)
        << describe(encodingOf(c.value), c.width, c.decimals);
  }
}

// The fuzzer trusts the reference, so it must get the hand-worked cases too.
TEST(ExactDecimalReference, HandWorkedCases) {
  for (const Case& c : HandWorkedCases) {
    const Encoding e = encodingOf(c.value);
    EXPECT_EQ(referenceText(e, c.width, c.decimals), c.expected)
        << describe(e, c.width, c.decimals);
  }
}

TEST(RealText, WidthStopsAtLongestText) {
  EXPECT_EQ(realText(1.5, 300, 2), std::string(MaxTextLength - 4, ' ') + "1.50");
}

void expectAgreement(const Encoding& e, std::int32_t width, std::int32_t decimals) {
  const std::string text = realText(fromEncoding(e), width, decimals);
  EXPECT_LE(text.size(), MaxTextLength);
  EXPECT_EQ(text, referenceText(e, width, decimals)) << describe(e, width, decimals);
}

// Random bit patterns over the whole exponent range, unnormals and specials
// included, in both forms; widths reach past the cap.
TEST(RealText, AgreesWithReferenceOverWholeRange) {
  std::mt19937_64 random(20240611);
  std::uniform_int_distribution<int> exponent(0, 0x7FFF);
  std::uniform_int_distribution<std::int32_t> width(-3, 300);
  std::uniform_int_distribution<std::int32_t> decimals(-3, 20);
  for (int i = 0; i < 300; ++i) {
    const Encoding e{(random() & 1) != 0, static_cast<std::uint16_t>(exponent(random)), random()};
    expectAgreement(e, width(random), decimals(random));
  }
}

// Magnitudes from 10^-20 to 10^40, where the fixed form writes digits other
// than zeros and the budget and the switch to scientific form matter.
TEST(RealText, AgreesWithReferenceNearOne) {
  std::mt19937_64 random(7);
  std::uniform_int_distribution<int> exponent(16383 - 70, 16383 + 135);
  std::uniform_int_distribution<std::int32_t> decimals(-1, 18);
  for (int i = 0; i < 5000; ++i) {
    const std::uint64_t significand = random() | (std::uint64_t{1} << 63);
    const Encoding e{(random() & 1) != 0, static_cast<std::uint16_t>(exponent(random)),
                     significand};
    expectAgreement(e, 0, decimals(random));
  }
}

// Exact decimal ties: an odd m over 2^d ends in the digit 5 at decimal d, so
// rounding to d - 1 decimals is a tie, which must go away from zero.
TEST(RealText, AgreesWithReferenceOnTies) {
  std::mt19937_64 random(11);
  for (int i = 0; i < 2000; ++i) {
    const int d = 1 + static_cast<int>(random() % 17);
    const std::uint64_t odd = (random() >> (64 - 40)) | 1;
    // Normalise odd × 2^-d into the extended encoding.
    const int shift = std::countl_zero(odd);
    const Encoding e{(random() & 1) != 0, static_cast<std::uint16_t>(16383 + 63 - shift - d),
                     odd << shift};
    expectAgreement(e, 0, d - 1);
  }
}

// Encodings no arithmetic produces still get a text of the formula's value.
TEST(RealText, OddEncodings) {
  // clang-format off
  const struct {
    Encoding encoding;
    const char* what;
  } cases[] = {
    {{false, 0x0000, 0x8000000000000000}, "pseudo-denormal"},
    {{true,  0x0000, 0xFFFFFFFFFFFFFFFF}, "pseudo-denormal, all ones"},
    {{false, 0x3FFF, 0x4000000000000000}, "unnormal"},
    {{false, 0x7FFE, 0x0000000000000001}, "unnormal, top of the range"},
    {{false, 0x1234, 0x0000000000000000}, "pseudo-zero"},
    {{false, 0x7FFF, 0x4000000000000000}, "pseudo-NaN"},
    {{true,  0x7FFF, 0x0000000000000001}, "pseudo-NaN, negative"},
    {{false, 0x7FFF, 0x0000000000000000}, "pseudo-infinity"},
    {{true,  0x7FFF, 0x0000000000000000}, "pseudo-infinity, negative"},
  };
  // clang-format on
  for (const auto& c : cases) {
    for (std::int32_t decimals : {-1, 0, 17}) {
      SCOPED_TRACE(c.what);
      expectAgreement(c.encoding, 1000, decimals);
    }
  }
  EXPECT_EQ(realText(fromEncoding({false, 0x7FFF, 0}), 0, 2), "Inf");
  EXPECT_EQ(realText(fromEncoding({true, 0x7FFF, 1}), 0, 2), "NaN");
}

#if defined(__x86_64__) || defined(__i386__)

// Formats with the invalid, zero-divide and overflow traps enabled in both
// the x87 unit (the program's start-up control word) and SSE; any
// floating-point operation on a special value would stop the test.
class TrapsEnabled : public ::testing::Test {
 protected:
  static std::string formatTrapping(long double value, std::int32_t width, std::int32_t decimals) {
    constexpr std::uint16_t StartupControlWord = 0x1332;
    constexpr std::uint32_t SseTrapMasks =
        0x0080 | 0x0200 | 0x0400;  // invalid, zero divide, overflow
    constexpr std::uint32_t SseFlags = 0x003F;
    std::uint16_t savedControl;
    std::uint32_t savedMxcsr;
    asm volatile("fnstcw %0" : "=m"(savedControl)::"memory");
    asm volatile("stmxcsr %0" : "=m"(savedMxcsr)::"memory");
    const std::uint32_t trappingMxcsr = savedMxcsr & ~(SseTrapMasks | SseFlags);
    asm volatile("fnclex\n\tfldcw %0" ::"m"(StartupControlWord) : "memory");
    asm volatile("ldmxcsr %0" ::"m"(trappingMxcsr) : "memory");
    char text[MaxTextLength];
    const std::size_t length = runtime::formatReal(value, width, decimals, text);
    asm volatile("fnclex\n\tfldcw %0" ::"m"(savedControl) : "memory");
    asm volatile("ldmxcsr %0" ::"m"(savedMxcsr) : "memory");
    return {text, length};
  }
};

TEST_F(TrapsEnabled, SpecialAndTinyValuesFormatWithoutFault) {
  // clang-format off
  const struct {
    long double value;
    std::int32_t decimals;
    const char* expected;
  } cases[] = {
    {std::numeric_limits<long double>::quiet_NaN(),     2, "  NaN"},
    {std::numeric_limits<long double>::signaling_NaN(), 2, "  NaN"},
    {std::numeric_limits<long double>::infinity(),      2, "  Inf"},
    {-std::numeric_limits<long double>::infinity(),     2, " -Inf"},
    {std::numeric_limits<long double>::denorm_min(),    2, " 0.00"},
    {std::numeric_limits<long double>::denorm_min(),   -1, " 3.6451995318824746E-4951"},
    {std::numeric_limits<long double>::max(),           2, " 1.1897314953572318E+4932"},
    {fromEncoding({false, 0x0000, 0x8000000000000000}), -1, " 3.3621031431120935E-4932"},
    {fromEncoding({false, 0x3FFF, 0x4000000000000000}), 2, " 0.50"},
    {fromEncoding({false, 0x7FFF, 0x4000000000000000}), 2, "  NaN"},
    {fromEncoding({false, 0x7FFF, 0x0000000000000000}), 2, "  Inf"},
  };
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_EQ(formatTrapping(c.value, 5, c.decimals), c.expected);
  }
}

#endif

}  // namespace
