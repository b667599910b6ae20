#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "geometry/single_curve.h"

// The record of every completed request of one run: one row per request, in
// groups, one group per curve set-up. Rows hold the texts exactly as the
// boxes showed them, and the unrounded results for drawing.

namespace capbeam {

// The row's columns: the chainage typed, then what a placement computed.
enum class PierColumn { Kp, Xk, Yk, Kin, Xin, Yin, Lin, Kout, Xout, Yout, Lout };
inline constexpr int kPierColumnCount = 11;
// Column headings, as the captions of the boxes say them.
inline constexpr std::array<const char*, kPierColumnCount> kPierColumnTitles{
    "中桩桩号 Kp", "中桩纵座标 X", "中桩横座标 Y", "内侧端点桩号 K", "内侧端点纵座标 X", "内侧端点横座标 Y",
    "内侧长度 L", "外侧端点桩号 K", "外侧端点纵座标 X", "外侧端点横座标 Y", "外侧长度 L"};

// The orientation as the window's choice names it.
std::string_view OrientationText(Orientation orientation);

struct PierRow {
    int number = 0;  // 1, 2, ... through the whole run
    double Kp = 0;
    int KpStretch = -1;  // on an alignment with chainage equations: the stretch the user named for Kp
    double Dr = 0;
    Orientation orientation = Orientation::Parallel;
    int routine = 0;
    BeamEnds ends;                                  // unrounded
    std::array<std::string, kPierColumnCount> texts;  // as the boxes showed them

    const std::string& Text(PierColumn c) const { return texts[static_cast<std::size_t>(c)]; }
};

// A beam of an alignment's group that does not stand on the road as it now
// is (off the road, an end missing an edge, the table unreadable): the
// chainage as typed and why. It keeps its row number, so that the piers
// after it keep theirs and it can stand again when the road is mended; it is
// never drawn, exported or set out, having no numbers to give.
struct RefusedPier {
    int number = 0;
    double Kp = 0;
    int KpStretch = -1;
    Orientation orientation = Orientation::Parallel;
    std::string KpText;  // as the Kp column shows it
    std::string why;
};

// What a group's rows were placed on. The single curve names a beam's ends
// by the side of the curve (内侧, 外侧); an alignment by the side of the road
// looking ahead (左侧, 右侧), the left end in the inner fields.
enum class GroupKind { SingleCurve, Alignment };

struct PierGroup {
    int number = 0;       // 1, 2, ... one per set-up
    GroupKind kind = GroupKind::SingleCurve;
    CurveInputs inputs;   // the set-up's values as typed
    Curve curve;          // the curve and design beam as the set-up left them
    DesignBeam design;
    std::string header;   // names the set-up, in the boxes' own texts
    std::vector<PierRow> rows;
    std::vector<RefusedPier> refused;  // in row order, numbered among the rows
};

// A group's placed and refused rows merged in row order, for the tables that
// show both (the pier table on screen and on the sheet, the pier list).
struct PierLine {
    const PierRow* row = nullptr;          // a placed row, or
    const RefusedPier* refused = nullptr;  // a refused one
    int Number() const { return row ? row->number : refused->number; }
};
std::vector<PierLine> LinesOf(const PierGroup& group);

class PierTable {
public:
    // A new set-up: later rows go under a new header naming it, in the
    // texts with which the window shows the typed values.
    void StartGroup(const CurveInputs& inputs, const Curve& curve, const DesignBeam& design);
    // A new group of beams on a whole alignment (its curve fields stay
    // empty); its header is "第 n 组：" and `description`.
    void StartAlignmentGroup(std::string_view description);
    // Adds a row to the latest group, numbering it; returns the row as stored.
    // A single curve's row after an alignment's group reopens the latest
    // single-curve set-up as a new group, so that it never sits under an
    // alignment's header.
    const PierRow& Add(PierRow row);
    // Adds a row to the latest group, which StartAlignmentGroup opened.
    const PierRow& AddAlignmentRow(PierRow row);
    // Adds `note` to the latest group's header (a batch stopped short says
    // so there); nothing when there is no group.
    void NoteOnLatestHeader(const std::string& note);
    // An alignment group placed again on its road as it now stands: its
    // header, its placed rows and its refused ones, every row keeping the
    // number it had.
    void ReplaceAlignmentGroup(std::size_t group, std::string header, std::vector<PierRow> rows,
                               std::vector<RefusedPier> refused);

    const std::vector<PierGroup>& Groups() const { return groups_; }
    // The rows placed: those the exports, the drawing and the set-out hold.
    std::size_t RowCount() const { return rows_ - refused_; }
    std::size_t RefusedCount() const { return refused_; }
    // No row at all, placed or refused.
    bool Empty() const { return rows_ == 0; }

private:
    std::vector<PierGroup> groups_;
    std::size_t rows_ = 0;     // rows numbered, placed or refused
    std::size_t refused_ = 0;  // of them refused
};

// Whether any row of the table, placed or refused, belongs to a whole alignment.
bool HasAlignmentRows(const PierTable& table);

// The words for the two ends in the table's column titles: 内侧 and 外侧
// while every group is a single curve's, 左侧 and 右侧 while every group is an
// alignment's, both ("内侧/左侧") when the table holds both kinds.
struct SideWords {
    std::string inner = "内侧", outer = "外侧";
};
SideWords SideWordsOf(const PierTable& table);
// `title` (written with 内侧 and 外侧) with the table's words for the sides.
std::string WithSideWords(std::string_view title, const SideWords& words);

// The row of a placed beam: its texts exactly as the window's boxes show
// them, and the unrounded results.
PierRow RowOf(double Kp, double Dr, const BeamPlacement& placement);
// The same row with only the three chainage texts (Kp, Kin, Kout) written:
// all that the CSV and CASS exports read besides the unrounded results, for
// a terminal batch that writes its rows and never shows them.
PierRow ExportRowOf(double Kp, double Dr, const BeamPlacement& placement);

}  // namespace capbeam
