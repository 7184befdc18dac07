// Section 2: the direct transfer.  A burn at the initial apogee raises the
// perigee to geosynchronous altitude and removes the inclination; a burn at
// the new perigee makes the orbit circular.

#include "mission/constants.hpp"
#include "mission/figures.hpp"
#include "mission/report_line.hpp"
#include "mission/sections.hpp"
#include "mission/transfer.hpp"
#include "runtime/runtime_error.hpp"

namespace mission {

void directTransferSection() {
  using Extended = long double;
  solveTransfer(EarthRadius, InitialPerigeeAltitude, InitialApogeeAltitude, EarthMu);
  initialPerigeeSpeed = transferResult.speedAtFirst;
  initialApogeeSpeed = transferResult.speedAtSecond;

  solveTransfer(EarthRadius, geoAltitude, InitialApogeeAltitude, EarthMu);
  geoSpeed = transferResult.circularAtFirst;
  perigeeSpeed = transferResult.speedAtFirst;
  apogeeSpeed = transferResult.speedAtSecond;

  apogeeDeltaV = speedChange(initialApogeeSpeed, apogeeSpeed, inclination);
  perigeeDeltaV = static_cast<double>(Extended{perigeeSpeed} - geoSpeed);

  writeSpeedLine("Geosynchronous speed = ", geoSpeed);
  runtime::ioCheck();
  writeSpeedLine("Initial perigee speed = ", initialPerigeeSpeed);
  runtime::ioCheck();
  writeSpeedLine("Initial apogee speed = ", initialApogeeSpeed);
  runtime::ioCheck();
  writeSpeedLine("Apogee delta V = ", apogeeDeltaV);
  runtime::ioCheck();
  writeSpeedLine("Apogee speed = ", apogeeSpeed);
  runtime::ioCheck();
  writeSpeedLine("Perigee speed = ", perigeeSpeed);
  runtime::ioCheck();
  writeSpeedLine("Perigee delta V = ", perigeeDeltaV);
  runtime::ioCheck();
  writeSpeedLine("Toral delta V = ", Extended{apogeeDeltaV} + perigeeDeltaV);
  runtime::ioCheck();
}

}  // namespace mission
