#include "calc/request.h"

#include <optional>
#include <string>

#include "core/failure.h"
#include "core/arithmetic.h"
#include "calc/routines.h"
#include "calc/tangent.h"
#include "setup/ask.h"
#include "core/text_formats.h"

namespace capbeam {

namespace {

// The prompts as the window has always shown them, character for character.
constexpr char kKpPrompt[] = "请输入需要计算的盖粱中桩的桩号  Kp（以米为单位) ";
constexpr char kDrPrompt[] = "请输入路基半幅的寛度  Dr（以米为单位）";
constexpr char kMbPrompt[] = "请输入需要计算方位角重合精度 mb (以度为单位)";

// A half-width of R or more leaves no inner edge; a negative one would swap
// the roadbed's sides. Zero (the ends on the centre line) is allowed.
Rule<double> HalfWidthRule(double R) {
    return [R](double Dr) -> std::optional<std::string> {
        if (Dr < 0)
            return "路基半幅宽度 Dr 是路中线到路基边缘的距离，不能是负数。请输入 0 或正数。";
        if (Dr >= R)
            return "路基半幅宽度 Dr 必须小于平曲线半径 R（" + NumberText(R) +
                   " 米），否则没有路基内侧边缘。请检查后重新输入。";
        return std::nullopt;
    };
}

}  // namespace

int ChooseRoutine(float P, double Kp, double Kj, double B) {
    if (P > 0 && Kp > Kj) return 1;
    if (P > 0 && Kp < Kj) return 2;
    if (P < 0 && Kp > Kj) return 3;
    if (P < 0 && Kp < Kj) return 4;
    if (B != 90 && Kp == Kj) return 5;
    if (B == 90 && Kp == Kj) return 6;
    return 0;
}

BeamEnds RunRoutine(int routine, WindowOps& ops, CurveState& state) {
    const CurveState& s = state;
    switch (routine) {
        case 1: return Cm1(ops, s, s.mb, s.Kj, s.Xo, s.Yo, s.R, s.Rin, s.Rout, s.B, s.RadToDeg, s.Aoj, s.Kp, s.Ab1, s.Ab2);
        case 2: return Cm2(ops, s, s.mb, s.Kj, s.Xo, s.Yo, s.R, s.Rin, s.Rout, s.B, s.RadToDeg, s.Aoj, s.Kp, s.Ab1, s.Ab2);
        case 3: return Cm3(ops, s, s.mb, s.Kj, s.Xo, s.Yo, s.R, s.Rin, s.Rout, s.B, s.RadToDeg, s.Aoj, s.Kp, s.Ab1, s.Ab2);
        case 4: return Cm4(ops, s, s.mb, s.Kj, s.Xo, s.Yo, s.R, s.Rin, s.Rout, s.B, s.RadToDeg, s.Aoj, s.Kp, s.Ab1, s.Ab2);
        case 5: return Cm5(ops, state, s.mb, s.Kj, s.Xj, s.Yj, s.R, s.Dr, s.B, s.RadToDeg, s.Aoj, s.Kp);
        case 6: return Cm6(ops, s, s.mb, s.Xo, s.Yo, s.Rin, s.Rout, s.RadToDeg, s.Aoj, s.Kp);
        default: return {};
    }
}

int Command2_Click(WindowOps& ops, CurveState& state) {
    return RunRequest(ops, state, Orientation::Parallel).routine;
}

RequestOutcome RunRequest(WindowOps& ops, CurveState& state, Orientation orientation) {
    if (!HasCurve(state))
        throw Failure(ErrorKind::NoCurve,
                      "还没有输入平曲线和设计盖梁的数据，无法计算端点。请先按“进行计算”输入，再按“座标计算”。");

    state.Kp = AskDouble(ops, kKpPrompt);
    ops.SetText(Field::Text16, ChainageText(state.Kp, ChainageForm::Entered));
    state.Dr = AskDouble(ops, kDrPrompt, HalfWidthRule(state.R));
    ops.SetText(Field::Text7, NumberText(state.Dr) + "(米)");
    state.mb = AskSingle(ops, kMbPrompt);
    ops.SetText(Field::Text21, NumberText(state.mb) + "(度)");

    // Rin is kept in single precision; the routines get it widened back.
    state.Rin = static_cast<float>(Finite(state.R - state.Dr, "路基内侧边缘的半径"));
    Finite(state.Rin, "路基内侧边缘的半径");
    state.Rout = Finite(state.Dr + state.R, "路基外侧边缘的半径");

    const int routine = ChooseRoutine(state.P, state.Kp, state.Kj, state.B);
    if (routine == 0)
        // Only a curve without a direction gets here; running nothing would
        // leave earlier results beside the new Kp.
        RefuseCurveWithoutDirection();
    RequestOutcome outcome;
    outcome.orientation = orientation;
    if (orientation == Orientation::Tangent) {
        outcome.routine = TangentRoutine(state.B);
        outcome.ends = RunTangent(routine, ops, state);
    } else {
        outcome.routine = routine;
        outcome.ends = RunRoutine(routine, ops, state);
    }
    return outcome;
}

}  // namespace capbeam
