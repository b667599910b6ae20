// The end-point routines checked by what their results mean, over a few
// thousand generated curves and requests, and their refusals of arithmetic
// that has no finite answer.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <limits>

#include "calc/request.h"
#include "calc/routines.h"
#include "setup/text_formats.h"
#include "tests/calc_fixture.h"
#include "tests/scripted_view.h"

namespace capbeam::test {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMetre = 1;
constexpr double kMillimetre = 0.001 * kMetre;

// A deterministic generator (splitmix64) with a fixed start value, so that
// every run checks the same geometries.
class Generator {
public:
    explicit Generator(std::uint64_t start) : state_(start) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double Uniform(double lo, double hi) { return lo + (hi - lo) * static_cast<double>(Next() >> 11) * 0x1p-53; }
    int Integer(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<std::uint64_t>(hi - lo + 1)); }

private:
    std::uint64_t state_;
};

struct Vec {
    double x, y;
};
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y; }
double Cross(Vec a, Vec b) { return a.x * b.y - a.y * b.x; }
double Length(Vec a) { return std::hypot(a.x, a.y); }
Vec AtAzimuth(double radians) { return {std::cos(radians), std::sin(radians)}; }  // X north, Y east
double Azimuth(Vec a) { return std::atan2(a.y, a.x); }
double Wrap(double radians) { return std::remainder(radians, 2 * kPi); }  // into [-pi, pi]

// One generated case: a curve as typed into the set-up, and a request.
struct Case {
    CurveReplies curve;
    double Bdegrees;  // the skew typed in D.MMSS, in decimal degrees by this test's own reckoning
    double Kp, Dr;
};

Case Generate(Generator& g, int i) {
    Case c;
    const double R = std::pow(10.0, g.Uniform(1.5, 3.7));  // 32 m to 5 km
    const double Xo = g.Integer(0, 3) == 0 ? g.Uniform(-1000, 1000) : g.Uniform(2.5e6, 4.5e6);
    const double Yo = g.Uniform(-1000, 6e5);
    // J in each quadrant in turn, never due north, east, south or west.
    const double Aj = (90.0 * (i % 4) + g.Uniform(0.5, 89.5)) * kPi / 180;
    const double Kj = g.Uniform(0, 50000);
    const int sense = (i / 4) % 2 ? -1 : +1;
    // Skew from 5 to 175 degrees in D.MMSS; every 16th beam square to the tangent.
    const int deg = g.Integer(5, 174), min = g.Integer(0, 59), sec = g.Integer(0, 59);
    char B[32];
    if (i % 16 == 15) {
        std::snprintf(B, sizeof B, "90");
        c.Bdegrees = 90;
    } else {
        std::snprintf(B, sizeof B, "%d.%02d%02d", deg, min, sec);
        c.Bdegrees = deg + min / 60.0 + sec / 3600.0;
    }
    c.curve = {Reply(Xo), Reply(Yo), Reply(Kj), Reply(Xo + R * std::cos(Aj)), Reply(Yo + R * std::sin(Aj)),
               B, Reply(R), sense > 0 ? "1" : "-1"};
    // Kp before, at or after Kj, from a tenth of a millimetre to 1.2 R away.
    const int side = g.Integer(-1, 1);
    c.Kp = side == 0 ? Kj : Kj + side * R * std::pow(10.0, g.Uniform(-7, std::log10(1.2)));
    c.Dr = g.Integer(0, 7) == 0 ? g.Uniform(0.01, 0.5) : g.Uniform(0.5, std::min(0.45 * R, 40.0));
    return c;
}

// What the case means, reckoned here from the curve alone with the full pi:
// the beam centre K on the centre line at Kp and the outward unit vector of
// the design beam's axis.
struct Meaning {
    Vec O, J, K, out;
    double R, phiJ;
    int sense;
};

Meaning MeaningOf(const CurveState& s, const Case& c) {
    Meaning m;
    m.O = {s.Xo, s.Yo};
    m.J = {s.Xj, s.Yj};
    m.R = s.R;
    m.sense = s.P > 0 ? +1 : -1;
    m.phiJ = Azimuth(m.J - m.O);
    const double phiK = m.phiJ + m.sense * (c.Kp - s.Kj) / s.R;
    m.K = c.Kp == s.Kj ? m.J : Vec{m.O.x + s.R * std::cos(phiK), m.O.y + s.R * std::sin(phiK)};
    // The forward tangent at J, turned clockwise by B; its half away from O.
    m.out = AtAzimuth(m.phiJ + m.sense * kPi / 2 + c.Bdegrees * kPi / 180);
    if (Dot(m.out, m.J - m.O) < 0) m.out = {-m.out.x, -m.out.y};
    return m;
}

// Whether the ray from K along the inner half of the axis reaches the inner
// edge (radius `edge`), with a margin `slack` in metres either way: +1 it
// clearly does, -1 it clearly does not, 0 too close to tell.
int InnerEdgeReached(const Meaning& m, double edge, double slack) {
    const Vec w = m.K - m.O;
    const Vec in = {-m.out.x, -m.out.y};
    const double along = Dot(w, in);       // negative: the ray heads towards O's side
    const double miss = std::fabs(Cross(w, in));  // the axis's distance from O
    if (along < -slack && miss < edge - slack) return +1;
    if (along > slack || miss > edge + slack) return -1;
    return 0;
}

