#include "geometry/alignment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "core/failure.h"
#include "reference.h"

namespace capbeam {
namespace {

constexpr double kMetreTolerance = 1e-7;     // positions and distances: 0.0001 mm
constexpr double kDegreeTolerance = 1e-8;    // azimuths: 0.00004″
constexpr double kPi = 3.14159265358979323846;

double AngleDifference(double a, double b) { return std::remainder(a - b, 360.0); }

Alignment Build(const reference::Road& road) { return Alignment(road.start, road.elements); }

// Every point of generated roads against the chain integrated independently.
TEST(Alignment, PositionsAndAzimuthsAgreeWithIndependentIntegration) {
    std::mt19937 rng(1);
    for (int n = 0; n < 40; ++n) {
        const reference::Road road = reference::RandomRoad(rng);
        const Alignment line = Build(road);
        const reference::Chain chain(road.start, road.elements);
        EXPECT_NEAR(line.EndDistance(), chain.End(), 1e-9);
        for (int k = 0; k < 25; ++k) {
            const double s = reference::Uniform(rng, line.StartDistance(), line.EndDistance());
            const Station st = line.At(s);
            const reference::Point p = chain.At(s);
            EXPECT_NEAR(st.X, static_cast<double>(p.X), kMetreTolerance);
            EXPECT_NEAR(st.Y, static_cast<double>(p.Y), kMetreTolerance);
            EXPECT_NEAR(AngleDifference(st.azimuth, static_cast<double>(p.azimuth * 180 / reference::kPi)), 0,
                        kDegreeTolerance);
            EXPECT_GE(st.azimuth, 0);
            EXPECT_LT(st.azimuth, 360);
        }
    }
}

// At every joint the two elements meet in position and direction: a step of
// 1 µm either side of the joint moves the point by 2 µm and turns it by no
// more than the curvature on each side allows.
TEST(Alignment, PositionAndAzimuthAreContinuousAtEveryJoint) {
    std::mt19937 rng(2);
    for (int n = 0; n < 60; ++n) {
        const Alignment line = Build(reference::RandomRoad(rng));
        for (std::size_t i = 1; i < line.ElementCount(); ++i) {
            const double joint = line.ElementStart(i);
            const Station before = line.At(joint - 1e-6), after = line.At(joint + 1e-6);
            EXPECT_NEAR(std::hypot(after.X - before.X, after.Y - before.Y), 2e-6, 1e-9) << "joint " << i;
            // 1 µm on either side at the curvature there.
            const double turn = (before.curvature + after.curvature) * 1e-6 * 180 / kPi;
            EXPECT_NEAR(AngleDifference(after.azimuth, before.azimuth), turn, 1e-9) << "joint " << i;
        }
    }
}

// The curvature, as the turn of the azimuth per metre measured from the
// positions, changes linearly from the element's start to its end.
TEST(Alignment, CurvatureIsLinearAlongEverySpiral) {
    std::mt19937 rng(3);
    for (int n = 0; n < 20; ++n) {
        const reference::Road road = reference::RandomRoad(rng);
        const Alignment line = Build(road);
        for (std::size_t i = 0; i < line.ElementCount(); ++i) {
            const Element& e = road.elements[i];
            if (e.k0 == e.k1) continue;
            for (const double f : {0.1, 0.35, 0.5, 0.8, 0.95}) {
                const double s = line.ElementStart(i) + f * e.length, h = 0.05;
                // The azimuth of the chord between two neighbours is the
                // tangent's at the middle to O(h²); three chords give two turns.
                const auto chord = [&](double a, double b) {
                    const Station p = line.At(a), q = line.At(b);
                    return std::atan2(q.Y - p.Y, q.X - p.X);
                };
                const double turn = std::remainder(chord(s, s + h) - chord(s - h, s), 2 * kPi);
                const double expected = e.k0 + (e.k1 - e.k0) * f;
                EXPECT_NEAR(turn / h, expected, 1e-6) << "element " << i << " at " << f;
            }
        }
    }
}

// An offset point, located again, gives back its distance and offset; where
// the road passes nearer elsewhere, the foot found is a true foot and nearer.
TEST(Alignment, LocateInvertsOffsetPoints) {
    std::mt19937 rng(4);
    int same = 0, total = 0;
    for (int n = 0; n < 40; ++n) {
        const Alignment line = Build(reference::RandomRoad(rng));
        for (int k = 0; k < 25; ++k) {
            const double s = reference::Uniform(rng, line.StartDistance() + 1, line.EndDistance() - 1);
            const double offset = reference::Uniform(rng, -25, 25);
            const PlanePoint q = line.OffsetPoint(s, offset);
            const Foot foot = line.Locate(q.X, q.Y);
            ++total;
            if (std::fabs(foot.distance - s) < 1e-6) {
                ++same;
                EXPECT_NEAR(foot.offset, offset, kMetreTolerance);
            } else {
                const Station st = line.At(foot.distance);
                const double a = st.azimuth * kPi / 180;
                EXPECT_NEAR((q.X - st.X) * std::cos(a) + (q.Y - st.Y) * std::sin(a), 0, 1e-6);
                EXPECT_LE(std::fabs(foot.offset), std::fabs(offset) + 1e-9);
            }
        }
    }
    EXPECT_GT(same, total * 9 / 10);
}

// The offset line at angle A: the point lies |offset| from the centre line
// point, at A clockwise from the forward tangent (A + 180 for a negative offset).
TEST(Alignment, OffsetLineStandsAtItsAngle) {
    const Alignment line({1000, 2000, 45, 500}, {{100, 0, 0}, {200, 0, 1.0 / 300}, {300, 1.0 / 300, 1.0 / 300}});
    struct Row {
        const char* name;
        double distance, offset, angleDms, degrees;
    };
    const Row rows[] = {
        {"square_right", 650, 10, 90, 90},   {"square_left", 650, -10, 90, 270},
        {"skew_right_on_spiral", 720, 7.5, 60.3, 60.5}, {"skew_left_on_straight", 520, -3, 120.153, 300.2583333333333},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const Station st = line.At(row.distance);
        const PlanePoint p = line.OffsetPoint(row.distance, row.offset, row.angleDms);
        EXPECT_NEAR(std::hypot(p.X - st.X, p.Y - st.Y), std::fabs(row.offset), 1e-9);
        const double direction = std::atan2(p.Y - st.Y, p.X - st.X) * 180 / kPi;
        EXPECT_NEAR(AngleDifference(direction, st.azimuth + row.degrees), 0, 1e-6);
    }
}

// A line from (0, 0) due north, then a right-hand arc of 100 m radius
// through a quarter turn: the centre is (100, 100).
TEST(Alignment, LocateOnAKnownArcAndItsRefusals) {
    const Alignment line({0, 0, 0, 0}, {{100, 0, 0}, {50 * kPi, 0.01, 0.01}});
    // On the arc at 45°: a point 20 m outside it.
    const double r = 120 / std::sqrt(2.0);
    const Foot outside = line.Locate(100 + r, 100 - r);
    EXPECT_NEAR(outside.distance, 100 + 25 * kPi, 1e-9);
    EXPECT_NEAR(outside.offset, -20, 1e-9);  // outside a right-hand curve is its left
    // The end is (200, 100) heading east; a point square off the straight.
    const Foot onStraight = line.Locate(37.5, 4);
    EXPECT_NEAR(onStraight.distance, 37.5, 1e-12);
    EXPECT_NEAR(onStraight.offset, 4, 1e-12);

    for (const auto& [X, Y] : {std::pair{-5.0, 1.0}, std::pair{150.0, 210.0}}) {
        try {
            line.Locate(X, Y);
            ADD_FAILURE() << "no foot expected for " << X << ", " << Y;
        } catch (const Failure& f) {
            EXPECT_EQ(f.kind(), ErrorKind::Geometry);
            EXPECT_NE(f.message().text.find("没有垂足"), std::string::npos);
        }
    }
    EXPECT_THROW(line.At(-0.01), Failure);
    EXPECT_THROW(line.At(100 + 50 * kPi + 0.01), Failure);
    EXPECT_THROW(line.OffsetPoint(50, 1, 90.6), Failure);   // 60 minutes
    EXPECT_THROW(line.OffsetPoint(50, 1, 180), Failure);    // along the road
}

// A point square off the very first or last point of the line has its foot
// there, whatever rounding does to the sign of its along-track component.
TEST(Alignment, PointSquareOffEitherEndHasItsFootThere) {
    std::mt19937 rng(9);
    for (int n = 0; n < 30; ++n) {
        const reference::Road road = reference::RandomRoad(rng);
        std::vector<Element> elements = road.elements;
        elements.push_back({reference::Uniform(rng, 10, 100), (n % 2 ? 1 : -1) / reference::Uniform(rng, 100, 900), 0.002});
        const Alignment line(road.start, elements);
        for (const double s : {line.StartDistance(), line.EndDistance()}) {
            const double offset = reference::Uniform(rng, -20, 20);
            const PlanePoint q = line.OffsetPoint(s, offset);
            const Foot foot = line.Locate(q.X, q.Y);
            EXPECT_NEAR(foot.distance, s, 1e-6);
            EXPECT_NEAR(foot.offset, offset, kMetreTolerance);
        }
    }
}

TEST(Alignment, RefusesChainsThatAreNotRoads) {
    struct Row {
        const char* name;
        AlignmentStart start;
        std::vector<Element> elements;
        const char* says;
    };
    const double nan = std::nan("");
    const Row rows[] = {
        {"no_elements", {0, 0, 0, 0}, {}, "没有任何线元"},
        {"zero_length", {0, 0, 0, 0}, {{100, 0, 0}, {0, 0, 0}}, "第 2 个线元的长度必须大于 0"},
        {"negative_length", {0, 0, 0, 0}, {{-1, 0, 0}}, "第 1 个线元的长度必须大于 0"},
        {"nan_length", {0, 0, 0, 0}, {{nan, 0, 0}}, "长度必须大于 0"},
        {"nan_curvature", {0, 0, 0, 0}, {{10, nan, 0}}, "半径不是一个有效的数"},
        {"more_than_a_turn", {0, 0, 0, 0}, {{700, 0.01, 0.01}}, "超过一整圈"},
        {"start_too_far", {1e300, 0, 0, 0}, {{10, 0, 0}}, "超出了可以计算的范围"},
        {"length_too_long", {0, 0, 0, 0}, {{1e307, 0, 0}}, "超出了可以计算的范围"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        try {
            Alignment(row.start, row.elements);
            ADD_FAILURE() << "accepted";
        } catch (const Failure& f) {
            EXPECT_EQ(f.kind(), ErrorKind::OutOfRange);
            EXPECT_NE(f.message().text.find(row.says), std::string::npos) << f.message().text;
        }
    }
}

}  // namespace
}  // namespace capbeam
