#pragma once
// Report lines: a caption, a figure and a unit, written as one statement on
// the report stream.  The caller makes the I/O check after each.

#include <string_view>

namespace mission {

// Writes caption, the figure of `speed` (m/s) and " m/s", and ends the line.
void writeSpeedLine(std::string_view caption, long double speed);

// Writes caption, the figure of `distance` (m) in km and " km", and ends the
// line.
void writeDistanceLine(std::string_view caption, long double distance);

// Writes the figure of `distance` (m) in km.
void writeKilometres(long double distance);

}  // namespace mission
