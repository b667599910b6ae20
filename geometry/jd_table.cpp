#include "geometry/jd_table.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "core/failure.h"
#include "core/text_formats.h"
#include "geometry/clothoid.h"

namespace capbeam {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegree = kPi / 180;
constexpr double kSamePlace = 1e-3;    // metres: two table points closer than this are one point
constexpr double kMinTurn = 1e-8;      // radians: below this a JD does not turn
constexpr double kLengthSlack = 1e-6;  // metres: rounding allowed in a tangent or an arc of length 0
constexpr double kValueLimit = 1e8;    // metres

[[noreturn]] void Refuse(ErrorKind kind, const std::string& who, const std::string& why) {
    throw Failure(kind, who + "：" + why);
}

std::string JdName(const Jd& jd, std::size_t i) {
    return "交点 " + (jd.name.empty() ? "JD" + std::to_string(i + 1) : jd.name);
}

void CheckValues(const Jd& jd, std::size_t i) {
    const std::string who = JdName(jd, i);
    for (const double v : {jd.X, jd.Y, jd.R, jd.Ls1, jd.Ls2})
        if (!(std::fabs(v) <= kValueLimit))
            Refuse(ErrorKind::OutOfRange, who, "数值不是有限的数或超出了可以计算的范围（绝对值不超过 1 亿米）。请检查该行数据。");
    if (!(jd.R > 0)) Refuse(ErrorKind::OutOfRange, who, "圆曲线半径 R 必须大于 0。请改正半径。");
    if (jd.Ls1 < 0 || jd.Ls2 < 0)
        Refuse(ErrorKind::OutOfRange, who, "缓和曲线长度 Ls 不能是负数（0 表示没有缓和曲线）。请改正缓和曲线长度。");
}

MainPoint PointAt(const Alignment& line, std::string name, double distance) {
    const Station st = line.At(distance);
    return {std::move(name), distance, st.X, st.Y, st.azimuth};
}

}  // namespace

SpiralShift ShiftOf(double R, double Ls) {
    if (Ls == 0) return {};
    const LocalPoint end = CurvePoint(0, 1 / (R * Ls), Ls);
    const double beta = Ls / (2 * R);
    return {end.v - R * (1 - std::cos(beta)), end.u - R * std::sin(beta)};
}

