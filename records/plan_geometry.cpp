#include "records/plan_geometry.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace capbeam {

namespace {

// The same curve and design beam: rows computed on it can be drawn together.
bool SameCurve(const PierGroup& a, const PierGroup& b) { return a.curve == b.curve && a.design == b.design; }

WorldPoint World(const CurvePoint& p) { return {p.X, p.Y}; }

std::vector<WorldPoint> Arc(const PierGroup& g, double K1, double K2, double radius) {
    const double turnDegrees = std::abs(K2 - K1) / g.curve.R * kRadToDeg;
    const int steps = std::clamp(static_cast<int>(std::ceil(turnDegrees * 2)), 16, 720);
    std::vector<WorldPoint> points;
    points.reserve(static_cast<std::size_t>(steps) + 1);
    for (int i = 0; i <= steps; ++i)
        points.push_back(World(PointAtChainage(g.curve, g.design, K1 + (K2 - K1) * i / steps, radius)));
    return points;
}

}  // namespace

void WorldBounds::Add(const WorldPoint& p) {
    if (!std::isfinite(p.X) || !std::isfinite(p.Y)) return;
    if (empty) {
        minX = maxX = p.X;
        minY = maxY = p.Y;
        empty = false;
        return;
    }
    minX = std::min(minX, p.X);
    maxX = std::max(maxX, p.X);
    minY = std::min(minY, p.Y);
    maxY = std::max(maxY, p.Y);
}

PlanTransform::PlanTransform(double pixelsPerMetre, WorldPoint centre, ScreenPoint screenCentre)
    : scale_(pixelsPerMetre), centre_(centre), screenCentre_(screenCentre) {}

PlanTransform PlanTransform::Fit(const WorldBounds& bounds, double width, double height, double margin) {
    const ScreenPoint middle{width / 2, height / 2};
    if (bounds.empty) return PlanTransform(1, {}, middle);
    const WorldPoint centre{(bounds.minX + bounds.maxX) / 2, (bounds.minY + bounds.maxY) / 2};
    const double spanX = bounds.maxX - bounds.minX;  // northing: screen height
    const double spanY = bounds.maxY - bounds.minY;  // easting: screen width
    const double roomW = std::max(width - 2 * margin, 1.0);
    const double roomH = std::max(height - 2 * margin, 1.0);
    double scale = 1;
    if (spanX > 0 || spanY > 0)
        scale = std::min(spanY > 0 ? roomW / spanY : INFINITY, spanX > 0 ? roomH / spanX : INFINITY);
    if (!std::isfinite(scale) || scale <= 0) scale = 1;
    return PlanTransform(scale, centre, middle);
}

ScreenPoint PlanTransform::ToScreen(const WorldPoint& p) const {
    return {screenCentre_.x + (p.Y - centre_.Y) * scale_, screenCentre_.y - (p.X - centre_.X) * scale_};
}

WorldPoint PlanTransform::ToWorld(const ScreenPoint& s) const {
    return {centre_.X - (s.y - screenCentre_.y) / scale_, centre_.Y + (s.x - screenCentre_.x) / scale_};
}

void PlanTransform::ZoomAbout(const ScreenPoint& anchor, double factor) {
    if (!(factor > 0) || !std::isfinite(factor)) return;
    const WorldPoint fixed = ToWorld(anchor);
    scale_ *= factor;
    // Put `fixed` back under the anchor.
    const ScreenPoint now = ToScreen(fixed);
    Pan(anchor.x - now.x, anchor.y - now.y);
}

void PlanTransform::Pan(double dx, double dy) {
    screenCentre_.x += dx;
    screenCentre_.y += dy;
}

double ScaleBarMetres(double pixelsPerMetre, double maxPixels) {
    if (!(pixelsPerMetre > 0) || !(maxPixels > 0)) return 0;
    const double maxMetres = maxPixels / pixelsPerMetre;
    const double power = std::pow(10.0, std::floor(std::log10(maxMetres)));
    for (const double step : {5.0, 2.0, 1.0})
        if (step * power <= maxMetres) return step * power;
    return power;
}

