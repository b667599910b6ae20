#include "tests/calc_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "calc/request.h"
#include "setup/curve_setup.h"
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

CurveState SetUpCurve(const CurveReplies& curve) {
    ScriptedView view(SetUpReplies(curve));
    CurveState state;
    Command1_Click(view, state);
    EXPECT_TRUE(view.refusals.empty()) << "the set-up refused a reply";
    EXPECT_EQ(view.Unanswered(), 0u);
    return state;
}

CurveState Requested(CurveState state, double Kp, double Dr, float mb) {
    // The request's own steps up to the routine: the edge radii as it forms them.
    state.Kp = Kp;
    state.Dr = Dr;
    state.mb = mb;
    state.Rin = static_cast<float>(state.R - state.Dr);
    state.Rout = state.Dr + state.R;
    return state;
}

BeamEnds ComputeEnds(const CurveState& s) {
    switch (ChooseRoutine(s.P, s.Kp, s.Kj, s.B)) {
        case 1: return SkewedEnds(kCm1, s.Kj, s.Xo, s.Yo, s.R, s.Rin, s.Rout, s.B, s.RadToDeg, s.Aoj, s.Kp, s.Ab1, s.Ab2);
        case 2: return SkewedEnds(kCm2, s.Kj, s.Xo, s.Yo, s.R, s.Rin, s.Rout, s.B, s.RadToDeg, s.Aoj, s.Kp, s.Ab1, s.Ab2);
        case 3: return SkewedEnds(kCm3, s.Kj, s.Xo, s.Yo, s.R, s.Rin, s.Rout, s.B, s.RadToDeg, s.Aoj, s.Kp, s.Ab1, s.Ab2);
        case 4: return SkewedEnds(kCm4, s.Kj, s.Xo, s.Yo, s.R, s.Rin, s.Rout, s.B, s.RadToDeg, s.Aoj, s.Kp, s.Ab1, s.Ab2);
        case 5: {
            const BeamAzimuths a = DesignAzimuths(s.P, s.B, s.Aoj);
            return DesignEnds(s.P, s.Xj, s.Yj, s.R, s.Dr, s.B, s.RadToDeg, s.Kp, a.Ab1, a.Ab2);
        }
        case 6: return RadialEnds(s.Xj, s.Yj, s.Xo, s.Yo, s.Rin, s.Rout, s.RadToDeg, s.Aoj, s.Kp);
        default: break;
    }
    ADD_FAILURE() << "no routine for this request";
    return {};
}

}  // namespace capbeam::test
