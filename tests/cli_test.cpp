// The terminal front-end's contract, run in-process over string streams.

#include "cli/cli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace capbeam {
namespace {

struct CliRun {
    int status;
    std::vector<std::string> lines;  // standard output, line by line
    std::string err;
};

CliRun RunWith(const std::string& input, std::vector<std::string> args = {"--fields"}) {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    run.status = RunCli(args, in, out, err);
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) run.lines.push_back(line);
    run.err = err.str();
    return run;
}

std::vector<std::string> InitialFields() {
    std::vector<std::string> lines;
    for (int n = 1; n <= 21; ++n) {
        std::string text;
        if (n == 18) text = "          ";
        if (n == 19) text = " ";
        lines.push_back("Text" + std::to_string(n) + "=" + text);
    }
    return lines;
}

std::vector<std::string> ExampleFields() {
    std::vector<std::string> lines = InitialFields();
    lines[0] = "Text1= 3000";
    lines[1] = "Text2= 5000";
    lines[2] = "Text3=K 12+ 345.678";
    lines[3] = "Text4= 3300";
    lines[4] = "Text5= 5400";
    lines[5] = "Text6= 30.153( 度, 分，秒 )";
    lines[16] = "Text17=正偏";
    lines[17] = "Text18=500(米)";
    return lines;
}

const std::vector<std::string> kPromptLines = {
    "? 请输入圆心的纵座标  Xo",
    "? 请输入圆心的横座标  Yo",
    "? 请输入斜交盖粱设计位置的中桩桩号  Kj（以米为单位）",
    "? 请输入斜交盖粱设计位置中桩的纵座标  Xj ",
    "? 请输入斜交盖粱设计位置中桩的横座标  Yj ",
    "? 请输入盖粱与切线的交角  B,交角 (以切线为起点顺时针旋转至盖粱横轴) ",
    "? 请输入平曲线的半径  R",
    "? 请输入平曲线正偏或反偏的判别符号 P 的数值，正偏为 P>0 的正整数，反偏为 P<0 的负整数",
};

const char* const kExampleReplies = "3000\n5000\n12345.678\n3300\n5400\n30.153\n500\n1\n";

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

struct CliCase {
    const char* name;
    std::string input;
    std::vector<std::string> output;
};
void PrintTo(const CliCase& row, std::ostream* os) { *os << row.name; }

class CliContract : public ::testing::TestWithParam<CliCase> {};

TEST_P(CliContract, WritesExactly) {
    const CliCase& c = GetParam();
    const CliRun run = RunWith(c.input);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, c.output);
    EXPECT_EQ(run.err, "");
}

const std::string kNotAButton = "不是按钮。请输入 1（进行计算）、2（座标计算）或 3（退出计算）。";