std::pair<double, double> DrawnChainages(double Kmin, double Kmax, double R) {
    const double span = Kmax - Kmin;
    const double room = std::max(0.1 * span, span > 0 ? 5.0 : std::min(0.2 * R, 50.0));
    Kmin -= room;
    Kmax += room;
    const double fullTurn = 360 / kRadToDeg * R * 0.999;
    if (Kmax - Kmin > fullTurn) {
        const double mid = (Kmax + Kmin) / 2;
        Kmin = mid - fullTurn / 2;
        Kmax = mid + fullTurn / 2;
    }
    return {Kmin, Kmax};
}

PlanScene BuildPlanScene(const PierTable& table) {
    PlanScene scene;
    const auto& groups = table.Groups();
    if (groups.empty() || !(groups.back().curve.R > 0)) return scene;
    const PierGroup& latestGroup = groups.back();
    const Curve& curve = latestGroup.curve;
    const DesignBeam& design = latestGroup.design;
    scene.hasCurve = true;
    scene.curve = curve;
    scene.design = design;
    scene.O = {curve.Xo, curve.Yo};
    scene.R = curve.R;
    scene.J = {design.Xj, design.Yj};

    double Kmin = design.Kj, Kmax = design.Kj;
    const PierRow* latest = nullptr;
    for (const PierGroup& group : groups) {
        if (!SameCurve(group, latestGroup)) continue;
        for (const PierRow& row : group.rows) {
            PlanBeam beam;
            beam.number = row.number;
            beam.centre = {row.ends.Xk, row.ends.Yk};
            beam.inner = {row.ends.Xin, row.ends.Yin};
            beam.outer = {row.ends.Xout, row.ends.Yout};
            beam.orientation = row.orientation;
            scene.beams.push_back(beam);
            for (const double K : {row.Kp, row.ends.Kin, row.ends.Kout})
                if (std::isfinite(K)) {
                    Kmin = std::min(Kmin, K);
                    Kmax = std::max(Kmax, K);
                }
            latest = &row;
        }
    }
    if (!scene.beams.empty()) scene.beams.back().latest = true;
    if (latest) scene.Dr = latest->Dr;

    std::tie(Kmin, Kmax) = DrawnChainages(Kmin, Kmax, curve.R);
    scene.Kfrom = Kmin;
    scene.Kto = Kmax;
    scene.centreLine = Arc(latestGroup, Kmin, Kmax, curve.R);
    if (scene.Dr) {
        scene.innerEdge = Arc(latestGroup, Kmin, Kmax, curve.R - *scene.Dr);
        scene.outerEdge = Arc(latestGroup, Kmin, Kmax, curve.R + *scene.Dr);
    }

    // The design beam: placed at Kj as a request there places it, to the
    // edges when the half-width is known; else (or where the geometry
    // refuses it) a short stub either side of J along its axis.
    const double stub = std::min(0.05 * curve.R, 10.0);
    scene.designOuter = World(PointAlong(design.Xj, design.Yj, design.axis.Ab1, stub));
    scene.designInner = World(PointAlong(design.Xj, design.Yj, design.axis.Ab2, stub));
    if (scene.Dr) {
        try {
            const BeamEnds e = PlaceBeam(curve, design, design.Kj, *scene.Dr, Orientation::Parallel).ends;
            scene.designOuter = {e.Xout, e.Yout};
            scene.designInner = {e.Xin, e.Yin};
        } catch (const Failure&) {
            // no ends on the edges: the stub stays
        }
    }

    for (const auto* line : {&scene.centreLine, &scene.innerEdge, &scene.outerEdge})
        for (const WorldPoint& p : *line) scene.bounds.Add(p);
    for (const WorldPoint& p : {scene.J, scene.designInner, scene.designOuter}) scene.bounds.Add(p);
    for (const PlanBeam& beam : scene.beams)
        for (const WorldPoint& p : {beam.centre, beam.inner, beam.outer}) scene.bounds.Add(p);
    return scene;
}

bool ScreenRect::Overlaps(const ScreenRect& o) const {
    return left < o.left + o.width && o.left < left + width && top < o.top + o.height && o.top < top + height;
}

