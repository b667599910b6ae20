#pragma once

#include "app/curve_state.h"
#include "app/window_ops.h"
#include "calc/routines.h"

// The second orientation of the beams, "与切线保持交角 B": each beam stands at
// the skew B to its own forward tangent, as the design beam stands at J. A
// beam centred at chainage Kp is placed as the design beam is placed at J,
// but at the point K of the centre line at Kp and with the azimuth Aok of the
// radius O -> K in place of Aoj. With B = 90 every beam lies on its radius.
//
// Relative to its own radius every beam of this orientation is the design
// beam: the same lengths at every chainage, and the same refusal (the axis
// misses the inner edge) wherever it happens at J.

namespace capbeam {

// The ends of a beam centred at chainage Kp != Kj in the tangent orientation.
// `member` is the routine of the parallel orientation for the same request
// (kCm1..kCm4): it places K exactly as that routine does. Then, for B != 90,
// the design position's computation at K (DesignAzimuths with Aok, and
// DesignEnds with the edges R - Dr and R + Dr in double precision); for
// B = 90 exactly, the radial one (RadialEnds at K along Aok, on Rin and Rout,
// both chainages Kp). Throws Failure where those computations refuse.
BeamEnds TangentEnds(Member member, float P, double Kj, double Xo, double Yo, double R, double Dr, double Rin,
                     double Rout, double B, double RadToDeg, double Aoj, double Kp);

// The routine number a tangent request reports, by the computation it uses
// at every chainage: 5 (a skewed beam, placed as Cm5 places the design beam)
// or 6 (B = 90 exactly, a radial beam as Cm6 places it). The side of J and the
// curve direction, which 1..4 tell apart, are in the row's Kp and the curve.
int TangentRoutine(double B);

// The request's computation in the tangent orientation, after its prompts;
// `routine` is ChooseRoutine's choice for the same request (1..6).
// At the design chainage (5, 6) it runs Cm5 or Cm6 itself, so both
// orientations agree there digit for digit (Cm5 stores the design azimuths
// in the record, as it always does). At any other chainage (1..4) it writes
// the boxes of TangentEnds in the order of Cm5 (B != 90) or Cm6 (B = 90) and
// leaves the record alone: Ab1 and Ab2 keep the design beam's azimuths, which
// the parallel orientation's later requests read. Returns what it wrote.
BeamEnds RunTangent(int routine, WindowOps& ops, CurveState& state);

}  // namespace capbeam
