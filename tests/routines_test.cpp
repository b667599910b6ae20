// The end-point routines checked by what their results mean, over a few
// thousand generated curves and requests, and their refusals of arithmetic
// that has no finite answer.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>

#include "flows/request_flow.h"
#include "geometry/single_curve.h"
#include "core/text_formats.h"
#include "tests/calc_fixture.h"
#include "tests/scripted_view.h"

namespace capbeam::test {
namespace {

// What the case means for a beam of the design direction, reckoned here
// from the curve alone with the full pi: the beam centre K on the centre line
// at Kp and the outward unit vector of the design beam's axis.
Meaning MeaningOf(const CalculationRecord& s, const Case& c) {
    Meaning m;
    m.O = {s.curve.Xo, s.curve.Yo};
    m.J = {s.design.Xj, s.design.Yj};
    m.R = s.curve.R;
    m.sense = s.curve.P > 0 ? +1 : -1;
    m.phiJ = Azimuth(m.J - m.O);
    const double phiK = m.phiJ + m.sense * (c.Kp - s.design.Kj) / s.curve.R;
    m.K = c.Kp == s.design.Kj ? m.J : Vec{m.O.x + s.curve.R * std::cos(phiK), m.O.y + s.curve.R * std::sin(phiK)};
    // The forward tangent at J, turned clockwise by B; its half away from O.
    m.out = AtAzimuth(m.phiJ + m.sense * kPi / 2 + c.Bdegrees * kPi / 180);
    if (Dot(m.out, m.J - m.O) < 0) m.out = {-m.out.x, -m.out.y};
    return m;
}

TEST(EndPointsByMeaning, GeneratedGeometries) {
    Generator g(20261208);
    int computed = 0, refused = 0;
    int routines[7] = {};
    for (int i = 0; i < 4000; ++i) {
        const Case c = Generate(g, i);
        const CalculationRecord s = Requested(SetUpCurve(c.curve), c.Kp, c.Dr);
        const int routine = ChooseRoutine(s.curve.P, s.request.Kp, s.design.Kj, s.design.B);
        ++routines[routine];
        const Meaning m = MeaningOf(s, c);
        // Cm5 reckons the inner edge from R - Dr in double precision, the others from Rin.
        const double innerEdge = routine == 5 ? s.curve.R - s.request.Dr : static_cast<double>(s.edges.Rin);
        SCOPED_TRACE(testing::Message() << "case " << i << ": routine " << routine << ", R " << s.curve.R << ", B "
                                        << c.Bdegrees << ", P " << s.curve.P << ", Kp - Kj " << c.Kp - s.design.Kj
                                        << ", Dr " << c.Dr);
        if (ExpectComputedOrTrulyRefused(ComputeEnds, m, s, innerEdge))
            ++computed;
        else
            ++refused;
    }
    RecordProperty("computed", computed);
    RecordProperty("refused", refused);
    // The generated cases reach every routine and both outcomes.
    for (int r = 1; r <= 6; ++r) EXPECT_GT(routines[r], 0) << "routine " << r;
    EXPECT_EQ(routines[0], 0);
    EXPECT_GT(refused, 0);
    EXPECT_GT(computed, 3000);
}

// ---- Arithmetic without a finite answer ---------------------------------

struct ArithmeticCase {
    const char* name;
    std::function<void()> call;
    ErrorKind kind;
};
void PrintTo(const ArithmeticCase& c, std::ostream* os) { *os << c.name; }

class ArithmeticFailure : public ::testing::TestWithParam<ArithmeticCase> {};

TEST_P(ArithmeticFailure, IsReportedByKind) {
    try {
        GetParam().call();
        ADD_FAILURE() << "no failure";
    } catch (const Failure& f) {
        EXPECT_EQ(f.kind(), GetParam().kind) << f.what();
        EXPECT_FALSE(f.message().text.empty());
    }
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The design example's numbers: O (1000, 2000), R = 500, Dr = 10, J due north, B = 60.
BeamEnds Skewed(double R, double RadToDeg, double Kp, double B = 60) {
    return SkewedEnds(kCm1, 1000, 1000, 2000, R, 490, 510, B, RadToDeg, 0, Kp, 330, 150);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ArithmeticFailure,
    ::testing::Values(
        ArithmeticCase{"ZeroRadiusDividesByZero", [] { Skewed(0, kRadToDeg, 1020); }, ErrorKind::DivisionByZero},
        ArithmeticCase{"NoAngleFactorDividesByZero", [] { Skewed(500, 0, 1020); }, ErrorKind::DivisionByZero},
        ArithmeticCase{"ChainageNotANumber", [] { Skewed(500, kRadToDeg, kNaN); }, ErrorKind::InvalidOperation},
        ArithmeticCase{"SkewNotANumber", [] { Skewed(500, kRadToDeg, 1020, kNaN); }, ErrorKind::InvalidOperation},
        ArithmeticCase{"TinyRadiusOverflows", [] { Skewed(1e-306, kRadToDeg, 1020); }, ErrorKind::Overflow},
        ArithmeticCase{"DesignWithoutAngleFactor",
                       [] { DesignEnds(1, 3000, 5000, 500, 10, 60, 0, 1234.5, 0, 180); }, ErrorKind::DivisionByZero},
        ArithmeticCase{"DesignHugeRadiusOverflows",
                       [] { DesignEnds(1, 3000, 5000, 1e300, 10, 60, kRadToDeg, 1234.5, 0, 180); },
                       ErrorKind::Overflow},
        ArithmeticCase{"RadialWithoutAngleFactor",
                       [] { RadialEnds(1433, 2250, 1000, 2000, 492.5, 507.5, 0, 30, 1234.5); },
                       ErrorKind::DivisionByZero},
        ArithmeticCase{"RadialEdgeBeyondTheRange",
                       [] { RadialEnds(0, 0, 1e308, 0, 1e308, 1.7e308, kRadToDeg, 0, 0); }, ErrorKind::Overflow},
        ArithmeticCase{"DesignWithoutCurveDirection", [] { DesignAzimuths(0, 60, 30); }, ErrorKind::OutOfRange}),
    [](const auto& info) { return std::string(info.param.name); });

// Cm5 keeps the azimuths it stores; the set-up's differ from them by whole turns only.
TEST(DesignAzimuths, AgreeWithTheSetUpUpToWholeTurns) {
    const struct {
        float P;
        double B, Aoj, Ab1, Ab2;
    } rows[] = {{1, 60, 30, 0, 180}, {-1, 60, 30, 0, 180}, {1, 120, 30, 60, 240}, {-1, 120, 30, 60, 240},
                {1, 30, 300, 240, 60}, {-1, 175, 359, 84, 264}};
    for (const auto& r : rows) {
        const BeamAzimuths a = DesignAzimuths(r.P, r.B, r.Aoj);
        EXPECT_EQ(a.Ab1, r.Ab1) << r.P << " " << r.B << " " << r.Aoj;
        EXPECT_EQ(a.Ab2, r.Ab2) << r.P << " " << r.B << " " << r.Aoj;
    }
}

// A beam at another chainage takes its direction from the design beam, and
// azimuths a whole turn apart (as the design chainage's computation may keep
// them) give the same texts.
TEST(SkewedPlacement, TakesTheBeamDirectionFromTheDesignBeam) {
    CalculationRecord s = SetUpCurve({"1000", "2000", "1000", "1500", "2000", "60", "500", "1"});
    ASSERT_EQ(s.design.axis.Ab1, 330);
    ASSERT_EQ(s.design.axis.Ab2, 150);
    const BeamEnds e = PlaceBeam(s.curve, s.design, 1020, 10, Orientation::Parallel).ends;
    EXPECT_EQ(CoordinateText(e.Xin), "1489.313");
    EXPECT_EQ(CoordinateText(e.Xout), "1509.805");
    DesignBeam turned = s.design;
    turned.axis.Ab1 -= 360;
    turned.axis.Ab2 += 360;
    const BeamEnds t = PlaceBeam(s.curve, turned, 1020, 10, Orientation::Parallel).ends;
    for (const auto& [a, b] : {std::pair{e.Xin, t.Xin}, {e.Yin, t.Yin}, {e.Xout, t.Xout}, {e.Yout, t.Yout}})
        EXPECT_EQ(CoordinateText(a), CoordinateText(b));
}

TEST(DesignPlacement, GivesItsAzimuthsForTheRecord) {
    const struct {
        const char* B;
        const char* P;
        double Ab1, Ab2;
    } rows[] = {{"60", "1", 0, 180}, {"60", "-1", 0, 180}, {"120", "1", 60, 240}, {"120", "-1", 60, 240}};
    for (const auto& r : rows) {
        CalculationRecord s = SetUpCurve({"2566.9872981077805", "4750", "1234.5", "3000", "5000", r.B, "500", r.P});
        s.design.Aoj = 30;  // the design example's radius azimuth, exactly
        const BeamPlacement p = PlaceBeam(s.curve, s.design, 1234.5, 10, Orientation::Parallel);
        ASSERT_TRUE(p.designAxis.has_value());
        EXPECT_EQ(p.designAxis->Ab1, r.Ab1) << r.B << " " << r.P;
        EXPECT_EQ(p.designAxis->Ab2, r.Ab2) << r.B << " " << r.P;
        // Away from the design chainage the design beam is left as it is.
        EXPECT_FALSE(PlaceBeam(s.curve, s.design, 1250, 10, Orientation::Parallel).designAxis.has_value());
    }
}

}  // namespace
}  // namespace capbeam::test
