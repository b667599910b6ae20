#pragma once

#include <optional>
#include <string>
#include <vector>

#include "records/plan_geometry.h"
#include "records/alignment_road.h"

// What the plan draws of a whole alignment: its centre line, the roadbed's
// edges at the half-widths when they are known, its main points with their
// names, and the beams placed on it. Plain C++ like plan_geometry.h.

namespace capbeam {

struct PlanMainPoint {
    std::string label;  // "JD1 ZH", or the start's and end's names
    WorldPoint at;
};

struct PlanAlignment {
    std::vector<WorldPoint> centreLine, leftEdge, rightEdge;  // polylines
    std::vector<PlanMainPoint> points;
};

// The scene of `road`: the centre line sampled finely enough that its
// polyline stays within a few centimetres of the curve, the edges at DL
// (left) and DR (right) when given, and the beams of `rows` (the latest
// last). `hasCurve` stays false: the single curve's marks (J, ticks) are
// not drawn.
PlanScene AlignmentPlanScene(const LoadedRoad& road, std::optional<double> DL, std::optional<double> DR,
                             const std::vector<const PierRow*>& rows);

}  // namespace capbeam
