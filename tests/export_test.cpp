// The pier table as text for other programs, read back by small parsers
// written here (not by the code under test): the worked example's figures as
// the README gives them, as numbers with three decimals beside the K texts;
// every other row agrees with what its boxes showed; the CASS points are east
// before north.

#include "records/export.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string_view>

#include "flows/calculator.h"
#include "core/text_formats.h"
#include "tests/calc_fixture.h"
#include "tests/row_boxes.h"
#include "tests/scripted_view.h"

namespace capbeam::test {
namespace {

using Records = std::vector<std::vector<std::string>>;

constexpr char kBom[] = "\xEF\xBB\xBF";

// RFC 4180 as a spreadsheet reads it: fields in quotes may hold commas, CR,
// LF and doubled quotes; records end in CR LF. A bare LF or CR outside
// quotes, or text after a closing quote, fails the test.
Records ParseCsv(std::string_view text) {
    Records records;
    std::vector<std::string> record;
    std::string field;
    std::size_t i = 0;
    bool fieldStarted = false;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"' && field.empty() && !fieldStarted) {
            fieldStarted = true;
            ++i;
            for (;;) {
                if (i >= text.size()) {
                    ADD_FAILURE() << "unterminated quote";
                    return records;
                }
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
            if (i < text.size() && text[i] != ',' && text[i] != '\r')
                ADD_FAILURE() << "text after a closing quote at " << i;
            continue;
        }
        if (c == ',') {
            record.push_back(std::move(field));
            field.clear();
            fieldStarted = false;
            ++i;
        } else if (c == '\r') {
            if (i + 1 >= text.size() || text[i + 1] != '\n') ADD_FAILURE() << "CR without LF at " << i;
            record.push_back(std::move(field));
            field.clear();
            fieldStarted = false;
            records.push_back(std::move(record));
            record.clear();
            i += 2;
        } else if (c == '\n') {
            ADD_FAILURE() << "LF without CR at " << i;
            ++i;
        } else {
            field += c;
            fieldStarted = true;
            ++i;
        }
    }
    EXPECT_TRUE(record.empty() && field.empty()) << "the last record has no line end";
    return records;
}

std::vector<std::string> Split(const std::string& line, char separator) {
    std::vector<std::string> cells;
    std::string cell;
    std::istringstream in(line);
    while (std::getline(in, cell, separator)) cells.push_back(cell);
    if (!line.empty() && line.back() == separator) cells.emplace_back();
    return cells;
}

std::vector<std::string> Lines(const std::string& text, const std::string& end) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(end, from)) != std::string::npos; from = at + end.size())
        lines.push_back(text.substr(from, at - from));
    EXPECT_EQ(from, text.size()) << "text after the last line end";
    return lines;
}

// Two set-ups of a run in the window, with requests on both: the worked
// example's right-hand curve about (1000, 2000), and a left-hand one in
// negative coordinates. `boxes` gets, for each request, the eleven boxes that
// a row copies, as the window showed them.
PierTable WindowTable(std::vector<std::vector<std::string>>* boxes = nullptr) {
    ScriptedView view;
    Calculator logic(view);
    const auto request = [&](const char* Kp, const char* Dr) {
        view.Replies({Kp, Dr, "0.001"});
        EXPECT_TRUE(logic.ComputeBeamClicked());
        if (!boxes) return;
        boxes->emplace_back();
        for (const Box b : kRowBoxes) boxes->back().push_back(logic.Text(b));
    };
    view.Replies(SetUpReplies({"1000", "2000", "1000", "1500", "2000", "60", "500", "1"}));
    EXPECT_TRUE(logic.SetUpCurveClicked());
    for (const char* Kp : {"1020", "980", "1000"}) request(Kp, "10");
    view.Replies(SetUpReplies({"-1000", "-2000", "3000", "-1000", "-1750", "120", "250", "-1"}));
    EXPECT_TRUE(logic.SetUpCurveClicked());
    for (const char* Kp : {"3010.5", "2990"}) request(Kp, "8.25");
    EXPECT_EQ(logic.Table().RowCount(), 5u);
    return logic.Table();
}

