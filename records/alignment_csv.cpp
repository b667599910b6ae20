#include "records/alignment_csv.h"

#include <cmath>
#include <string>

#include "core/failure.h"
#include "core/text_formats.h"
#include "records/chainage_text.h"

namespace capbeam {

namespace {

constexpr std::size_t kMaxBytes = 4 << 20;
constexpr std::size_t kMaxRows = 5000;
constexpr std::size_t kMaxFields = 16;
constexpr double kValueLimit = 1e8;  // metres: coordinates, lengths, radii, chainages
constexpr std::string_view kEquation = "断链";

struct Row {
    std::size_t line = 0;
    std::vector<std::string> fields;
    std::string_view Field(std::size_t i) const { return i < fields.size() ? std::string_view(fields[i]) : ""; }
};

std::string At(std::size_t line) { return "第 " + std::to_string(line) + " 行："; }

[[noreturn]] void Refuse(std::size_t line, const std::string& why) {
    throw Failure(ErrorKind::OutOfRange, At(line) + why);
}

std::string Trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    s = s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
    return std::string(s);
}

bool HasDigit(std::string_view s) { return s.find_first_of("0123456789") != std::string_view::npos; }

// The data rows of the file: comments, blank lines and a header removed.
std::vector<Row> DataRows(std::string_view text) {
    if (text.size() > kMaxBytes)
        throw Failure(ErrorKind::OutOfRange, "文件太大（超过 4 MB），不是一个路线表。请检查选择的文件。");
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<Row> rows;
    std::size_t line = 0;
    bool seenRow = false;
    while (!text.empty()) {
        ++line;
        const auto end = text.find('\n');
        std::string_view content = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (const auto hash = content.find('#'); hash != std::string_view::npos) content = content.substr(0, hash);
        const char separator = content.find('\t') != std::string_view::npos ? '\t' : ',';
        Row row{line, {}};
        bool any = false;
        for (std::size_t from = 0;;) {
            const auto to = content.find(separator, from);
            row.fields.push_back(Trim(content.substr(from, to == std::string_view::npos ? std::string_view::npos : to - from)));
            any = any || !row.fields.back().empty();
            if (row.fields.size() > kMaxFields) Refuse(line, "这一行的字段太多。请检查分隔符。");
            if (to == std::string_view::npos) break;
            from = to + 1;
        }
        if (!any) continue;
        if (rows.size() >= kMaxRows)
            Refuse(line, "行数超过 " + std::to_string(kMaxRows) + "，不是一条路线的表。请检查选择的文件。");
        const bool firstRow = !seenRow;
        seenRow = true;
        if (firstRow && !HasDigit(row.Field(1)) && !HasDigit(row.Field(2)) && !HasDigit(row.Field(3)) &&
            row.Field(0) != kEquation)
            continue;  // a header
        rows.push_back(std::move(row));
    }
    return rows;
}

double Number(const Row& row, std::size_t i, const char* what) {
    double value = 0;
    try {
        value = ReadDouble(row.Field(i));
    } catch (const Failure& f) {
        throw Failure(f.kind(), At(row.line) + what + "：" + f.message().text);
    }
    if (!(std::fabs(value) <= kValueLimit))
        Refuse(row.line, std::string(what) + "超出了可以计算的范围（绝对值不超过 1 亿米）。请检查这一行。");
    return value;
}

double ChainageField(const Row& row, std::size_t i, const char* what) {
    Chainage c;
    try {
        c = ReadChainage(row.Field(i));
    } catch (const Failure& f) {
        throw Failure(f.kind(), At(row.line) + what + "：" + f.message().text);
    }
    if (c.stretch != kAnyStretch) Refuse(row.line, std::string(what) + "不用注明段号。请去掉方括号。");
    if (!(std::fabs(c.value) <= kValueLimit)) Refuse(row.line, std::string(what) + "超出了可以计算的范围。请检查桩号。");
    return c.value;
}

void RequireEmpty(const Row& row, std::size_t from, const std::string& why) {
    for (std::size_t i = from; i < row.fields.size(); ++i)
        if (!row.fields[i].empty()) Refuse(row.line, why);
}

// Equation rows taken out, in file order; the rest left in `rows`.
std::vector<ChainageEquation> TakeEquations(std::vector<Row>& rows) {
    std::vector<ChainageEquation> equations;
    std::vector<Row> rest;
    for (Row& row : rows) {
        if (row.Field(0) != kEquation) {
            rest.push_back(std::move(row));
            continue;
        }
        if (row.Field(1).empty() || row.Field(2).empty())
            Refuse(row.line, "断链行要写成“断链,断前桩号,断后桩号”，例如 断链,K1+195,K1+200。");
        RequireEmpty(row, 3, "断链行只有断前桩号和断后桩号两个数。请删除多余的内容。");
        equations.push_back({ChainageField(row, 1, "断前桩号"), ChainageField(row, 2, "断后桩号")});
    }
    rows = std::move(rest);
    return equations;
}

void RequireStart(const std::vector<Row>& rows, std::size_t atLeast, const char* what) {
    if (rows.size() < atLeast)
        throw Failure(ErrorKind::OutOfRange, std::string("文件中没有") + what + "。请检查文件内容和格式。");
}

}  // namespace

