#include "calc/pier_table.h"

#include <utility>

namespace capbeam {

namespace {

const std::string& Box(const std::array<std::string, kFieldCount>& boxes, Field f) {
    return boxes[static_cast<std::size_t>(FieldNumber(f) - 1)];
}

}  // namespace

void PierTable::StartGroup(const CurveState& curve, const std::array<std::string, kFieldCount>& boxes) {
    PierGroup g;
    g.number = static_cast<int>(groups_.size()) + 1;
    g.curve = curve;
    // "第 1 组：圆心 ( 3000, 5000)  R 500(米) 正偏  设计中桩 K 12+ 345.678 ( 3300, 5400)  B 30.153( 度, 分，秒 )"
    g.header = "第 " + std::to_string(g.number) + " 组：圆心 (" + Box(boxes, Field::Text1) + "," +
               Box(boxes, Field::Text2) + ")  R " + Box(boxes, Field::Text18) + " " + Box(boxes, Field::Text17) +
               "  设计中桩 " + Box(boxes, Field::Text3) + " (" + Box(boxes, Field::Text4) + "," +
               Box(boxes, Field::Text5) + ")  B" + Box(boxes, Field::Text6);
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

PierRow RowFromBoxes(const std::array<std::string, kFieldCount>& boxes, double Kp, const RequestOutcome& outcome) {
    PierRow row;
    row.Kp = Kp;
    row.orientation = outcome.orientation;
    row.routine = outcome.routine;
    row.ends = outcome.ends;
    for (int c = 0; c < kPierColumnCount; ++c)
        row.texts[static_cast<std::size_t>(c)] = Box(boxes, kPierColumnFields[static_cast<std::size_t>(c)]);
    return row;
}

}  // namespace capbeam
