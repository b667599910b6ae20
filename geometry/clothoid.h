#pragma once

// A curve whose curvature changes linearly with its length, in the frame of
// its own start: u along the start tangent, v square to it, positive to the
// right. Curvature is signed the way azimuths turn: positive bends to the
// right (the azimuth grows, clockwise), negative to the left. A clothoid
// transition spiral, a partial spiral between two finite radii, a circular
// arc (no change of curvature) and a straight (none at all) are all such
// curves. Metres, radians, 1/m.

namespace capbeam {

struct LocalPoint {
    double u = 0;  // along the start tangent
    double v = 0;  // square to it, to the right
};

// The tangent's turn from the start after arc length s, for curvature k0 at
// the start growing by dk per metre: k0 s + dk s² / 2 (radians, + to the right).
constexpr double TurnAt(double k0, double dk, double s) { return s * (k0 + 0.5 * dk * s); }

// The point at arc length s >= 0 along that curve. Straights and arcs are
// closed forms (the arc by its chord, exact for radii of any size); a spiral
// is the integral of the cosine and the sine of the turn, by six-point
// Gauss-Legendre quadrature over pieces that turn by at most 0.2 rad each,
// well below 0.001 mm from the exact integral over any piece. The number of
// pieces grows with the turn, so a caller bounds the turn (an alignment
// refuses an element that turns more than a full circle).
LocalPoint CurvePoint(double k0, double dk, double s);

}  // namespace capbeam
