#include "records/export.h"

#include <string_view>

#include "core/text_formats.h"

namespace capbeam {

namespace {

constexpr std::string_view kRowNumberTitle = "序号";
constexpr std::string_view kGroupTitle = "组号";
constexpr std::string_view kOrientationTitle = "盖梁方向";
constexpr std::string_view kSetUpTitle = "平曲线设定";

// One column of the exported table: its title and its cell for a row. The K
// texts are the boxes' own; every other cell is a number a spreadsheet reads
// as one, worked out from the row's unrounded results by the same rounding
// the boxes use, so that a cell and its box agree to the millimetre.
struct ExportColumn {
    std::string_view title;
    std::string (*cell)(const PierRow& row);
    bool number;  // digits, a point and a sign only: never quoted
};

std::string EndChainageMetres(double K) { return ChainageMetresText(K, ChainageForm::Computed); }

constexpr ExportColumn kExportColumns[kExportColumnCount] = {
    {"中桩桩号 Kp", [](const PierRow& r) { return r.Text(PierColumn::Kp); }, false},
    {"中桩桩号 Kp (米)", [](const PierRow& r) { return ChainageMetresText(r.Kp, ChainageForm::Entered); }, true},
    {"中桩纵座标 X (米)", [](const PierRow& r) { return FixedText(r.ends.Xk); }, true},
    {"中桩横座标 Y (米)", [](const PierRow& r) { return FixedText(r.ends.Yk); }, true},
    {"内侧端点桩号 K", [](const PierRow& r) { return r.Text(PierColumn::Kin); }, false},
    {"内侧端点桩号 K (米)", [](const PierRow& r) { return EndChainageMetres(r.ends.Kin); }, true},
    {"内侧端点纵座标 X (米)", [](const PierRow& r) { return FixedText(r.ends.Xin); }, true},
    {"内侧端点横座标 Y (米)", [](const PierRow& r) { return FixedText(r.ends.Yin); }, true},
    {"内侧长度 L (米)", [](const PierRow& r) { return FixedText(r.ends.Lin); }, true},
    {"外侧端点桩号 K", [](const PierRow& r) { return r.Text(PierColumn::Kout); }, false},
    {"外侧端点桩号 K (米)", [](const PierRow& r) { return EndChainageMetres(r.ends.Kout); }, true},
    {"外侧端点纵座标 X (米)", [](const PierRow& r) { return FixedText(r.ends.Xout); }, true},
    {"外侧端点横座标 Y (米)", [](const PierRow& r) { return FixedText(r.ends.Yout); }, true},
    {"外侧长度 L (米)", [](const PierRow& r) { return FixedText(r.ends.Lout); }, true},
};

// Tabs and line breaks would split a cell; the boxes never show them, but a
// header is built from texts and must not break the table's shape.
std::string TsvCell(std::string_view text) {
    std::string cell(text);
    for (char& c : cell)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return cell;
}

bool NeedsQuotes(std::string_view text) {
    bool quote = !text.empty() && (text.front() == ' ' || text.back() == ' ');
    for (std::size_t i = 0; i < text.size() && !quote; ++i) {
        const char c = text[i];
        quote = c == ',' || c == '"' || c == '\r' || c == '\n';
    }
    return quote;
}

// RFC 4180: a field with a comma, a quote or a line break is quoted, quotes
// doubled. Fields with a blank at either end are quoted as well, so that no
// reader trims " 3000" to "3000": the file keeps the boxes' texts exactly.
std::string CsvField(std::string_view text) {
    if (!NeedsQuotes(text)) return std::string(text);
    std::string field = "\"";
    for (char c : text) {
        if (c == '"') field += '"';
        field += c;
    }
    field += '"';
    return field;
}

// CsvField's text appended in place: a batch writes some twenty fields a
// row, most of them needing no quotes.
void AppendCsvField(std::string& out, std::string_view text) {
    if (NeedsQuotes(text))
        out += CsvField(text);
    else
        out += text;
}

}  // namespace

std::array<std::string_view, kExportColumnCount> ExportColumnTitles() {
    std::array<std::string_view, kExportColumnCount> titles;
    for (std::size_t i = 0; i < titles.size(); ++i) titles[i] = kExportColumns[i].title;
    return titles;
}

std::string TableTsv(const PierTable& table) {
    const SideWords sides = SideWordsOf(table);
    std::string out;
    out += kRowNumberTitle;
    out += '\t';
    out += kOrientationTitle;
    for (const ExportColumn& column : kExportColumns) {
        out += '\t';
        out += WithSideWords(column.title, sides);
    }
    out += '\n';
    for (const PierGroup& group : table.Groups()) {
        if (!group.header.empty()) {
            out += TsvCell(group.header);
            out += '\n';
        }
        for (const PierRow& row : group.rows) {
            out += std::to_string(row.number);
            out += '\t';
            out += OrientationText(row.orientation);
            for (const ExportColumn& column : kExportColumns) {
                out += '\t';
                out += TsvCell(column.cell(row));
            }
            out += '\n';
        }
    }
    return out;
}

std::string TableCsvTitleLine(bool byteOrderMark, const SideWords& sides) {
    std::string out;
    if (byteOrderMark) out += "\xEF\xBB\xBF";
    out += CsvField(kRowNumberTitle);
    out += ',';
    out += CsvField(kGroupTitle);
    out += ',';
    out += CsvField(kOrientationTitle);
    for (const ExportColumn& column : kExportColumns) {
        out += ',';
        out += CsvField(WithSideWords(column.title, sides));
    }
    out += ',';
    out += CsvField(kSetUpTitle);
    out += "\r\n";
    return out;
}

CsvRowWriter::CsvRowWriter(const PierGroup& group)
    : group_(std::to_string(group.number)), header_(CsvField(group.header)) {}

void CsvRowWriter::Append(std::string& out, const PierRow& row) const {
    out += std::to_string(row.number);
    out += ',';
    out += group_;
    out += ',';
    AppendCsvField(out, OrientationText(row.orientation));
    for (const ExportColumn& column : kExportColumns) {
        out += ',';
        if (column.number)
            out += column.cell(row);
        else
            AppendCsvField(out, column.cell(row));
    }
    out += ',';
    out += header_;
    out += "\r\n";
}

// One table of one shape: every line is a row with the same columns, so that
// a spreadsheet can sort and filter it and any CSV reader takes it whole. The
// set-up a row belongs to is therefore given in columns rather than on lines
// of their own: its group number, and (last, after the boxes' columns) the
// group's header naming the curve and the design beam.
std::string TableCsv(const PierTable& table, bool byteOrderMark) {
    std::string out = TableCsvTitleLine(byteOrderMark, SideWordsOf(table));
    for (const PierGroup& group : table.Groups()) {
        const CsvRowWriter writer(group);
        for (const PierRow& row : group.rows) writer.Append(out, row);
    }
    return out;
}

// Three points a row, in the row's order: centre, inner end, outer end. The
// code field is left empty: a code is a feature code to a drawing program,
// and the beam's points have none of their own. H is left empty too: the
// calculation is in plan only. Lines end in CR LF, as the total stations'
// transfer programs expect.
void AppendCassPoints(std::string& out, const PierRow& row, GroupKind kind) {
    const auto point = [&out](const std::string& name, std::string_view suffix, double Y, double X) {
        out += name;
        out += suffix;
        out += ",,";
        out += FixedText(Y);
        out += ',';
        out += FixedText(X);
        out += ",\r\n";
    };
    // On an alignment the ends are the left and the right one.
    const bool alignment = kind == GroupKind::Alignment;
    const std::string name = "P" + std::to_string(row.number);
    const BeamEnds& e = row.ends;
    point(name, "-C", e.Yk, e.Xk);
    point(name, alignment ? "-L" : "-IN", e.Yin, e.Xin);
    point(name, alignment ? "-R" : "-OUT", e.Yout, e.Xout);
}

std::string CassPoints(const PierTable& table) {
    std::string out;
    for (const PierGroup& group : table.Groups())
        for (const PierRow& row : group.rows) AppendCassPoints(out, row, group.kind);
    return out;
}

}  // namespace capbeam
