#include "geometry/clothoid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "reference.h"

namespace capbeam {
namespace {

constexpr double kMetreTolerance = 1e-7;  // 0.0001 mm

// The published errors of the truncated series at the end of the spiral.
// The series: x = l - l^5/(40C²) + l^9/(3456C⁴), y = l³/(6C) - l^7/(336C³)
// + l^11/(42240C⁵), C = R·Ls; the figures are in millimetres, compared to one
// unit of their last digit.
struct SeriesRow {
    const char* name;
    double R, Ls;
    double twoTerms, twoUnit;
    double threeTerms, threeUnit;  // < 0: not published
};
const SeriesRow kSeries[] = {
    {"R500_Ls95", 500, 95, 0.04, 0.01, -1, 0},
    {"R255_Ls70", 255, 70, 0.12, 0.01, -1, 0},
    {"R95_78_Ls110", 95.78, 110, 55, 1, 0.42, 0.01},
    {"R60_Ls80", 60, 80, 73, 1, 0.75, 0.01},
};

TEST(Clothoid, TruncatedSeriesAreOffByThePublishedAmounts) {
    for (const SeriesRow& row : kSeries) {
        SCOPED_TRACE(row.name);
        const double C = row.R * row.Ls, l = row.Ls;
        const LocalPoint exact = CurvePoint(0, 1 / C, l);
        const double x2 = l - std::pow(l, 5) / (40 * C * C), y2 = std::pow(l, 3) / (6 * C) - std::pow(l, 7) / (336 * C * C * C);
        const double x3 = x2 + std::pow(l, 9) / (3456 * std::pow(C, 4)), y3 = y2 + std::pow(l, 11) / (42240 * std::pow(C, 5));
        EXPECT_NEAR(std::hypot(exact.u - x2, exact.v - y2) * 1000, row.twoTerms, row.twoUnit);
        if (row.threeTerms >= 0) {
            EXPECT_NEAR(std::hypot(exact.u - x3, exact.v - y3) * 1000, row.threeTerms, row.threeUnit);
        }
        // And against the full series, summed to convergence.
        const auto [xs, ys] = reference::ClothoidSeries(C, l);
        EXPECT_NEAR(exact.u, static_cast<double>(xs), kMetreTolerance);
        EXPECT_NEAR(exact.v, static_cast<double>(ys), kMetreTolerance);
    }
}

// Spirals of every kind (from a straight, partial between two radii of one
// sense, through an inflection, decreasing curvature), arcs of radii from
// 30 m to 1e9 m, straights: against Simpson's rule in long double.
TEST(Clothoid, AgreesWithIndependentIntegrationOnGeneratedCurves) {
    std::mt19937 rng(20261208);
    for (int n = 0; n < 400; ++n) {
        const double k0 = n % 5 == 0 ? 0 : reference::Uniform(rng, -1.0 / 30, 1.0 / 30);
        const double k1 = n % 7 == 0 ? k0 : (n % 5 == 1 ? 0 : reference::Uniform(rng, -1.0 / 30, 1.0 / 30));
        const double maxK = std::max({std::fabs(k0), std::fabs(k1), 1e-9});
        const double L = reference::Uniform(rng, 0.5, std::min(1000.0, 6.0 / maxK));
        const double dk = (k1 - k0) / L;
        const double s = reference::Uniform(rng, 0, L);
        SCOPED_TRACE(::testing::Message() << "k0=" << k0 << " k1=" << k1 << " L=" << L << " s=" << s);
        const LocalPoint p = CurvePoint(k0, dk, s);
        const auto [u, v] = reference::Curve(k0, dk, s);
        EXPECT_NEAR(p.u, static_cast<double>(u), kMetreTolerance);
        EXPECT_NEAR(p.v, static_cast<double>(v), kMetreTolerance);
    }
}

TEST(Clothoid, ArcsOfHugeRadiusKeepTheirSagitta) {
    // Radius 1e9 m, 1 km along: the sagitta s²/(2R) = 0.5 mm must survive.
    const LocalPoint p = CurvePoint(1e-9, 0, 1000);
    EXPECT_NEAR(p.u, 1000, 1e-9);
    EXPECT_NEAR(p.v, 5e-4, 1e-12);
    const LocalPoint left = CurvePoint(-1e-9, 0, 1000);
    EXPECT_NEAR(left.v, -5e-4, 1e-12);
}

}  // namespace
}  // namespace capbeam
