#include "records/plan_alignment.h"

#include <algorithm>
#include <memory>

namespace capbeam {

namespace {

// A chord of length c on radius R strays c² / (8R) from the arc: 2 m on a
// 20 m radius is 2.5 cm, far below a pixel at any scale that shows the road.
constexpr double kSampleMetres = 2.0;
constexpr std::size_t kMaxSamples = 20000;

std::vector<WorldPoint> Sampled(const Alignment& line, double offset) {
    const double from = line.StartDistance(), to = line.EndDistance();
    const double step = std::max(kSampleMetres, (to - from) / static_cast<double>(kMaxSamples));
    std::vector<WorldPoint> points;
    for (double s = from;; s += step) {
        const double at = std::min(s, to);
        if (offset == 0) {
            const Station st = line.At(at);
            points.push_back({st.X, st.Y});
        } else {
            const PlanePoint p = line.OffsetPoint(at, offset);
            points.push_back({p.X, p.Y});
        }
        if (at >= to) break;
    }
    return points;
}

}  // namespace

PlanScene AlignmentPlanScene(const LoadedRoad& road, std::optional<double> DL, std::optional<double> DR,
                             const std::vector<const PierRow*>& rows) {
    auto drawing = std::make_shared<PlanAlignment>();
    const Alignment& line = road.road.Line();
    drawing->centreLine = Sampled(line, 0);
    // An edge inside a tight curve folds over itself where the half-width
    // passes the radius; the polyline still shows where the road lies.
    if (DL && *DL > 0) drawing->leftEdge = Sampled(line, -*DL);
    if (DR && *DR > 0) drawing->rightEdge = Sampled(line, *DR);
    for (const MainPointRow& p : road.mainPoints) {
        const Station s = line.At(p.distance);
        drawing->points.push_back({p.jd.empty() ? p.point : p.jd + " " + p.point, {s.X, s.Y}});
    }
    PlanScene scene;
    for (const auto* polyline : {&drawing->centreLine, &drawing->leftEdge, &drawing->rightEdge})
        for (const WorldPoint& p : *polyline) scene.bounds.Add(p);
    for (const PierRow* row : rows) {
        PlanBeam beam;
        beam.number = row->number;
        beam.centre = {row->ends.Xk, row->ends.Yk};
        beam.inner = {row->ends.Xin, row->ends.Yin};
        beam.outer = {row->ends.Xout, row->ends.Yout};
        beam.orientation = row->orientation;
        scene.beams.push_back(beam);
        for (const WorldPoint& p : {beam.inner, beam.outer}) scene.bounds.Add(p);
    }
    if (!scene.beams.empty()) scene.beams.back().latest = true;
    scene.alignment = std::move(drawing);
    return scene;
}

}  // namespace capbeam
