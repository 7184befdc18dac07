#pragma once
// The two orbit routines: the speeds of a transfer ellipse, and the speed
// change between two velocities at an angle.

namespace mission {

// The shared record every solveTransfer call overwrites (shapeFactor apart).
struct TransferResult {
  double firstRadius;       // body radius + first altitude (m)
  double secondRadius;      // body radius + second altitude (m)
  double semiMajorAxis;     // half the sum of the two radii (m)
  double shapeFactor;       // never written by solveTransfer; the swing-by's working value (-)
  double speedAtFirst;      // speed on the ellipse at the first radius (m/s)
  double speedAtSecond;     // speed on the ellipse at the second radius (m/s)
  double circularAtFirst;   // circular-orbit speed at the first radius (m/s)
  double circularAtSecond;  // circular-orbit speed at the second radius (m/s)
};

extern TransferResult transferResult;

// Fills transferResult for the ellipse between two apses about a body, by
// vis-viva.
//   Given:
//     bodyRadius      radius of the body (m)
//     firstAltitude   altitude of the first apse above the body (m)
//     secondAltitude  altitude of the second apse above the body (m)
//     mu              gravitational parameter of the body (m^3/s^2)
// Each value is rounded to double as it is stored; the speeds are computed
// from the stored radii.  The caller ensures the altitudes give positive radii.
void solveTransfer(double bodyRadius, double firstAltitude, double secondAltitude, double mu);

// The magnitude of the difference of two velocities, by the law of cosines.
//   Given:
//     firstSpeed   magnitude of the first velocity (m/s)
//     secondSpeed  magnitude of the second velocity (m/s)
//     angle        angle between them (rad)
//   Returned:      the speed change, rounded to double (m/s)
double speedChange(double firstSpeed, double secondSpeed, double angle);

}  // namespace mission
