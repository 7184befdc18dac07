#pragma once
// The built-in physical and mission constants.  Those passed to the orbit
// routines are doubles; those that only enter expressions are extended.

namespace mission {

// clang-format off
constexpr double EarthMu                 = 398600000000000.0;        // gravitational parameter of the Earth (m^3/s^2)
constexpr double EarthRadius             = 6371000.0;                // radius of the Earth; altitudes are above it (m)
constexpr double InitialPerigeeAltitude  = 365000.0;                 // perigee altitude of the initial orbit (m)
constexpr double InitialApogeeAltitude   = 35989000.0;               // apogee altitude of the initial orbit (m)
constexpr double MoonOrbitAltitude       = 378030000.0;              // the Moon's distance less EarthRadius (m)
constexpr long double MoonDistance       = 384401000.0L;             // Earth's centre to the Moon (m)
constexpr long double MoonMu             = 4903000000000.0L;         // gravitational parameter of the Moon (m^3/s^2)
constexpr long double MoonRadius         = 1738000.0L;               // radius of the Moon (m)
constexpr long double MetresPerKilometre = 1000.0L;                  // divisor of every figure printed in km
constexpr long double DegreesPerHalfTurn = 180.0L;                   // degrees in pi radians
constexpr long double InclinationDegrees = 51.6L;                    // plane change to the equator (degree)
constexpr long double GeoPeriodFactor    = 1720261616599.5217601L;   // sqrt(EarthMu) x 86164 s, one sidereal day (m^1.5)
constexpr long double TwoOverMoonDistance = 5.2029000965137968e-9L;  // 2 / MoonDistance (1/m)
// clang-format on

}  // namespace mission
