#pragma once

#include "app/curve_state.h"
#include "app/window_ops.h"
#include "geometry/beam_ends.h"

// The six routines that place a cap beam's centre and its two end points.
//
// Geometry: O is the curve centre, the centre line is the circle of radius R
// about O, the roadbed's edges are the circles of radius Rin (inner) and Rout
// (outer). Azimuths are degrees from +X (north) clockwise; the point at azimuth
// a and distance r from (x, y) is (x + r cos a, y + r sin a). An angle enters a
// sine or cosine after division by RadToDeg, an arctangent leaves through a
// multiplication with it. In these routines every beam keeps the direction of
// the design beam: Ab1 from its centre towards the outer edge, Ab2 towards the
// inner edge. (Beams at the skew B to their own tangent: calc/tangent.h.)
//
// Each routine first computes all its results (BeamEnds), refusing with a
// Failure when the geometry has no answer or the arithmetic gives no finite
// number, and only then writes its boxes, in its own order. So a refused
// request leaves no box half-written.

namespace capbeam {


// The two signs that tell Cm1..Cm4 apart. turn: the sense in which the radius
// to the beam centre K lies from the radius to J (+1 clockwise, -1
// anticlockwise). sense: the sense in which the chainage grows about O (+1
// clockwise, a right-hand curve; -1 anticlockwise, a left-hand one).
struct Member {
    int turn;
    int sense;
};
inline constexpr Member kCm1{+1, +1};  // right-hand curve, Kp beyond Kj
inline constexpr Member kCm2{-1, +1};  // right-hand curve, Kp before Kj
inline constexpr Member kCm3{-1, -1};  // left-hand curve, Kp beyond Kj
inline constexpr Member kCm4{+1, -1};  // left-hand curve, Kp before Kj

// The beam centre K at chainage Kp != Kj: the radius O -> K is the radius
// O -> J turned, in the member's turn, by the central angle Tkj of the arc
// Kp - Kj on R (degrees); Aok is its azimuth, brought back by one whole turn
// at most; K lies at R from O along it.
struct CentrePoint {
    double Tkj = 0, Aok = 0;
    double Xk = 0, Yk = 0;
};
CentrePoint CentreAt(Member member, double Kj, double Xo, double Yo, double R, double RadToDeg, double Aoj,
                     double Kp);

// A beam of the design direction (Ab1, Ab2) centred at chainage Kp != Kj:
// the centre K on the centre line, the axis through K cut with both edges.
// B is the design skew in decimal degrees (only the side of 90 it lies on and
// its distance from 90 enter). Refuses (Failure Geometry) when the axis at K
// has turned 90 degrees or more from the radius, or misses the inner edge.
BeamEnds SkewedEnds(Member member, double Kj, double Xo, double Yo, double R, double Rin, double Rout,
                    double B, double RadToDeg, double Aoj, double Kp, double Ab1, double Ab2);

// A curve without a direction (P = 0) gives the end chainages no side to go
// to. A completed set-up never leaves P at 0; this is the refusal if one did.
[[noreturn]] void RefuseCurveWithoutDirection();

// Azimuths of the design beam at J from the curve direction P, the skew B and
// the radius azimuth Aoj: equal, up to whole turns, to those of the set-up.
struct BeamAzimuths {
    double Ab1, Ab2;
};
BeamAzimuths DesignAzimuths(float P, double B, double Aoj);

// A skewed beam (B != 90) centred at J itself (Kp = Kj): the axis through J
// along Ab1/Ab2 cut with the edges of radius R - Dr and R + Dr.
BeamEnds DesignEnds(float P, double Xj, double Yj, double R, double Dr, double B, double RadToDeg,
                    double Kp, double Ab1, double Ab2);

// A beam square to the tangent (B = 90) at J: both ends on the radius through
// J at Rin and Rout, both at the chainage Kp, each half (Rout - Rin) / 2 long.
BeamEnds RadialEnds(double Xj, double Yj, double Xo, double Yo, double Rin, double Rout, double RadToDeg,
                    double Aoj, double Kp);

// The routines as the request calls them: the argument lists by value, mb
// accepted and unused, Rin the single-precision radius widened to double.
// Cm1..Cm4 take the beam azimuths from `state` (arguments Ab1, Ab2 are the
// same values); Cm5 stores its azimuths in `state`; Cm6 reads Xj, Yj from it.
// Each returns what it wrote, unrounded.
BeamEnds Cm1(WindowOps& ops, const CurveState& state, float mb, double Kj, double Xo, double Yo, double R,
         double Rin, double Rout, double B, double RadToDeg, double Aoj, double Kp, double Ab1, double Ab2);
BeamEnds Cm2(WindowOps& ops, const CurveState& state, float mb, double Kj, double Xo, double Yo, double R,
         double Rin, double Rout, double B, double RadToDeg, double Aoj, double Kp, double Ab1, double Ab2);
BeamEnds Cm3(WindowOps& ops, const CurveState& state, float mb, double Kj, double Xo, double Yo, double R,
         double Rin, double Rout, double B, double RadToDeg, double Aoj, double Kp, double Ab1, double Ab2);
BeamEnds Cm4(WindowOps& ops, const CurveState& state, float mb, double Kj, double Xo, double Yo, double R,
         double Rin, double Rout, double B, double RadToDeg, double Aoj, double Kp, double Ab1, double Ab2);
BeamEnds Cm5(WindowOps& ops, CurveState& state, float mb, double Kj, double Xj, double Yj, double R, double Dr,
         double B, double RadToDeg, double Aoj, double Kp);
BeamEnds Cm6(WindowOps& ops, const CurveState& state, float mb, double Xo, double Yo, double Rin, double Rout,
         double RadToDeg, double Aoj, double Kp);

// The boxes of each routine, in the order it writes them. Coordinates and
// lengths are shown after Round3, chainages in the computed form.
void WriteSkewedEnds(WindowOps& ops, const BeamEnds& ends);  // Cm1..Cm4
void WriteDesignEnds(WindowOps& ops, const BeamEnds& ends);  // Cm5
void WriteRadialEnds(WindowOps& ops, const BeamEnds& ends);  // Cm6

}  // namespace capbeam
