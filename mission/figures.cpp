// The program-wide figures.

#include "mission/figures.hpp"

namespace mission {

runtime::ShortString reply;

double Pi, inclination, geoAltitude;
double initialPerigeeSpeed, initialApogeeSpeed;
double geoSpeed, perigeeSpeed, apogeeSpeed;
double apogeeDeltaV, perigeeDeltaV;
double moonSpeed, lunarTransferPerigeeSpeed, lunarTransferApogeeSpeed;
double lunarTransferDeltaV;
double geoTransferPerigeeSpeed, geoTransferApogeeSpeed;
double geoTransferApogeeDeltaV, geoTransferPerigeeDeltaV;
double lunarRelativeSpeed, thetaCosine, theta, deltaVRatio, lunarDeltaV, alpha;
double lunarCircularSpeed, swingbyMinimumAltitude;
double postSwingbySpeed, postPerigeeAltitude, postApogeeAltitude;
double postSwingbyPerigeeSpeed, postSwingbyPerigeeDeltaV;

}  // namespace mission
