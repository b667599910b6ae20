#include "geometry/alignment.h"

#include "geometry/bracketed_root.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "core/dms.h"
#include "core/failure.h"
#include "geometry/clothoid.h"

namespace capbeam {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegree = kPi / 180;
constexpr double kCoordinateLimit = 1e8;  // metres: far beyond any survey grid
constexpr double kLengthLimit = 1e6;      // metres: one element

std::string Ordinal(std::size_t i) { return "第 " + std::to_string(i + 1) + " 个线元"; }

// Where a spiral is sampled when looking for feet: pieces that turn by at
// most this much hold at most one foot of any point farther from the curve
// than its radius, and a bracketed Newton finds each.
constexpr double kSampleTurn = 0.2;

// A sample whose along-track component is this small (metres) is a foot
// itself: a point square off the very start or end of the line has one.
constexpr double kOnFoot = 1e-9;

double AzimuthDegrees(double radians) {
    double d = std::fmod(radians / kDegree, 360.0);
    if (d < 0) d += 360;
    return d >= 360 ? 0 : d;
}

}  // namespace

Alignment::Alignment(const AlignmentStart& start, std::vector<Element> elements) {
    if (elements.empty())
        throw Failure(ErrorKind::OutOfRange, "路线没有任何线元。请至少给出一段直线或曲线。");
    for (const double v : {start.X, start.Y, start.distance})
        if (!(std::fabs(v) <= kCoordinateLimit))
            throw Failure(ErrorKind::OutOfRange, "起点的坐标或桩号超出了可以计算的范围（绝对值不超过 1 亿米）。请检查起点数据。");
    if (!std::isfinite(start.azimuth))
        throw Failure(ErrorKind::OutOfRange, "起点方位角不是一个有限的数。请检查起点数据。");

    segments_.reserve(elements.size());
    double s = start.distance, X = start.X, Y = start.Y;
    double a = std::remainder(start.azimuth * kDegree, 2 * kPi);
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const Element& e = elements[i];
        if (!(e.length > 0))
            throw Failure(ErrorKind::OutOfRange, Ordinal(i) + "的长度必须大于 0。请检查该线元的长度。");
        if (!(e.length <= kLengthLimit))
            throw Failure(ErrorKind::OutOfRange, Ordinal(i) + "的长度超出了可以计算的范围（不超过 100 万米）。请检查该线元的长度。");
        if (!std::isfinite(e.k0) || !std::isfinite(e.k1))
            throw Failure(ErrorKind::OutOfRange, Ordinal(i) + "的半径不是一个有效的数。请检查该线元的半径。");
        if (std::max(std::fabs(e.k0), std::fabs(e.k1)) * e.length > 2 * kPi * (1 + 1e-12))
            throw Failure(ErrorKind::OutOfRange,
                          Ordinal(i) + "转过的角度超过一整圈（360°）。请检查该线元的长度和半径。");
        Segment seg;
        seg.element = e;
        seg.s0 = s;
        seg.X0 = X;
        seg.Y0 = Y;
        seg.a0 = a;
        seg.cosA0 = std::cos(a);
        seg.sinA0 = std::sin(a);
        seg.dk = (e.k1 - e.k0) / e.length;
        segments_.push_back(seg);

        const Pose end = Evaluate(seg, e.length);
        X = end.X;
        Y = end.Y;
        a = std::remainder(a + TurnAt(e.k0, seg.dk, e.length), 2 * kPi);
        s += e.length;
        if (!(std::fabs(X) <= kCoordinateLimit && std::fabs(Y) <= kCoordinateLimit && std::fabs(s) <= kCoordinateLimit))
            throw Failure(ErrorKind::OutOfRange,
                          Ordinal(i) + "的终点超出了可以计算的范围（坐标和桩号的绝对值不超过 1 亿米）。请检查线元数据。");
    }
    end_ = s;
}

Alignment::Pose Alignment::Evaluate(const Segment& seg, double t) {
    const LocalPoint p = CurvePoint(seg.element.k0, seg.dk, t);
    return {seg.X0 + p.u * seg.cosA0 - p.v * seg.sinA0, seg.Y0 + p.u * seg.sinA0 + p.v * seg.cosA0,
            seg.a0 + TurnAt(seg.element.k0, seg.dk, t), seg.element.k0 + seg.dk * t};
}

std::size_t Alignment::ElementIndex(double distance) const {
    const auto it = std::upper_bound(segments_.begin(), segments_.end(), distance,
                                     [](double d, const Segment& seg) { return d < seg.s0; });
    return it == segments_.begin() ? 0 : static_cast<std::size_t>(it - segments_.begin()) - 1;
}

Station Alignment::At(double distance) const {
    if (!(distance >= StartDistance() - kDistanceTolerance && distance <= end_ + kDistanceTolerance))
        throw Failure(ErrorKind::Geometry, "该桩号不在路线范围内（路线从起点到终点）。请输入起点与终点之间的桩号。");
    const Segment& seg = segments_[ElementIndex(distance)];
    const double t = std::clamp(distance - seg.s0, 0.0, seg.element.length);
    const Pose p = Evaluate(seg, t);
    return {p.X, p.Y, AzimuthDegrees(p.a), p.k};
}