INSTANTIATE_TEST_SUITE_P(
    Table, CliContract,
    ::testing::Values(
        CliCase{"EmptyInputShowsTheOpeningWindow", "", InitialFields()},
        CliCase{"ExitEndsAtOnce", "3\n1\n3000\n", InitialFields()},
        CliCase{"ExitByCaption", "退出计算\n1\n", InitialFields()},
        CliCase{"EmptyLinesAreIgnored", "\n\n\r\n", InitialFields()},
        CliCase{"UnknownLineIsAMessage", "hello\n3\n", Concat({InitialFields(), {"! 「hello」" + kNotAButton}})},
        CliCase{"WorkedExample", std::string("1\n") + kExampleReplies,
                Concat({InitialFields(), kPromptLines, ExampleFields()})},
        CliCase{"PressByCaption", std::string("进行计算\n") + kExampleReplies,
                Concat({InitialFields(), kPromptLines, ExampleFields()})},
        CliCase{"CarriageReturnsDropped", "1\r\n3000\r\n5000\r\n12345.678\r\n3300\r\n5400\r\n30.153\r\n500\r\n1\r\n3\r\n",
                Concat({InitialFields(), kPromptLines, ExampleFields()})},
        CliCase{"EndOfInputAtAPromptCancels", "1\n3000\n5000\n",
                Concat({InitialFields(), {kPromptLines[0], kPromptLines[1], kPromptLines[2]}, InitialFields()})},
        CliCase{"RefusalThenTheSamePrompt", "1\nabc\n3000\n5000\n12345.678\n3300\n5400\n30.153\n0\n500\n1\n",
                Concat({InitialFields(),
                        {kPromptLines[0],
                         "! 「abc」 不是一个数。请只输入数字，可带正负号和小数点，例如 3000 或 12.5。",
                         kPromptLines[0]},
                        {kPromptLines.begin() + 1, kPromptLines.end() - 1},
                        {"! 平曲线的半径 R 必须大于 0。请输入圆曲线中线的半径，以米为单位，例如 500。", kPromptLines[6],
                         kPromptLines[7]},
                        ExampleFields()})},
        CliCase{"FailureIsOneMessageAndTheFieldsComeBack",
                "1\n3000\n5000\n12345.678\n3000\n5000\n30.153\n500\n1\n",
                Concat({InitialFields(), kPromptLines,
                        {"! 盖梁中桩 J 与圆心 O 重合，无法确定半径方向。请检查 Xo、Yo、Xj、Yj 的数值。"},
                        InitialFields()})},
        CliCase{"WarningAndTheSetUpStands", "1\n3000\n5000\n12345.678\n3300\n5400\n30.153\n499.5\n1\n",
                Concat({InitialFields(), kPromptLines,
                        {"! J 点到圆心 O 的距离 Dj = 500 米，与平曲线半径 R = 499.5 米相差超过 0.01 米，J "
                         "可能不在平曲线上。请核对圆心和 J 点的座标以及半径；如果只是座标取整造成的差别，可以继续计算。"},
                        [] {
                            std::vector<std::string> f = ExampleFields();
                            f[17] = "Text18=499.5(米)";
                            return f;
                        }()})}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Cli, FieldsAfterEveryPress) {
    // A completed set-up, a failed one and a cancelled one: three presses, four field blocks.
    const CliRun run = RunWith(std::string("1\n") + kExampleReplies +
                           "1\n3000\n5000\n12345.678\n3000\n5000\n30.153\n500\n1\n" + "1\n3000\n");
    std::size_t blocks = 0;
    for (const std::string& line : run.lines)
        if (line.rfind("Text1=", 0) == 0) ++blocks;
    EXPECT_EQ(blocks, 4u);
    EXPECT_EQ(run.status, 0);
}

// A mistyped command line is one line on standard error that names the
// option and where the usage is, not a screenful of usage above which the
// mistake scrolls away; nothing runs.
struct OptionErrorCase {
    const char* name;
    std::vector<std::string> args;
    const char* says;
};
void PrintTo(const OptionErrorCase& row, std::ostream* os) { *os << row.name; }

class CliOptionError : public ::testing::TestWithParam<OptionErrorCase> {};

TEST_P(CliOptionError, OneLineNamingTheOptionAndTheHelp) {
    const OptionErrorCase& c = GetParam();
    const CliRun run = RunWith("1\n", c.args);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.lines.empty());
    EXPECT_EQ(run.err.rfind("capbeam-cli: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("capbeam-cli --help"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CliOptionError,
    ::testing::Values(OptionErrorCase{"Unknown", {"--nonsense"}, "不认识的选项 --nonsense"},
                      OptionErrorCase{"UnknownAfterAGoodOne", {"--fields", "-x"}, "不认识的选项 -x"},
                      OptionErrorCase{"BatchOptionWithoutBatch", {"--dr", "10"}, "不认识的选项 --dr"},
                      OptionErrorCase{"OrientationMisspelt", {"--orientation", "tangential"}, "「tangential」"},
                      OptionErrorCase{"OrientationEmpty", {"--orientation="}, "--orientation 只能是 parallel 或 tangent"},
                      OptionErrorCase{"OrientationWithoutValue", {"--fields", "--orientation"}, "--orientation 后面缺少"}),
    [](const auto& info) { return std::string(info.param.name); });

// --orientation turns the beams of the interactive front-end as the
// window's choice does: the README's tangent example, 30 degrees round from
// J, has the design beam's lengths and both ends on the easting 2250.
const char* const kTangentExample =
    "1\n1000\n2000\n1000\n1500\n2000\n60\n500\n1\n2\n1261.7993877916667\n10\n0.001\n";
const std::vector<std::string> kTangentResults = {
    "Text8=K 1+ 267.711", "Text9=1421.426", "Text10=2250",     "Text11=11.587(米)", "Text12=K 1+ 256.157",
    "Text13=1444.522",    "Text14=2250",    "Text15=11.51(米)", "Text19=1433.013",   "Text20=2250"};

bool Shows(const CliRun& run, const std::string& line) {
    return std::find(run.lines.begin(), run.lines.end(), line) != run.lines.end();
}

TEST(Cli, OrientationTangentGivesTheTangentExample) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--fields", "--orientation", "tangent"},
                                                 std::vector<std::string>{"--orientation=tangent", "--fields"}}) {
        const CliRun run = RunWith(kTangentExample, args);
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.err, "");
        for (const std::string& line : kTangentResults) EXPECT_TRUE(Shows(run, line)) << args[0] << ": " << line;
    }
}

TEST(Cli, OrientationParallelIsTheDefault) {
    const CliRun byDefault = RunWith(kTangentExample);
    const CliRun parallel = RunWith(kTangentExample, {"--fields", "--orientation", "parallel"});
    EXPECT_EQ(parallel.status, 0);
    EXPECT_EQ(parallel.lines, byDefault.lines);
    EXPECT_FALSE(Shows(parallel, "Text9=1421.426"));  // the beam keeps the design beam's direction instead
}

TEST(Cli, ReadableWindowWithoutFields) {
    const CliRun run = RunWith(std::string("1\n") + kExampleReplies, {});
    EXPECT_EQ(run.status, 0);
    bool shown = false;
    for (const std::string& line : run.lines) shown = shown || line.find("K 12+ 345.678") != std::string::npos;
    EXPECT_TRUE(shown);
}

}  // namespace
}  // namespace capbeam

namespace capbeam {
namespace {

// A script that reads the boxes from a full disk or a closed pipe must not
// take the run for one that worked.
TEST(Cli, LostOutputIsAFailure) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--fields"}, std::vector<std::string>{}}) {
        std::istringstream in(std::string("1\n") + "3000\n5000\n12345.678\n3300\n5400\n30.153\n500\n1\n");
        std::ostringstream out;
        out.setstate(std::ios::badbit);
        std::ostringstream err;
        EXPECT_EQ(RunCli(args, in, out, err), 3);
        EXPECT_NE(err.str().find("无法写出"), std::string::npos);
    }
}

}  // namespace
}  // namespace capbeam
