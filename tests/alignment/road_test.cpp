#include "geometry/road.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/failure.h"

namespace capbeam {
namespace {

constexpr double kPi = 3.14159265358979323846;

// From K0+900 due north 300 m of straight, then a right-hand arc of 400 m
// radius; a long chain K1+100 = K1+090 at distance 1100, 200 m from the
// start, so chainages K1+090 to K1+100 occur twice.
Road LongChainRoad() {
    return Road(Alignment({0, 0, 0, 900}, {{300, 0, 0}, {400, 1.0 / 400, 1.0 / 400}}),
                ChainageEquations(900, {{1100, 1090}}));
}

TEST(Road, ChainagesOnBothStretchesOfALongChain) {
    const Road road = LongChainRoad();
    // Before the equation the chainage is the distance: 195 m north.
    EXPECT_NEAR(road.At({1095, 0}).X, 195, 1e-12);
    // After it, K1+095 is 205 m from the start.
    EXPECT_NEAR(road.At({1095, 1}).X, 205, 1e-12);
    EXPECT_THROW(road.At({1095}), Failure);
    // K1+250 lies 60 m into the arc (the long chain adds its 10 m); the arc
    // about (300, 400) from (300, 0).
    const double phi = 60.0 / 400;
    const Station st = road.At({1250});
    EXPECT_NEAR(st.X, 300 + 400 * std::sin(phi), 1e-9);
    EXPECT_NEAR(st.Y, 400 * (1 - std::cos(phi)), 1e-9);
    EXPECT_NEAR(st.azimuth, phi * 180 / kPi, 1e-9);
}

TEST(Road, LocateNamesTheStretch) {
    const Road road = LongChainRoad();
    const LocatedChainage first = road.Locate(195, -3);
    EXPECT_NEAR(first.chainage.value, 1095, 1e-9);
    EXPECT_EQ(first.chainage.stretch, 0);
    EXPECT_NEAR(first.offset, -3, 1e-12);
    const LocatedChainage second = road.Locate(205, 4);
    EXPECT_NEAR(second.chainage.value, 1095, 1e-9);
    EXPECT_EQ(second.chainage.stretch, 1);
    // Round trip through the named stretch.
    const PlanePoint p = road.OffsetPoint(second.chainage, second.offset);
    EXPECT_NEAR(p.X, 205, 1e-9);
    EXPECT_NEAR(p.Y, 4, 1e-9);
}

TEST(Road, BeamEndsCarryChainages) {
    const Road road = LongChainRoad();
    // A square beam on the straight just after the equation: both ends on
    // its cross-section, at the chainage of the centre.
    const BeamEnds e = road.Beam({1095, 1}, 90, 5, 6, BeamOrientation::Tangent, {1095, 1});
    EXPECT_NEAR(e.Xk, 205, 1e-12);
    EXPECT_NEAR(e.Kin, 1095, 1e-9);
    EXPECT_NEAR(e.Kout, 1095, 1e-9);
    EXPECT_NEAR(e.Yin, -5, 1e-9);
    EXPECT_NEAR(e.Yout, 6, 1e-9);
}

TEST(Road, RefusesChainagesOffTheLineAndEquationsBeyondIt) {
    const Road road = LongChainRoad();
    try {
        road.At({800});
        ADD_FAILURE() << "accepted";
    } catch (const Failure& f) {
        EXPECT_NE(f.message().text.find("不在路线范围内"), std::string::npos) << f.message().text;
        EXPECT_NE(f.message().text.find("K 0+ 900"), std::string::npos) << f.message().text;
    }
    EXPECT_THROW(road.At({1700}), Failure);  // the end is K1+590
    EXPECT_NO_THROW(road.At({1590}));
    EXPECT_THROW(Road(Alignment({0, 0, 0, 0}, {{100, 0, 0}}), ChainageEquations(0, {{150, 140}})), Failure);
}

}  // namespace
}  // namespace capbeam
