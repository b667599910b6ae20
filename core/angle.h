#pragma once

namespace capbeam {

// An azimuth in degrees brought into 0 to 360 the way the single-curve
// routines always have: one whole turn taken off when it is 360 or more, then
// one added when it is below 0. It is exact only for angles within one turn
// of that range, which is all the routines ever give it; the order of the two
// steps is part of their digit-exact results.
constexpr double ReduceOneTurn(double degrees) {
    if (degrees >= 360) degrees -= 360;
    if (degrees < 0) degrees += 360;
    return degrees;
}

}  // namespace capbeam
