#include "records/plan_drawing.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>

namespace capbeam {

namespace {

constexpr double kPi = 3.14159265358979323846;

WorldPoint World(const CurvePoint& p) { return {p.X, p.Y}; }
WorldPoint World(const PlanePoint& p) { return {p.X, p.Y}; }
WorldPoint World(const Station& s) { return {s.X, s.Y}; }

// The clockwise turn from azimuth a to azimuth b, in (0, 360].
double ClockwiseFrom(double a, double b) {
    double turn = std::fmod(b - a, 360.0);
    if (turn <= 0) turn += 360;
    return turn;
}

class Builder {
public:
    explicit Builder(PlanDrawing& d) : d_(d) {}

    void Line(DrawingLayer layer, const WorldPoint& a, const WorldPoint& b) {
        d_.lines.push_back({layer, a, b});
        d_.bounds.Add(a);
        d_.bounds.Add(b);
    }
    // The arc about `centre` from `a` to `b`, clockwise when `clockwise`.
    void Arc(DrawingLayer layer, const WorldPoint& centre, double radius, const WorldPoint& a, const WorldPoint& b,
             bool clockwise) {
        const WorldPoint& from = clockwise ? a : b;
        const WorldPoint& to = clockwise ? b : a;
        const double fromAzimuth = AzimuthOf(centre, from);
        const double sweep = ClockwiseFrom(fromAzimuth, AzimuthOf(centre, to));
        if (!(radius > 0) || !std::isfinite(radius) || !std::isfinite(sweep)) return;
        d_.arcs.push_back({layer, centre, radius, fromAzimuth, sweep});
        // The arc's box: its ends and the compass points it passes.
        d_.bounds.Add(a);
        d_.bounds.Add(b);
        for (double compass = 0; compass < 360; compass += 90)
            if (ClockwiseFrom(fromAzimuth, compass) < sweep) {
                const double r = compass / 180 * kPi;
                d_.bounds.Add({centre.X + radius * std::cos(r), centre.Y + radius * std::sin(r)});
            }
    }
    void Polyline(DrawingLayer layer, std::vector<WorldPoint> points) {
        for (const WorldPoint& p : points) d_.bounds.Add(p);
        d_.polylines.push_back({layer, std::move(points)});
    }
    void Point(std::string name, const WorldPoint& at) {
        if (!named_.insert(name).second) return;
        d_.points.push_back({std::move(name), at});
        d_.bounds.Add(at);
    }

private:
    PlanDrawing& d_;
    std::set<std::string> named_;
};

bool SameCurve(const PierGroup& a, const PierGroup& b) { return a.curve == b.curve && a.design == b.design; }

// A single curve: its centre line and edges over the chainages its rows use,
// a little road either side, never a whole turn (as the window's plan).
void DrawSingleCurve(Builder& b, const std::vector<PierGroup>& groups, std::size_t first) {
    const PierGroup& g = groups[first];
    const Curve& curve = g.curve;
    double Kmin = g.design.Kj, Kmax = g.design.Kj;
    std::set<double> halfWidths;
    for (std::size_t i = first; i < groups.size(); ++i) {
        if (groups[i].kind != GroupKind::SingleCurve || !SameCurve(groups[i], g)) continue;
        for (const PierRow& row : groups[i].rows) {
            for (const double K : {row.Kp, row.ends.Kin, row.ends.Kout})
                if (std::isfinite(K)) {
                    Kmin = std::min(Kmin, K);
                    Kmax = std::max(Kmax, K);
                }
            if (row.Dr > 0) halfWidths.insert(row.Dr);
        }
    }
    std::tie(Kmin, Kmax) = DrawnChainages(Kmin, Kmax, curve.R);
    // The chainage grows clockwise about O on a right-hand curve.
    const bool clockwise = curve.P > 0;
    const WorldPoint O{curve.Xo, curve.Yo};
    const auto arc = [&](DrawingLayer layer, double radius) {
        b.Arc(layer, O, radius, World(PointAtChainage(curve, g.design, Kmin, radius)),
              World(PointAtChainage(curve, g.design, Kmax, radius)), clockwise);
    };
    arc(DrawingLayer::CentreLine, curve.R);
    // The roadbed's edges themselves, R - Dr and R + Dr. A parallel beam's
    // inner end was computed on R - Dr in single precision, and lies off this
    // arc by that rounding (within half a millimetre up to R of about 8 km);
    // a tangent beam's on the edge itself.
    for (const double Dr : halfWidths) {
        arc(DrawingLayer::Edge, curve.R - Dr);
        arc(DrawingLayer::Edge, curve.R + Dr);
    }
}

// The points of an element at `offset` (+ right), closer together than a
// chord that strays kSpiralChordError from the curve. An offset curve of
// curvature k at distance d has curvature k / (1 - k d) and chords (1 - k d)
// times as long: its chord's error is c² k (1 - k d) / 8, at most
// c² |k| (1 + |k d|) / 8.
std::vector<WorldPoint> SpiralPoints(const Alignment& line, double s0, double s1, double kmax, double offset) {
    const double bend = kmax * (1 + kmax * std::abs(offset));
    const double chord = bend > 0 ? std::sqrt(8 * kSpiralChordError / bend) : s1 - s0;
    const auto steps = static_cast<std::size_t>(std::clamp(std::ceil((s1 - s0) / chord), 1.0, 1e6));
    std::vector<WorldPoint> points;
    points.reserve(steps + 1);
    for (std::size_t i = 0; i <= steps; ++i) {
        const double s = i == steps ? s1 : s0 + (s1 - s0) * static_cast<double>(i) / static_cast<double>(steps);
        points.push_back(offset == 0 ? World(line.At(s)) : World(line.OffsetPoint(s, offset)));
    }
    return points;
}

void DrawElement(Builder& b, const Alignment& line, std::size_t i, DrawingLayer layer, double offset) {
    const Element& e = line.ElementAt(i);
    const double s0 = line.ElementStart(i);
    const double s1 = std::min(s0 + e.length, line.EndDistance());
    const auto at = [&](double s) { return offset == 0 ? World(line.At(s)) : World(line.OffsetPoint(s, offset)); };
    if (e.k0 == 0 && e.k1 == 0) {
        b.Line(layer, at(s0), at(s1));
    } else if (e.k0 == e.k1) {
        // The centre lies to the right of the road where it bends right.
        const Station start = line.At(s0);
        const double rho = 1 / std::abs(e.k0);
        const double side = e.k0 > 0 ? 1 : -1;
        const double towards = (start.azimuth + 90 * side) / 180 * kPi;
        const WorldPoint centre{start.X + rho * std::cos(towards), start.Y + rho * std::sin(towards)};
        const double radius = rho - side * offset;
        if (radius > 0)
            b.Arc(layer, centre, radius, at(s0), at(s1), e.k0 > 0);
        else  // the edge folds over itself beyond the centre: drawn as the points it has
            b.Polyline(layer, SpiralPoints(line, s0, s1, std::abs(e.k0), offset));
    } else {
        b.Polyline(layer, SpiralPoints(line, s0, s1, std::max(std::abs(e.k0), std::abs(e.k1)), offset));
    }
}

void DrawRoad(Builder& b, const Alignment& line, std::optional<double> DL, std::optional<double> DR) {
    for (std::size_t i = 0; i < line.ElementCount(); ++i) {
        DrawElement(b, line, i, DrawingLayer::CentreLine, 0);
        if (DL && *DL > 0) DrawElement(b, line, i, DrawingLayer::Edge, -*DL);
        if (DR && *DR > 0) DrawElement(b, line, i, DrawingLayer::Edge, *DR);
    }
}

}  // namespace

const char* LayerName(DrawingLayer layer) {
    switch (layer) {
        case DrawingLayer::CentreLine: return "中线";
        case DrawingLayer::Edge: return "路基边线";
        case DrawingLayer::Beam: return "盖梁";
        case DrawingLayer::Point: return "点";
    }
    return "0";
}

double AzimuthOf(const WorldPoint& from, const WorldPoint& p) {
    double a = std::atan2(p.Y - from.Y, p.X - from.X) * 180 / kPi;
    if (a < 0) a += 360;
    if (a >= 360) a -= 360;
    return a;
}

PlanDrawing BuildPlanDrawing(const DrawingInputs& inputs) {
    PlanDrawing drawing;
    Builder b(drawing);
    if (inputs.table) {
        const std::vector<PierGroup>& groups = inputs.table->Groups();
        for (std::size_t i = 0; i < groups.size(); ++i) {
            if (groups[i].kind == GroupKind::Alignment || !(groups[i].curve.R > 0)) continue;
            bool drawn = false;
            for (std::size_t j = 0; j < i && !drawn; ++j)
                drawn = groups[j].kind == GroupKind::SingleCurve && SameCurve(groups[j], groups[i]);
            if (!drawn) DrawSingleCurve(b, groups, i);
        }
    }
    if (inputs.road) DrawRoad(b, inputs.road->road.Line(), inputs.DL, inputs.DR);
    if (inputs.table) {
        for (const PierGroup& group : inputs.table->Groups())
            for (const PierRow& row : group.rows) {
                const BeamEnds& e = row.ends;
                b.Line(DrawingLayer::Beam, {e.Xin, e.Yin}, {e.Xout, e.Yout});
            }
        // Every pier's centre, ends and points along its beam, named as the
        // coordinate files name them.
        const SiteWork none;
        for (const SitePoint& p : SitePointsOf(*inputs.table, inputs.site ? *inputs.site : none))
            b.Point(p.name, {p.X, p.Y});
    }
    for (const SitePoint& p : inputs.points) b.Point(p.name, {p.X, p.Y});
    return drawing;
}

}  // namespace capbeam
