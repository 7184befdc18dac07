// Section 5: the lunar swing-by.  The spacecraft arrives at the Moon's
// distance on the lunar transfer and leaves with the angular momentum of the
// geosynchronous orbit; this section finds the exit angle, the speed change
// the Moon must give and the closest approach that turns the path enough.

#include <cmath>

#include "mission/constants.hpp"
#include "mission/figures.hpp"
#include "mission/report_line.hpp"
#include "mission/sections.hpp"
#include "mission/transfer.hpp"
#include "runtime/runtime_error.hpp"
#include "runtime/standard_streams.hpp"

namespace mission {

void swingbySection() {
  using Extended = long double;
  using runtime::reportStream;
  lunarRelativeSpeed = speedChange(lunarTransferApogeeSpeed, moonSpeed, inclination);

  runtime::endLine(reportStream);
  runtime::ioCheck();
  writeSpeedLine("Lunar relative speed = ", lunarRelativeSpeed);
  runtime::ioCheck();

  // Speed across the radius at the Moon's distance of an orbit with the
  // geosynchronous orbit's angular momentum.
  const Extended tangentialTarget =
      std::sqrt((Extended{geoAltitude} + EarthRadius) * EarthMu) / MoonDistance;
  thetaCosine = static_cast<double>((Extended{moonSpeed} - tangentialTarget) / lunarRelativeSpeed);
  theta = static_cast<double>(
      std::atan2(std::sqrt(1 / (Extended{thetaCosine} * thetaCosine) - 1), Extended{1}));
  deltaVRatio = static_cast<double>(
      std::sqrt((1 - ((moonSpeed - lunarTransferApogeeSpeed * std::cos(Extended{inclination})) *
                      std::cos(Extended{theta})) /
                         lunarRelativeSpeed) *
                2));
  lunarDeltaV = static_cast<double>(Extended{lunarRelativeSpeed} * deltaVRatio);

  writeSpeedLine("Lunar delta V (swingby) = ", lunarDeltaV);
  runtime::ioCheck();

  const Extended halfRatio = Extended{deltaVRatio} / 2;
  alpha = static_cast<double>(
      std::atan2(1 / std::sqrt(1 / (halfRatio * halfRatio) - 1), Extended{1}) * 2);
  lunarCircularSpeed =
      static_cast<double>(lunarRelativeSpeed / std::sqrt(1 / std::sin(Extended{alpha} / 2) - 1));
  swingbyMinimumAltitude = static_cast<double>(
      MoonMu / (Extended{lunarCircularSpeed} * lunarCircularSpeed) - MoonRadius);

  // The two angles share one line, written by two statements.
  runtime::writeString(reportStream, "Theta = ");
  runtime::writeReal(reportStream, (theta * DegreesPerHalfTurn) / Pi, 5, 2);
  runtime::writeString(reportStream, " degrees, ");
  runtime::endStatement(reportStream);
  runtime::ioCheck();
  runtime::writeString(reportStream, "Alpha = ");
  runtime::writeReal(reportStream, (alpha * DegreesPerHalfTurn) / Pi, 5, 2);
  runtime::writeString(reportStream, " degrees");
  runtime::endLine(reportStream);
  runtime::ioCheck();

  writeSpeedLine("Lunar orbit circular speed = ", lunarCircularSpeed);
  runtime::ioCheck();
  writeDistanceLine("Lunar swingby minimum altitude = ", swingbyMinimumAltitude);
  runtime::ioCheck();
}

}  // namespace mission
