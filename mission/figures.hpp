#pragma once
// The program-wide figures: each is computed once, rounded to double when
// stored, in the order the report needs them.

#include "runtime/short_string.hpp"

namespace mission {

// The name typed at the prompt.
extern runtime::ShortString reply;

// Derived values.
extern double Pi;           // pi as a double; every degree conversion divides by it
extern double inclination;  // plane change (rad)
extern double geoAltitude;  // altitude of the orbit with a one-sidereal-day period (m)

// Direct transfer (m/s).
extern double initialPerigeeSpeed, initialApogeeSpeed;
extern double geoSpeed, perigeeSpeed, apogeeSpeed;
extern double apogeeDeltaV, perigeeDeltaV;

// Transfer out to the Moon's distance (m/s).
extern double moonSpeed, lunarTransferPerigeeSpeed, lunarTransferApogeeSpeed;
extern double lunarTransferDeltaV;

// Return from the Moon's distance without a swing-by (m/s).
extern double geoTransferPerigeeSpeed, geoTransferApogeeSpeed;
extern double geoTransferApogeeDeltaV, geoTransferPerigeeDeltaV;

// The lunar swing-by.
extern double lunarRelativeSpeed;      // arrival speed relative to the Moon (m/s)
extern double thetaCosine;             // cosine of the exit angle (-)
extern double theta;                   // exit angle of the swing-by (rad)
extern double deltaVRatio;             // lunarDeltaV / lunarRelativeSpeed (-)
extern double lunarDeltaV;             // velocity change the Moon provides (m/s)
extern double alpha;                   // turn of the Moon-relative velocity (rad)
extern double lunarCircularSpeed;      // circular speed about the Moon at closest approach (m/s)
extern double swingbyMinimumAltitude;  // closest approach above the Moon's surface (m)

// The orbit after the swing-by.
extern double postSwingbySpeed;          // speed relative to the Earth (m/s)
extern double postPerigeeAltitude;       // (m)
extern double postApogeeAltitude;        // (m)
extern double postSwingbyPerigeeSpeed;   // (m/s)
extern double postSwingbyPerigeeDeltaV;  // burn to geosynchronous speed (m/s)

}  // namespace mission
