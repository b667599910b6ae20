#pragma once

#include "geometry/beam_ends.h"
#include "geometry/single_curve.h"

// A cap beam's own frame, in which the site crew names its columns,
// bearings, piles and reference stakes: the origin at the beam's centre, the
// first axis along the beam towards the end on the RIGHT of the road's
// forward direction, the second square to the beam, pointing forward along
// the road. A point "a along, c across" lies at centre + a u + c v. The
// frame is set by the beam's two ends and by the sense of the road at its
// centre only: it is the same for a single curve and an alignment, for
// either orientation and whatever the skew.
//
// Units: metres; X the northing, Y the easting; azimuths in degrees from
// north clockwise, computed in double with the full pi.

namespace capbeam {

struct BeamFrame {
    double Xc = 0, Yc = 0;  // the beam's centre
    double ux = 0, uy = 0;  // unit vector (dX, dY) along the axis, towards the right-hand end
    double vx = 0, vy = 0;  // unit vector square to the axis, forward along the road
    bool rightIsOuter = true;  // whether BeamEnds' outer end is the right-hand one
};

// The frame of a beam whose ends are `ends`, the road's forward tangent at
// its centre having the azimuth `forwardAzimuth`: the right-hand end is the
// one on the right of that tangent. Throws Failure (Geometry) when the two
// ends coincide (a half-width of 0 leaves the beam without a direction) or
// when the axis runs along the tangent (no end is to the right).
BeamFrame FrameOf(const BeamEnds& ends, double forwardAzimuth);

// The forward tangent of the single curve at the point (X, Y) off its centre
// O: the radius' azimuth from O turned a quarter clockwise on a right-hand
// curve (P > 0, the chainage growing clockwise about O), anticlockwise on a
// left-hand one. Throws Failure (Geometry) for a point at O.
double ForwardAzimuthOnCurve(const Curve& curve, double X, double Y);

struct FramePoint {
    double X = 0, Y = 0;
};

// The point `along` metres along the axis from the centre (+ towards the
// right-hand end) and `across` metres square to it (+ forward).
FramePoint PointInFrame(const BeamFrame& frame, double along, double across);

}  // namespace capbeam
