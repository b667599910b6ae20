#include "records/alignment_road.h"

#include <utility>

#include "core/failure.h"
#include "core/text_formats.h"
#include "geometry/element_table.h"

namespace capbeam {

namespace {

char ElementLetter(const Element& e) {
    if (e.k0 == 0 && e.k1 == 0) return 'Z';
    return e.k0 == e.k1 ? 'Y' : 'H';
}

std::vector<MainPointRow> JointRows(const Alignment& line, const std::string& startName) {
    std::vector<MainPointRow> rows{{startName, "起点", line.StartDistance()}};
    for (std::size_t i = 1; i < line.ElementCount(); ++i)
        rows.push_back({"", std::string{ElementLetter(line.ElementAt(i - 1)), ElementLetter(line.ElementAt(i))},
                        line.ElementStart(i)});
    rows.push_back({"", "终点", line.EndDistance()});
    return rows;
}

}  // namespace

LoadedRoad RoadFromJdTable(const JdTableFile& file) {
    JdAlignment a = AlignmentFromJdTable(file.table);
    LoadedRoad loaded{Road(a.line, ChainageEquations(file.table.startChainage, file.equations)), {}, {}};
    loaded.mainPoints.push_back({file.table.start.name, "起点", a.line.StartDistance()});
    for (const JdCurve& c : a.curves)
        for (const MainPoint& p : c.points) loaded.mainPoints.push_back({c.name, p.name, p.distance});
    loaded.mainPoints.push_back({file.table.end.name, "终点", a.line.EndDistance()});
    loaded.curves = std::move(a.curves);
    return loaded;
}

LoadedRoad RoadFromElementTable(const ElementTableFile& file) {
    Alignment line = AlignmentFromElementTable(file.table);
    std::vector<MainPointRow> rows = JointRows(line, file.table.startName);
    return {Road(std::move(line), ChainageEquations(file.table.startChainage, file.equations)), std::move(rows), {}};
}

LoadedRoad RoadFromLandXml(const LandXmlAlignment& a) {
    Alignment line(a.start, a.elements);
    std::vector<MainPointRow> rows = JointRows(line, a.name);
    return {Road(std::move(line), ChainageEquations(a.start.distance, a.equations)), std::move(rows), {}};
}

bool LooksLikeXml(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    const auto first = bytes.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && bytes[first] == '<';
}

std::string ChainageCell(const Road& road, double distance) {
    const Chainage c = road.ChainageOf(distance);
    std::string text = ChainageText(c.value, ChainageForm::Computed);
    try {
        road.Equations().ToDistance({c.value, kAnyStretch});
    } catch (const Failure&) {
        text += "[" + std::to_string(c.stretch) + "]";
    }
    return text;
}

std::string TypedChainageCell(const Chainage& c) {
    std::string text = ChainageText(c.value, ChainageForm::Computed);
    if (c.stretch != kAnyStretch) text += "[" + std::to_string(c.stretch) + "]";
    return text;
}

std::string AlignmentGroupDescription(std::string_view name, const Chainage& Kj, double Bdms, double DL, double DR) {
    return "线形 " + std::string(name) + "  设计中桩 " + TypedChainageCell(Kj) + "  B" + SkewText(Bdms) +
           "  左半幅 " + EnteredLengthText(DL) + "  右半幅 " + EnteredLengthText(DR);
}

PierRow AlignmentRowOf(const Road& road, const Chainage& Kp, const BeamEnds& ends, Orientation orientation) {
    PierRow row;
    row.Kp = Kp.value;
    row.KpStretch = Kp.stretch;
    row.orientation = orientation;
    row.ends = ends;
    row.ends.Kin = road.ChainageOf(ends.Kin).value;
    row.ends.Kout = road.ChainageOf(ends.Kout).value;
    row.texts = {TypedChainageCell(Kp),
                 CoordinateText(ends.Xk),
                 CoordinateText(ends.Yk),
                 ChainageCell(road, ends.Kin),
                 CoordinateText(ends.Xin),
                 CoordinateText(ends.Yin),
                 LengthText(ends.Lin),
                 ChainageCell(road, ends.Kout),
                 CoordinateText(ends.Xout),
                 CoordinateText(ends.Yout),
                 LengthText(ends.Lout)};
    return row;
}

}  // namespace capbeam
