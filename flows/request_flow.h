#pragma once

#include "flows/calculation_record.h"
#include "flows/window_ops.h"

namespace capbeam {

// "座标计算": asks for the chainage Kp of the beam centre, the half-width Dr
// (0 <= Dr < R) and the precision mb, shows each as it is read, places the
// beam (geometry/single_curve.h) with the beams turned by `orientation`, and
// writes the result boxes in the order of the computation that ran. Keeps
// the values, the edge radii and, after a beam at the design chainage, the
// design azimuths in the record. Returns the placement.
// Throws Failure (NoCurve before any completed set-up, before any prompt; a
// refusal of the geometry) or Cancelled; the caller undoes the click.
BeamPlacement RunRequest(WindowOps& ops, CalculationRecord& record, Orientation orientation);

// The refusal of a request (or a batch) before any completed set-up.
Message NoCurveMessage();

// The result boxes of a placement, in the order its computation writes
// them. Coordinates and lengths are shown after Round3, chainages in the
// computed form.
void WriteEnds(WindowOps& ops, const BeamPlacement& placement);

}  // namespace capbeam