const std::vector<std::string> kTitles = {
    "中桩桩号 Kp",          "中桩桩号 Kp (米)",      "中桩纵座标 X (米)",     "中桩横座标 Y (米)",
    "内侧端点桩号 K",       "内侧端点桩号 K (米)",   "内侧端点纵座标 X (米)", "内侧端点横座标 Y (米)",
    "内侧长度 L (米)",      "外侧端点桩号 K",        "外侧端点桩号 K (米)",   "外侧端点纵座标 X (米)",
    "外侧端点横座标 Y (米)", "外侧长度 L (米)"};

const char kExampleHeader[] =
    "第 1 组：圆心 ( 1000, 2000)  R 500(米) 正偏  设计中桩 K 1+ 0 ( 1500, 2000)  B 60( 度, 分，秒 )";

// The worked example's three requests (B = 60, R = 500, Dr = 10), the figures
// of the README (Kp 1020 and 980) and of the window at the design chainage,
// in the exported columns.
const std::vector<std::vector<std::string>> kExampleCells = {
    {"K 1+ 20", "1020", "1499.600", "2019.995", "K 1+ 26.475", "1026.475", "1489.313", "2025.934", "11.878",
     "K 1+ 13.828", "1013.828", "1509.805", "2014.103", "11.784"},
    {"K 0+ 980", "980", "1499.600", "1980.005", "K 0+ 985.374", "985.374", "1489.790", "1985.669", "11.327",
     "K 0+ 974.865", "974.865", "1509.356", "1974.373", "11.265"},
    {"K 1+ 0", "1000", "1500.000", "2000.000", "K 1+ 5.912", "1005.912", "1489.966", "2005.793", "11.587",
     "K 0+ 994.358", "994.358", "1509.968", "1994.245", "11.510"},
};

// A K text read back as metres, by its own rule: "K-1+-250" is -1250.
double MetresOfKText(const std::string& text) {
    const std::size_t plus = text.find('+');
    EXPECT_EQ(text.rfind("K", 0), 0u) << text;
    EXPECT_NE(plus, std::string::npos) << text;
    return 1000 * std::strtod(text.substr(1, plus - 1).c_str(), nullptr) + std::strtod(text.substr(plus + 1).c_str(), nullptr);
}

// A cell a spreadsheet takes for a number with millimetres: an optional minus,
// digits, a point and exactly three digits; never a minus before zero.
void ExpectMillimetres(const std::string& cell) {
    const std::size_t point = cell.find('.');
    ASSERT_NE(point, std::string::npos) << cell;
    EXPECT_EQ(cell.size() - point - 1, 3u) << cell;
    const std::size_t digitsFrom = cell[0] == '-' ? 1 : 0;
    EXPECT_GT(point, digitsFrom) << cell;
    EXPECT_EQ(cell.find_first_not_of("0123456789.", digitsFrom), std::string::npos) << cell;
    if (cell[0] == '-') {
        EXPECT_NE(std::strtod(cell.c_str(), nullptr), 0.0) << cell;
    }
}