JdTableFile ReadJdTableCsv(std::string_view text) {
    std::vector<Row> rows = DataRows(text);
    JdTableFile file;
    file.equations = TakeEquations(rows);
    RequireStart(rows, 2, "起点和终点两行（交点表至少要有起点和终点）");

    const Row& first = rows.front();
    if (first.Field(1).empty()) Refuse(first.line, "起点行要填起点桩号，例如 QD,K0+000,3000,5000。");
    RequireEmpty(first, 4, "起点行的 R、Ls1、Ls2 应留空（起点没有曲线）。");
    file.table.start = {std::string(first.Field(0)), Number(first, 2, "X"), Number(first, 3, "Y")};
    file.table.startChainage = ChainageField(first, 1, "起点桩号");

    const Row& last = rows.back();
    if (!last.Field(1).empty()) Refuse(last.line, "桩号只在第一行（起点）填写，终点的桩号由程序推算。请把桩号一栏留空。");
    RequireEmpty(last, 4, "最后一行是终点，R、Ls1、Ls2 应留空；如果它是交点，请在它后面加上终点一行。");
    file.table.end = {std::string(last.Field(0)), Number(last, 2, "X"), Number(last, 3, "Y")};

    for (std::size_t k = 1; k + 1 < rows.size(); ++k) {
        const Row& row = rows[k];
        if (!row.Field(1).empty())
            Refuse(row.line, "桩号只在第一行（起点）填写，交点的桩号由程序推算。请把桩号一栏留空。");
        if (row.Field(4).empty()) Refuse(row.line, "交点要填圆曲线半径 R。");
        RequireEmpty(row, 7, "交点行只有 名称,桩号,X,Y,R,Ls1,Ls2 七栏。请删除多余的内容。");
        Jd jd;
        jd.name = row.Field(0);
        jd.X = Number(row, 2, "X");
        jd.Y = Number(row, 3, "Y");
        jd.R = Number(row, 4, "R");
        jd.Ls1 = row.Field(5).empty() ? 0 : Number(row, 5, "Ls1");
        jd.Ls2 = row.Field(6).empty() ? jd.Ls1 : Number(row, 6, "Ls2");
        file.table.jds.push_back(std::move(jd));
    }
    return file;
}

ElementTableFile ReadElementTableCsv(std::string_view text) {
    std::vector<Row> rows = DataRows(text);
    ElementTableFile file;
    file.equations = TakeEquations(rows);
    RequireStart(rows, 2, "起点行和至少一个线元");

    const Row& first = rows.front();
    if (first.Field(1).empty() || first.Field(4).empty())
        Refuse(first.line, "起点行要写成“名称,桩号,X,Y,方位角”，方位角按度.分秒，例如 QD,K0+000,3000,5000,36.5212。");
    RequireEmpty(first, 5, "起点行只有 名称,桩号,X,Y,方位角 五栏。请删除多余的内容。");
    file.table.startName = std::string(first.Field(0));
    file.table.startChainage = ChainageField(first, 1, "起点桩号");
    file.table.X = Number(first, 2, "X");
    file.table.Y = Number(first, 3, "Y");
    file.table.azimuthDms = Number(first, 4, "方位角");

    const auto radius = [](const Row& row, std::size_t i, const char* what) {
        const std::string_view f = row.Field(i);
        if (f.empty() || f == "∞" || f == "inf" || f == "INF" || f == "Inf") return kStraight;
        return Number(row, i, what);
    };
    for (std::size_t k = 1; k < rows.size(); ++k) {
        const Row& row = rows[k];
        RequireEmpty(row, 5, "线元行只有 名称,长度,起点半径,终点半径,偏向 五栏。请删除多余的内容。");
        if (row.Field(1).empty()) Refuse(row.line, "线元要填长度。");
        ElementRow e;
        e.length = Number(row, 1, "长度");
        e.Rstart = radius(row, 2, "起点半径");
        e.Rend = radius(row, 3, "终点半径");
        const std::string_view side = row.Field(4);
        if (side == "右" || side == "R" || side == "r") e.bend = Bend::Right;
        else if (side == "左" || side == "L" || side == "l") e.bend = Bend::Left;
        else if (!side.empty()) Refuse(row.line, "偏向「" + std::string(side) + "」应为“左”或“右”。");
        file.table.rows.push_back(e);
    }
    return file;
}

AlignmentCsvKind DetectAlignmentCsv(std::string_view text) {
    std::vector<Row> rows = DataRows(text);
    TakeEquations(rows);
    if (!rows.empty() && !rows.front().Field(4).empty()) return AlignmentCsvKind::ElementTable;
    return AlignmentCsvKind::JdTable;
}

}  // namespace capbeam
