// The orbit routines: properties that hold whatever the constants.

#include "mission/transfer.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "mission/constants.hpp"

namespace {

using namespace mission;

TEST(SpeedChange, LawOfCosinesLimits) {
  const double speeds[] = {0.0, 1.0, 188.985280528115, 3074.660040015121, 10785.0};
  for (const double v : speeds) {
    EXPECT_EQ(speedChange(v, v, 0), 0.0) << v;  // the same velocity: no change at all
    EXPECT_EQ(speedChange(v, 0, 0.9), v) << v;
    EXPECT_EQ(speedChange(0, v, 2.1), v) << v;
    EXPECT_NEAR(speedChange(v, 1000, std::numbers::pi), v + 1000, 1e-9 * (v + 1000)) << v;
    EXPECT_NEAR(speedChange(v, 1000, std::numbers::pi / 2), std::hypot(v, 1000), 1e-9 * (v + 1000));
  }
}

TEST(SolveTransfer, EqualAltitudesGiveTheCircularSpeedFourTimes) {
  solveTransfer(EarthRadius, 35793124.52218175, 35793124.52218175, EarthMu);
  const TransferResult& r = transferResult;
  EXPECT_EQ(r.speedAtFirst, r.circularAtFirst);
  EXPECT_EQ(r.speedAtSecond, r.circularAtFirst);
  EXPECT_EQ(r.circularAtSecond, r.circularAtFirst);
  EXPECT_NEAR(r.circularAtFirst, 3074.660040015121, 1e-9);
}

TEST(SolveTransfer, VisVivaRelations) {
  transferResult.shapeFactor = 0.25;
  solveTransfer(EarthRadius, 365000, 378030000, EarthMu);
  const TransferResult& r = transferResult;
  EXPECT_EQ(r.firstRadius, 6736000.0);
  EXPECT_EQ(r.secondRadius, 384401000.0);
  EXPECT_EQ(r.semiMajorAxis, 195568500.0);
  EXPECT_EQ(r.shapeFactor, 0.25) << "left for the swing-by";
  // Angular momentum is the same at both apses; the perigee is faster than a
  // circular orbit there, the apogee slower.
  EXPECT_NEAR(r.speedAtFirst * r.firstRadius, r.speedAtSecond * r.secondRadius,
              1e-12 * r.speedAtFirst * r.firstRadius);
  EXPECT_GT(r.speedAtFirst, r.circularAtFirst);
  EXPECT_LT(r.speedAtSecond, r.circularAtSecond);
  EXPECT_NEAR(r.speedAtFirst, 10784.758138403784, 1e-9);
  EXPECT_NEAR(r.speedAtSecond, 188.985280528115, 1e-9);
  EXPECT_NEAR(r.circularAtSecond, 1018.301521768086, 1e-9);
}

}  // namespace
