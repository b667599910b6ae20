#include "geometry/element_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/failure.h"
#include "geometry/jd_table.h"
#include "reference.h"

namespace capbeam {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMetreTolerance = 1e-7;

// The same road as a JD table and as elements built from the curve table's
// T, Ls and arc lengths: both chains end at the same point, and every main
// point of the JD table lies on the element chain at its chainage.
TEST(ElementTable, AgreesWithTheJdTableOfTheSameRoad) {
    const double azimuth = 36 + 52.0 / 60 + 12.0 / 3600;  // 36°52′12″
    const double a = azimuth * kPi / 180;
    JdTable t;
    t.start = {"QD", 3000, 5000};
    t.startChainage = 1234.5;
    t.jds = {{"JD1", 3000 + 600 * std::cos(a), 5000 + 600 * std::sin(a), 450, 90, 60}};
    t.jds.push_back({"JD2", t.jds[0].X + 700, t.jds[0].Y + 900, 380, 0, 0});
    t.jds.push_back({"JD3", t.jds[1].X + 100, t.jds[1].Y + 800, 520, 70, 70});
    t.end = {"ZD", t.jds[2].X + 700, t.jds[2].Y + 200};
    const JdAlignment jd = AlignmentFromJdTable(t);

    ElementTable e;
    e.startChainage = t.startChainage;
    e.X = t.start.X;
    e.Y = t.start.Y;
    e.azimuthDms = 36.5212;
    std::vector<TablePoint> poly{t.start};
    for (const Jd& j : t.jds) poly.push_back({j.name, j.X, j.Y});
    poly.push_back(t.end);
    for (std::size_t k = 0; k + 1 < poly.size(); ++k) {
        const double leg = std::hypot(poly[k + 1].X - poly[k].X, poly[k + 1].Y - poly[k].Y);
        const double back = k > 0 ? jd.curves[k - 1].T2 : 0, ahead = k < jd.curves.size() ? jd.curves[k].T1 : 0;
        e.rows.push_back({leg - back - ahead, kStraight, kStraight, Bend::None});
        if (k == jd.curves.size()) break;
        const JdCurve& c = jd.curves[k];
        const Bend bend = c.turn > 0 ? Bend::Right : Bend::Left;
        if (c.Ls1 > 0) e.rows.push_back({c.Ls1, kStraight, c.R, bend});
        e.rows.push_back({c.Ly, c.R, c.R, bend});
        if (c.Ls2 > 0) e.rows.push_back({c.Ls2, c.R, kStraight, bend});
    }
    const Alignment line = AlignmentFromElementTable(e);
    EXPECT_NEAR(line.EndDistance(), jd.line.EndDistance(), 1e-9);
    const Station end = line.At(line.EndDistance());
    EXPECT_NEAR(end.X, t.end.X, kMetreTolerance);
    EXPECT_NEAR(end.Y, t.end.Y, kMetreTolerance);
    for (const JdCurve& c : jd.curves)
        for (const MainPoint& p : c.points) {
            const Station st = line.At(p.distance);
            EXPECT_NEAR(st.X, p.X, kMetreTolerance) << c.name << " " << p.name;
            EXPECT_NEAR(st.Y, p.Y, kMetreTolerance) << c.name << " " << p.name;
        }
}

// An egg-shaped spiral from R1 to R2 is the stretch of one clothoid
// (A² = l / (1/R2 - 1/R1)) between the points where its radius is R1 and R2:
// the chord between them, seen from the start tangent, must agree with that
// clothoid's own series, for both senses.
TEST(ElementTable, EggShapedSpiralIsAPieceOfTheFullClothoid) {
    const double R1 = 600, R2 = 250, l = 90;
    const double A2 = l / (1 / R2 - 1 / R1);
    const long double l1 = A2 / R1, l2 = A2 / R2;
    const auto [x1, y1] = reference::ClothoidSeries(A2, l1);
    const auto [x2, y2] = reference::ClothoidSeries(A2, l2);
    const long double t1 = l1 * l1 / (2 * A2);
    const long double du = (x2 - x1) * std::cos(t1) + (y2 - y1) * std::sin(t1);
    const long double dv = -(x2 - x1) * std::sin(t1) + (y2 - y1) * std::cos(t1);
    for (const Bend bend : {Bend::Right, Bend::Left}) {
        ElementTable e;
        e.azimuthDms = 0;  // north: u is X, v (right) is Y
        e.rows = {{50, R1, R1, bend}, {l, R1, R2, bend}, {40, R2, R2, bend}};
        const Alignment line = AlignmentFromElementTable(e);
        const Station p = line.At(50), q = line.At(50 + l);
        const double a = p.azimuth * kPi / 180;
        const double u = (q.X - p.X) * std::cos(a) + (q.Y - p.Y) * std::sin(a);
        const double v = -(q.X - p.X) * std::sin(a) + (q.Y - p.Y) * std::cos(a);
        const double sense = bend == Bend::Right ? 1 : -1;
        EXPECT_NEAR(u, static_cast<double>(du), kMetreTolerance);
        EXPECT_NEAR(v, sense * static_cast<double>(dv), kMetreTolerance);
        EXPECT_NEAR(std::remainder(q.azimuth - p.azimuth, 360.0), sense * (l2 * l2 - l1 * l1) / (2 * A2) * 180 / kPi, 1e-9);
    }
}

TEST(ElementTable, RefusesElementsThatDoNotFit) {
    struct Row {
        const char* name;
        double azimuthDms;
        ElementRow row;
        const char* says;
    };
    const Row rows[] = {
        {"zero_length", 10, {0, kStraight, kStraight, Bend::None}, "第 2 个线元的长度必须大于 0"},
        {"negative_length", 10, {-3, 100, 100, Bend::Left}, "长度必须大于 0"},
        {"zero_radius", 10, {30, 0, 100, Bend::Left}, "半径必须大于 0"},
        {"negative_radius", 10, {30, 100, -100, Bend::Right}, "半径必须大于 0"},
        {"nan_radius", 10, {30, std::nan(""), 100, Bend::Right}, "半径必须大于 0"},
        {"curve_without_side", 10, {30, 100, 100, Bend::None}, "没有注明偏向"},
        {"azimuth_not_dms", 10.6, {30, kStraight, kStraight, Bend::None}, "度.分秒"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ElementTable e;
        e.azimuthDms = r.azimuthDms;
        e.rows = {{100, kStraight, kStraight, Bend::None}, r.row};
        try {
            AlignmentFromElementTable(e);
            ADD_FAILURE() << "accepted";
        } catch (const Failure& f) {
            EXPECT_NE(f.message().text.find(r.says), std::string::npos) << f.message().text;
        }
    }
}

}  // namespace
}  // namespace capbeam
