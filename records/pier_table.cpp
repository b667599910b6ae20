#include "records/pier_table.h"

#include <algorithm>
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

void PierTable::StartAlignmentGroup(std::string_view description) {
    PierGroup g;
    g.number = static_cast<int>(groups_.size()) + 1;
    g.kind = GroupKind::Alignment;
    g.header = "第 " + std::to_string(g.number) + " 组：" + std::string(description);
    groups_.push_back(std::move(g));
}

const PierRow& PierTable::AddAlignmentRow(PierRow row) {
    row.number = static_cast<int>(++rows_);
    groups_.back().rows.push_back(std::move(row));
    return groups_.back().rows.back();
}

const PierRow& PierTable::Add(PierRow row) {
    if (!groups_.empty() && groups_.back().kind == GroupKind::Alignment) {
        const auto curve = std::find_if(groups_.rbegin(), groups_.rend(),
                                        [](const PierGroup& g) { return g.kind == GroupKind::SingleCurve; });
        if (curve != groups_.rend()) {
            const PierGroup setUp = *curve;
            StartGroup(setUp.inputs, setUp.curve, setUp.design);
        } else {
            PierGroup g;
            g.number = static_cast<int>(groups_.size()) + 1;
            groups_.push_back(std::move(g));
        }
    }
    if (groups_.empty()) {
        PierGroup g;
        g.number = 1;
        groups_.push_back(std::move(g));
    }
    row.number = static_cast<int>(++rows_);
    groups_.back().rows.push_back(std::move(row));
    return groups_.back().rows.back();
}

SideWords SideWordsOf(const PierTable& table) {
    bool curve = false, alignment = false;
    for (const PierGroup& g : table.Groups()) (g.kind == GroupKind::Alignment ? alignment : curve) = true;
    if (!alignment) return {};
    if (!curve) return {"左侧", "右侧"};
    return {"内侧/左侧", "外侧/右侧"};
}

std::string WithSideWords(std::string_view title, const SideWords& words) {
    std::string t(title);
    for (const auto& [from, to] : {std::pair<std::string_view, const std::string&>{"内侧", words.inner},
                                   std::pair<std::string_view, const std::string&>{"外侧", words.outer}})
        if (const auto at = t.find(from); at != std::string::npos) t.replace(at, from.size(), to);
    return t;
}

void PierTable::ReplaceAlignmentGroup(std::size_t group, std::string header, std::vector<PierRow> rows,
                                      std::vector<RefusedPier> refused) {
    PierGroup& g = groups_.at(group);
    refused_ = refused_ - g.refused.size() + refused.size();
    g.header = std::move(header);
    g.rows = std::move(rows);
    g.refused = std::move(refused);
}

std::vector<PierLine> LinesOf(const PierGroup& group) {
    std::vector<PierLine> lines;
    lines.reserve(group.rows.size() + group.refused.size());
    auto row = group.rows.begin();
    auto refused = group.refused.begin();
    while (row != group.rows.end() || refused != group.refused.end()) {
        if (refused == group.refused.end() || (row != group.rows.end() && row->number < refused->number))
            lines.push_back({&*row++, nullptr});
        else
            lines.push_back({nullptr, &*refused++});
    }
    return lines;
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

bool HasAlignmentRows(const PierTable& table) {
    for (const PierGroup& g : table.Groups())
        if (g.kind == GroupKind::Alignment && (!g.rows.empty() || !g.refused.empty())) return true;
    return false;
}

}  // namespace capbeam
