#pragma once

#include <array>
#include <string>
#include <string_view>

#include "records/pier_table.h"

// The pier table as text for other programs. A spreadsheet gets numbers it
// can sort and sum: coordinates, lengths and chainages in metres with exactly
// three decimals (the chainage typed as typed), beside the chainages' K texts
// as the boxes showed them. Units are in the column titles, not in the cells.

namespace capbeam {

// The columns for one row, after the row number (and group) and orientation:
// for the beam centre, the inner and the outer end in turn, the chainage as
// its K text and as metres, X, Y and (for the ends) the length L.
inline constexpr int kExportColumnCount = 14;

// Their titles, in order, with the sides named "内侧" and "外侧" (an alignment
// writes "左侧" and "右侧" for them).
std::array<std::string_view, kExportColumnCount> ExportColumnTitles();

// The titles of both tables name the sides as SideWordsOf(table) says.
// Tab-separated, one line per row under a line of column titles, each group's
// header on a line of its own before its rows; pastes into a spreadsheet.
std::string TableTsv(const PierTable& table);

// Comma-separated (RFC 4180 quoting), UTF-8; with a byte-order mark so that a
// spreadsheet shows the Chinese titles. Lines end in CR LF. Columns: row
// number, group number, orientation, the export columns, and the group's
// header; every line is a row (no header lines between groups).
std::string TableCsv(const PierTable& table, bool byteOrderMark);

// TableCsv a line at a time, for a writer that streams rows as they are
// computed: the title line (after the byte-order mark when asked), then each
// row of a group; the lines together are TableCsv's text byte for byte.
std::string TableCsvTitleLine(bool byteOrderMark, const SideWords& sides = {});
class CsvRowWriter {
public:
    explicit CsvRowWriter(const PierGroup& group);
    // Appends the row's line; the row must carry its number.
    void Append(std::string& out, const PierRow& row) const;

private:
    std::string group_;   // the group's number
    std::string header_;  // its header as a CSV field
};

// Total-station coordinate file, one point a line "name,code,Y,X,H" (east
// before north, H empty): for row n the beam centre "Pn-C", the inner end
// "Pn-IN" and the outer end "Pn-OUT". Code empty; Y and X in metres with
// exactly three decimals. Lines end in CR LF. An alignment's rows name their
// ends "Pn-L" (left) and "Pn-R" (right).
std::string CassPoints(const PierTable& table);
// The three points of one numbered row of a group of `kind`, as CassPoints writes them.
void AppendCassPoints(std::string& out, const PierRow& row, GroupKind kind = GroupKind::SingleCurve);

}  // namespace capbeam