TEST(EndPointsByMeaning, GeneratedGeometries) {
    Generator g(20261208);
    int computed = 0, refused = 0;
    int routines[7] = {};
    for (int i = 0; i < 4000; ++i) {
        const Case c = Generate(g, i);
        const CurveState s = Requested(SetUpCurve(c.curve), c.Kp, c.Dr);
        const int routine = ChooseRoutine(s.P, s.Kp, s.Kj, s.B);
        ++routines[routine];
        const Meaning m = MeaningOf(s, c);
        // Cm5 reckons the inner edge from R - Dr in double precision, the others from Rin.
        const double innerEdge = routine == 5 ? s.R - s.Dr : static_cast<double>(s.Rin);
        SCOPED_TRACE(testing::Message() << "case " << i << ": routine " << routine << ", R " << s.R << ", B "
                                        << c.Bdegrees << ", P " << s.P << ", Kp - Kj " << c.Kp - s.Kj
                                        << ", Dr " << c.Dr);
        BeamEnds e;
        try {
            e = ComputeEnds(s);
        } catch (const Failure& f) {
            ++refused;
            EXPECT_EQ(f.kind(), ErrorKind::Geometry) << f.what();
            EXPECT_LE(InnerEdgeReached(m, innerEdge, 1e-9 * s.R), 0) << "refused a beam that meets both edges";
            continue;
        }
        ++computed;
        EXPECT_GE(InnerEdgeReached(m, innerEdge, 1e-9 * s.R), 0) << "computed a beam that misses the inner edge";

        // The centre on the centre line at Kp.
        EXPECT_NEAR(e.Xk, m.K.x, kMillimetre);
        EXPECT_NEAR(e.Yk, m.K.y, kMillimetre);

        // Each end on its edge, as shown (after rounding).
        const Vec in = {Round3(e.Xin), Round3(e.Yin)};
        const Vec out = {Round3(e.Xout), Round3(e.Yout)};
        EXPECT_NEAR(Length(in - m.O), innerEdge, kMillimetre);
        EXPECT_NEAR(Length(out - m.O), s.Rout, kMillimetre);

        // Each end on the axis through the centre with the design direction,
        // on its own side, at the length shown.
        EXPECT_NEAR(Cross(in - m.K, m.out), 0, kMillimetre);
        EXPECT_NEAR(Cross(out - m.K, m.out), 0, kMillimetre);
        if (Round3(e.Lin) > 0) {
            EXPECT_LT(Dot(in - m.K, m.out), 0);
        }
        if (Round3(e.Lout) > 0) {
            EXPECT_GT(Dot(out - m.K, m.out), 0);
        }
        EXPECT_NEAR(Length(Vec{e.Xin, e.Yin} - m.K), e.Lin, kMillimetre);
        EXPECT_NEAR(Length(Vec{e.Xout, e.Yout} - m.K), e.Lout, kMillimetre);

        // Each end's chainage: Kj plus the signed arc on R from J to the foot
        // of the end's radius.
        for (const auto& [point, K] : {std::pair{Vec{e.Xin, e.Yin}, e.Kin}, std::pair{Vec{e.Xout, e.Yout}, e.Kout}}) {
            const double turned = m.sense * (Azimuth(point - m.O) - m.phiJ);
            EXPECT_NEAR(s.R * Wrap(turned - (K - s.Kj) / s.R), 0, kMillimetre);
        }
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

constexpr double kRadToDeg = 180 / 3.1415926535;
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

// The routines for another chainage take the beam's direction from the record;
// the copies in their argument list are not used.
TEST(SkewedRoutines, TakeTheBeamDirectionFromTheRecord) {
    CurveState s = Requested(SetUpCurve({"1000", "2000", "1000", "1500", "2000", "60", "500", "1"}), 1020, 10);
    ASSERT_EQ(s.Ab1, 330);
    ASSERT_EQ(s.Ab2, 150);
    ScriptedView view;
    Cm1(view, s, s.mb, s.Kj, s.Xo, s.Yo, s.R, s.Rin, s.Rout, s.B, s.RadToDeg, s.Aoj, s.Kp, 0, 0);
    EXPECT_EQ(view.texts[Field::Text9], "1489.313");
    EXPECT_EQ(view.texts[Field::Text13], "1509.805");
    // Azimuths a whole turn apart, as the design routine may store them, give the same boxes.
    s.Ab1 -= 360;
    s.Ab2 += 360;
    ScriptedView turned;
    Cm1(turned, s, s.mb, s.Kj, s.Xo, s.Yo, s.R, s.Rin, s.Rout, s.B, s.RadToDeg, s.Aoj, s.Kp, 0, 0);
    EXPECT_EQ(turned.texts, view.texts);
}

TEST(DesignRoutine, StoresItsAzimuthsInTheRecord) {
    const struct {
        const char* B;
        const char* P;
        double Ab1, Ab2;
    } rows[] = {{"60", "1", 0, 180}, {"60", "-1", 0, 180}, {"120", "1", 60, 240}, {"120", "-1", 60, 240}};
    for (const auto& r : rows) {
        CurveState s = SetUpCurve({"2566.9872981077805", "4750", "1234.5", "3000", "5000", r.B, "500", r.P});
        s.Aoj = 30;  // the design example's radius azimuth, exactly
        s = Requested(s, 1234.5, 10);
        ScriptedView view;
        RunRoutine(5, view, s);
        EXPECT_EQ(s.Ab1, r.Ab1) << r.B << " " << r.P;
        EXPECT_EQ(s.Ab2, r.Ab2) << r.B << " " << r.P;
    }
}

}  // namespace
}  // namespace capbeam::test