// The exported cells of a row that is not the worked example's, against the
// boxes the window showed for it (Kp, X, Y, K, X, Y, L, K, X, Y, L): the K
// texts as shown, every number the box's value, with three decimals (Kp as
// typed).
void ExpectCellsOfBoxes(const std::vector<std::string>& cells, const std::vector<std::string>& boxes,
                        const std::string& typedKp) {
    ASSERT_EQ(cells.size(), kTitles.size());
    ASSERT_EQ(boxes.size(), 11u);
    const std::size_t boxOfCell[] = {0, 0, 1, 2, 3, 3, 4, 5, 6, 7, 7, 8, 9, 10};
    for (std::size_t c = 0; c < cells.size(); ++c) {
        SCOPED_TRACE(kTitles[c] + " = " + cells[c]);
        const std::string& box = boxes[boxOfCell[c]];
        if (kTitles[c].find("(米)") == std::string::npos) {
            EXPECT_EQ(cells[c], box);
        } else if (c == 1) {
            EXPECT_EQ(cells[c], typedKp);
        } else if (box.rfind("K", 0) == 0) {
            ExpectMillimetres(cells[c]);
            // km * 1000 + m, added here in binary: equal to well within a micrometre.
            EXPECT_NEAR(std::strtod(cells[c].c_str(), nullptr), MetresOfKText(box), 1e-6);
        } else {
            ExpectMillimetres(cells[c]);
            EXPECT_EQ(cells[c].find("米"), std::string::npos);
            EXPECT_EQ(std::strtod(cells[c].c_str(), nullptr), std::strtod(box.c_str(), nullptr));
        }
    }
}

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(Csv, WorkedExampleAsNumbersBesideTheKTexts) {
    std::vector<std::vector<std::string>> boxes;
    const PierTable table = WindowTable(&boxes);
    for (const bool bom : {true, false}) {
        SCOPED_TRACE(bom ? "with mark" : "without mark");
        const std::string csv = TableCsv(table, bom);
        ASSERT_EQ(csv.rfind(kBom, 0) == 0, bom);
        const Records records = ParseCsv(bom ? std::string_view(csv).substr(3) : std::string_view(csv));
        ASSERT_EQ(records.size(), 6u);
        EXPECT_EQ(records[0], Concat(Concat({"序号", "组号", "盖梁方向"}, kTitles), {"平曲线设定"}));
        for (std::size_t r = 0; r < kExampleCells.size(); ++r)
            EXPECT_EQ(records[r + 1],
                      Concat(Concat({std::to_string(r + 1), "1", "平行于设计盖梁"}, kExampleCells[r]), {kExampleHeader}));
        const char* const typed[] = {"3010.5", "2990"};
        for (std::size_t r = 4; r <= 5; ++r) {
            SCOPED_TRACE("row " + std::to_string(r));
            const std::vector<std::string>& record = records[r];
            ASSERT_EQ(record.size(), 3 + kTitles.size() + 1);
            EXPECT_EQ(record[0], std::to_string(r));
            EXPECT_EQ(record[1], "2");
            EXPECT_EQ(record.back().rfind("第 2 组：圆心 ( -1000, -2000)  R 250(米) 反偏", 0), 0u) << record.back();
            ExpectCellsOfBoxes({record.begin() + 3, record.end() - 1}, boxes[r - 1], typed[r - 4]);
        }
    }
}

// Texts that a CSV writer must protect: blanks at either end, commas,
// quotes, line breaks, and nothing at all, in the K texts that are copied.
PierTable AwkwardTable() {
    PierTable table;
    table.StartGroup(CurveInputs{}, Curve{}, DesignBeam{});  // its header has commas and blanks
    PierRow row;
    row.texts = {" 3000", "", "", "a,b", "", "", "", "say \"x\"\r\nlf\nonly", "", "", ""};
    row.ends.Xk = -0.0004;  // rounds to zero: no minus
    row.ends.Lin = 11.8125;  // exactly a half millimetre over 11.812
    table.Add(row);
    row.orientation = Orientation::Tangent;
    row.texts[3] = " trailing ";
    table.Add(row);
    return table;
}

TEST(Csv, AwkwardTextsRoundTrip) {
    const PierTable table = AwkwardTable();
    const Records records = ParseCsv(std::string_view(TableCsv(table, true)).substr(3));
    ASSERT_EQ(records.size(), 3u);
    const std::vector<std::string> kInner = {"a,b", " trailing "};
    const std::vector<std::string> kOrientation = {"平行于设计盖梁", "与切线保持交角 B"};
    for (std::size_t r = 1; r <= 2; ++r) {
        const std::vector<std::string>& record = records[r];
        ASSERT_EQ(record.size(), 18u);
        EXPECT_EQ(record[2], kOrientation[r - 1]);
        EXPECT_EQ(record[3], " 3000");
        EXPECT_EQ(record[5], "0.000");  // X of -0.0004
        EXPECT_EQ(record[7], kInner[r - 1]);
        EXPECT_EQ(record[11], "11.812");  // the half goes to the even digit
        EXPECT_EQ(record[12], "say \"x\"\r\nlf\nonly");
        EXPECT_EQ(record[17], table.Groups()[0].header);
    }
}

TEST(Csv, EmptyTableIsTheTitleLine) {
    const Records records = ParseCsv(TableCsv(PierTable{}, false));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].size(), 3u + kTitles.size() + 1u);
}

