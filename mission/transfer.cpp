// The orbit routines, evaluated in extended precision.

#include "mission/transfer.hpp"

#include <cmath>

namespace mission {

TransferResult transferResult;

void solveTransfer(double bodyRadius, double firstAltitude, double secondAltitude, double mu) {
  using Extended = long double;
  TransferResult& r = transferResult;
  r.firstRadius = static_cast<double>(Extended{bodyRadius} + firstAltitude);
  r.secondRadius = static_cast<double>(Extended{bodyRadius} + secondAltitude);
  r.semiMajorAxis = static_cast<double>((Extended{r.secondRadius} + r.firstRadius) / 2);
  r.speedAtFirst = static_cast<double>(
      std::sqrt((Extended{mu} * r.secondRadius) / (Extended{r.semiMajorAxis} * r.firstRadius)));
  r.speedAtSecond = static_cast<double>(
      std::sqrt((Extended{mu} * r.firstRadius) / (Extended{r.semiMajorAxis} * r.secondRadius)));
  r.circularAtFirst = static_cast<double>(std::sqrt(Extended{mu} / r.firstRadius));
  r.circularAtSecond = static_cast<double>(std::sqrt(Extended{mu} / r.secondRadius));
}

double speedChange(double firstSpeed, double secondSpeed, double angle) {
  using Extended = long double;
  const Extended a = firstSpeed;
  const Extended b = secondSpeed;
  return static_cast<double>(std::sqrt(a * a + b * b - (a * 2 * b) * std::cos(Extended{angle})));
}

}  // namespace mission
