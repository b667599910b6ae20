#pragma once

#include <string>

#include "records/pier_table.h"

// The pier table as text for other programs. Every figure is the text the
// window showed; nothing is recomputed or reformatted.

namespace capbeam {

// Tab-separated, one line per row under a line of column titles, each group's
// header on a line of its own before its rows; pastes into a spreadsheet.
std::string TableTsv(const PierTable& table);

// Comma-separated (RFC 4180 quoting), UTF-8; with a byte-order mark so that a
// spreadsheet shows the Chinese titles. Lines end in CR LF. Columns: row
// number, group number, orientation, the eleven columns of the table, and the
// group's header; every line is a row (no header lines between groups).
std::string TableCsv(const PierTable& table, bool byteOrderMark);

// Total-station coordinate file, one point a line "name,code,Y,X,H" (east
// before north, H empty): for row n the beam centre "Pn-C", the inner end
// "Pn-IN" and the outer end "Pn-OUT". Code empty; the coordinates are the
// boxes' texts without their leading blank. Lines end in CR LF.
std::string CassPoints(const PierTable& table);

}  // namespace capbeam