JdAlignment AlignmentFromJdTable(const JdTable& table) {
    // The polygon: start, JDs, end; legs between consecutive points.
    std::vector<TablePoint> polygon;
    polygon.push_back(table.start);
    for (const Jd& jd : table.jds) polygon.push_back({jd.name, jd.X, jd.Y});
    polygon.push_back(table.end);
    const auto pointName = [&](std::size_t k) {
        if (k == 0) return "起点 " + table.start.name;
        if (k + 1 == polygon.size()) return "终点 " + table.end.name;
        return JdName(table.jds[k - 1], k - 1);
    };
    for (std::size_t k = 0; k < polygon.size(); ++k)
        if (!(std::fabs(polygon[k].X) <= kValueLimit && std::fabs(polygon[k].Y) <= kValueLimit))
            Refuse(ErrorKind::OutOfRange, pointName(k), "坐标不是有限的数或超出了可以计算的范围（绝对值不超过 1 亿米）。请检查坐标。");
    if (!(std::fabs(table.startChainage) <= kValueLimit))
        Refuse(ErrorKind::OutOfRange, pointName(0), "桩号不是有限的数或超出了可以计算的范围。请检查起点桩号。");
    for (std::size_t i = 0; i < table.jds.size(); ++i) CheckValues(table.jds[i], i);

    std::vector<double> legLength, legAzimuth;  // radians
    for (std::size_t k = 0; k + 1 < polygon.size(); ++k) {
        const double dX = polygon[k + 1].X - polygon[k].X, dY = polygon[k + 1].Y - polygon[k].Y;
        const double length = std::hypot(dX, dY);
        if (!(length >= kSamePlace))
            Refuse(ErrorKind::Geometry, pointName(k + 1),
                   "与" + pointName(k) + "位于同一点，无法确定路线的方向。请检查这两点的坐标。");
        legLength.push_back(length);
        legAzimuth.push_back(std::atan2(dY, dX));
    }

    // Each JD's curve from the turn between its two legs.
    std::vector<JdCurve> curves;
    for (std::size_t i = 0; i < table.jds.size(); ++i) {
        const Jd& jd = table.jds[i];
        const std::string who = JdName(jd, i);
        const double signedTurn = std::remainder(legAzimuth[i + 1] - legAzimuth[i], 2 * kPi);
        const double alpha = std::fabs(signedTurn);
        if (alpha < kMinTurn)
            Refuse(ErrorKind::Geometry, who, "转角为 0，前后两条直线在一条直线上，不需要设曲线。请删除这个交点或检查它的坐标。");
        if (alpha > kPi - kMinTurn)
            Refuse(ErrorKind::Geometry, who, "转角为 180°，路线在这里折返。请检查交点的坐标。");
        JdCurve c;
        c.name = jd.name;
        c.X = jd.X;
        c.Y = jd.Y;
        c.R = jd.R;
        c.Ls1 = jd.Ls1;
        c.Ls2 = jd.Ls2;
        c.alpha = alpha / kDegree;
        c.turn = signedTurn > 0 ? 1 : -1;
        const double b1 = jd.Ls1 / (2 * jd.R), b2 = jd.Ls2 / (2 * jd.R);
        c.beta1 = b1 / kDegree;
        c.beta2 = b2 / kDegree;
        const double Ly = jd.R * (alpha - b1 - b2);
        if (Ly < -kLengthSlack)
            Refuse(ErrorKind::Geometry, who,
                   "缓和曲线太长：转角 α 只容得下总长 2Rα = " + NumberText(Round3(2 * jd.R * alpha)) +
                       " 米的两段缓和曲线（Ls1 + Ls2 = 2Rα 时圆曲线长度为 0）。请减小 Ls1、Ls2 或增大半径 R。");
        c.Ly = std::max(Ly, 0.0);
        const SpiralShift s1 = ShiftOf(jd.R, jd.Ls1), s2 = ShiftOf(jd.R, jd.Ls2);
        c.p1 = s1.p;
        c.q1 = s1.q;
        c.p2 = s2.p;
        c.q2 = s2.q;
        const double tanHalf = std::tan(alpha / 2), sinAlpha = std::sin(alpha);
        c.T1 = (jd.R + s1.p) * tanHalf + s1.q - (s1.p - s2.p) / sinAlpha;
        c.T2 = (jd.R + s2.p) * tanHalf + s2.q + (s1.p - s2.p) / sinAlpha;
        c.L = c.Ly + jd.Ls1 + jd.Ls2;
        c.E = std::hypot(c.T1 - s1.q, jd.R + s1.p) - jd.R;
        c.J = c.T1 + c.T2 - c.L;
        curves.push_back(std::move(c));
    }

    // The straights between the curves: each leg less the tangents at its ends.
    std::vector<double> straight;
    for (std::size_t k = 0; k + 1 < polygon.size(); ++k) {
        const double back = k == 0 ? 0 : curves[k - 1].T2;
        const double ahead = k < curves.size() ? curves[k].T1 : 0;
        const double length = legLength[k] - back - ahead;
        if (length < -kLengthSlack) {
            if (k == 0)
                Refuse(ErrorKind::Geometry, pointName(1),
                       "切线长 T1 大于它到起点的距离，曲线的起点落在路线起点之前。请检查半径、缓和曲线长度或起点坐标。");
            if (k == curves.size())
                Refuse(ErrorKind::Geometry, pointName(k),
                       "切线长 T2 大于它到终点的距离，曲线的终点落在路线终点之后。请检查半径、缓和曲线长度或终点坐标。");
            Refuse(ErrorKind::Geometry, pointName(k + 1),
                   "与" + pointName(k) + "的切线重叠：前一条曲线的终点在这条曲线的起点之后（两切线长之和比交点间距长 " +
                       NumberText(Round3(-length)) + " 米）。请减小半径或缓和曲线长度。");
        }
        straight.push_back(std::max(length, 0.0));
    }

    // The elements in road order, and the distances of each curve's points.
    std::vector<Element> elements;
    const auto add = [&](double length, double k0, double k1) {
        if (length > kLengthSlack) elements.push_back({length, k0, k1});
    };
    double s = table.startChainage;
    for (std::size_t k = 0; k < polygon.size() - 1; ++k) {
        add(straight[k], 0, 0);
        s += straight[k];
        if (k < curves.size()) {
            JdCurve& c = curves[k];
            c.distance = s + c.T1;
            const double k1 = c.turn / c.R;
            add(c.Ls1, 0, k1);
            add(c.Ly, k1, k1);
            add(c.Ls2, k1, 0);
            s += c.L;
        }
    }
    if (elements.empty())
        throw Failure(ErrorKind::Geometry, "路线的长度为 0。请检查起点和终点的坐标。");
    JdAlignment result{Alignment({table.start.X, table.start.Y, legAzimuth[0] / kDegree, table.startChainage},
                                 std::move(elements)),
                       std::move(curves)};

    for (JdCurve& c : result.curves) {
        const double ZH = c.distance - c.T1;
        const double HY = ZH + c.Ls1, YH = HY + c.Ly, HZ = YH + c.Ls2;
        const Alignment& line = result.line;
        if (c.Ls1 > 0) {
            c.points.push_back(PointAt(line, "ZH", ZH));
            c.points.push_back(PointAt(line, "HY", HY));
        } else {
            c.points.push_back(PointAt(line, "ZY", ZH));
        }
        c.points.push_back(PointAt(line, "QZ", ZH + c.L / 2));
        if (c.Ls2 > 0) {
            c.points.push_back(PointAt(line, "YH", YH));
            c.points.push_back(PointAt(line, "HZ", HZ));
        } else {
            c.points.push_back(PointAt(line, "YZ", HZ));
        }
    }
    return result;
}

}  // namespace capbeam
