// The pier table as text for other programs: read back by small parsers
// written here (not by the code under test), every field must be the box's
// text exactly; the CASS points must be east before north.

#include "records/export.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "flows/calculator.h"
#include "core/text_formats.h"
#include "tests/calc_fixture.h"
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

// Two set-ups of a run in the window, with requests on both: a right-hand
// curve about (1000, 2000) and a left-hand one in negative coordinates.
PierTable WindowTable() {
    ScriptedView view;
    Calculator logic(view);
    view.Replies(SetUpReplies({"1000", "2000", "1000", "1500", "2000", "60", "500", "1"}));
    EXPECT_TRUE(logic.SetUpCurveClicked());
    for (const char* Kp : {"1020", "980", "1000"}) {
        view.Replies({Kp, "10", "0.001"});
        EXPECT_TRUE(logic.ComputeBeamClicked());
    }
    view.Replies(SetUpReplies({"-1000", "-2000", "3000", "-1000", "-1750", "120", "250", "-1"}));
    EXPECT_TRUE(logic.SetUpCurveClicked());
    for (const char* Kp : {"3010.5", "2990"}) {
        view.Replies({Kp, "8.25", "0.001"});
        EXPECT_TRUE(logic.ComputeBeamClicked());
    }
    EXPECT_EQ(logic.Table().RowCount(), 5u);
    return logic.Table();
}

// Texts that a CSV writer must protect: blanks at either end, commas,
// quotes, line breaks, and nothing at all.
PierTable AwkwardTable() {
    PierTable table;
    table.StartGroup(CurveInputs{}, Curve{}, DesignBeam{});  // its header has commas and blanks
    PierRow row;
    row.texts = {" 3000", "a,b", "say \"x\"", "two\r\nlines", "", "  ", "trailing ", "\"", ",", "lf\nonly", "K 1+ 26.475"};
    table.Add(row);
    row.orientation = Orientation::Tangent;
    table.Add(row);
    return table;
}

const char* ExpectedOrientationText(Orientation o) { return o == Orientation::Tangent ? "与切线保持交角 B" : "平行于设计盖梁"; }

void ExpectCsvRoundTrip(const PierTable& table, bool bom) {
    const std::string csv = TableCsv(table, bom);
    ASSERT_EQ(csv.rfind(kBom, 0) == 0, bom);
    const Records records = ParseCsv(bom ? std::string_view(csv).substr(3) : std::string_view(csv));
    ASSERT_EQ(records.size(), table.RowCount() + 1);

    std::vector<std::string> titles = {"序号", "组号", "盖梁方向"};
    titles.insert(titles.end(), kPierColumnTitles.begin(), kPierColumnTitles.end());
    titles.push_back("平曲线设定");
    EXPECT_EQ(records[0], titles);

    std::size_t r = 1;
    for (const PierGroup& group : table.Groups()) {
        for (const PierRow& row : group.rows) {
            SCOPED_TRACE("row " + std::to_string(row.number));
            std::vector<std::string> expected = {std::to_string(row.number), std::to_string(group.number),
                                                 ExpectedOrientationText(row.orientation)};
            expected.insert(expected.end(), row.texts.begin(), row.texts.end());
            expected.push_back(group.header);
            EXPECT_EQ(records[r++], expected);
        }
    }
}

TEST(Csv, WindowTableRoundTripsWithAndWithoutMark) {
    const PierTable table = WindowTable();
    ExpectCsvRoundTrip(table, true);
    ExpectCsvRoundTrip(table, false);
}

TEST(Csv, AwkwardTextsRoundTrip) { ExpectCsvRoundTrip(AwkwardTable(), true); }

TEST(Csv, EmptyTableIsTheTitleLine) {
    const Records records = ParseCsv(TableCsv(PierTable{}, false));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].size(), 3u + kPierColumnCount + 1u);
}

TEST(Tsv, TitlesGroupHeadersAndRows) {
    const PierTable table = WindowTable();
    const std::vector<std::string> lines = Lines(TableTsv(table), "\n");
    ASSERT_EQ(lines.size(), 1 + table.Groups().size() + table.RowCount());

    std::vector<std::string> titles = {"序号", "盖梁方向"};
    titles.insert(titles.end(), kPierColumnTitles.begin(), kPierColumnTitles.end());
    EXPECT_EQ(Split(lines[0], '\t'), titles);
    std::size_t l = 1;
    for (const PierGroup& group : table.Groups()) {
        EXPECT_EQ(lines[l++], group.header);
        for (const PierRow& row : group.rows) {
            std::vector<std::string> expected = {std::to_string(row.number), ExpectedOrientationText(row.orientation)};
            expected.insert(expected.end(), row.texts.begin(), row.texts.end());
            EXPECT_EQ(Split(lines[l++], '\t'), expected);
        }
    }
}

TEST(Tsv, NoTextBreaksTheShape) {
    const std::vector<std::string> lines = Lines(TableTsv(AwkwardTable()), "\n");
    ASSERT_EQ(lines.size(), 4u);
    for (std::size_t l : {2u, 3u}) EXPECT_EQ(Split(lines[l], '\t').size(), 2u + kPierColumnCount);
}

TEST(Cass, PointsEastBeforeNorthAsTheBoxesShowThem) {
    const PierTable table = WindowTable();
    const std::string cass = CassPoints(table);
    for (const char c : cass) ASSERT_LT(static_cast<unsigned char>(c), 0x80u) << "names and numbers are ASCII";
    const std::vector<std::string> lines = Lines(cass, "\r\n");
    ASSERT_EQ(lines.size(), 3 * table.RowCount());

    struct Point {
        const char* suffix;
        PierColumn X, Y;
        double BeamEnds::*x;
        double BeamEnds::*y;
    };
    const Point points[] = {{"-C", PierColumn::Xk, PierColumn::Yk, &BeamEnds::Xk, &BeamEnds::Yk},
                            {"-IN", PierColumn::Xin, PierColumn::Yin, &BeamEnds::Xin, &BeamEnds::Yin},
                            {"-OUT", PierColumn::Xout, PierColumn::Yout, &BeamEnds::Xout, &BeamEnds::Yout}};
    std::size_t l = 0;
    for (const PierGroup& group : table.Groups()) {
        for (const PierRow& row : group.rows) {
            for (const Point& p : points) {
                SCOPED_TRACE(lines[l]);
                const std::vector<std::string> f = Split(lines[l++], ',');
                ASSERT_EQ(f.size(), 5u);
                EXPECT_EQ(f[0], "P" + std::to_string(row.number) + p.suffix);
                EXPECT_EQ(f[1], "");
                // The box's text without its leading blank, and by its meaning:
                // the easting first, the northing second, both as rounded.
                EXPECT_EQ(" " + f[2] == row.Text(p.Y) || f[2] == row.Text(p.Y), true);
                EXPECT_EQ(" " + f[3] == row.Text(p.X) || f[3] == row.Text(p.X), true);
                EXPECT_EQ(std::strtod(f[2].c_str(), nullptr), Round3(row.ends.*p.y));
                EXPECT_EQ(std::strtod(f[3].c_str(), nullptr), Round3(row.ends.*p.x));
                EXPECT_EQ(f[4], "");
            }
        }
    }
}

}  // namespace
}  // namespace capbeam::test
