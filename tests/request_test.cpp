// The calculation request ("座标计算"): its prompts, the boxes it fills as
// each value is read, the edge radii, the routine choice, and every refusal,
// with the click undone by the window's logic.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "flows/form_layout.h"
#include "flows/calculator.h"
#include "flows/request_flow.h"
#include "tests/calc_fixture.h"
#include "tests/scripted_view.h"

namespace capbeam::test {
namespace {

using Replies = std::vector<std::optional<std::string>>;

const std::string kAskKp = "请输入需要计算的盖粱中桩的桩号  Kp（以米为单位) ";
const std::string kAskDr = "请输入路基半幅的寛度  Dr（以米为单位）";
const std::string kAskMb = "请输入需要计算方位角重合精度 mb (以度为单位)";

const std::string kNoCurve =
    "还没有输入平曲线和设计盖梁的数据，无法计算端点。请先按“进行计算”输入，再按“座标计算”。";
const std::string kNegativeHalfWidth =
    "路基半幅宽度 Dr 是路中线到路基边缘的距离，不能是负数。请输入 0 或正数。";
const std::string kHalfWidthOfR500 =
    "路基半幅宽度 Dr 必须小于平曲线半径 R（500 米），否则没有路基内侧边缘。请检查后重新输入。";
const std::string kTurnedTooFar =
    "在这个桩号上，盖梁轴线（保持设计盖梁的方向）与半径方向的夹角已达到或超过 90 度，"
    "算出的两个端点不会落在路基内、外侧边缘上，无法计算。"
    "请检查桩号 Kp 是否离设计桩号 Kj 太远，交角 B 是否输入正确。";
const std::string kMissesInnerEdge =
    "在这个桩号上，盖梁轴线与路基内侧边缘不相交，求不出内侧端点。"
    "请检查桩号 Kp、路基半幅宽度 Dr 和交角 B：桩号离设计桩号越远、路基越宽、"
    "交角离 90 度越远，越容易出现这种情况。";
// At the design position (and for beams at B to their own tangent) the
// distance from Kj plays no part, and the advice says so.
const std::string kMissesInnerEdgeAtB =
    "盖梁轴线与路基内侧边缘不相交，求不出内侧端点。"
    "请检查路基半幅宽度 Dr、交角 B 和平曲线半径 R：路基越宽、交角离 90 度越远、"
    "半径越小，越容易出现这种情况。";

// The curve of the worked examples: O (1000, 2000), R = 500, J due north at 1000.
CurveReplies NorthOfCentre(const char* B, const char* P) { return {"1000", "2000", "1000", "1500", "2000", B, "500", P}; }

std::vector<std::string> Boxes(const Calculator& logic) {
    std::vector<std::string> boxes;
    for (int n = 1; n <= kBoxCount; ++n) boxes.push_back(logic.Text(BoxAt(n)));
    return boxes;
}

// ---- What the request shows as it reads --------------------------------

struct EnteredCase {
    const char* name;
    const char* Kp;
    const char* Dr;
    const char* mb;
    const char* text16;
    const char* text7;
    const char* text21;
};
void PrintTo(const EnteredCase& c, std::ostream* os) { *os << c.name; }

class EnteredValues : public ::testing::TestWithParam<EnteredCase> {};

// A wide curve (R = 1000 km, B = 90) on which every one of these chainages computes.
TEST_P(EnteredValues, ShownAsRead) {
    const EnteredCase& c = GetParam();
    ScriptedView view({c.Kp, c.Dr, c.mb});
    CalculationRecord state = SetUpCurve({"0", "0", "1000", "1000000", "0", "90", "1000000", "1"});
    RunRequest(view, state, Orientation::Parallel).routine;
    EXPECT_EQ(view.prompts, (std::vector<std::string>{kAskKp, kAskDr, kAskMb}));
    EXPECT_EQ(view.texts[Box::BeamChainage], c.text16);
    EXPECT_EQ(view.texts[Box::HalfWidth], c.text7);
    EXPECT_EQ(view.texts[Box::Precision], c.text21);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EnteredValues,
    ::testing::Values(EnteredCase{"Plain", "1234.5", "12.5", "0.001", "K 1+ 234.5", "12.5(米)", "0.001(度)"},
                      EnteredCase{"WholeKilometres", "3000", "10", "1", "K 3+ 0", "10(米)", "1(度)"},
                      EnteredCase{"BelowOneKilometre", "500", "0", "0.5", "K 0+ 500", "0(米)", "0.5(度)"},
                      EnteredCase{"MetresKeepTheirResidue", "123456.789", "7.5", "0.001", "K 123+ 456.789000000004",
                                  "7.5(米)", "0.001(度)"},
                      EnteredCase{"MbInSinglePrecision", "1000", "10", "0.1", "K 1+ 0", "10(米)", "0.1(度)"},
                      EnteredCase{"FullWidthReplies", "１２３４．５", "１２．５", "０．００１", "K 1+ 234.5", "12.5(米)",
                                  "0.001(度)"},
                      EnteredCase{"NegativeZeroHalfWidth", "1000", "-0", "-0", "K 1+ 0", "0(米)", "0(度)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Request, EachBoxIsWrittenBeforeTheNextPrompt) {
    ScriptedView view({"1020", "10", "0.001"});
    CalculationRecord state = SetUpCurve(NorthOfCentre("60", "1"));
    ASSERT_EQ(RunRequest(view, state, Orientation::Parallel).routine, 1);
    const std::vector<std::string> expected = {"?" + kAskKp, "Text16", "?" + kAskDr, "Text7", "?" + kAskMb,
                                               "Text21", "Text19", "Text20", "Text11", "Text9", "Text10",
                                               "Text8", "Text15", "Text13", "Text14", "Text12"};
    EXPECT_EQ(view.steps, expected);
}

TEST(Request, EdgeRadii) {
    ScriptedView view({"12345.678", "0", "0.001"});
    CalculationRecord state = SetUpCurve({"0", "0", "12345.678", "12345.678", "0", "90", "12345.678", "1"});
    ASSERT_EQ(RunRequest(view, state, Orientation::Parallel).routine, 6);
    EXPECT_EQ(static_cast<double>(state.edges.Rin), 12345.677734375);  // kept in single precision
    EXPECT_EQ(state.edges.Rout, 12345.678);
    EXPECT_EQ(view.texts[Box::InnerLength], "0(米)");  // half of Rout - Rin, 0.13 mm
    EXPECT_EQ(view.texts[Box::InnerX], "12345.678");
}

// ---- Which routine ------------------------------------------------------

struct ChoiceCase {
    const char* name;
    float P;
    double Kp, Kj, B;
    int routine;
};
void PrintTo(const ChoiceCase& c, std::ostream* os) { *os << c.name; }

class RoutineChoice : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(RoutineChoice, ExactComparisons) {
    const ChoiceCase& c = GetParam();
    EXPECT_EQ(ChooseRoutine(c.P, c.Kp, c.Kj, c.B), c.routine);
}

constexpr double kAbove1000 = 1000.0000000000001;  // the next double above 1000
constexpr double kBelow1000 = 999.99999999999989;   // the next double below 1000
const double kJustAbove90 = std::nextafter(90.0, 180.0);
const double kJustBelow90 = std::nextafter(90.0, 0.0);
const float kTinyP = std::numeric_limits<float>::denorm_min();

INSTANTIATE_TEST_SUITE_P(
    Table, RoutineChoice,
    ::testing::Values(ChoiceCase{"RightCurveBeyond", 1, 1020, 1000, 60, 1},
                      ChoiceCase{"RightCurveBefore", 1, 980, 1000, 60, 2},
                      ChoiceCase{"LeftCurveBeyond", -1, 1020, 1000, 60, 3},
                      ChoiceCase{"LeftCurveBefore", -1, 980, 1000, 60, 4},
                      ChoiceCase{"DesignChainageRight", 1, 1000, 1000, 60, 5},
                      ChoiceCase{"DesignChainageLeft", -1, 1000, 1000, 120, 5},
                      ChoiceCase{"SquareAtDesignRight", 1, 1000, 1000, 90, 6},
                      ChoiceCase{"SquareAtDesignLeft", -1, 1000, 1000, 90, 6},
                      ChoiceCase{"SquareBeyondComputes", 1, 1020, 1000, 90, 1},
                      ChoiceCase{"SquareBeforeOnLeftCurveComputes", -1, 980, 1000, 90, 4},
                      ChoiceCase{"OneStepBeyondIsNotTheDesign", 1, kAbove1000, 1000, 60, 1},
                      ChoiceCase{"OneStepBeforeIsNotTheDesign", -1, kBelow1000, 1000, 60, 4},
                      ChoiceCase{"JustAbove90IsSkewed", 1, 1000, 1000, kJustAbove90, 5},
                      ChoiceCase{"JustBelow90IsSkewed", -1, 1000, 1000, kJustBelow90, 5},
                      ChoiceCase{"HalfIsRightHand", 0.5f, 1020, 1000, 60, 1},
                      ChoiceCase{"SmallestPositivePIsRightHand", kTinyP, 980, 1000, 60, 2},
                      ChoiceCase{"NoDirectionAtDesign", 0, 1000, 1000, 60, 5},
                      ChoiceCase{"NoDirectionElsewhere", 0, 1020, 1000, 60, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Refusals and undo through the window --------------------------------

TEST(Request, BeforeAnySetUpAsksForItAndChangesNothing) {
    ScriptedView view({"0", "10", "0.001"});
    Calculator logic(view);
    const std::vector<std::string> before = Boxes(logic);
    EXPECT_FALSE(logic.ComputeBeamClicked());
    EXPECT_TRUE(view.prompts.empty());
    EXPECT_EQ(view.messages, (std::vector<Message>{{ErrorKind::NoCurve, kNoCurve}}));
    EXPECT_EQ(Boxes(logic), before);
    EXPECT_TRUE(logic.Record() == CalculationRecord{});
}

TEST(Request, ReplyThatIsNotANumberIsAskedAgain) {
    ScriptedView view({"abc", "", "1020", "十", "10", "x", "0.001"});
    CalculationRecord state = SetUpCurve(NorthOfCentre("60", "1"));
    ASSERT_EQ(RunRequest(view, state, Orientation::Parallel).routine, 1);
    EXPECT_EQ(view.prompts, (std::vector<std::string>{kAskKp, kAskKp, kAskKp, kAskDr, kAskDr, kAskMb, kAskMb}));
    ASSERT_EQ(view.refusals.size(), 4u);
    const char* rejected[] = {"abc", "", "十", "x"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(view.refusals[i].rejected, rejected[i]);
        EXPECT_EQ(view.refusals[i].why.kind, ErrorKind::TypeMismatch);
    }
    EXPECT_EQ(view.texts[Box::BeamX], "1499.6");
}

struct HalfWidthCase {
    const char* name;
    const char* reply;
    std::optional<std::string> refusal;  // nothing: accepted
};
void PrintTo(const HalfWidthCase& c, std::ostream* os) { *os << c.name; }

class HalfWidth : public ::testing::TestWithParam<HalfWidthCase> {};

// R = 500: the half-width must keep 0 <= Dr < 500.
TEST_P(HalfWidth, KeepsBelowTheRadius) {
    const HalfWidthCase& c = GetParam();
    ScriptedView view({"1000", c.reply, "1", "0.001"});
    CalculationRecord state = SetUpCurve(NorthOfCentre("90", "1"));
    ASSERT_EQ(RunRequest(view, state, Orientation::Parallel).routine, 6);
    if (c.refusal) {
        ASSERT_EQ(view.refusals.size(), 1u);
        EXPECT_EQ(view.refusals[0].rejected, c.reply);
        EXPECT_EQ(view.refusals[0].why, (Message{ErrorKind::OutOfRange, *c.refusal}));
        EXPECT_EQ(view.prompts, (std::vector<std::string>{kAskKp, kAskDr, kAskDr, kAskMb}));
        EXPECT_EQ(state.request.Dr, 1);
    } else {
        EXPECT_TRUE(view.refusals.empty());
        EXPECT_EQ(view.texts[Box::HalfWidth], std::string(c.reply) + "(米)");
    }
}

INSTANTIATE_TEST_SUITE_P(Table, HalfWidth,
                         ::testing::Values(HalfWidthCase{"Negative", "-1", kNegativeHalfWidth},
                                           HalfWidthCase{"EqualToR", "500", kHalfWidthOfR500},
                                           HalfWidthCase{"BeyondR", "600", kHalfWidthOfR500},
                                           HalfWidthCase{"Huge", "1e300", kHalfWidthOfR500},
                                           HalfWidthCase{"ZeroIsTheCentreLine", "0", std::nullopt},
                                           HalfWidthCase{"JustBelowR", "499.999", std::nullopt}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Request, CancelAtEachPromptUndoesTheClick) {
    for (std::size_t at = 0; at < 3; ++at) {
        SCOPED_TRACE(at);
        Replies replies = SetUpReplies(NorthOfCentre("60", "1"));
        replies.insert(replies.end(), {"1020", "10", "0.001"});  // a first request that completes
        Replies second = {"980", "5", "0.01"};
        second[at] = std::nullopt;
        replies.insert(replies.end(), second.begin(), second.begin() + static_cast<std::ptrdiff_t>(at) + 1);
        ScriptedView view(replies);
        Calculator logic(view);
        ASSERT_TRUE(logic.SetUpCurveClicked());
        ASSERT_TRUE(logic.ComputeBeamClicked());
        const std::vector<std::string> before = Boxes(logic);
        const CalculationRecord record = logic.Record();
        EXPECT_FALSE(logic.ComputeBeamClicked());
        EXPECT_EQ(Boxes(logic), before);
        EXPECT_TRUE(logic.Record() == record);
        EXPECT_TRUE(view.messages.empty());
    }
}

struct RefusedCase {
    const char* name;
    CurveReplies curve;
    Replies first, second;  // a request that completes, then one that is refused
    Message message;
};
void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class RefusedRequest : public ::testing::TestWithParam<RefusedCase> {};

// The refused request leaves nothing of itself: not its Kp, Dr, mb boxes, not
// a result box, not a value of the record (Cm5's azimuths included).
TEST_P(RefusedRequest, IsUndoneWithOneMessage) {
    const RefusedCase& c = GetParam();
    Replies replies = SetUpReplies(c.curve);
    replies.insert(replies.end(), c.first.begin(), c.first.end());
    replies.insert(replies.end(), c.second.begin(), c.second.end());
    ScriptedView view(replies);
    Calculator logic(view);
    ASSERT_TRUE(logic.SetUpCurveClicked());
    ASSERT_TRUE(logic.ComputeBeamClicked());
    const std::vector<std::string> before = Boxes(logic);
    const CalculationRecord record = logic.Record();
    EXPECT_FALSE(logic.ComputeBeamClicked());
    EXPECT_EQ(view.messages, (std::vector<Message>{c.message}));
    EXPECT_EQ(Boxes(logic), before);
    EXPECT_TRUE(logic.Record() == record);
    EXPECT_EQ(view.Unanswered(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedRequest,
    ::testing::Values(
        // R = 100, B = 20: one metre beyond J the axis passes inside the inner edge.
        RefusedCase{"AxisMissesInnerEdge",
                    {"1000", "2000", "1000", "1100", "2000", "20", "100", "1"},
                    {"1000", "1", "0.001"},
                    {"1001", "10", "0.001"},
                    {ErrorKind::Geometry, kMissesInnerEdge}},
        RefusedCase{"AxisMissesInnerEdgeAtDesign",
                    {"1000", "2000", "1000", "1100", "2000", "20", "100", "-1"},
                    {"999", "1", "0.001"},
                    {"1000", "10", "0.001"},
                    {ErrorKind::Geometry, kMissesInnerEdgeAtB}},
        // B = 10: 100 m on, the radius has turned 11.5 degrees and the axis 91.5 from it.
        RefusedCase{"AxisTurnedPastTheRadius",
                    {"1000", "2000", "1000", "1500", "2000", "10", "500", "1"},
                    {"1000", "1", "0.001"},
                    {"1100", "1", "0.001"},
                    {ErrorKind::Geometry, kTurnedTooFar}},
        RefusedCase{"AxisTurnedPastTheRadiusOnLeftCurve",
                    {"1000", "2000", "1000", "1500", "2000", "170", "500", "-1"},
                    {"1000", "1", "0.001"},
                    {"1100", "1", "0.001"},
                    {ErrorKind::Geometry, kTurnedTooFar}},
        RefusedCase{"ChainageBeyondTheDoubleRangeOverflows",
                    {"1000", "2000", "1000", "1500", "2000", "60", "500", "1"},
                    {"1020", "10", "0.001"},
                    {"1e308", "10", "0.001"},
                    {ErrorKind::Overflow, "计算盖梁中桩与设计中桩之间的圆心角时数值溢出，超出了可以计算的范围。"
                                          "请检查输入的数值是否过大。"}}),
    [](const auto& info) { return std::string(info.param.name); });

// A square beam away from its design chainage used to compute nothing and
// leave the results of an earlier chainage beside the new Kp.
TEST(Request, SquareBeamAwayFromDesignChainageIsComputed) {
    ScriptedView view({"1020", "10", "0.001"});
    CalculationRecord state = SetUpCurve(NorthOfCentre("90", "1"));
    ASSERT_EQ(RunRequest(view, state, Orientation::Parallel).routine, 1);
    EXPECT_EQ(view.writes.size(), 13u);  // three request boxes and all ten results
    // The axis stays parallel to the radius at J, 2.3 degrees off the radius
    // at K: each half is a little longer than Dr.
    EXPECT_EQ(view.texts[Box::InnerLength], "10.008(米)");
    EXPECT_EQ(view.texts[Box::OuterLength], "10.008(米)");
}

// Only a curve without a direction can reach no routine, and the set-up never
// completes with P = 0; a record made that way is still refused, not left
// showing the results of another chainage.
TEST(Request, CurveWithoutDirectionIsRefused) {
    CalculationRecord state = SetUpCurve(NorthOfCentre("60", "1"));
    state.curve.P = 0;
    for (const char* Kp : {"1020", "1000"}) {
        SCOPED_TRACE(Kp);
        ScriptedView view({Kp, "10", "0.001"});
        CalculationRecord s = state;
        try {
            RunRequest(view, s, Orientation::Parallel).routine;
            ADD_FAILURE() << "computed without a curve direction";
        } catch (const Failure& f) {
            EXPECT_EQ(f.kind(), ErrorKind::OutOfRange);
        }
        EXPECT_EQ(view.writes.size(), 3u);  // the request's own boxes only; the click is undone by the caller
    }
}

// A chainage more than a full turn of the curve from Kj (2 pi R = 3141.593 m
// on R = 500) is most likely mistyped: the results stand, a warning follows.
// A beam square to the road (B = 90) keeps its ends on the roadbed however far
// round the curve it stands.
TEST(Request, ChainageBeyondAFullTurnIsComputedAndWarned) {
    const struct {
        const char* Kp;
        bool warned;
    } rows[] = {{"4141", false}, {"4142", true}, {"-2141", false}, {"-2142", true}, {"10200", true}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.Kp);
        ScriptedView view(SetUpReplies({"1000", "2000", "1000", "1500", "2000", "90", "500", "1"}));
        Calculator logic(view);
        ASSERT_TRUE(logic.SetUpCurveClicked());
        view.Replies({r.Kp, "10", "0.001"});
        ASSERT_TRUE(logic.ComputeBeamClicked());
        EXPECT_EQ(logic.Table().RowCount(), 1u);
        EXPECT_NE(logic.Text(Box::InnerX), "");
        if (!r.warned) {
            EXPECT_TRUE(view.messages.empty());
            continue;
        }
        ASSERT_EQ(view.messages.size(), 1u);
        EXPECT_EQ(view.messages[0].kind, ErrorKind::Warning);
        EXPECT_NE(view.messages[0].text.find("2πR = 3141.593 米"), std::string::npos) << view.messages[0].text;
        EXPECT_NE(view.messages[0].text.find("很可能输错了"), std::string::npos);
    }
}

}  // namespace
}  // namespace capbeam::test
