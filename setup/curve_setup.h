#pragma once

#include <vector>

#include "app/curve_state.h"
#include "app/window_ops.h"

namespace capbeam {

// "进行计算": asks for the curve and the design position of the skewed beam
// (eight prompts), shows each value as soon as it is read, then turns B from
// D.MMSS into decimal degrees and stores the azimuths Aoj, Ab1 and Ab2.
// Throws Failure or Cancelled; the caller undoes the click. Returns the
// warnings for a set-up that stands (J not on the curve).
std::vector<Message> Command1_Click(WindowOps& ops, CurveState& state);

}  // namespace capbeam
