// Section 1: the derived values and the geosynchronous altitude.

#include <cmath>
#include <numbers>

#include "mission/constants.hpp"
#include "mission/figures.hpp"
#include "mission/report_line.hpp"
#include "mission/sections.hpp"
#include "runtime/runtime_error.hpp"
#include "runtime/standard_streams.hpp"

namespace mission {

void geoAltitudeSection() {
  using Extended = long double;
  Pi = std::numbers::pi_v<double>;
  inclination = static_cast<double>((Extended{Pi} * InclinationDegrees) / DegreesPerHalfTurn);
  // The radius of a one-sidereal-day orbit, (sqrt(mu) T / 2 pi)^(2/3), as the
  // exponential of two thirds of the logarithm.
  geoAltitude = static_cast<double>(
      std::exp((std::log(GeoPeriodFactor / (Extended{Pi} * 2)) * 2) / 3) - EarthRadius);

  runtime::endLine(runtime::reportStream);
  runtime::ioCheck();
  writeDistanceLine("Geosynchrous altitiude = ", geoAltitude);
  runtime::ioCheck();
}

}  // namespace mission
