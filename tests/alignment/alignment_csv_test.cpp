#include "records/alignment_csv.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

#include "core/failure.h"
#include "geometry/road.h"
#include "records/chainage_text.h"

namespace capbeam {
namespace {

std::string Refusal(std::string_view text, bool jd = true) {
    try {
        if (jd) ReadJdTableCsv(text); else ReadElementTableCsv(text);
    } catch (const Failure& f) {
        return f.message().text;
    }
    return "accepted";
}

TEST(ChainageText, ReadsMetresKNotationAndStretches) {
    struct Row {
        const char* text;
        double value;
        int stretch;
    };
    const Row rows[] = {
        {"1234.567", 1234.567, kAnyStretch},  {"K1+234.567", 1234.567, kAnyStretch},
        {"k12+005", 12005, kAnyStretch},      {"K 1+ 234.567", 1234.567, kAnyStretch},
        {"K0+-250", -250, kAnyStretch},       {" K1+205[1] ", 1205, 1},
        {"K1+205 [0]", 1205, 0},              {"-12.5", -12.5, kAnyStretch},
        {"Ｋ1+２００", 1200, kAnyStretch},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        const Chainage c = ReadChainage(row.text);
        EXPECT_DOUBLE_EQ(c.value, row.value);
        EXPECT_EQ(c.stretch, row.stretch);
    }
    for (const char* bad : {"", "K1", "K+200", "K1+", "K1.5+200", "abc", "K1+2[x]", "K1+2[]", "K1+2]", "[1]", "K1e400+0", "nan"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(ReadChainage(bad), Failure);
    }
}

TEST(AlignmentCsv, ReadsAJdTableWithEverythingTheFormatAllows) {
    const std::string text =
        "\xEF\xBB\xBF# 某桥 路线交点表\n"
        "名称,桩号,X,Y,R,Ls1,Ls2\n"
        "QD,K0+900,3000.000,5000.000,,,\n"
        "\n"
        "JD1,,3400.5,5300,600,120   # equal spirals\r\n"
        "JD2\t\t3650\t5900\t800\t100\t0\n"
        "\"JD3\",,4000,6300,500,,\n"
        "断链,K1+100,K1+095.5\n"
        "ZD,,3800,6900\n"
        "断链,K2+000,K2+010\n";
    const JdTableFile file = ReadJdTableCsv(text);
    EXPECT_EQ(file.table.start.name, "QD");
    EXPECT_EQ(file.table.startChainage, 900);
    EXPECT_EQ(file.table.start.X, 3000);
    ASSERT_EQ(file.table.jds.size(), 3u);
    EXPECT_EQ(file.table.jds[0].name, "JD1");
    EXPECT_EQ(file.table.jds[0].X, 3400.5);
    EXPECT_EQ(file.table.jds[0].Ls1, 120);
    EXPECT_EQ(file.table.jds[0].Ls2, 120);  // an empty Ls2 is Ls1
    EXPECT_EQ(file.table.jds[1].Y, 5900);   // tab-separated
    EXPECT_EQ(file.table.jds[1].Ls2, 0);
    EXPECT_EQ(file.table.jds[2].name, "JD3");
    EXPECT_EQ(file.table.jds[2].Ls1, 0);
    EXPECT_EQ(file.table.jds[2].Ls2, 0);
    EXPECT_EQ(file.table.end.name, "ZD");
    EXPECT_EQ(file.table.end.Y, 6900);
    ASSERT_EQ(file.equations.size(), 2u);
    EXPECT_EQ(file.equations[0].back, 1100);
    EXPECT_EQ(file.equations[0].ahead, 1095.5);
    EXPECT_EQ(file.equations[1].ahead, 2010);
    EXPECT_EQ(DetectAlignmentCsv(text), AlignmentCsvKind::JdTable);
}

TEST(AlignmentCsv, ReadsAnElementTable) {
    const std::string text =
        "# 名称,桩号,X,Y,方位角\n"
        "QD,K0+000,3000,5000,36.5212\n"
        "直线,120,,,\n"
        "缓和曲线,80,∞,400,右\n"
        "圆曲线,150.5,400,400,右\n"
        "卵形曲线,60,400,900,R\n"
        "缓和曲线,45,900,inf,右\n"
        "反向,30,∞,300,左\n";
    const ElementTableFile file = ReadElementTableCsv(text);
    EXPECT_EQ(file.table.azimuthDms, 36.5212);
    ASSERT_EQ(file.table.rows.size(), 6u);
    EXPECT_TRUE(std::isinf(file.table.rows[0].Rstart));
    EXPECT_EQ(file.table.rows[0].bend, Bend::None);
    EXPECT_TRUE(std::isinf(file.table.rows[1].Rstart));
    EXPECT_EQ(file.table.rows[1].Rend, 400);
    EXPECT_EQ(file.table.rows[3].bend, Bend::Right);
    EXPECT_TRUE(std::isinf(file.table.rows[4].Rend));
    EXPECT_EQ(file.table.rows[5].bend, Bend::Left);
    EXPECT_EQ(DetectAlignmentCsv(text), AlignmentCsvKind::ElementTable);
    EXPECT_NO_THROW(AlignmentFromElementTable(file.table));
}

// The published exam curve typed as a JD-table file in K notation, with a
// short chain behind it: the main points' chainages as the table lists them,
// to one unit of the published last digit.
TEST(AlignmentCsv, PublishedCurveFromAFileWithAChainageEquation) {
    const double out = (22 + 33 / 60.0) * 3.14159265358979323846 / 180;
    char end[64];
    std::snprintf(end, sizeof end, "ZD,,%.6f,%.6f\n", 199.25 + 300 * std::cos(out), 300 * std::sin(out));
    const std::string text = "QD,K0+000,0,0\nJD,,199.25,0,152.45,60,60\n" + std::string(end) + "断链,K0+300,K0+310\n";
    const JdTableFile file = ReadJdTableCsv(text);
    const JdAlignment a = AlignmentFromJdTable(file.table);
    const Road road(a.line, ChainageEquations(file.table.startChainage, file.equations));
    const JdCurve& c = a.curves.at(0);
    EXPECT_EQ(c.turn, 1);
    EXPECT_NEAR(road.ChainageOf(c.points.front().distance).value, 138.70, 0.01);
    EXPECT_NEAR(road.ChainageOf(c.points.back().distance).value, 258.70, 0.01);
    // The line's end, 300 - T2 + HZ along: past the chain, 10 m more.
    EXPECT_NEAR(road.ChainageOf(road.Line().EndDistance()).value, 258.70 + 300 - 60.55 + 10, 0.02);
    EXPECT_THROW(road.At({305}), Failure);  // in the short chain's gap
}

// Each refusal names the line it is on and what is wrong there.
TEST(AlignmentCsv, RefusesBrokenJdTablesNamingTheLine) {
    struct Row {
        const char* name;
        const char* text;
        const char* says;
    };
    const Row rows[] = {
        {"empty", "# nothing\n", "没有起点和终点"},
        {"one_row", "QD,0,1,2\n", "没有起点和终点"},
        {"no_start_chainage", "QD,,1,2\nZD,,3,4\n", "第 1 行：起点行要填起点桩号"},
        {"radius_on_start", "QD,0,1,2,300\nZD,,3,4\n", "第 1 行：起点行的 R"},
        {"chainage_on_jd", "QD,0,1,2\nJD1,K0+500,3,4,300\nZD,,5,9\n", "第 2 行：桩号只在第一行"},
        {"radius_missing", "QD,0,1,2\nJD1,,3,4,,30\nZD,,5,9\n", "第 2 行：交点要填圆曲线半径"},
        {"radius_on_end", "QD,0,1,2\nJD1,,300,4,300\nZD,,5,900,200\n", "第 3 行：最后一行是终点"},
        {"not_a_number", "QD,0,1,2\nJD1,,3,四,300\nZD,,5,9\n", "第 2 行：Y："},
        {"nan", "QD,0,nan,2\nZD,,5,9\n", "第 1 行：X"},
        {"huge", "QD,0,1e308,2\nZD,,5,9\n", "第 1 行：X超出了可以计算的范围"},
        {"beyond_double", "QD,0,1,2\nZD,,1e400,9\n", "第 2 行：X："},
        {"too_many_fields", "QD,0,1,2\nJD1,,3,4,300,20,20,7\nZD,,5,9\n", "第 2 行：交点行只有"},
        {"equation_half", "QD,0,1,2\n断链,K0+100\nZD,,5,9\n", "第 2 行：断链行要写成"},
        {"equation_bad", "QD,0,1,2\n断链,K0+100,K0+1x\nZD,,5,9\n", "第 2 行：断后桩号"},
        {"equation_stretch", "QD,0,1,2\n断链,K0+100[1],K0+110\nZD,,5,9\n", "不用注明段号"},
        {"bad_chainage", "QD,K0,1,2\nZD,,5,9\n", "第 1 行：起点桩号"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string message = Refusal(row.text);
        EXPECT_NE(message.find(row.says), std::string::npos) << message;
    }
}

TEST(AlignmentCsv, RefusesBrokenElementTablesNamingTheLine) {
    struct Row {
        const char* name;
        const char* text;
        const char* says;
    };
    const Row rows[] = {
        {"no_azimuth", "QD,0,1,2\n直线,100,,,\n", "第 1 行：起点行要写成"},
        {"no_element", "QD,0,1,2,30\n", "没有起点行和至少一个线元"},
        {"no_length", "QD,0,1,2,30\nC,,300,300,右\n", "第 2 行：线元要填长度"},
        {"bad_side", "QD,0,1,2,30\nC,50,300,300,上\n", "第 2 行：偏向「上」"},
        {"bad_radius", "QD,0,1,2,30\nC,50,abc,300,右\n", "第 2 行：起点半径"},
        {"extra_field", "QD,0,1,2,30\nC,50,300,300,右,9\n", "第 2 行：线元行只有"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string message = Refusal(row.text, false);
        EXPECT_NE(message.find(row.says), std::string::npos) << message;
    }
}

// Hostile sizes are refused at once: a file beyond 4 MB, and more rows than
// any road has, each well within a second.
TEST(AlignmentCsv, RefusesHostileSizesQuickly) {
    const auto started = std::chrono::steady_clock::now();
    EXPECT_NE(Refusal(std::string(5 << 20, '1')).find("文件太大"), std::string::npos);
    std::string rows = "QD,0,0,0\n";
    for (int i = 0; i < 6000; ++i) rows += "JD,," + std::to_string(i * 100) + "," + std::to_string(i % 2 * 100) + ",50\n";
    EXPECT_NE(Refusal(rows).find("行数超过"), std::string::npos);
    std::string wide = "QD,0,0,0";
    wide += std::string(100000, ',');
    EXPECT_NE(Refusal(wide).find("字段太多"), std::string::npos);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
}

}  // namespace
}  // namespace capbeam