bool ScreenRect::Contains(const ScreenPoint& p) const {
    return p.x >= left && p.x <= left + width && p.y >= top && p.y <= top + height;
}

ScreenRect LabelBeyond(const ScreenPoint& inner, const ScreenPoint& outer, double width, double height, double gap) {
    double ux = outer.x - inner.x, uy = outer.y - inner.y;
    const double length = std::hypot(ux, uy);
    if (length > 0) {
        ux /= length;
        uy /= length;
    } else {
        ux = 1;
        uy = 0;
    }
    // The box's half-extent along the line (its support in that direction)
    // plus the gap: the box's nearest corner lies `gap` out along the line.
    const double reach = std::abs(ux) * width / 2 + std::abs(uy) * height / 2 + gap;
    const double cx = outer.x + ux * reach, cy = outer.y + uy * reach;
    return {cx - width / 2, cy - height / 2, width, height};
}

std::vector<bool> KeepClearLabels(const std::vector<ScreenRect>& boxes, const std::vector<ScreenRect>& taken) {
    std::vector<bool> keep(boxes.size(), false);
    std::vector<ScreenRect> kept;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const auto clashes = [&](const ScreenRect& other) { return boxes[i].Overlaps(other); };
        if (std::any_of(taken.begin(), taken.end(), clashes) || std::any_of(kept.begin(), kept.end(), clashes))
            continue;
        keep[i] = true;
        kept.push_back(boxes[i]);
    }
    return keep;
}

BeamStyle StyleOf(Orientation orientation, bool latest) {
    const EndMark mark = orientation == Orientation::Tangent ? EndMark::Square : EndMark::Circle;
    if (latest) return {220, 30, 30, mark};
    if (orientation == Orientation::Tangent) return {0, 120, 150, mark};  // teal
    return {120, 80, 40, mark};                                          // brown
}

namespace {

// The least of 1, 2 or 5 times a power of ten that is at least `metres`.
double NiceStepAtLeast(double metres) {
    const double power = std::pow(10.0, std::floor(std::log10(metres)));
    for (const double step : {1.0, 2.0, 5.0, 10.0})
        if (step * power >= metres) return step * power;
    return 10 * power;
}

}  // namespace

std::vector<ChainageTick> ChainageTicks(const Curve& curve, const DesignBeam& design, double Kfrom, double Kto, double pixelsPerMetre,
                                        double tickPixels, double labelPixels, std::size_t maxTicks) {
    std::vector<ChainageTick> ticks;
    if (!(curve.R > 0) || !(pixelsPerMetre > 0) || !(tickPixels > 0) || !std::isfinite(Kfrom) ||
        !std::isfinite(Kto) || maxTicks == 0)
        return ticks;
    if (Kto < Kfrom) std::swap(Kfrom, Kto);
    // The label step first; the tick step is the finest of its tenth, fifth,
    // half or itself that keeps the ticks apart, so every label has a tick.
    double labelStep = NiceStepAtLeast(std::max(labelPixels, tickPixels) / pixelsPerMetre);
    double step = labelStep;
    for (const double divisor : {10.0, 5.0, 2.0})
        if (labelStep / divisor * pixelsPerMetre >= tickPixels) {
            step = labelStep / divisor;
            break;
        }
    while ((Kto - Kfrom) / step + 1 > static_cast<double>(maxTicks)) {
        step *= 10;
        labelStep = std::max(labelStep, step);
    }
    const double first = std::ceil(Kfrom / step), last = std::floor(Kto / step);
    const double ratio = std::round(labelStep / step);
    for (double n = first; n <= last; ++n) {
        ChainageTick tick;
        tick.K = n * step;
        tick.at = World(PointAtChainage(curve, design, tick.K, curve.R));
        const double toO = std::hypot(curve.Xo - tick.at.X, curve.Yo - tick.at.Y);
        tick.inward = {(curve.Xo - tick.at.X) / toO, (curve.Yo - tick.at.Y) / toO};
        tick.labelled = std::fmod(std::abs(n), ratio) == 0;
        ticks.push_back(tick);
    }
    return ticks;
}

}  // namespace capbeam
