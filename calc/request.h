#pragma once

#include "app/curve_state.h"
#include "app/window_ops.h"

namespace capbeam {

// "座标计算": asks for the chainage Kp of the beam centre, the half-width Dr
// and the precision mb, derives the edge radii and runs the routine that the
// case selects (Cm1 to Cm6), which writes the result boxes. Throws Failure or
// Cancelled; the caller undoes the click. Returns the routine's number, 1 to 6,
// or 0 when no routine applies.
int Command2_Click(WindowOps& ops, CurveState& state);

}  // namespace capbeam
