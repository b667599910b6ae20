#pragma once

// Setting out from a total station: the azimuth and horizontal distance from
// the station to a point, and the horizontal angle turned clockwise from the
// backsight's direction to it (the instrument zeroed on the backsight).
// Degrees, from north (+X) clockwise towards east (+Y); metres. Computed in
// double with the full pi and atan2.

namespace capbeam {

struct Bearing {
    double azimuth = 0;   // degrees, 0 <= a < 360
    double distance = 0;  // metres
};

// From (X1, Y1) to (X2, Y2). Two equal points give azimuth 0, distance 0.
Bearing BearingBetween(double X1, double Y1, double X2, double Y2);

// An angle in degrees brought into 0 <= a < 360, for any finite angle (a
// value a hair below 0 that would round to 360 gives 0).
double ReduceToTurn(double degrees);

// The clockwise angle from the backsight's azimuth to the point's, 0 <= a < 360.
double AngleTurned(double backsightAzimuth, double pointAzimuth);

}  // namespace capbeam
