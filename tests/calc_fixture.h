#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/curve_state.h"
#include "calc/routines.h"

// Curves and requests for the calculation tests, made by the program's own
// set-up and request handlers from typed replies, so that every test starts
// from a record exactly as the window would hold it.

namespace capbeam::test {

// A number as a reply that reads back as the same double.
std::string Reply(double value);

// The eight replies of the curve set-up, as typed (B in D.MMSS).
struct CurveReplies {
    std::string Xo, Yo, Kj, Xj, Yj, B, R, P;
};
std::vector<std::optional<std::string>> SetUpReplies(const CurveReplies& curve);

// The record after a completed set-up with these replies (the test fails if
// the set-up does not complete).
CurveState SetUpCurve(const CurveReplies& curve);

// The record after the request's prompts (Kp, Dr, mb) and its edge radii,
// without running a routine: what the routines receive.
CurveState Requested(CurveState state, double Kp, double Dr, float mb = 0.001f);

// The unrounded results of the routine that the request would run for
// `state` (after Requested); throws Failure where the routine refuses.
BeamEnds ComputeEnds(const CurveState& state);

}  // namespace capbeam::test
