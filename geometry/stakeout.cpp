#include "geometry/stakeout.h"

#include <cmath>

namespace capbeam {

Bearing BearingBetween(double X1, double Y1, double X2, double Y2) {
    const double dX = X2 - X1;
    const double dY = Y2 - Y1;
    if (dX == 0 && dY == 0) return {0, 0};
    return {ReduceToTurn(std::atan2(dY, dX) * (180 / 3.14159265358979323846)), std::hypot(dX, dY)};
}

double ReduceToTurn(double degrees) {
    double a = std::fmod(degrees, 360.0);
    if (a < 0) a += 360;
    if (a >= 360) a = 0;  // -1e-15 + 360 rounds to 360
    return a;
}

double AngleTurned(double backsightAzimuth, double pointAzimuth) {
    return ReduceToTurn(pointAzimuth - backsightAzimuth);
}

}  // namespace capbeam
