#pragma once

#include <optional>

#include "flows/calculation_record.h"
#include "flows/window_ops.h"

namespace capbeam {

// What a completed set-up leaves besides the record: the values as typed
// (B in D.MMSS), and a warning for a design point off the curve.
struct SetUpOutcome {
    CurveInputs inputs;
    std::optional<Message> warning;
};

// "进行计算": asks for the curve and the design position of the skewed beam
// (eight prompts), shows each value as soon as it is read, then sets up the
// curve and the design beam (geometry/single_curve.h) in the record and
// empties the result boxes of the previous curve.
// Throws Failure or Cancelled; the caller undoes the click.
SetUpOutcome RunCurveSetUp(WindowOps& ops, CalculationRecord& record);

}  // namespace capbeam
