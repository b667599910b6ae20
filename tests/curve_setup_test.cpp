// The curve set-up ("进行计算") driven through the window's logic with scripted replies.

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <optional>
#include <string>
#include <vector>

#include "flows/form_layout.h"
#include "flows/calculator.h"
#include "tests/scripted_view.h"

namespace capbeam {
namespace {

using test::FieldTexts;
using test::ScriptedView;
using Replies = std::vector<std::optional<std::string>>;

const std::array<std::string, 8> kPrompts = {
    "请输入圆心的纵座标  Xo",
    "请输入圆心的横座标  Yo",
    "请输入斜交盖粱设计位置的中桩桩号  Kj（以米为单位）",
    "请输入斜交盖粱设计位置中桩的纵座标  Xj ",
    "请输入斜交盖粱设计位置中桩的横座标  Yj ",
    "请输入盖粱与切线的交角  B,交角 (以切线为起点顺时针旋转至盖粱横轴) ",
    "请输入平曲线的半径  R",
    "请输入平曲线正偏或反偏的判别符号 P 的数值，正偏为 P>0 的正整数，反偏为 P<0 的负整数",
};
enum Prompt { kXo, kYo, kKj, kXj, kYj, kB, kR, kP };

// The worked example: O = (3000, 5000), J = (3300, 5400) on a right-hand
// curve of radius 500, B = 30° 15′ 30″.
const Replies kExample = {"3000", "5000", "12345.678", "3300", "5400", "30.153", "500", "1"};

const FieldTexts kExampleBoxes = {
    {Box::CurveCentreX, " 3000"}, {Box::CurveCentreY, " 5000"}, {Box::DesignChainage, "K 12+ 345.678"},
    {Box::DesignX, " 3300"}, {Box::DesignY, " 5400"}, {Box::Skew, " 30.153( 度, 分，秒 )"},
    {Box::Radius, "500(米)"}, {Box::Direction, "正偏"},
};

Replies With(Replies replies, Prompt at, std::optional<std::string> reply) {
    replies[at] = std::move(reply);
    return replies;
}

// The window's whole visible state, for before/after comparisons.
std::vector<std::string> Boxes(const Calculator& logic) {
    std::vector<std::string> boxes;
    for (int n = 1; n <= kBoxCount; ++n) boxes.push_back(logic.Text(BoxAt(n)));
    return boxes;
}

std::vector<std::string> InitialBoxes() {
    std::vector<std::string> boxes;
    for (const FieldRow& row : kFields) boxes.emplace_back(row.initialText);
    return boxes;
}

// What the front-end shows must be what the logic holds.
void ExpectViewMatches(const ScriptedView& view, const Calculator& logic) {
    for (const auto& [field, text] : view.texts) EXPECT_EQ(text, logic.Text(field)) << "Text" << BoxNumber(field);
}

TEST(CurveSetup, WorkedExampleFillsEveryBoxAndValue) {
    ScriptedView view(kExample);
    Calculator logic(view);
    ASSERT_TRUE(logic.SetUpCurveClicked());

    EXPECT_EQ(view.prompts, std::vector<std::string>(kPrompts.begin(), kPrompts.end()));
    EXPECT_TRUE(view.refusals.empty());
    EXPECT_TRUE(view.messages.empty());
    // The eight values as they are read, then the emptied results.
    EXPECT_EQ(view.writes,
              (std::vector<Box>{Box::CurveCentreX, Box::CurveCentreY, Box::DesignChainage, Box::DesignX, Box::DesignY,
                                Box::Skew, Box::Radius, Box::Direction, Box::InnerChainage, Box::InnerX, Box::InnerY,
                                Box::InnerLength, Box::OuterChainage, Box::OuterX, Box::OuterY, Box::OuterLength,
                                Box::BeamChainage, Box::BeamY, Box::BeamX}));
    for (const auto& [field, text] : kExampleBoxes) EXPECT_EQ(logic.Text(field), text) << "Text" << BoxNumber(field);
    ExpectViewMatches(view, logic);

    const CalculationRecord& s = logic.Record();
    EXPECT_EQ(kRadToDeg, 57.29577951471995);
    EXPECT_EQ(s.curve.Xo, 3000);
    EXPECT_EQ(s.curve.Yo, 5000);
    EXPECT_EQ(s.design.Kj, 12345.678);
    EXPECT_EQ(s.design.Xj, 3300);
    EXPECT_EQ(s.design.Yj, 5400);
    EXPECT_EQ(s.design.B, 30.258333333333333);
    EXPECT_EQ(s.curve.R, 500);
    EXPECT_EQ(s.curve.P, 1.0f);
    EXPECT_EQ(s.design.Aoj, 53.13010235567456);
    EXPECT_EQ(s.design.axis.Ab1, 353.3884356890079);
    EXPECT_EQ(s.design.axis.Ab2, 173.3884356890079);
    // A set-up leaves the request's values alone.
    EXPECT_EQ(s.request.Kp, 0);
    EXPECT_EQ(s.request.Dr, 0);
    EXPECT_EQ(s.request.mb, 0);
    EXPECT_EQ(s.edges.Rin, 0);
    EXPECT_EQ(s.edges.Rout, 0);
    EXPECT_TRUE(s.hasCurve);
}

// Each box is written before the next prompt opens: a user who cancels sees
// what was already read.
class StepView : public ScriptedView {
public:
    using ScriptedView::ScriptedView;
    std::optional<std::string> PromptText(const std::string& message, const Refusal* refused,
                                          const PromptHelp& help) override {
        steps.push_back("?" + message);
        return ScriptedView::PromptText(message, refused, help);
    }
    void SetText(Box field, const std::string& text) override {
        steps.push_back("Text" + std::to_string(BoxNumber(field)));
        ScriptedView::SetText(field, text);
    }
    std::vector<std::string> steps;
};

TEST(CurveSetup, EachBoxIsWrittenBeforeTheNextPrompt) {
    StepView view(kExample);
    Calculator logic(view);
    ASSERT_TRUE(logic.SetUpCurveClicked());
    const char* boxes[] = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text18", "Text17"};
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < kPrompts.size(); ++i) {
        expected.push_back("?" + kPrompts[i]);
        expected.emplace_back(boxes[i]);
    }
    for (const char* emptied : {"Text8", "Text9", "Text10", "Text11", "Text12", "Text13", "Text14", "Text15", "Text16",
                                "Text20", "Text19"})
        expected.emplace_back(emptied);
    EXPECT_EQ(view.steps, expected);
}

// ---- B in D.MMSS ----------------------------------------------------------

struct SkewCase {
    const char* name;
    const char* reply;
    const char* text6;
    double B;  // decimal degrees after the set-up
};
void PrintTo(const SkewCase& row, std::ostream* os) { *os << row.name; }

class SkewConversion : public ::testing::TestWithParam<SkewCase> {};

TEST_P(SkewConversion, ShowsAsReadAndStoresDecimalDegrees) {
    const SkewCase& c = GetParam();
    ScriptedView view(With(kExample, kB, c.reply));
    Calculator logic(view);
    ASSERT_TRUE(logic.SetUpCurveClicked());
    EXPECT_TRUE(view.refusals.empty());
    EXPECT_EQ(logic.Text(Box::Skew), c.text6);
    EXPECT_EQ(logic.Record().design.B, c.B);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SkewConversion,
    ::testing::Values(
        SkewCase{"MinutesAndSeconds", "30.153", " 30.153( 度, 分，秒 )", 30.258333333333333},
        SkewCase{"MinuteNotLostToTheProduct", "0.29", " 0.29( 度, 分，秒 )", 0.48333333333333334},
        SkewCase{"HalfADegree", "45.3", " 45.3( 度, 分，秒 )", 45.5},
        SkewCase{"FiftyNineSeconds", "120.4559", " 120.4559( 度, 分，秒 )", 120.76638888888888},
        SkewCase{"RightAngleStays", "90", " 90( 度, 分，秒 )", 90},
        SkewCase{"FractionOfASecond", "30.15305", " 30.15305( 度, 分，秒 )", 30.258472222222224},
        SkewCase{"ShownAsTheNumberRead", "30.1530", " 30.153( 度, 分，秒 )", 30.258333333333333},
        SkewCase{"FullWidthDigits", "３０．１５３", " 30.153( 度, 分，秒 )", 30.258333333333333},
        SkewCase{"JustBelowHalfTurn", "179.5959", " 179.5959( 度, 分，秒 )", 179.9997222222222}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Azimuths ------------------------------------------------------------

struct AzimuthCase {
    const char* name;
    const char* Xj;
    const char* Yj;
    const char* B;
    double Aoj, Ab1, Ab2;
    const char* R = "500";  // the distance from O to J, within the warning's metre
};
void PrintTo(const AzimuthCase& row, std::ostream* os) { *os << row.name; }

class Azimuths : public ::testing::TestWithParam<AzimuthCase> {};

// O at the origin; R is about the distance to J, so the set-up stands.
TEST_P(Azimuths, RadiusAndBeamAxis) {
    const AzimuthCase& c = GetParam();
    ScriptedView view({"0", "0", "1000", c.Xj, c.Yj, c.B, c.R, "1"});
    Calculator logic(view);
    ASSERT_TRUE(logic.SetUpCurveClicked());
    for (const Message& m : view.messages) EXPECT_EQ(m.kind, ErrorKind::Warning);
    EXPECT_EQ(logic.Record().design.Aoj, c.Aoj);
    EXPECT_EQ(logic.Record().design.axis.Ab1, c.Ab1);
    EXPECT_EQ(logic.Record().design.axis.Ab2, c.Ab2);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Azimuths,
    ::testing::Values(
        AzimuthCase{"NorthEast", "300", "400", "30.153", 53.13010235567456, 353.3884356890079, 173.3884356890079},
        AzimuthCase{"SouthEast", "-300", "400", "90", 126.86989764432545, 126.86989764432545, 306.8698976443254},
        AzimuthCase{"NorthWest", "300", "-400", "90", 306.8698976443254, 306.8698976443254, 126.86989764432542},
        AzimuthCase{"SouthWest", "-300", "-400", "90", 233.13010235567455, 233.13010235567455, 53.13010235567455},
        AzimuthCase{"DueNorth", "500", "0", "90", 0, 0, 180},
        AzimuthCase{"DueSouth", "-500", "0", "90", 180, 180, 0},
        // Aoj - 90 + B below 0: one turn added; Ab2 from an Ab1 above 180.
        AzimuthCase{"AxisWrapsUpFromBelowNorth", "400", "30", "30", 4.289153328941611, 304.2891533289416,
                    124.28915332894161, "401.123"},
        // Aoj - 90 + B at 360 or more: one turn taken off; Ab2 wraps up.
        AzimuthCase{"AxisWrapsDownPastNorth", "400", "-300", "170", 323.1301023531022, 43.13010235310219,
                    223.1301023531022},
        AzimuthCase{"AxisNeedsNoWrap", "-300", "-400", "150", 233.13010235567455, 293.1301023556746,
                    113.13010235567458}),
    [](const auto& info) { return std::string(info.param.name); });

// J due east or west of O: a quarter turn, where the arcsine formula would
// divide by zero. Also when dX is too small against dY to change s from ±1.
struct QuarterCase {
    const char* name;
    const char* Xj;
    const char* Yj;
    double Aoj, Ab1, Ab2;
};
void PrintTo(const QuarterCase& row, std::ostream* os) { *os << row.name; }

class DueEastOrWest : public ::testing::TestWithParam<QuarterCase> {};

TEST_P(DueEastOrWest, QuarterTurn) {
    const QuarterCase& c = GetParam();
    ScriptedView view({"3000", "5000", "12345.678", c.Xj, c.Yj, "30.153", "400", "1"});
    Calculator logic(view);
    ASSERT_TRUE(logic.SetUpCurveClicked());
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(logic.Record().design.Aoj, c.Aoj);
    EXPECT_EQ(logic.Record().design.axis.Ab1, c.Ab1);
    EXPECT_EQ(logic.Record().design.axis.Ab2, c.Ab2);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DueEastOrWest,
    ::testing::Values(QuarterCase{"East", "3000", "5400", 90, 30.258333333333333, 210.25833333333333},
                      QuarterCase{"West", "3000", "4600", 270, 210.25833333333333, 30.258333333333326},
                      QuarterCase{"NearlyEastAbove", "3000.0000000001", "5400", 90, 30.258333333333333,
                                  210.25833333333333},
                      QuarterCase{"NearlyWestBelow", "2999.9999999999", "4600", 270, 210.25833333333333,
                                  30.258333333333326}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- P and the boxes' signs ----------------------------------------------

TEST(CurveSetup, OnlyTheSignOfPCounts) {
    const struct {
        const char* reply;
        float P;
        const char* text17;
    } rows[] = {{"1", 1, "正偏"}, {"-1", -1, "反偏"}, {"0.5", 0.5f, "正偏"}, {"-0.5", -0.5f, "反偏"},
                {"－１", -1, "反偏"}, {"1e-30", 1e-30f, "正偏"}};
    for (const auto& r : rows) {
        ScriptedView view(With(kExample, kP, r.reply));
        Calculator logic(view);
        ASSERT_TRUE(logic.SetUpCurveClicked()) << r.reply;
        EXPECT_EQ(logic.Record().curve.P, r.P) << r.reply;
        EXPECT_EQ(logic.Text(Box::Direction), r.text17) << r.reply;
    }
}

TEST(CurveSetup, NegativeZeroShowsAsZero) {
    ScriptedView view({"-0", "-0.0", "-0", "500", "-0", "90", "500", "1"});
    Calculator logic(view);
    ASSERT_TRUE(logic.SetUpCurveClicked());
    EXPECT_EQ(logic.Text(Box::CurveCentreX), " 0");
    EXPECT_EQ(logic.Text(Box::CurveCentreY), " 0");
    EXPECT_EQ(logic.Text(Box::DesignChainage), "K 0+ 0");
    EXPECT_EQ(logic.Text(Box::DesignY), " 0");
    EXPECT_EQ(logic.Record().design.Aoj, 0);
    EXPECT_EQ(logic.Record().design.axis.Ab1, 0);
    EXPECT_EQ(logic.Record().design.axis.Ab2, 180);
}

TEST(CurveSetup, EnteredChainageKeepsItsResidue) {
    ScriptedView view(With(kExample, kKj, "123456.789"));
    Calculator logic(view);
    ASSERT_TRUE(logic.SetUpCurveClicked());
    EXPECT_EQ(logic.Text(Box::DesignChainage), "K 123+ 456.789000000004");
}

// ---- Refusals: the same prompt again, the rejected text held -------------

struct RefusalCase {
    const char* name;
    Prompt at;
    const char* reply;
    ErrorKind kind;
    const char* why;
};
void PrintTo(const RefusalCase& row, std::ostream* os) { *os << row.name; }

class RefusedReply : public ::testing::TestWithParam<RefusalCase> {};

// The refused reply is followed by the right one; the set-up then completes
// exactly as the worked example.
TEST_P(RefusedReply, AsksTheSamePromptAgain) {
    const RefusalCase& c = GetParam();
    Replies replies = kExample;
    replies.insert(replies.begin() + c.at, std::string(c.reply));
    ScriptedView view(replies);
    Calculator logic(view);
    ASSERT_TRUE(logic.SetUpCurveClicked());

    ASSERT_EQ(view.refusals.size(), 1u);
    EXPECT_EQ(view.refusals[0].rejected, c.reply);
    EXPECT_EQ(view.refusals[0].why.kind, c.kind);
    EXPECT_EQ(view.refusals[0].why.text, c.why);
    ASSERT_EQ(view.prompts.size(), 9u);
    EXPECT_EQ(view.prompts[c.at], kPrompts[c.at]);
    EXPECT_EQ(view.prompts[c.at + 1], kPrompts[c.at]);
    EXPECT_TRUE(view.messages.empty());
    for (const auto& [field, text] : kExampleBoxes) EXPECT_EQ(logic.Text(field), text);
    EXPECT_EQ(logic.Record().design.axis.Ab1, 353.3884356890079);
}

const char* const kMinutesSeconds =
    "交角 B 按“度.分秒”输入，分和秒都必须小于 60：30°15′30″ 输入 30.153。"
    "请按度、分、秒重新输入，不要输入以度为单位的小数。";
const char* const kHalfTurn = "交角 B 必须大于 0 度、小于 180 度（以切线为起点顺时针旋转至盖粱横轴）。请重新输入。";
const char* const kRadius = "平曲线的半径 R 必须大于 0。请输入圆曲线中线的半径，以米为单位，例如 500。";
const char* const kSign =
    "判别符号 P 不能为 0，只看它的正负：右偏（正偏）曲线请输入 1，左偏（反偏）曲线请输入 -1。";

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedReply,
    ::testing::Values(
        RefusalCase{"LettersAtXo", kXo, "abc", ErrorKind::TypeMismatch,
                    "「abc」 不是一个数。请只输入数字，可带正负号和小数点，例如 3000 或 12.5。"},
        RefusalCase{"EmptyAtKj", kKj, "", ErrorKind::TypeMismatch, "没有输入数值。请输入一个数，例如 3000 或 12.5。"},
        RefusalCase{"ThousandsSeparatorAtXj", kXj, "3,300", ErrorKind::TypeMismatch,
                    "「3,300」 不是一个数。请只输入数字，可带正负号和小数点，例如 3000 或 12.5。"},
        RefusalCase{"BeyondDoubleAtYj", kYj, "1e400", ErrorKind::Overflow,
                    "「1e400」 超出了可以计算的数值范围。请检查数值的位数和指数。"},
        RefusalCase{"BeyondSingleAtP", kP, "1e39", ErrorKind::Overflow,
                    "「1e39」 超出了可以计算的数值范围。请检查数值的位数和指数。"},
        RefusalCase{"ZeroRadius", kR, "0", ErrorKind::OutOfRange, kRadius},
        RefusalCase{"NegativeRadius", kR, "-500", ErrorKind::OutOfRange, kRadius},
        RefusalCase{"ZeroSign", kP, "0", ErrorKind::OutOfRange, kSign},
        RefusalCase{"NegativeZeroSign", kP, "-0", ErrorKind::OutOfRange, kSign},
        RefusalCase{"DecimalDegreesForB", kB, "30.75", ErrorKind::OutOfRange, kMinutesSeconds},
        RefusalCase{"SeventyFiveSeconds", kB, "30.1575", ErrorKind::OutOfRange, kMinutesSeconds},
        RefusalCase{"SixtySeconds", kB, "89.5960", ErrorKind::OutOfRange, kMinutesSeconds},
        RefusalCase{"ZeroSkew", kB, "0", ErrorKind::OutOfRange, kHalfTurn},
        RefusalCase{"HalfTurnSkew", kB, "180", ErrorKind::OutOfRange, kHalfTurn},
        RefusalCase{"NegativeSkew", kB, "-30.153", ErrorKind::OutOfRange, kHalfTurn},
        RefusalCase{"SkewBeyondHalfTurn", kB, "200", ErrorKind::OutOfRange, kHalfTurn},
        RefusalCase{"HugeSkew", kB, "1e300", ErrorKind::OutOfRange, kHalfTurn},
        RefusalCase{"SkewBeyondEveryProduct", kB, "1e307", ErrorKind::OutOfRange, kHalfTurn}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CurveSetup, FullWidthRepliesAreNumbers) {
    ScriptedView view({"３０００", "５０００", "１２３４５．６７８", "３３００", "５４００", "３０．１５３", "５００", "１"});
    Calculator logic(view);
    ASSERT_TRUE(logic.SetUpCurveClicked());
    EXPECT_TRUE(view.refusals.empty());
    for (const auto& [field, text] : kExampleBoxes) EXPECT_EQ(logic.Text(field), text);
    EXPECT_EQ(logic.Record().design.axis.Ab1, 353.3884356890079);
}

TEST(CurveSetup, RefusedTwiceThenAccepted) {
    ScriptedView view({"3000", "5000", "12345.678", "3300", "5400", "30.75", "30.1575", "30.153", "500", "1"});
    Calculator logic(view);
    ASSERT_TRUE(logic.SetUpCurveClicked());
    ASSERT_EQ(view.refusals.size(), 2u);
    EXPECT_EQ(view.refusals[0].rejected, "30.75");
    EXPECT_EQ(view.refusals[1].rejected, "30.1575");
    EXPECT_EQ(logic.Record().design.B, 30.258333333333333);
}

// ---- Cancel and failures undo the click ----------------------------------

// A second, different set-up on a left-hand curve, to stand as "before".
const Replies kEarlier = {"-100.5", "200", "999.5", "-100.5", "600", "120.4559", "400", "-1"};

TEST(CurveSetup, CancelAtEachPromptUndoesTheClick) {
    for (const bool afterEarlierSetUp : {false, true}) {
        for (std::size_t at = 0; at < kPrompts.size(); ++at) {
            SCOPED_TRACE(testing::Message() << (afterEarlierSetUp ? "after a set-up, " : "first click, ")
                                            << "Cancel at prompt " << at + 1);
            ScriptedView view;
            Calculator logic(view);
            if (afterEarlierSetUp) {
                view.Replies(kEarlier);
                ASSERT_TRUE(logic.SetUpCurveClicked());
            }
            const CalculationRecord before = logic.Record();
            const std::vector<std::string> boxesBefore = Boxes(logic);
            const std::size_t messagesBefore = view.messages.size();

            Replies replies(kExample.begin(), kExample.begin() + static_cast<long>(at));
            replies.push_back(std::nullopt);
            view.Replies(replies);
            EXPECT_FALSE(logic.SetUpCurveClicked());

            EXPECT_EQ(view.Unanswered(), 0u);
            EXPECT_EQ(view.prompts.back(), kPrompts[at]);
            EXPECT_TRUE(logic.Record() == before);
            EXPECT_EQ(Boxes(logic), boxesBefore);
            if (!afterEarlierSetUp) {
                EXPECT_TRUE(logic.Record() == CalculationRecord{});
                EXPECT_EQ(Boxes(logic), InitialBoxes());
            }
            EXPECT_EQ(view.messages.size(), messagesBefore);  // Cancel says nothing
            ExpectViewMatches(view, logic);
        }
    }
}

struct FailureCase {
    const char* name;
    Replies replies;
    ErrorKind kind;
    const char* text;
};
void PrintTo(const FailureCase& row, std::ostream* os) { *os << row.name; }

class FailedSetUp : public ::testing::TestWithParam<FailureCase> {};

// After all eight replies the geometry fails: one message, and the window and
// the record are as they were after the earlier set-up.
TEST_P(FailedSetUp, IsUndoneWithOneMessage) {
    const FailureCase& c = GetParam();
    ScriptedView view(kEarlier);
    Calculator logic(view);
    ASSERT_TRUE(logic.SetUpCurveClicked());
    const CalculationRecord before = logic.Record();
    const std::vector<std::string> boxesBefore = Boxes(logic);

    view.Replies(c.replies);
    EXPECT_FALSE(logic.SetUpCurveClicked());
    EXPECT_EQ(view.Unanswered(), 0u);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].kind, c.kind);
    EXPECT_EQ(view.messages[0].text, c.text);
    EXPECT_TRUE(logic.Record() == before);
    EXPECT_EQ(Boxes(logic), boxesBefore);
    ExpectViewMatches(view, logic);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FailedSetUp,
    ::testing::Values(
        FailureCase{"JAtTheCentre",
                    {"3000", "5000", "12345.678", "3000", "5000", "30.153", "500", "1"},
                    ErrorKind::Geometry,
                    "盖梁中桩 J 与圆心 O 重合，无法确定半径方向。请检查 Xo、Yo、Xj、Yj 的数值。"},
        // dX² underflows: O and J are one point for every figure the window can show.
        FailureCase{"JWithinUnderflowOfTheCentre",
                    {"0", "0", "0", "1e-200", "0", "30.153", "500", "1"},
                    ErrorKind::Geometry,
                    "盖梁中桩 J 与圆心 O 重合，无法确定半径方向。请检查 Xo、Yo、Xj、Yj 的数值。"},
        FailureCase{"NorthingDifferenceOverflows",
                    {"1e308", "0", "0", "-1e308", "0", "30.153", "500", "1"},
                    ErrorKind::Overflow,
                    "计算 J 与圆心 O 的纵座标差时数值溢出，超出了可以计算的范围。请检查输入的数值是否过大。"},
        FailureCase{"EastingDifferenceOverflows",
                    {"0", "-1.5e308", "0", "0", "1.5e308", "30.153", "500", "1"},
                    ErrorKind::Overflow,
                    "计算 J 与圆心 O 的横座标差时数值溢出，超出了可以计算的范围。请检查输入的数值是否过大。"},
        FailureCase{"DistanceOverflows",
                    {"0", "0", "0", "1e200", "1e200", "30.153", "500", "1"},
                    ErrorKind::Overflow,
                    "计算 J 到圆心 O 的距离时数值溢出，超出了可以计算的范围。请检查输入的数值是否过大。"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- J off the curve: within 1 m a warning, beyond it a refusal ----------

TEST(CurveSetup, JOffTheCurveWarnsOrIsRefused) {
    // J lies 500 m from O in the worked example; only R changes.
    const std::string warnedBy = "米相差超过 0.01 米，J 可能不在平曲线上。"
                                 "请核对圆心和 J 点的座标以及半径；如果只是座标取整造成的差别，可以继续计算。";
    const std::string refusedBy = "米相差超过 1 米，J 不在这条平曲线上，算出的端点会落在别处。"
                                  "请核对圆心 O 和 J 点的座标以及半径 R。";
    enum Outcome { kQuiet, kWarned, kRefused };
    const struct {
        const char* R;
        Outcome outcome;
    } rows[] = {{"500.01", kQuiet},  {"499.99", kQuiet},  {"499.9899", kWarned},   {"499.5", kWarned},
                {"499", kWarned},    {"501", kWarned},    {"498.9999", kRefused}, {"501.0001", kRefused},
                {"400", kRefused},   {"180", kRefused}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.R);
        ScriptedView view(With(kExample, kR, r.R));
        Calculator logic(view);
        const bool completed = logic.SetUpCurveClicked();
        const std::string named = "J 点到圆心 O 的距离 Dj = 500 米，与平曲线半径 R = " + std::string(r.R) + " ";
        switch (r.outcome) {
            case kQuiet:
                EXPECT_TRUE(completed);
                EXPECT_TRUE(view.messages.empty());
                break;
            case kWarned:
                EXPECT_TRUE(completed);
                ASSERT_EQ(view.messages.size(), 1u);
                EXPECT_EQ(view.messages[0], (Message{ErrorKind::Warning, named + warnedBy}));
                break;
            case kRefused:
                // A failed set-up: one message, the click undone whole.
                EXPECT_FALSE(completed);
                ASSERT_EQ(view.messages.size(), 1u);
                EXPECT_EQ(view.messages[0], (Message{ErrorKind::Geometry, named + refusedBy}));
                EXPECT_FALSE(logic.Record().hasCurve);
                EXPECT_EQ(Boxes(logic), InitialBoxes());
                continue;
        }
        EXPECT_EQ(logic.Record().design.axis.Ab1, 353.3884356890079);
        EXPECT_EQ(logic.Text(Box::Radius), std::string(r.R) + "(米)");
    }
}

// A completed set-up empties the previous curve's results; the half-width and
// the precision stay for the next request. A set-up that is cancelled or
// refused leaves every box as it was.
TEST(CurveSetup, NewCurveEmptiesTheOldResults) {
    Replies replies = kExample;
    replies.insert(replies.end(), {"12400", "10", "0.001"});
    ScriptedView view(replies);
    Calculator logic(view);
    ASSERT_TRUE(logic.SetUpCurveClicked());
    ASSERT_TRUE(logic.ComputeBeamClicked());
    ASSERT_NE(logic.Text(Box::InnerChainage), "");
    const std::vector<std::string> afterRequest = Boxes(logic);

    view.Replies({"3000", "5000", std::nullopt});  // Cancel at the third prompt
    EXPECT_FALSE(logic.SetUpCurveClicked());
    EXPECT_EQ(Boxes(logic), afterRequest);
    view.Replies(With(kExample, kR, "180"));  // J 500 m from O: refused
    EXPECT_FALSE(logic.SetUpCurveClicked());
    EXPECT_EQ(Boxes(logic), afterRequest);

    view.Replies(kExample);
    ASSERT_TRUE(logic.SetUpCurveClicked());
    for (const Box box : {Box::InnerChainage, Box::InnerX, Box::InnerY, Box::InnerLength, Box::OuterChainage,
                          Box::OuterX, Box::OuterY, Box::OuterLength, Box::BeamChainage, Box::BeamY})
        EXPECT_EQ(logic.Text(box), "") << BoxNumber(box);
    EXPECT_EQ(logic.Text(Box::BeamX), " ");
    EXPECT_EQ(logic.Text(Box::HalfWidth), "10(米)");
    EXPECT_EQ(logic.Text(Box::Precision), "0.001(度)");
    ExpectViewMatches(view, logic);
}

TEST(CurveSetup, WarningShowsTheDistanceUnrounded) {
    ScriptedView view({"0", "0", "0", "400", "30", "30", "401", "1"});
    Calculator logic(view);
    ASSERT_TRUE(logic.SetUpCurveClicked());
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_NE(view.messages[0].text.find("Dj = 401.123422402632 米"), std::string::npos) << view.messages[0].text;
}

}  // namespace
}  // namespace capbeam
