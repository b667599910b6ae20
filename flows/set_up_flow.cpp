#include "flows/set_up_flow.h"

#include <string>

#include "core/rules.h"
#include "core/text_formats.h"
#include "flows/ask.h"

namespace capbeam {

namespace {

// The prompts, exactly as the user has always seen them (the "粱" included).
constexpr const char* kAskXo = "请输入圆心的纵座标  Xo";
constexpr const char* kAskYo = "请输入圆心的横座标  Yo";
constexpr const char* kAskKj = "请输入斜交盖粱设计位置的中桩桩号  Kj（以米为单位）";
constexpr const char* kAskXj = "请输入斜交盖粱设计位置中桩的纵座标  Xj ";
constexpr const char* kAskYj = "请输入斜交盖粱设计位置中桩的横座标  Yj ";
constexpr const char* kAskB = "请输入盖粱与切线的交角  B,交角 (以切线为起点顺时针旋转至盖粱横轴) ";
constexpr const char* kAskR = "请输入平曲线的半径  R";
constexpr const char* kAskP =
    "请输入平曲线正偏或反偏的判别符号 P 的数值，正偏为 P>0 的正整数，反偏为 P<0 的负整数";

// Beneath the B prompt: B is D.MMSS, not decimal degrees.
constexpr const char* kSkewFormat = "按“度.分秒”输入：30.153 即 30°15′30″。也可以输入 30°15′30″ 或 30 15 30。";

}  // namespace

SetUpOutcome RunCurveSetUp(WindowOps& ops, CalculationRecord& record) {
    SetUpOutcome outcome;
    CurveInputs& in = outcome.inputs;
    in.Xo = AskDouble(ops, kAskXo);
    ops.SetText(Box::CurveCentreX, EnteredCoordinateText(in.Xo));
    in.Yo = AskDouble(ops, kAskYo);
    ops.SetText(Box::CurveCentreY, EnteredCoordinateText(in.Yo));
    in.Kj = AskDouble(ops, kAskKj);
    ops.SetText(Box::DesignChainage, ChainageText(in.Kj, ChainageForm::Entered));
    in.Xj = AskDouble(ops, kAskXj);
    ops.SetText(Box::DesignX, EnteredCoordinateText(in.Xj));
    in.Yj = AskDouble(ops, kAskYj);
    ops.SetText(Box::DesignY, EnteredCoordinateText(in.Yj));
    in.Bdms = AskSkew(ops, kAskB, SkewProblem, {"", kSkewFormat});
    ops.SetText(Box::Skew, SkewText(in.Bdms));
    in.R = AskDouble(ops, kAskR, RadiusProblem);
    ops.SetText(Box::Radius, EnteredLengthText(in.R));
    in.P = AskSingle(ops, kAskP, CurveDirectionProblem);
    ops.SetText(Box::Direction, DirectionText(in.P));

    const CurveSetUp setUp = SetUpCurve(in);
    record.hasCurve = true;
    record.curve = setUp.curve;
    record.design = setUp.design;
    outcome.warning = OffCurveWarning(setUp);

    // The results of the previous curve would stand beside the new curve's
    // values as if they belonged to it: the lower block starts empty. The
    // half-width and the precision stay, as the next request will ask them.
    for (const Box box : {Box::InnerChainage, Box::InnerX, Box::InnerY, Box::InnerLength, Box::OuterChainage,
                          Box::OuterX, Box::OuterY, Box::OuterLength, Box::BeamChainage, Box::BeamY})
        ops.SetText(box, "");
    ops.SetText(Box::BeamX, " ");
    return outcome;
}

}  // namespace capbeam