TEST(Tsv, TitlesGroupHeadersAndRows) {
    std::vector<std::vector<std::string>> boxes;
    const PierTable table = WindowTable(&boxes);
    const std::vector<std::string> lines = Lines(TableTsv(table), "\n");
    ASSERT_EQ(lines.size(), 1u + 2u + 5u);
    EXPECT_EQ(Split(lines[0], '\t'), Concat({"序号", "盖梁方向"}, kTitles));
    EXPECT_EQ(lines[1], kExampleHeader);
    for (std::size_t r = 0; r < kExampleCells.size(); ++r)
        EXPECT_EQ(Split(lines[r + 2], '\t'), Concat({std::to_string(r + 1), "平行于设计盖梁"}, kExampleCells[r]));
    EXPECT_EQ(lines[5], table.Groups()[1].header);
    const char* const typed[] = {"3010.5", "2990"};
    for (std::size_t r = 4; r <= 5; ++r) {
        const std::vector<std::string> cells = Split(lines[r + 2], '\t');
        ASSERT_EQ(cells.size(), 2 + kTitles.size());
        EXPECT_EQ(cells[0], std::to_string(r));
        ExpectCellsOfBoxes({cells.begin() + 2, cells.end()}, boxes[r - 1], typed[r - 4]);
    }
}

TEST(Tsv, NoTextBreaksTheShape) {
    const std::vector<std::string> lines = Lines(TableTsv(AwkwardTable()), "\n");
    ASSERT_EQ(lines.size(), 4u);
    for (std::size_t l : {2u, 3u}) EXPECT_EQ(Split(lines[l], '\t').size(), 2u + kTitles.size());
}

TEST(Cass, WorkedExampleEastBeforeNorthWithThreeDecimals) {
    std::vector<std::vector<std::string>> boxes;
    const PierTable table = WindowTable(&boxes);
    const std::string cass = CassPoints(table);
    for (const char c : cass) ASSERT_LT(static_cast<unsigned char>(c), 0x80u) << "names and numbers are ASCII";
    const std::vector<std::string> lines = Lines(cass, "\r\n");
    ASSERT_EQ(lines.size(), 15u);
    const std::vector<std::string> example = {
        "P1-C,,2019.995,1499.600,", "P1-IN,,2025.934,1489.313,", "P1-OUT,,2014.103,1509.805,",
        "P2-C,,1980.005,1499.600,", "P2-IN,,1985.669,1489.790,", "P2-OUT,,1974.373,1509.356,",
        "P3-C,,2000.000,1500.000,", "P3-IN,,2005.793,1489.966,", "P3-OUT,,1994.245,1509.968,"};
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 9), example);

    // The left-hand curve's rows: the boxes' values, easting first.
    const char* const suffixes[] = {"-C", "-IN", "-OUT"};
    const std::size_t boxX[] = {1, 4, 8};
    for (std::size_t r = 4; r <= 5; ++r) {
        for (std::size_t p = 0; p < 3; ++p) {
            const std::string& line = lines[3 * (r - 1) + p];
            SCOPED_TRACE(line);
            const std::vector<std::string> f = Split(line, ',');
            ASSERT_EQ(f.size(), 5u);
            EXPECT_EQ(f[0], "P" + std::to_string(r) + suffixes[p]);
            EXPECT_EQ(f[1], "");
            ExpectMillimetres(f[2]);
            ExpectMillimetres(f[3]);
            EXPECT_EQ(std::strtod(f[2].c_str(), nullptr), std::strtod(boxes[r - 1][boxX[p] + 1].c_str(), nullptr));
            EXPECT_EQ(std::strtod(f[3].c_str(), nullptr), std::strtod(boxes[r - 1][boxX[p]].c_str(), nullptr));
            EXPECT_EQ(f[4], "");
        }
    }
}

TEST(Cass, NoMinusBeforeZero) {
    const std::vector<std::string> lines = Lines(CassPoints(AwkwardTable()), "\r\n");
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "P1-C,,0.000,0.000,");
}

}  // namespace
}  // namespace capbeam::test
