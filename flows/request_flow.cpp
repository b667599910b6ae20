#include "flows/request_flow.h"

#include "core/rules.h"
#include "core/text_formats.h"
#include "flows/ask.h"

namespace capbeam {

namespace {

// The prompts as the window has always shown them, character for character.
constexpr char kKpPrompt[] = "请输入需要计算的盖粱中桩的桩号  Kp（以米为单位) ";
constexpr char kDrPrompt[] = "请输入路基半幅的寛度  Dr（以米为单位）";
constexpr char kMbPrompt[] = "请输入需要计算方位角重合精度 mb (以度为单位)";

// A beam away from J kept parallel to the design beam (routines 1 to 4).
void WriteSkewedEnds(WindowOps& ops, const BeamEnds& r) {
    ops.SetText(Box::BeamX, CoordinateText(r.Xk));
    ops.SetText(Box::BeamY, CoordinateText(r.Yk));
    ops.SetText(Box::InnerLength, LengthText(r.Lin));
    ops.SetText(Box::InnerX, CoordinateText(r.Xin));
    ops.SetText(Box::InnerY, CoordinateText(r.Yin));
    ops.SetText(Box::InnerChainage, ChainageText(r.Kin, ChainageForm::Computed));
    ops.SetText(Box::OuterLength, LengthText(r.Lout));
    ops.SetText(Box::OuterX, CoordinateText(r.Xout));
    ops.SetText(Box::OuterY, CoordinateText(r.Yout));
    ops.SetText(Box::OuterChainage, ChainageText(r.Kout, ChainageForm::Computed));
}

// A skewed beam placed as the design beam is (routine 5).
void WriteDesignEnds(WindowOps& ops, const BeamEnds& r) {
    ops.SetText(Box::BeamX, CoordinateText(r.Xk));
    ops.SetText(Box::BeamY, CoordinateText(r.Yk));
    ops.SetText(Box::InnerLength, LengthText(r.Lin));
    ops.SetText(Box::OuterLength, LengthText(r.Lout));
    ops.SetText(Box::OuterX, CoordinateText(r.Xout));
    ops.SetText(Box::OuterY, CoordinateText(r.Yout));
    ops.SetText(Box::InnerX, CoordinateText(r.Xin));
    ops.SetText(Box::InnerY, CoordinateText(r.Yin));
    ops.SetText(Box::OuterChainage, ChainageText(r.Kout, ChainageForm::Computed));
    ops.SetText(Box::InnerChainage, ChainageText(r.Kin, ChainageForm::Computed));
}

// A beam on its radius (routine 6).
void WriteRadialEnds(WindowOps& ops, const BeamEnds& r) {
    ops.SetText(Box::BeamX, CoordinateText(r.Xk));
    ops.SetText(Box::BeamY, CoordinateText(r.Yk));
    ops.SetText(Box::InnerX, CoordinateText(r.Xin));
    ops.SetText(Box::InnerY, CoordinateText(r.Yin));
    ops.SetText(Box::OuterX, CoordinateText(r.Xout));
    ops.SetText(Box::OuterY, CoordinateText(r.Yout));
    ops.SetText(Box::InnerChainage, ChainageText(r.Kin, ChainageForm::Computed));
    ops.SetText(Box::OuterChainage, ChainageText(r.Kout, ChainageForm::Computed));
    ops.SetText(Box::InnerLength, LengthText(r.Lin));
    ops.SetText(Box::OuterLength, LengthText(r.Lout));
}

}  // namespace

Message NoCurveMessage() {
    return {ErrorKind::NoCurve,
            "还没有输入平曲线和设计盖梁的数据，无法计算端点。请先按“进行计算”输入，再按“座标计算”。"};
}

void WriteEnds(WindowOps& ops, const BeamPlacement& p) {
    if (p.routine == 6) {
        WriteRadialEnds(ops, p.ends);
    } else if (p.routine == 5) {
        WriteDesignEnds(ops, p.ends);
    } else {
        WriteSkewedEnds(ops, p.ends);
    }
}

BeamPlacement RunRequest(WindowOps& ops, CalculationRecord& record, Orientation orientation) {
    if (!record.hasCurve) throw Failure(NoCurveMessage());

    RequestValues& q = record.request;
    q.Kp = AskDouble(ops, kKpPrompt);
    ops.SetText(Box::BeamChainage, ChainageText(q.Kp, ChainageForm::Entered));
    const double R = record.curve.R;
    // The half-width and the precision seldom change from one beam to the
    // next: their prompts offer the last values, which Return accepts.
    const bool again = q.completed;
    q.Dr = AskDouble(ops, kDrPrompt, [R](double Dr) { return HalfWidthProblem(Dr, R); },
                     {again ? NumberText(q.Dr) : "", ""});
    ops.SetText(Box::HalfWidth, EnteredLengthText(q.Dr));
    q.mb = AskSingle(ops, kMbPrompt, {}, {again ? NumberText(q.mb) : "", ""});
    ops.SetText(Box::Precision, PrecisionText(q.mb));

    const BeamPlacement placement = PlaceBeam(record.curve, record.design, q.Kp, q.Dr, orientation);
    record.edges = placement.edges;
    q.completed = true;
    if (placement.designAxis) record.design.axis = *placement.designAxis;
    WriteEnds(ops, placement);
    return placement;
}

}  // namespace capbeam
