// Section 3: the transfer out to the Moon's distance, by a burn at the
// initial perigee that raises the apogee.

#include "mission/constants.hpp"
#include "mission/figures.hpp"
#include "mission/report_line.hpp"
#include "mission/sections.hpp"
#include "mission/transfer.hpp"
#include "runtime/runtime_error.hpp"
#include "runtime/standard_streams.hpp"

namespace mission {

void lunarTransferSection() {
  solveTransfer(EarthRadius, InitialPerigeeAltitude, MoonOrbitAltitude, EarthMu);
  moonSpeed = transferResult.circularAtSecond;
  lunarTransferPerigeeSpeed = transferResult.speedAtFirst;
  lunarTransferApogeeSpeed = transferResult.speedAtSecond;
  lunarTransferDeltaV = static_cast<double>(static_cast<long double>(lunarTransferPerigeeSpeed) -
                                            initialPerigeeSpeed);

  runtime::endLine(runtime::reportStream);
  runtime::ioCheck();
  writeSpeedLine("Lunar speed = ", moonSpeed);
  runtime::ioCheck();
  writeSpeedLine("Lunar transfer perigee speed = ", lunarTransferPerigeeSpeed);
  runtime::ioCheck();
  writeSpeedLine("Lunar transfer apogee speed = ", lunarTransferApogeeSpeed);
  runtime::ioCheck();
  writeSpeedLine("Lunar transfer delta V = ", lunarTransferDeltaV);
  runtime::ioCheck();
}

}  // namespace mission
