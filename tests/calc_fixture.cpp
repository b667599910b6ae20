#include "tests/calc_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "flows/request_flow.h"
#include "geometry/single_curve.h"
#include "flows/set_up_flow.h"
#include "core/text_formats.h"
#include "tests/scripted_view.h"

namespace capbeam::test {

std::string Reply(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::vector<std::optional<std::string>> SetUpReplies(const CurveReplies& c) {
    return {c.Xo, c.Yo, c.Kj, c.Xj, c.Yj, c.B, c.R, c.P};
}

CalculationRecord SetUpCurve(const CurveReplies& curve) {
    ScriptedView view(SetUpReplies(curve));
    CalculationRecord state;
    RunCurveSetUp(view, state);
    EXPECT_TRUE(view.refusals.empty()) << "the set-up refused a reply";
    EXPECT_EQ(view.Unanswered(), 0u);
    return state;
}

CalculationRecord Requested(CalculationRecord state, double Kp, double Dr, float mb) {
    // The request's own steps up to the routine: the edge radii as it forms them.
    state.request.Kp = Kp;
    state.request.Dr = Dr;
    state.request.mb = mb;
    state.edges.Rin = static_cast<float>(state.curve.R - state.request.Dr);
    state.edges.Rout = state.request.Dr + state.curve.R;
    return state;
}

BeamEnds ComputeEnds(const CalculationRecord& s) {
    return PlaceBeam(s.curve, s.design, s.request.Kp, s.request.Dr, Orientation::Parallel).ends;
}

BeamEnds ComputeTangentEnds(const CalculationRecord& s) {
    return PlaceBeam(s.curve, s.design, s.request.Kp, s.request.Dr, Orientation::Tangent).ends;
}

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

int InnerEdgeReached(const Meaning& m, double edge, double slack) {
    const Vec w = m.K - m.O;
    const Vec in = {-m.out.x, -m.out.y};
    const double along = Dot(w, in);              // negative: the ray heads towards O's side
    const double miss = std::fabs(Cross(w, in));  // the axis's distance from O
    if (along < -slack && miss < edge - slack) return +1;
    if (along > slack || miss > edge + slack) return -1;
    return 0;
}

void ExpectRefusedTruly(const Failure& f, const Meaning& m, const CalculationRecord& s, double innerEdge) {
    EXPECT_EQ(f.kind(), ErrorKind::Geometry) << f.what();
    EXPECT_LE(InnerEdgeReached(m, innerEdge, 1e-9 * s.curve.R), 0) << "refused a beam that meets both edges";
}

void ExpectMeetsInnerEdge(const Meaning& m, const CalculationRecord& s, double innerEdge) {
    EXPECT_GE(InnerEdgeReached(m, innerEdge, 1e-9 * s.curve.R), 0) << "computed a beam that misses the inner edge";
}

void ExpectEndsMean(const BeamEnds& e, const Meaning& m, const CalculationRecord& s, double innerEdge) {
    // The centre on the centre line at Kp.
    EXPECT_NEAR(e.Xk, m.K.x, kMillimetre);
    EXPECT_NEAR(e.Yk, m.K.y, kMillimetre);

    // Each end on its edge, as shown (after rounding).
    const Vec in = {Round3(e.Xin), Round3(e.Yin)};
    const Vec out = {Round3(e.Xout), Round3(e.Yout)};
    EXPECT_NEAR(Length(in - m.O), innerEdge, kMillimetre);
    EXPECT_NEAR(Length(out - m.O), s.edges.Rout, kMillimetre);

    // Each end on the axis through the centre along m.out, on its own side,
    // at the length computed.
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
        EXPECT_NEAR(s.curve.R * Wrap(turned - (K - s.design.Kj) / s.curve.R), 0, kMillimetre);
    }
}

}  // namespace capbeam::test
