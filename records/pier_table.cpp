#include "records/pier_table.h"

#include <utility>

#include "core/text_formats.h"

namespace capbeam {

std::string_view OrientationText(Orientation o) {
    return o == Orientation::Tangent ? "与切线保持交角 B" : "平行于设计盖梁";
}

void PierTable::StartGroup(const CurveInputs& in, const Curve& curve, const DesignBeam& design) {
    PierGroup g;
    g.number = static_cast<int>(groups_.size()) + 1;
    g.inputs = in;
    g.curve = curve;
    g.design = design;
    // "第 1 组：圆心 ( 3000, 5000)  R 500(米) 正偏  设计中桩 K 12+ 345.678 ( 3300, 5400)  B 30.153( 度, 分，秒 )"
    g.header = "第 " + std::to_string(g.number) + " 组：圆心 (" + EnteredCoordinateText(in.Xo) + "," +
               EnteredCoordinateText(in.Yo) + ")  R " + EnteredLengthText(in.R) + " " + DirectionText(in.P) +
               "  设计中桩 " + ChainageText(in.Kj, ChainageForm::Entered) + " (" + EnteredCoordinateText(in.Xj) +
               "," + EnteredCoordinateText(in.Yj) + ")  B" + SkewText(in.Bdms);
    groups_.push_back(std::move(g));
}

const PierRow& PierTable::Add(PierRow row) {
    if (groups_.empty()) {
        PierGroup g;
        g.number = 1;
        groups_.push_back(std::move(g));
    }
    row.number = static_cast<int>(++rows_);
    groups_.back().rows.push_back(std::move(row));
    return groups_.back().rows.back();
}

void PierTable::NoteOnLatestHeader(const std::string& note) {
    if (!groups_.empty()) groups_.back().header += note;
}

PierRow RowOf(double Kp, double Dr, const BeamPlacement& placement) {
    PierRow row;
    row.Kp = Kp;
    row.Dr = Dr;
    row.orientation = placement.orientation;
    row.routine = placement.routine;
    row.ends = placement.ends;
    const BeamEnds& e = placement.ends;
    row.texts = {ChainageText(Kp, ChainageForm::Entered),
                 CoordinateText(e.Xk),
                 CoordinateText(e.Yk),
                 ChainageText(e.Kin, ChainageForm::Computed),
                 CoordinateText(e.Xin),
                 CoordinateText(e.Yin),
                 LengthText(e.Lin),
                 ChainageText(e.Kout, ChainageForm::Computed),
                 CoordinateText(e.Xout),
                 CoordinateText(e.Yout),
                 LengthText(e.Lout)};
    return row;
}

PierRow ExportRowOf(double Kp, double Dr, const BeamPlacement& placement) {
    PierRow row;
    row.Kp = Kp;
    row.Dr = Dr;
    row.orientation = placement.orientation;
    row.routine = placement.routine;
    row.ends = placement.ends;
    const auto text = [&row](PierColumn c) -> std::string& { return row.texts[static_cast<std::size_t>(c)]; };
    text(PierColumn::Kp) = ChainageText(Kp, ChainageForm::Entered);
    text(PierColumn::Kin) = ChainageText(placement.ends.Kin, ChainageForm::Computed);
    text(PierColumn::Kout) = ChainageText(placement.ends.Kout, ChainageForm::Computed);
    return row;
}

}  // namespace capbeam
