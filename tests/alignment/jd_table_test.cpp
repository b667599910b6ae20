#include "geometry/jd_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "core/failure.h"
#include "geometry/clothoid.h"
#include "reference.h"

namespace capbeam {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMetreTolerance = 1e-7;

struct Vec {
    double X, Y;
};
Vec Direction(double degrees) { return {std::cos(degrees * kPi / 180), std::sin(degrees * kPi / 180)}; }
double Dms(double d, double m, double s) { return d + m / 60 + s / 3600; }
double AngleDifference(double a, double b) { return std::remainder(a - b, 360.0); }

// A table of one JD: the start `toJd` metres before it on azimuth `in`, the
// end `fromJd` metres after it on `in + turn` (turn < 0 bends left).
JdTable OneJd(double in, double turn, double R, double Ls1, double Ls2, double jdChainage, double toJd = 400,
              double fromJd = 400) {
    const Vec a = Direction(in), b = Direction(in + turn);
    const Vec jd{3000, 5000};
    JdTable t;
    t.start = {"QD", jd.X - toJd * a.X, jd.Y - toJd * a.Y};
    t.startChainage = jdChainage - toJd;
    t.jds.push_back({"JD1", jd.X, jd.Y, R, Ls1, Ls2});
    t.end = {"ZD", jd.X + fromJd * b.X, jd.Y + fromJd * b.Y};
    return t;
}

const MainPoint& Named(const JdCurve& c, const std::string& name) {
    for (const MainPoint& p : c.points)
        if (p.name == name) return p;
    throw std::runtime_error("no main point " + name);
}

// Symmetric spirals meeting with no arc between them: the published exam
// figures, to one unit of their last digit, for either sense of turn.
TEST(JdTable, SpiralsMeetingAtQzMatchThePublishedFigures) {
    for (const double turn : {+1.0, -1.0}) {
        SCOPED_TRACE(turn > 0 ? "right" : "left");
        const JdAlignment a = AlignmentFromJdTable(OneJd(33, turn * Dms(22, 33, 0), 152.45, 60, 60, 199.25));
        const JdCurve& c = a.curves.at(0);
        EXPECT_NEAR(c.T1, 60.55, 0.01);
        EXPECT_NEAR(c.T2, 60.55, 0.01);
        EXPECT_NEAR(c.E, 4.00, 0.01);
        EXPECT_NEAR(c.L, 120.00, 0.01);
        EXPECT_NEAR(Named(c, "ZH").distance, 138.70, 0.01);
        EXPECT_NEAR(Named(c, "HZ").distance, 258.70, 0.01);
        EXPECT_NEAR(c.Ly, 0, 1e-3);  // R·α is Ls to 0.00001 m
        EXPECT_EQ(c.turn, turn > 0 ? 1 : -1);
    }
}

// A long spiral in feet, from a surveying manual.
TEST(JdTable, LongSpiralMatchesThePublishedFigures) {
    const double R = 954.93, Ls = 350;
    const JdAlignment a = AlignmentFromJdTable(OneJd(Dms(56, 24, 9), Dms(58, 26, 50), R, Ls, Ls, 5000, 2000, 2000));
    const JdCurve& c = a.curves.at(0);
    EXPECT_NEAR(c.beta1, Dms(10, 30, 0), 1.0 / 3600);
    const LocalPoint end = CurvePoint(0, 1 / (R * Ls), Ls);
    EXPECT_NEAR(end.u, 348.82, 0.01);
    EXPECT_NEAR(end.v, 21.33, 0.01);
    EXPECT_NEAR(c.q1, 174.80, 0.01);
    EXPECT_NEAR(c.p1, 5.34, 0.01);
    EXPECT_NEAR(c.T1, 712.00, 0.01);
    EXPECT_NEAR(c.alpha, Dms(58, 26, 50), 1e-9);
    EXPECT_NEAR(Named(c, "HZ").azimuth, Dms(56, 24, 9) + Dms(58, 26, 50), 1e-8);
}

// Generated tables of several JDs, spirals equal, unequal or absent, turning
// either way: each curve closes on its outgoing tangent, starts on its
// incoming one, has its arc about one centre, and the chain ends at the end point.
TEST(JdTable, EveryCurveClosesOnItsTangentsOnGeneratedTables) {
    std::mt19937 rng(6);
    for (int n = 0; n < 60; ++n) {
        JdTable t;
        t.start = {"QD", reference::Uniform(rng, -1e5, 1e5), reference::Uniform(rng, -1e5, 1e5)};
        t.startChainage = reference::Uniform(rng, 0, 30000);
        double azimuth = reference::Uniform(rng, 0, 360), previousT = 0;
        Vec at{t.start.X, t.start.Y};
        const int jds = 1 + static_cast<int>(rng() % 5);
        std::vector<double> turns;
        for (int i = 0; i <= jds; ++i) {
            double turn = 0, T = 0;
            Jd jd;
            if (i < jds) {
                turn = (rng() % 2 ? 1 : -1) * reference::Uniform(rng, 3, 120);
                jd.R = reference::Uniform(rng, 50, 3000);
                const double limit = jd.R * std::fabs(turn) * kPi / 180;  // Ls1 + Ls2 <= 2Rα
                jd.Ls1 = rng() % 4 ? reference::Uniform(rng, 0, 0.9 * limit) : 0;
                jd.Ls2 = rng() % 3 ? (rng() % 2 ? jd.Ls1 : reference::Uniform(rng, 0, 0.9 * limit)) : 0;
                const double h = std::fabs(turn) * kPi / 360;
                T = jd.R * std::tan(h) + std::max(jd.Ls1, jd.Ls2) +
                    std::pow(std::max(jd.Ls1, jd.Ls2), 2) / (24 * jd.R) * (std::tan(h) + 2 / std::sin(2 * h));
            }
            const double leg = previousT + T + reference::Uniform(rng, 0, 200);
            const Vec d = Direction(azimuth);
            at = {at.X + leg * d.X, at.Y + leg * d.Y};
            if (i < jds) {
                jd.name = "JD" + std::to_string(i + 1);
                jd.X = at.X;
                jd.Y = at.Y;
                t.jds.push_back(jd);
                turns.push_back(turn);
            } else {
                t.end = {"ZD", at.X, at.Y};
            }
            azimuth += turn;
            previousT = T;
        }
        const JdAlignment a = AlignmentFromJdTable(t);
        ASSERT_EQ(a.curves.size(), t.jds.size());
        std::vector<Vec> poly{{t.start.X, t.start.Y}};
        for (const Jd& jd : t.jds) poly.push_back({jd.X, jd.Y});
        poly.push_back({t.end.X, t.end.Y});
        for (std::size_t i = 0; i < a.curves.size(); ++i) {
            SCOPED_TRACE("table " + std::to_string(n) + " JD" + std::to_string(i + 1));
            const JdCurve& c = a.curves[i];
            const Vec jd = poly[i + 1];
            const double in = std::atan2(jd.Y - poly[i].Y, jd.X - poly[i].X) * 180 / kPi;
            const double out = std::atan2(poly[i + 2].Y - jd.Y, poly[i + 2].X - jd.X) * 180 / kPi;
            EXPECT_NEAR(c.alpha, std::fabs(turns[i]), 1e-9);
            EXPECT_EQ(c.turn, turns[i] > 0 ? 1 : -1);
            const MainPoint& first = c.points.front();
            const MainPoint& last = c.points.back();
            EXPECT_EQ(first.name, c.Ls1 > 0 ? "ZH" : "ZY");
            EXPECT_EQ(last.name, c.Ls2 > 0 ? "HZ" : "YZ");
            EXPECT_EQ(c.points.size(), 3u + (c.Ls1 > 0) + (c.Ls2 > 0));
            // Start on the incoming tangent, T1 before the JD; end on the
            // outgoing one, T2 after it, heading along it.
            const Vec di = Direction(in), dout = Direction(out);
            EXPECT_NEAR(first.X, jd.X - c.T1 * di.X, kMetreTolerance);
            EXPECT_NEAR(first.Y, jd.Y - c.T1 * di.Y, kMetreTolerance);
            EXPECT_NEAR(last.X, jd.X + c.T2 * dout.X, kMetreTolerance);
            EXPECT_NEAR(last.Y, jd.Y + c.T2 * dout.Y, kMetreTolerance);
            EXPECT_NEAR(AngleDifference(first.azimuth, in), 0, 1e-8);
            EXPECT_NEAR(AngleDifference(last.azimuth, out), 0, 1e-8);
            EXPECT_NEAR(last.distance - first.distance, c.L, 1e-9);
            // The arc's centre, from each end of the arc, R to the inside.
            const MainPoint& arcStart = c.points[c.Ls1 > 0 ? 1 : 0];
            const MainPoint& arcEnd = c.points[c.points.size() - (c.Ls2 > 0 ? 2 : 1)];
            const auto centre = [&](const MainPoint& p) {
                const Vec n = Direction(p.azimuth + 90 * c.turn);
                return Vec{p.X + c.R * n.X, p.Y + c.R * n.Y};
            };
            const Vec O1 = centre(arcStart), O2 = centre(arcEnd);
            EXPECT_NEAR(O1.X, O2.X, kMetreTolerance);
            EXPECT_NEAR(O1.Y, O2.Y, kMetreTolerance);
            EXPECT_NEAR(std::hypot(jd.X - O1.X, jd.Y - O1.Y) - c.R, c.E, kMetreTolerance);
            if (c.Ls1 == c.Ls2) {
                const MainPoint& QZ = Named(c, "QZ");
                EXPECT_NEAR(std::hypot(jd.X - QZ.X, jd.Y - QZ.Y), c.E, kMetreTolerance);
            }
        }
        const Station end = a.line.At(a.line.EndDistance());
        EXPECT_NEAR(end.X, t.end.X, kMetreTolerance);
        EXPECT_NEAR(end.Y, t.end.Y, kMetreTolerance);
    }
}

// Ls1 + Ls2 = 2Rα, the arc of length 0, taken from the coordinates as they
// are: accepted, HY and YH at one point.
TEST(JdTable, SpiralsExactlyAsLongAsTheTurnAllowsAreAccepted) {
    JdTable t = OneJd(10, 37.25, 200, 0, 0, 1000);
    const double in = std::atan2(t.jds[0].Y - t.start.Y, t.jds[0].X - t.start.X);
    const double out = std::atan2(t.end.Y - t.jds[0].Y, t.end.X - t.jds[0].X);
    const double alpha = std::remainder(out - in, 2 * kPi);
    t.jds[0].Ls1 = t.jds[0].Ls2 = 200 * alpha;
    const JdCurve c = AlignmentFromJdTable(t).curves.at(0);
    EXPECT_EQ(c.Ly, 0);
    EXPECT_NEAR(Named(c, "HY").distance, Named(c, "YH").distance, 1e-9);
    t.jds[0].Ls1 = 150 * alpha;
    t.jds[0].Ls2 = 250 * alpha;  // unequal, the same sum
    EXPECT_NO_THROW(AlignmentFromJdTable(t));
}

TEST(JdTable, RefusalsNameTheJdAndTheReason) {
    // Start (0, 0); JD1 500 m north; JD2 turned right of it; end east of JD2.
    const auto base = [] {
        JdTable t;
        t.start = {"QD", 0, 0};
        t.jds = {{"JD1", 500, 0, 300, 40, 40}, {"JD2", 1000, 400, 300, 40, 40}};
        t.end = {"ZD", 1000, 1200};
        return t;
    };
    struct Row {
        const char* name;
        void (*change)(JdTable&);
        const char* who;
        const char* says;
    };
    const Row rows[] = {
        {"zero_turn", [](JdTable& t) { t.jds[0].Y = 0, t.jds[1] = {"JD2", 1000, 0, 300, 40, 40}, t.end = {"ZD", 1500, 0}; },
         "JD1", "转角为 0"},
        {"turn_back", [](JdTable& t) { t.end = {"ZD", 500, 0.0}; }, "JD2", "折返"},
        {"spirals_too_long", [](JdTable& t) { t.jds[0].R = 100, t.jds[0].Ls1 = t.jds[0].Ls2 = 70; }, "JD1", "缓和曲线太长"},
        {"just_too_long", [](JdTable& t) { t.jds[0].R = 100, t.jds[0].Ls1 = 67.4741, t.jds[0].Ls2 = 67.4741; }, "JD1",
         "缓和曲线太长"},
        {"overlapping_tangents", [](JdTable& t) { t.jds[0].R = 1000, t.jds[1].R = 700; }, "JD2", "切线重叠"},
        {"curve_before_start", [](JdTable& t) { t.jds[0].R = 2000; }, "JD1", "起点之前"},
        {"curve_after_end", [](JdTable& t) { t.end = {"ZD", 1000, 500}; }, "JD2", "终点之后"},
        {"zero_radius", [](JdTable& t) { t.jds[1].R = 0; }, "JD2", "R 必须大于 0"},
        {"negative_radius", [](JdTable& t) { t.jds[1].R = -5; }, "JD2", "R 必须大于 0"},
        {"negative_spiral", [](JdTable& t) { t.jds[0].Ls2 = -1; }, "JD1", "不能是负数"},
        {"same_place", [](JdTable& t) { t.jds[1].X = 500, t.jds[1].Y = 0; }, "JD2", "同一点"},
        {"end_on_jd", [](JdTable& t) { t.end = {"ZD", 1000, 400}; }, "ZD", "同一点"},
        {"nan_coordinate", [](JdTable& t) { t.jds[0].X = std::nan(""); }, "JD1", "不是有限的数"},
        {"huge_coordinate", [](JdTable& t) { t.jds[1].Y = 1e308; }, "JD2", "超出了可以计算的范围"},
    };
    EXPECT_NO_THROW(AlignmentFromJdTable(base()));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        JdTable t = base();
        row.change(t);
        try {
            AlignmentFromJdTable(t);
            ADD_FAILURE() << "accepted";
        } catch (const Failure& f) {
            EXPECT_NE(f.message().text.find(row.who), std::string::npos) << f.message().text;
            EXPECT_NE(f.message().text.find(row.says), std::string::npos) << f.message().text;
        }
    }
}

}  // namespace
}  // namespace capbeam
