// Round to a whole number: ties to even whatever the rounding mode, and
// run-time error 207 outside the 32-bit range.

#include "runtime/round_to_whole.hpp"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>

#include "runtime/standard_streams.hpp"
#include "tests/run_under_startup.hpp"

namespace {

struct Case {
  long double value;
  std::int32_t whole;
};

const Case InRange[] = {
    {2.5L, 2},
    {3.5L, 4},
    {0.5L, 0},
    {-2.5L, -2},
    {-0.4L, 0},
    {1.5L, 2},
    {-1.5L, -2},
    {2.4999999999L, 2},
    {2.5000000001L, 3},
    {-0.5L, 0},
    {-0.0L, 0},
    {35793.12452218175L, 35793},
    {2147483647.4L, 2147483647},
    {-2147483648.5L, INT32_MIN},
    {-2147483648.4L, INT32_MIN},
    {2147483646.5L, 2147483646},
};

TEST(RoundToWhole, TiesToEvenInEveryRoundingMode) {
  for (const int mode : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
    ASSERT_EQ(std::fesetround(mode), 0);
    for (const Case& c : InRange) EXPECT_EQ(runtime::roundToWhole(c.value), c.whole) << c.value;
    std::fesetround(FE_TONEAREST);
  }
}

long double outOfRangeValue;

// Rounds outOfRangeValue the way a report line does.
void roundOutOfRange() {
  runtime::runtimeInit();
  runtime::roundToWhole(outOfRangeValue);
}

TEST(RoundToWhole, OutOfRangeOrNotANumberIsError207) {
  const long double cases[] = {2147483647.5L,
                               -2147483648.5000001L,
                               1e30L,
                               -1e30L,
                               std::numeric_limits<long double>::infinity(),
                               -std::numeric_limits<long double>::infinity(),
                               std::numeric_limits<long double>::quiet_NaN()};
  for (const long double value : cases) {
    fake::reset();
    outOfRangeValue = value;
    EXPECT_EQ(fake::runUnderStartup(roundOutOfRange), 207) << value;
    EXPECT_EQ(fake::writtenTo(fake::OutputHandle).rfind("Runtime error 207 at 0x", 0), 0u);
  }
}

// A statement whose write failed, then whose figure cannot be rounded.
void failWriteThenRoundOutOfRange() {
  runtime::runtimeInit();
  runtime::pendingIoError = 101;
  runtime::roundToWhole(outOfRangeValue);
}

TEST(RoundToWhole, ErrorReportIsNotSilencedByAFailedWriteBeforeIt) {
  fake::reset();
  outOfRangeValue = 1e30L;
  EXPECT_EQ(fake::runUnderStartup(failWriteThenRoundOutOfRange), 207);
  EXPECT_EQ(fake::writtenTo(fake::OutputHandle).rfind("Runtime error 207 at 0x", 0), 0u);
}

}  // namespace
