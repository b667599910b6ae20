#include "geometry/alignment_beam.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <tuple>

#include "core/failure.h"
#include "reference.h"

namespace capbeam {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMetreTolerance = 1e-7;

struct Vec {
    double X, Y;
};
Vec Direction(double degrees) { return {std::cos(degrees * kPi / 180), std::sin(degrees * kPi / 180)}; }

// A skew B as D.MMSS and as decimal degrees, drawn in whole seconds.
struct Skew {
    double dms, degrees;
};
Skew RandomSkew(std::mt19937& rng, int from, int to) {
    const int d = from + static_cast<int>(rng() % static_cast<unsigned>(to - from));
    const int m = static_cast<int>(rng() % 60), s = static_cast<int>(rng() % 60);
    return {d + m / 100.0 + s / 10000.0, d + m / 60.0 + s / 3600.0};
}

// An alignment that is one arc: its beam ends against the intersection of
// the axis with the edge circles about the arc's centre, for both senses of
// the curve and both orientations of the beams.
TEST(AlignmentBeam, SingleArcAgreesWithCircleAndLineIntersection) {
    std::mt19937 rng(7);
    for (int n = 0; n < 300; ++n) {
        const int side = n % 2 ? 1 : -1;  // +1 bends right
        const double R = reference::Uniform(rng, 80, 3000);
        const double s0 = reference::Uniform(rng, 0, 5000), a0 = reference::Uniform(rng, 0, 360);
        const Vec P0{reference::Uniform(rng, -1e5, 1e5), reference::Uniform(rng, -1e5, 1e5)};
        const double turn = 2.0;  // radians
        const Alignment line({P0.X, P0.Y, a0, s0}, {{R * turn, side / R, side / R}});
        // The centre lies R to the side the road bends to.
        const Vec n0 = Direction(a0 + 90 * side);
        const Vec O{P0.X + R * n0.X, P0.Y + R * n0.Y};
        const double a0O = std::atan2(P0.Y - O.Y, P0.X - O.X);
        const auto pointAt = [&](double s) {
            const double phi = a0O + side * (s - s0) / R;
            return Vec{O.X + R * std::cos(phi), O.Y + R * std::sin(phi)};
        };
        const auto azimuthAt = [&](double s) { return a0 + side * (s - s0) / R * 180 / kPi; };

        const Skew B = RandomSkew(rng, 40, 140);
        BeamDesign design;
        design.Kj = s0 + R * reference::Uniform(rng, 0.7, 1.3);
        design.Bdms = B.dms;
        design.DR = reference::Uniform(rng, 0, std::min(20.0, 0.1 * R));
        design.DL = n % 3 ? design.DR : reference::Uniform(rng, 0, std::min(20.0, 0.1 * R));
        design.orientation = n % 4 < 2 ? BeamOrientation::Parallel : BeamOrientation::Tangent;
        const double Kp = design.Kj + R * reference::Uniform(rng, -0.2, 0.2);
        SCOPED_TRACE(::testing::Message() << "case " << n << " R=" << R << " B=" << B.dms << " DR=" << design.DR);

        const BeamEnds ends = PlaceBeam(line, design, Kp);
        const Vec C = pointAt(Kp);
        const double axis = (design.orientation == BeamOrientation::Parallel ? azimuthAt(design.Kj) : azimuthAt(Kp)) + B.degrees;
        const Vec u = Direction(axis);
        // t² + 2t (C - O)·u + |C - O|² - ρ² = 0; the root of the end's sign nearest the centre.
        const auto end = [&](double rho, int sign) {
            const double b = (C.X - O.X) * u.X + (C.Y - O.Y) * u.Y;
            const double c = std::pow(C.X - O.X, 2) + std::pow(C.Y - O.Y, 2) - rho * rho;
            const double root = std::sqrt(b * b - c);
            const double t1 = -b - root, t2 = -b + root;
            const double t = sign > 0 ? (t1 > 0 ? t1 : t2) : (t2 < 0 ? t2 : t1);
            const Vec E{C.X + t * u.X, C.Y + t * u.Y};
            const double phi = std::remainder(std::atan2(E.Y - O.Y, E.X - O.X) - a0O, 2 * kPi);
            return std::tuple{std::fabs(t), E, s0 + side * phi * R};
        };
        const auto [Lr, Er, Kr] = end(R - side * design.DR, +1);
        const auto [Ll, El, Kl] = end(R + side * design.DL, -1);
        EXPECT_NEAR(ends.Xk, C.X, kMetreTolerance);
        EXPECT_NEAR(ends.Yk, C.Y, kMetreTolerance);
        EXPECT_NEAR(ends.Lout, Lr, kMetreTolerance);
        EXPECT_NEAR(ends.Xout, Er.X, kMetreTolerance);
        EXPECT_NEAR(ends.Yout, Er.Y, kMetreTolerance);
        EXPECT_NEAR(ends.Kout, Kr, kMetreTolerance);
        EXPECT_NEAR(ends.Lin, Ll, kMetreTolerance);
        EXPECT_NEAR(ends.Xin, El.X, kMetreTolerance);
        EXPECT_NEAR(ends.Yin, El.Y, kMetreTolerance);
        EXPECT_NEAR(ends.Kin, Kl, kMetreTolerance);
    }
}

// On generated roads with spirals and egg-shaped curves: each end lies on
// the beam's axis at its length from the centre, at its half-width from the
// centre line, with its chainage the foot found by locating it again.
TEST(AlignmentBeam, EndsLieOnTheirEdgesAndOnTheAxis) {
    std::mt19937 rng(8);
    int placed = 0, tried = 0;
    for (int n = 0; n < 60; ++n) {
        const reference::Road road = reference::RandomRoad(rng, 100);
        const Alignment line(road.start, road.elements);
        for (int k = 0; k < 10; ++k) {
            const double margin = 60;
            if (line.EndDistance() - line.StartDistance() < 3 * margin) break;
            BeamDesign design;
            const Skew B = RandomSkew(rng, 45, 135);
            design.Bdms = B.dms;
            design.DL = reference::Uniform(rng, 0.5, 15);
            design.DR = reference::Uniform(rng, 0.5, 15);
            design.orientation = k % 2 ? BeamOrientation::Parallel : BeamOrientation::Tangent;
            design.Kj = reference::Uniform(rng, line.StartDistance() + margin, line.EndDistance() - margin);
            const double Kp = std::clamp(design.Kj + reference::Uniform(rng, -30, 30), line.StartDistance() + margin,
                                         line.EndDistance() - margin);
            ++tried;
            BeamEnds e;
            try {
                e = PlaceBeam(line, design, Kp);
            } catch (const Failure& f) {
                EXPECT_EQ(f.kind(), ErrorKind::Geometry) << f.message().text;
                continue;
            }
            ++placed;
            const Station c = line.At(Kp);
            EXPECT_NEAR(e.Xk, c.X, 1e-12);
            const double axis = (design.orientation == BeamOrientation::Parallel ? line.At(design.Kj).azimuth : c.azimuth) + B.degrees;
            const Vec u = Direction(axis);
            struct EndCase {
                double L, X, Y, K, offset;
            };
            for (const EndCase& end : {EndCase{-e.Lin, e.Xin, e.Yin, e.Kin, -design.DL},
                                       EndCase{e.Lout, e.Xout, e.Yout, e.Kout, design.DR}}) {
                EXPECT_NEAR(end.X, c.X + end.L * u.X, kMetreTolerance);
                EXPECT_NEAR(end.Y, c.Y + end.L * u.Y, kMetreTolerance);
                const Foot foot = line.Locate(end.X, end.Y);
                EXPECT_NEAR(foot.distance, end.K, 1e-6);
                EXPECT_NEAR(foot.offset, end.offset, kMetreTolerance);
            }
        }
    }
    EXPECT_GT(placed, tried * 8 / 10);
}

// On a straight the ends are closed forms: L = D / sin B, the foot D cot B
// ahead (right) or behind (left); and at Kj both orientations agree exactly.
TEST(AlignmentBeam, StraightRoadAndDesignPosition) {
    const Alignment line({100, 200, 123.4, 1000}, {{500, 0, 0}});
    BeamDesign d{1200, 60.3, 8, 11, BeamOrientation::Parallel};
    const double B = 60.5 * kPi / 180;
    const BeamEnds e = PlaceBeam(line, d, 1250);
    EXPECT_NEAR(e.Lout, 11 / std::sin(B), kMetreTolerance);
    EXPECT_NEAR(e.Kout, 1250 + 11 / std::tan(B), kMetreTolerance);
    EXPECT_NEAR(e.Lin, 8 / std::sin(B), kMetreTolerance);
    EXPECT_NEAR(e.Kin, 1250 - 8 / std::tan(B), kMetreTolerance);

    const Alignment curve({0, 0, 10, 0}, {{100, 0, 0}, {80, 0, 1.0 / 250}, {300, 1.0 / 250, 1.0 / 250}});
    d = {150, 75.2, 9, 9, BeamOrientation::Parallel};
    const BeamEnds parallel = PlaceBeam(curve, d, 150);
    d.orientation = BeamOrientation::Tangent;
    const BeamEnds tangent = PlaceBeam(curve, d, 150);
    EXPECT_DOUBLE_EQ(parallel.Kin, tangent.Kin);
    EXPECT_DOUBLE_EQ(parallel.Xout, tangent.Xout);
    EXPECT_DOUBLE_EQ(parallel.Lout, tangent.Lout);

    d.DL = 0;  // the left edge on the centre line: that end is the centre
    const BeamEnds narrow = PlaceBeam(curve, d, 200);
    EXPECT_EQ(narrow.Lin, 0);
    EXPECT_EQ(narrow.Kin, 200);
    EXPECT_EQ(narrow.Xin, narrow.Xk);
}

// A square beam at the very start or end of the line has both ends on the
// line's last cross-section, on a straight and on a spiral.
TEST(AlignmentBeam, SquareBeamAtEitherEndOfTheLine) {
    for (const double k1 : {0.0, 1.0 / 300}) {
        const Alignment line({500, 500, 200, 0}, {{120, 0, k1}});
        for (const double Kp : {0.0, 120.0}) {
            SCOPED_TRACE(::testing::Message() << "k1=" << k1 << " Kp=" << Kp);
            const BeamEnds e = PlaceBeam(line, {Kp, 90, 6, 7.5, BeamOrientation::Tangent}, Kp);
            EXPECT_NEAR(e.Kin, Kp, 1e-9);
            EXPECT_NEAR(e.Kout, Kp, 1e-9);
            EXPECT_NEAR(e.Lin, 6, 1e-9);
            EXPECT_NEAR(e.Lout, 7.5, 1e-9);
        }
    }
}

// A curve too tight for the half-width far from the beam, on the side the
// end does not lie, does not refuse the beam: its end is found the other way.
TEST(AlignmentBeam, TightCurveAwayFromTheEndDoesNotRefuseIt) {
    const Alignment line({0, 0, 0, 0}, {{300, 0, 0}, {10, 1.0 / 8, 1.0 / 8}, {300, 0, 0}, {10, -1.0 / 8, -1.0 / 8}});
    for (const double Kp : {100.0, 560.0}) {
        SCOPED_TRACE(Kp);
        const BeamEnds e = PlaceBeam(line, {Kp, 120, 10, 10, BeamOrientation::Tangent}, Kp);
        const double B = 120 * kPi / 180;
        EXPECT_NEAR(e.Lout, 10 / std::sin(B), kMetreTolerance);
        EXPECT_NEAR(e.Kout, Kp + 10 / std::tan(B), kMetreTolerance);
        EXPECT_NEAR(e.Lin, 10 / std::sin(B), kMetreTolerance);
        EXPECT_NEAR(e.Kin, Kp - 10 / std::tan(B), kMetreTolerance);
    }
}

// An element shorter than the spacing of doubles at its chainage (an
// element table may hold one) is stepped over, not searched for ever.
TEST(AlignmentBeam, ElementOfNextToNoLengthIsSteppedOver) {
    const Alignment line({0, 0, 0, 5000}, {{30, 0, 0}, {1e-13, 0, 0}, {30, 0, 0}});
    for (const double Kp : {5028.0, 5032.0}) {  // the ends across it, one way and the other
        const BeamEnds e = PlaceBeam(line, {Kp, 45, 5, 5, BeamOrientation::Parallel}, Kp);
        EXPECT_NEAR(e.Kout, Kp + 5, kMetreTolerance);
        EXPECT_NEAR(e.Kin, Kp - 5, kMetreTolerance);
    }
}

TEST(AlignmentBeam, Refusals) {
    // Straight 100 m north, a right-hand arc of 50 m radius turning 3 rad, a straight.
    const Alignment line({0, 0, 0, 0}, {{100, 0, 0}, {150, 0.02, 0.02}, {100, 0, 0}});
    struct Row {
        const char* name;
        BeamDesign design;
        double Kp;
        ErrorKind kind;
        const char* says;
    };
    const Row rows[] = {
        {"right_half_width_reaches_inner_radius", {150, 90, 5, 50, BeamOrientation::Tangent}, 150, ErrorKind::Geometry, "右侧路基半宽"},
        {"parallel_beam_turned_along_the_road", {100, 90, 5, 5, BeamOrientation::Parallel}, 230, ErrorKind::Geometry, "平行"},
        {"left_end_before_the_start", {1, 30, 10, 10, BeamOrientation::Tangent}, 1, ErrorKind::Geometry, "左侧"},
        {"skew_zero", {50, 0, 5, 5, BeamOrientation::Tangent}, 50, ErrorKind::OutOfRange, "交角 B"},
        {"skew_180", {50, 180, 5, 5, BeamOrientation::Tangent}, 50, ErrorKind::OutOfRange, "交角 B"},
        {"skew_not_dms", {50, 30.6, 5, 5, BeamOrientation::Tangent}, 50, ErrorKind::OutOfRange, "度.分秒"},
        {"negative_half_width", {50, 90, -1, 5, BeamOrientation::Tangent}, 50, ErrorKind::OutOfRange, "半宽"},
        {"nan_half_width", {50, 90, 5, std::nan(""), BeamOrientation::Tangent}, 50, ErrorKind::OutOfRange, "半宽"},
        {"centre_off_the_line", {50, 90, 5, 5, BeamOrientation::Tangent}, 400, ErrorKind::Geometry, "路线范围"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        try {
            PlaceBeam(line, row.design, row.Kp);
            ADD_FAILURE() << "accepted";
        } catch (const Failure& f) {
            EXPECT_EQ(f.kind(), row.kind);
            EXPECT_NE(f.message().text.find(row.says), std::string::npos) << f.message().text;
        }
    }
    // The outer side of the same arc has room for any half-width.
    EXPECT_NO_THROW(PlaceBeam(line, {150, 90, 60, 5, BeamOrientation::Tangent}, 150));
}

}  // namespace
}  // namespace capbeam
