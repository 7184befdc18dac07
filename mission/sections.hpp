#pragma once
// The report's sections, in the order the driver runs them.  Each computes
// its figures and writes its lines, with the I/O check after every statement.

namespace mission {

// Pi, the inclination and the geosynchronous altitude; then the section's
// empty line and the altitude line.
void geoAltitudeSection();

// Straight from the initial orbit to geosynchronous orbit.
void directTransferSection();

// From the initial orbit out to the Moon's distance.
void lunarTransferSection();

// From the Moon's distance down to geosynchronous orbit, without the Moon's help.
void geoReturnSection();

// The swing-by past the Moon: its geometry and the speed change it gives.
void swingbySection();

// The orbit the swing-by leaves, and the one burn left at its perigee.
void postSwingbySection();

}  // namespace mission
