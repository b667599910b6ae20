#pragma once

#include <string_view>
#include <vector>

#include "geometry/chainage_equations.h"
#include "geometry/element_table.h"
#include "geometry/jd_table.h"

// Alignment tables as CSV text. Both formats share their rules:
// - UTF-8, a byte-order mark allowed; fields separated by commas, or by tabs
//   on a line that holds a tab (rows pasted from a spreadsheet); blanks and
//   double quotes around a field are ignored;
// - `#` starts a comment that runs to the end of the line; blank lines are
//   skipped;
// - a header row is optional: a first row with no digit in its second,
//   third and fourth fields (chainage, X, Y) is taken as one;
// - a chainage equation is a row `断链,back,ahead` anywhere in the file,
//   equations in road order; chainages in metres or K notation;
// - the first data row is the start point: `name,chainage,X,Y,...`.
//
// The JD table (交点法): rows `name,chainage,X,Y,R,Ls1,Ls2`. The chainage
// is given on the first row only. The first row is the start point and the
// last the end point, both with R and Ls empty; every row between is a JD
// with its radius R. An empty Ls1 is 0 (no spiral); an empty Ls2 is Ls1
// (the usual equal spirals); write 0 for a curve without its second spiral.
//
//   # 名称,桩号,X,Y,R,Ls1,Ls2
//   QD,K0+000,3000.000,5000.000
//   JD1,,3400.000,5300.000,600,120,120
//   JD2,,3650.000,5900.000,800,100,80
//   ZD,,3800.000,6500.000
//   断链,K1+100,K1+095
//
// The element table (线元法): the first row `name,chainage,X,Y,azimuth`,
// the azimuth of the forward tangent in D.MMSS; then one row an element in
// road order, `name,length,start radius,end radius,side`: a radius of `∞`
// (also `inf`) or an empty one is a straight's, the side is 左 or 右 (L or
// R) as seen looking ahead, and may be empty for a straight.
//
//   # 名称,桩号,X,Y,方位角
//   QD,K0+000,3000.000,5000.000,36.5212
//   直线,120,,,
//   缓和曲线,80,∞,400,右
//   圆曲线,150.5,400,400,右
//   卵形曲线,60,400,900,右
//   缓和曲线,45,900,∞,右
//   直线,200,,,
//
// Files are untrusted: more than 4 MB, more than 5,000 rows, fields beyond
// a road's numbers (NaN, 1e308) are refused at once with a message that
// names the line.

namespace capbeam {

struct JdTableFile {
    JdTable table;
    std::vector<ChainageEquation> equations;
};

struct ElementTableFile {
    ElementTable table;
    std::vector<ChainageEquation> equations;
};

enum class AlignmentCsvKind { JdTable, ElementTable };

// Throw Failure (OutOfRange, TypeMismatch or Overflow) with a message that
// names the line ("第 12 行：...") for a file that breaks the format.
JdTableFile ReadJdTableCsv(std::string_view text);
ElementTableFile ReadElementTableCsv(std::string_view text);

// Which of the two a file is: an element table's start row has its azimuth
// in the fifth field, where a JD table's start row has nothing.
AlignmentCsvKind DetectAlignmentCsv(std::string_view text);

}  // namespace capbeam
