// Report lines.

#include "mission/report_line.hpp"

#include "mission/constants.hpp"
#include "runtime/round_to_whole.hpp"
#include "runtime/standard_streams.hpp"

namespace mission {

using runtime::reportStream;

void writeSpeedLine(std::string_view caption, long double speed) {
  runtime::writeString(reportStream, caption);
  runtime::writeWhole(reportStream, runtime::roundToWhole(speed));
  runtime::writeString(reportStream, " m/s");
  runtime::endLine(reportStream);
}

void writeKilometres(long double distance) {
  runtime::writeWhole(reportStream, runtime::roundToWhole(distance / MetresPerKilometre));
}

void writeDistanceLine(std::string_view caption, long double distance) {
  runtime::writeString(reportStream, caption);
  writeKilometres(distance);
  runtime::writeString(reportStream, " km");
  runtime::endLine(reportStream);
}

}  // namespace mission