PlanePoint Alignment::OffsetPoint(double distance, double offset, double angleDms) const {
    const Dms parts = SplitDms(angleDms);
    const double angle = DecimalDegrees(parts);
    if (!IsValidDms(parts) || !(angle > 0 && angle < 180))
        throw Failure(ErrorKind::OutOfRange,
                      "偏角按“度.分秒”输入，分和秒都必须小于 60，且大于 0 度、小于 180 度（从前进方向的切线顺时针量起，"
                      "90 为垂直于路线）。请重新输入。");
    if (!std::isfinite(offset) || std::fabs(offset) > kCoordinateLimit)
        throw Failure(ErrorKind::OutOfRange, "偏距超出了可以计算的范围。请检查偏距。");
    const Station st = At(distance);
    const double a = (st.azimuth + angle) * kDegree;
    return {st.X + offset * std::cos(a), st.Y + offset * std::sin(a)};
}

// Feet of (X, Y) on one segment: the roots of f(t) = (Q - P(t)) · T(t),
// bracketed on samples and refined by Newton kept inside its bracket
// (f'(t) = -1 + k(t) (Q - P(t)) · N(t), N the right normal).
void Alignment::FeetOnSegment(const Segment& seg, double X, double Y, Foot& best, double& bestDistance,
                              bool& found) const {
    const double L = seg.element.length;
    struct Value {
        double f, df, offset, distance;
    };
    const auto value = [&](double t) {
        const Pose p = Evaluate(seg, t);
        const double Tx = std::cos(p.a), Ty = std::sin(p.a);
        const double dX = X - p.X, dY = Y - p.Y;
        const double along = dX * Tx + dY * Ty;
        const double across = -dX * Ty + dY * Tx;  // onto the right normal (-sin a, cos a)
        return Value{along, -1 + p.k * across, across, std::hypot(dX, dY)};
    };
    const auto consider = [&](double t, const Value& v) {
        if (v.distance < bestDistance) {
            bestDistance = v.distance;
            best = {seg.s0 + t, v.offset};
            found = true;
        }
    };

    const double kMax = std::max(std::fabs(seg.element.k0), std::fabs(seg.element.k1));
    if (kMax == 0) {
        const double t = (X - seg.X0) * seg.cosA0 + (Y - seg.Y0) * seg.sinA0;
        if (t >= -kDistanceTolerance && t <= L + kDistanceTolerance) {
            const double tc = std::clamp(t, 0.0, L);
            consider(tc, value(tc));
        }
        return;
    }
    const int pieces = std::max(2, static_cast<int>(std::ceil(kMax * L / kSampleTurn)));
    double a = 0;
    Value va = value(a);
    for (int p = 1; p <= pieces; ++p) {
        const double b = L * p / pieces;
        const Value vb = value(b);
        if (std::fabs(va.f) <= kOnFoot) consider(a, va);
        if ((va.f < 0) != (vb.f < 0) && std::fabs(va.f) > kOnFoot && std::fabs(vb.f) > kOnFoot) {
            const double t = BracketedNewton(value, a, b, va.f, vb.f, [L](double) { return 1e-11 * (1 + L); });
            consider(t, value(t));
        }
        if (p == pieces && std::fabs(vb.f) <= kOnFoot) consider(b, vb);
        a = b;
        va = vb;
    }
}

Foot Alignment::Locate(double X, double Y) const {
    if (!(std::fabs(X) <= kCoordinateLimit && std::fabs(Y) <= kCoordinateLimit))
        throw Failure(ErrorKind::OutOfRange, "坐标超出了可以计算的范围（绝对值不超过 1 亿米）。请检查坐标。");
    // No point of a segment is nearer than its start less its length: the
    // segment with the smallest such bound is searched first, and the others
    // only where the bound does not exceed the nearest foot found so far.
    const auto mayHoldNearer = [&](const Segment& seg, double bestDistance) {
        const double dX = X - seg.X0, dY = Y - seg.Y0, reach = bestDistance + seg.element.length;
        return dX * dX + dY * dY <= reach * reach;
    };
    std::size_t first = 0;
    double firstBound = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < segments_.size(); ++i) {
        const Segment& seg = segments_[i];
        const double bound = std::hypot(X - seg.X0, Y - seg.Y0) - seg.element.length;
        if (bound < firstBound) {
            firstBound = bound;
            first = i;
        }
    }
    Foot best;
    double bestDistance = std::numeric_limits<double>::infinity();
    bool found = false;
    FeetOnSegment(segments_[first], X, Y, best, bestDistance, found);
    for (std::size_t i = 0; i < segments_.size(); ++i)
        if (i != first && (!found || mayHoldNearer(segments_[i], bestDistance)))
            FeetOnSegment(segments_[i], X, Y, best, bestDistance, found);
    if (!found)
        throw Failure(ErrorKind::Geometry,
                      "该点在路线上没有垂足（它在路线起点之前或终点之后）。请检查坐标，或确认该点属于这条路线。");
    return best;
}

}  // namespace capbeam
