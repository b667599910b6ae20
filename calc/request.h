#pragma once

#include "app/curve_state.h"
#include "app/window_ops.h"
#include "calc/routines.h"

namespace capbeam {

// "座标计算": asks for the chainage Kp of the beam centre, the half-width Dr
// (0 <= Dr < R) and the precision mb, shows each as it is read, derives the
// edge radii Rin (single precision) and Rout, and runs the routine that the
// case selects (Cm1 to Cm6), which writes the result boxes. Returns the
// routine's number, 1 to 6.
// Throws Failure (NoCurve before any completed set-up, before any prompt; a
// refusal of the routine) or Cancelled; the caller undoes the click.
int Command2_Click(WindowOps& ops, CurveState& state);

// How the beams at other chainages are turned. Parallel: every beam keeps the
// design beam's direction (Ab1, Ab2), the program's own behaviour. Tangent:
// each beam stands at the skew B to its own tangent, placed at the point K of
// the centre line as the design beam is placed at J (with B = 90 every beam
// lies on its radius).
enum class Orientation { Parallel, Tangent };

// What a completed request computed: the routine (1 to 6; in the tangent
// orientation 5 or 6 by B at any chainage, the computation every beam of it
// uses, see TangentRoutine) and its results unrounded.
struct RequestOutcome {
    int routine = 0;
    Orientation orientation = Orientation::Parallel;
    BeamEnds ends;
};

// Command2_Click with the beams turned by `orientation`: the same prompts,
// the same boxes in the same formats, the same refusals. Parallel is
// Command2_Click itself; Tangent runs RunTangent (calc/tangent.h), which at
// Kp = Kj is the parallel request itself.
RequestOutcome RunRequest(WindowOps& ops, CurveState& state, Orientation orientation);

// The routine for a request, by exact comparisons: 1 to 4 (Cm1..Cm4) for a
// right-hand (P > 0) or left-hand (P < 0) curve with Kp beyond or before Kj,
// whatever B; 5 for Kp = Kj with B != 90; 6 for Kp = Kj with B = 90 exactly;
// 0 when none applies (P = 0 with Kp != Kj).
int ChooseRoutine(float P, double Kp, double Kj, double B);

// Calls routine `routine` (1 to 6; anything else does nothing) with its
// argument list taken from `state`, as the request does after its prompts.
// Returns what the routine wrote.
BeamEnds RunRoutine(int routine, WindowOps& ops, CurveState& state);

}  // namespace capbeam
