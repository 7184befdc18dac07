// Section 6: the orbit after the swing-by.  Its perigee lies at the
// geosynchronous altitude, where one burn makes the orbit geosynchronous.

#include <cmath>

#include "mission/constants.hpp"
#include "mission/figures.hpp"
#include "mission/report_line.hpp"
#include "mission/sections.hpp"
#include "mission/transfer.hpp"
#include "runtime/runtime_error.hpp"
#include "runtime/standard_streams.hpp"

namespace mission {

void postSwingbySection() {
  using Extended = long double;
  using runtime::reportStream;
  postSwingbySpeed = speedChange(lunarRelativeSpeed, moonSpeed, theta);

  runtime::endLine(reportStream);
  runtime::ioCheck();
  writeSpeedLine("Post swingby speed = ", postSwingbySpeed);
  runtime::ioCheck();

  // Vis-viva at the Moon's distance gives the semi-major axis; the angular
  // momentum there gives the shape.
  TransferResult& r = transferResult;
  r.semiMajorAxis = static_cast<double>(
      1 / (TwoOverMoonDistance - (Extended{postSwingbySpeed} * postSwingbySpeed) / EarthMu));
  const Extended angularMomentum =
      (moonSpeed - lunarRelativeSpeed * std::cos(Extended{theta})) * MoonDistance;
  r.shapeFactor = static_cast<double>(1 - (angularMomentum * angularMomentum) /
                                              (Extended{r.semiMajorAxis} * EarthMu));
  postPerigeeAltitude =
      static_cast<double>((1 - Extended{r.shapeFactor}) * r.semiMajorAxis - EarthRadius);
  postApogeeAltitude =
      static_cast<double>((Extended{r.shapeFactor} + 1) * r.semiMajorAxis - EarthRadius);

  runtime::writeString(reportStream, "Post swingby orbit = ");
  writeKilometres(postPerigeeAltitude);
  runtime::writeChar(reportStream, 'x');
  writeKilometres(postApogeeAltitude);
  runtime::writeString(reportStream, " km");
  runtime::endLine(reportStream);
  runtime::ioCheck();

  solveTransfer(EarthRadius, postPerigeeAltitude, postApogeeAltitude, EarthMu);
  postSwingbyPerigeeSpeed = transferResult.speedAtFirst;
  postSwingbyPerigeeDeltaV = static_cast<double>(Extended{postSwingbyPerigeeSpeed} - geoSpeed);

  writeSpeedLine("Post swingby perigee speed = ", postSwingbyPerigeeSpeed);
  runtime::ioCheck();
  writeSpeedLine("Post swingby perigee delta V = ", postSwingbyPerigeeDeltaV);
  runtime::ioCheck();
  writeSpeedLine("Total delta V (swingby) = ",
                 Extended{lunarTransferDeltaV} + postSwingbyPerigeeDeltaV);
  runtime::ioCheck();
}

}  // namespace mission
