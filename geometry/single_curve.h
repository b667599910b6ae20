#pragma once

#include <optional>

#include "core/failure.h"
#include "geometry/beam_ends.h"

// The single circular curve and the cap beams that cross it: pure functions,
// inputs in, results (or a Failure) out.
//
// Geometry: O is the curve centre, the centre line is the circle of radius R
// about O, the roadbed's edges are the circles of radius Rin (inner) and Rout
// (outer). Azimuths are degrees from +X (north) clockwise; the point at
// azimuth a and distance r from (x, y) is (x + r cos a, y + r sin a). An angle
// enters a sine or cosine after division by kRadToDeg and an arctangent leaves
// through a multiplication with it. Ab1 points from a beam's centre towards
// its outer end, Ab2 towards its inner end.
//
// These computations give, digit for digit, the numbers the calculator has
// always shown: they keep its own factor kRadToDeg (from pi = 3.1415926535),
// its arcsine as an arctangent, its order of operations and its one-turn
// azimuth reduction (core/angle.h). Nothing here may be "improved" to the
// full pi or to atan2 without changing what a user sees. Every other part of
// the program that needs a point of the curve (the plan view) takes it from
// here, so that what is drawn is what was computed.

namespace capbeam {

// Degrees per radian as the calculator takes it.
inline constexpr double kRadToDeg = 180 / 3.1415926535;

// The curve: centre O, radius R of the centre line, direction P (> 0 a
// right-hand curve, the chainage growing clockwise about O; < 0 left-hand).
struct Curve {
    double Xo = 0, Yo = 0;
    double R = 0;
    float P = 0;  // only the sign counts; kept in single precision as typed
    bool operator==(const Curve& o) const { return Xo == o.Xo && Yo == o.Yo && R == o.R && P == o.P; }
};

// The beam azimuths, degrees: Ab1 towards the outer end, Ab2 towards the inner.
struct BeamAzimuths {
    double Ab1 = 0, Ab2 = 0;
    bool operator==(const BeamAzimuths& o) const { return Ab1 == o.Ab1 && Ab2 == o.Ab2; }
};

// The design beam: its centre J at chainage Kj, its skew B from the forward
// tangent at J (clockwise, to the beam's axis; decimal degrees), the azimuth
// Aoj of the radius O -> J and the azimuths of its axis.
struct DesignBeam {
    double Kj = 0, Xj = 0, Yj = 0;
    double B = 0;
    double Aoj = 0;
    BeamAzimuths axis;
    bool operator==(const DesignBeam& o) const {
        return Kj == o.Kj && Xj == o.Xj && Yj == o.Yj && B == o.B && Aoj == o.Aoj && axis == o.axis;
    }
};

// The eight values of a set-up as read (B still in D.MMSS).
struct CurveInputs {
    double Xo = 0, Yo = 0, Kj = 0, Xj = 0, Yj = 0, Bdms = 0, R = 0;
    float P = 0;
};

struct CurveSetUp {
    Curve curve;
    DesignBeam design;
    double Dj = 0;  // distance O -> J, which should equal R
};

// How far J may lie from the centre line before the user is warned, metres:
// rounded coordinates can put it a little off.
inline constexpr double kOnCurveTolerance = 0.01;
// Beyond this the design point is on another curve than the one given (a
// mistyped coordinate or radius) and the set-up is refused, metres.
inline constexpr double kOffCurveLimit = 1;

// The curve and the design beam from the set-up's values: B into decimal
// degrees, the radius azimuth Aoj (0 to 360; due east or west of O exactly 90
// or 270) and the beam azimuths. The values must keep their rules (R > 0,
// P != 0, B a valid skew: core/rules.h). Throws Failure: Geometry when J lies
// at O or more than kOffCurveLimit off the curve, Overflow or
// InvalidOperation when a difference or distance is not finite.
CurveSetUp SetUpCurve(const CurveInputs& in);

// The warning for a set-up whose J lies more than kOnCurveTolerance off the
// curve; nothing when J lies on it.
std::optional<Message> OffCurveWarning(const CurveSetUp& setUp);

// The edge radii for a half-width Dr: Rin = R - Dr kept in single precision
// (as the calculator always has; within half a millimetre up to R of about
// 8 km), Rout = Dr + R. Throws Failure when either is not finite.
struct EdgeRadii {
    float Rin = 0;
    double Rout = 0;
    bool operator==(const EdgeRadii& o) const { return Rin == o.Rin && Rout == o.Rout; }
};
EdgeRadii EdgeRadiiFor(double R, double Dr);

// How the beams at other chainages are turned. Parallel: every beam keeps
// the design beam's direction (Ab1, Ab2). Tangent: each beam stands at the
// skew B to its own tangent, placed at the point K of the centre line as the
// design beam is placed at J (with B = 90 every beam lies on its radius).
enum class Orientation { Parallel, Tangent };

// The computation a request runs, by exact comparisons: 1 to 4 for a
// right-hand (P > 0) or left-hand (P < 0) curve with Kp beyond or before Kj,
// whatever B; 5 for Kp = Kj with B != 90; 6 for Kp = Kj with B = 90 exactly;
// 0 when none applies (P = 0 with Kp != Kj).
int ChooseRoutine(float P, double Kp, double Kj, double B);

// One beam placed on the curve: the routine that computed it (in the tangent
// orientation 5 or 6 by B at any chainage, the computation every beam of it
// uses), the edge radii, the ends unrounded, and, when the beam stood at the
// design chainage with B != 90, the design azimuths as that computation
// reckons them (equal to the set-up's up to rounding; a record keeps them
// for the requests that follow, as the calculator always has).
struct BeamPlacement {
    int routine = 0;
    Orientation orientation = Orientation::Parallel;
    EdgeRadii edges;
    BeamEnds ends;
    std::optional<BeamAzimuths> designAxis;
};

// The beam centred at chainage Kp with half-width Dr (0 <= Dr < R, checked by
// the caller: core/rules.h). Throws Failure (Geometry) where the beam has no
// ends on the edges, or where the arithmetic has no finite answer.
BeamPlacement PlaceBeam(const Curve& curve, const DesignBeam& design, double Kp, double Dr,
                        Orientation orientation);

// A chainage more than one full turn of the curve (2 pi R) from Kj would
// have the road turn through more than 360 degrees: most likely a mistyped
// chainage (10200 for 1020). The warning for it; nothing for a chainage
// within one turn. The beam is placed all the same.
std::optional<Message> FarChainageWarning(const Curve& curve, const DesignBeam& design, double Kp);

// ---- The steps of a placement, for the tests of each ----------------------

// The two signs that tell routines 1 to 4 apart. turn: the sense in which the
// radius to the beam centre K lies from the radius to J (+1 clockwise, -1
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

// The design beam's azimuths, two ways that agree up to rounding. The set-up
// turns the outward radius by B - 90 (SetUpAzimuths); a beam placed at the
// design chainage (and every beam of the tangent orientation) turns the
// forward tangent, which depends on the curve's direction P, by B
// (DesignAzimuths). Both are kept because each gives the digits its boxes
// have always shown: a record holds the set-up's until a request at Kj
// replaces them with its own.
BeamAzimuths SetUpAzimuths(double B, double Aoj);
BeamAzimuths DesignAzimuths(float P, double B, double Aoj);

// A skewed beam (B != 90) centred at J itself (Kp = Kj): the axis through J
// along Ab1/Ab2 cut with the edges of radius R - Dr and R + Dr.
BeamEnds DesignEnds(float P, double Xj, double Yj, double R, double Dr, double B, double RadToDeg,
                    double Kp, double Ab1, double Ab2);

// A beam square to the tangent (B = 90) at J: both ends on the radius through
// J at Rin and Rout, both at the chainage Kp, each half (Rout - Rin) / 2 long.
BeamEnds RadialEnds(double Xj, double Yj, double Xo, double Yo, double Rin, double Rout, double RadToDeg,
                    double Aoj, double Kp);

// The ends of a beam centred at chainage Kp != Kj in the tangent orientation.
// `member` places K exactly as the parallel computation for the same request
// does. Then, for B != 90, the design position's computation at K
// (DesignAzimuths with Aok, and DesignEnds with the edges R - Dr and R + Dr in
// double precision); for B = 90 exactly, the radial one (RadialEnds at K
// along Aok, on Rin and Rout, both chainages Kp). Relative to its own radius
// every such beam is the design beam: the same lengths at every chainage.
BeamEnds TangentEnds(Member member, float P, double Kj, double Xo, double Yo, double R, double Dr, double Rin,
                     double Rout, double B, double RadToDeg, double Aoj, double Kp);

// The routine number a tangent request reports: 5 (a skewed beam, placed as
// the design beam is) or 6 (B = 90 exactly, a radial beam).
int TangentRoutine(double B);

// ---- Points of the curve, for drawing ---------------------------------------

// The point on the circle of `radius` about O at the foot of chainage K: the
// radius through J turned by the arc K - Kj on R, clockwise on a right-hand
// curve, anticlockwise on a left-hand one. (X, Y) in metres.
struct CurvePoint {
    double X = 0, Y = 0;
};
CurvePoint PointAtChainage(const Curve& curve, const DesignBeam& design, double K, double radius);

// The point at `distance` from (X, Y) along `azimuth` (degrees).
CurvePoint PointAlong(double X, double Y, double azimuth, double distance);

// Where a point lies relative to the curve: the chainage K of the foot of its
// radius on the centre line (as an end chainage is defined) and its offset,
// the distance from the centre line along that radius, positive on the outer
// side (away from O), negative on the inner side. K is the one of its values
// (they differ by whole turns of the curve) nearest `nearK`. Nothing at O
// itself, where no radius is defined, or without a curve. The inverse of
// PointAtChainage.
struct CurveStation {
    double K = 0, offset = 0;
};
std::optional<CurveStation> LocateOnCurve(const Curve& curve, const DesignBeam& design, double X, double Y,
                                          double nearK);

}  // namespace capbeam
