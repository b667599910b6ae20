#include "records/export.h"

#include <string_view>

namespace capbeam {

namespace {

constexpr std::string_view kRowNumberTitle = "序号";
constexpr std::string_view kGroupTitle = "组号";
constexpr std::string_view kOrientationTitle = "盖梁方向";
constexpr std::string_view kSetUpTitle = "平曲线设定";

// Tabs and line breaks would split a cell; the boxes never show them, but a
// header is built from texts and must not break the table's shape.
std::string TsvCell(std::string_view text) {
    std::string cell(text);
    for (char& c : cell)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return cell;
}

// RFC 4180: a field with a comma, a quote or a line break is quoted, quotes
// doubled. Fields with a blank at either end are quoted as well, so that no
// reader trims " 3000" to "3000": the file keeps the boxes' texts exactly.
std::string CsvField(std::string_view text) {
    const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) return std::string(text);
    std::string field = "\"";
    for (char c : text) {
        if (c == '"') field += '"';
        field += c;
    }
    field += '"';
    return field;
}

// The coordinate as a number for another program: the box's text without
// the blank that the window puts before a non-negative value.
std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

}  // namespace

std::string TableTsv(const PierTable& table) {
    std::string out;
    out += kRowNumberTitle;
    out += '\t';
    out += kOrientationTitle;
    for (const char* title : kPierColumnTitles) {
        out += '\t';
        out += title;
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
            for (const std::string& text : row.texts) {
                out += '\t';
                out += TsvCell(text);
            }
            out += '\n';
        }
    }
    return out;
}

// One table of one shape: every line is a row with the same columns, so that
// a spreadsheet can sort and filter it and any CSV reader takes it whole. The
// set-up a row belongs to is therefore given in columns rather than on lines
// of their own: its group number, and (last, after the boxes' columns) the
// group's header naming the curve and the design beam.
std::string TableCsv(const PierTable& table, bool byteOrderMark) {
    std::string out;
    if (byteOrderMark) out += "\xEF\xBB\xBF";
    out += CsvField(kRowNumberTitle);
    out += ',';
    out += CsvField(kGroupTitle);
    out += ',';
    out += CsvField(kOrientationTitle);
    for (const char* title : kPierColumnTitles) {
        out += ',';
        out += CsvField(title);
    }
    out += ',';
    out += CsvField(kSetUpTitle);
    out += "\r\n";
    for (const PierGroup& group : table.Groups()) {
        const std::string header = CsvField(group.header);
        for (const PierRow& row : group.rows) {
            out += std::to_string(row.number);
            out += ',';
            out += std::to_string(group.number);
            out += ',';
            out += CsvField(OrientationText(row.orientation));
            for (const std::string& text : row.texts) {
                out += ',';
                out += CsvField(text);
            }
            out += ',';
            out += header;
            out += "\r\n";
        }
    }
    return out;
}

// Three points a row, in the row's order: centre, inner end, outer end. The
// code field is left empty: a code is a feature code to a drawing program,
// and the beam's points have none of their own. Lines end in CR LF, as the
// total stations' transfer programs expect.
std::string CassPoints(const PierTable& table) {
    std::string out;
    const auto point = [&out](const std::string& name, const std::string& Y, const std::string& X) {
        out += name;
        out += ",,";
        out += Trimmed(Y);
        out += ',';
        out += Trimmed(X);
        out += ",\r\n";
    };
    for (const PierGroup& group : table.Groups()) {
        for (const PierRow& row : group.rows) {
            const std::string name = "P" + std::to_string(row.number);
            point(name + "-C", row.Text(PierColumn::Yk), row.Text(PierColumn::Xk));
            point(name + "-IN", row.Text(PierColumn::Yin), row.Text(PierColumn::Xin));
            point(name + "-OUT", row.Text(PierColumn::Yout), row.Text(PierColumn::Xout));
        }
    }
    return out;
}

}  // namespace capbeam
