// Section 4: back from the Moon's distance to geosynchronous orbit without a
// swing-by: a plane-changing burn at apogee, a circularising burn at perigee.

#include "mission/constants.hpp"
#include "mission/figures.hpp"
#include "mission/report_line.hpp"
#include "mission/sections.hpp"
#include "mission/transfer.hpp"
#include "runtime/runtime_error.hpp"
#include "runtime/standard_streams.hpp"

namespace mission {

void geoReturnSection() {
  using Extended = long double;
  solveTransfer(EarthRadius, geoAltitude, MoonOrbitAltitude, EarthMu);
  geoTransferPerigeeSpeed = transferResult.speedAtFirst;
  geoTransferApogeeSpeed = transferResult.speedAtSecond;
  geoTransferApogeeDeltaV =
      speedChange(lunarTransferApogeeSpeed, geoTransferApogeeSpeed, inclination);
  geoTransferPerigeeDeltaV = static_cast<double>(Extended{geoTransferPerigeeSpeed} - geoSpeed);

  runtime::endLine(runtime::reportStream);
  runtime::ioCheck();
  writeSpeedLine("Geo transfer perigee speed = ", geoTransferPerigeeSpeed);
  runtime::ioCheck();
  writeSpeedLine("Geo transfer apogee speed = ", geoTransferApogeeSpeed);
  runtime::ioCheck();
  writeSpeedLine("Geo transfer apogee delta V (no swingby) = ", geoTransferApogeeDeltaV);
  runtime::ioCheck();
  writeSpeedLine("Geo transfer perigee delta V (no swingby) = ", geoTransferPerigeeDeltaV);
  runtime::ioCheck();
  writeSpeedLine(
      "Total delta V (no swingby) = ",
      Extended{lunarTransferDeltaV} + geoTransferApogeeDeltaV + geoTransferPerigeeDeltaV);
  runtime::ioCheck();
}

}  // namespace mission
