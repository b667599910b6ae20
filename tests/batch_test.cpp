// The batch: every chainage run as the window's request runs it, rows equal to
// the window's own for the same clicks, refusals listed with their reasons;
// the list and range readers for the chainages.

#include "records/batch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "flows/calculator.h"
#include "core/text_formats.h"
#include "tests/calc_fixture.h"
#include "tests/scripted_view.h"

namespace capbeam::test {
namespace {

// The curve of the worked examples: O (1000, 2000), R = 500, J due north at 1000.
CurveReplies NorthOfCentre(const char* B, const char* P) { return {"1000", "2000", "1000", "1500", "2000", B, "500", P}; }

// A window after a completed set-up.
struct Window {
    ScriptedView view;
    Calculator logic{view};
    explicit Window(const CurveReplies& curve) {
        view.Replies(SetUpReplies(curve));
        EXPECT_TRUE(logic.SetUpCurveClicked());
    }
};

// ---- A batch equals the same clicks in the window ----------------------

struct SameAsWindowCase {
    const char* name;
    CurveReplies curve;
    std::vector<double> chainages;
    double Dr;
    float mb;
    std::set<int> routines;  // the routines that must have run
    std::size_t refused;
};
void PrintTo(const SameAsWindowCase& c, std::ostream* os) { *os << c.name; }

class SameAsWindow : public ::testing::TestWithParam<SameAsWindowCase> {};

TEST_P(SameAsWindow, RowsAndRefusalsTextForText) {
    const SameAsWindowCase& c = GetParam();

    // The window: one "座标计算" click per chainage, typed as exact replies.
    Window window(c.curve);
    std::vector<Message> windowRefusals;
    for (const double Kp : c.chainages) {
        window.view.Replies({Reply(Kp), Reply(c.Dr), Reply(c.mb)});
        const std::size_t shown = window.view.messages.size();
        if (!window.logic.ComputeBeamClicked()) {
            ASSERT_EQ(window.view.messages.size(), shown + 1);
            windowRefusals.push_back(window.view.messages.back());
        }
    }
    ASSERT_EQ(window.view.Unanswered(), 0u);
    const std::vector<PierRow>& windowRows = window.logic.Table().Groups().back().rows;

    // The batch, in a second window with the same set-up.
    Window batch(c.curve);
    const auto textsBefore = batch.logic.Texts();
    const CalculationRecord stateBefore = batch.logic.Record();
    const BatchOutcome outcome = batch.logic.RunBatch(c.chainages, c.Dr);
    EXPECT_EQ(batch.logic.Texts(), textsBefore) << "a batch leaves the boxes alone";
    EXPECT_EQ(batch.logic.Record(), stateBefore) << "a batch leaves the record alone";

    ASSERT_EQ(outcome.rows.size(), windowRows.size());
    std::set<int> routines;
    for (std::size_t i = 0; i < windowRows.size(); ++i) {
        SCOPED_TRACE("row " + std::to_string(i + 1));
        EXPECT_EQ(outcome.rows[i].texts, windowRows[i].texts);
        EXPECT_EQ(outcome.rows[i].number, windowRows[i].number);
        EXPECT_EQ(outcome.rows[i].routine, windowRows[i].routine);
        EXPECT_EQ(outcome.rows[i].Kp, windowRows[i].Kp);
        EXPECT_EQ(outcome.rows[i].ends.Xin, windowRows[i].ends.Xin);
        EXPECT_EQ(outcome.rows[i].ends.Yout, windowRows[i].ends.Yout);
        routines.insert(outcome.rows[i].routine);
    }
    EXPECT_EQ(routines, c.routines);
    EXPECT_EQ(batch.logic.Table().RowCount(), windowRows.size());

    ASSERT_EQ(outcome.refused.size(), c.refused);
    ASSERT_EQ(outcome.refused.size(), windowRefusals.size());
    for (std::size_t i = 0; i < outcome.refused.size(); ++i) {
        EXPECT_EQ(outcome.refused[i].why, windowRefusals[i]);
        EXPECT_EQ(outcome.refused[i].why.kind, ErrorKind::Geometry);
        EXPECT_EQ(outcome.refused[i].KpText, ChainageText(outcome.refused[i].Kp, ChainageForm::Entered));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Batch, SameAsWindow,
    ::testing::Values(
        SameAsWindowCase{"RightHandBothSides", NorthOfCentre("60", "1"),
                         {1020, 980, 1000.5, 999.25, 1234.567, 765.432, 12345.678}, 10, 0.001f, {1, 2}, 1},
        SameAsWindowCase{"LeftHandBothSides", NorthOfCentre("120", "-1"),
                         {1020, 980, 1100, 900, 1000.001, 999.999}, 10, 0.001f, {3, 4}, 0},
        // Cm5 stores the beam's azimuths in the record: the chainages after it
        // start from what it left, in the batch as in the window.
        SameAsWindowCase{"DesignChainageBetweenOthers", NorthOfCentre("30.153", "1"),
                         {1000, 1020, 1000, 980, 1000}, 12.5, 0.001f, {1, 2, 5}, 0},
        SameAsWindowCase{"DesignChainageLeftHand", NorthOfCentre("150", "-1"), {1000, 1050, 950}, 7, 0, {3, 4, 5}, 0},
        SameAsWindowCase{"SquareBeam", NorthOfCentre("90", "1"), {1000, 1010, 990, 1000}, 20, 0.5f, {1, 2, 6}, 0},
        SameAsWindowCase{"ZeroHalfWidth", NorthOfCentre("45", "-1"), {1000, 1030, 970}, 0, 0, {3, 4, 5}, 0},
        // Far from J the axis of the design direction turns past the radius
        // or misses the inner edge: those chainages are refused, the rest run.
        SameAsWindowCase{"RefusalsAmongRows", NorthOfCentre("45", "1"),
                         {1010, 1400, 1001, 600, 1000, 2000, 990}, 100, 0.001f, {1, 2, 5}, 2},
        SameAsWindowCase{"WideRoadbedMissesTheInnerEdge", NorthOfCentre("60", "-1"),
                         {1000, 1010, 1100, 1200, 990, 900, 800}, 300, 0.001f, {3}, 5},
        SameAsWindowCase{"EveryChainageRefused", NorthOfCentre("60", "1"), {1600, 1700}, 10, 0, {}, 2},
        SameAsWindowCase{"EmptyList", NorthOfCentre("60", "1"), {}, 10, 0, {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Dr, mb and the curve are checked before any chainage --------------

struct BadValueCase {
    const char* name;
    double Dr;
    float mb;
    const char* typedDr;  // the reply that the window refuses the same way
    const char* typedMb;
};
void PrintTo(const BadValueCase& c, std::ostream* os) { *os << c.name; }

class BadValue : public ::testing::TestWithParam<BadValueCase> {};

TEST_P(BadValue, RefusedBeforeAnyChainageAsTheWindowRefusesIt) {
    const BadValueCase& c = GetParam();
    Window window(NorthOfCentre("60", "1"));
    window.view.Replies({"1020", c.typedDr, c.typedMb});  // then Cancel at the re-asked prompt
    EXPECT_FALSE(window.logic.ComputeBeamClicked());
    ASSERT_EQ(window.view.refusals.size(), 1u);

    Window batch(NorthOfCentre("60", "1"));
    try {
        batch.logic.RunBatch({1020, 980}, c.Dr);
        ADD_FAILURE() << "the batch ran";
    } catch (const Failure& failure) {
        // A number that no reply reads (an infinity, NaN) is refused by the
        // rule itself; any number a reply gives is refused in the window's words.
        if (std::isfinite(c.Dr))
            EXPECT_EQ(failure.message(), window.view.refusals[0].why);
        else
            EXPECT_EQ(failure.kind(), ErrorKind::OutOfRange);
    }
    EXPECT_TRUE(batch.logic.Table().Empty());
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(Batch, BadValue,
                         ::testing::Values(BadValueCase{"NegativeHalfWidth", -1, 0, "-1", "0"},
                                           BadValueCase{"HalfWidthOfR", 500, 0, "500", "0"},
                                           BadValueCase{"HalfWidthBeyondR", 1e300, 0, "1e300", "0"},
                                           BadValueCase{"InfiniteHalfWidth", kInf, 0, "inf", "0"},
                                           BadValueCase{"HalfWidthNotANumber", kNaN, 0, "nan", "0"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Batch, RefusedBeforeAnySetUp) {
    ScriptedView view;
    Calculator logic(view);
    try {
        logic.RunBatch({1000}, 10);
        ADD_FAILURE() << "the batch ran";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.kind(), ErrorKind::NoCurve);
    }
    EXPECT_TRUE(view.prompts.empty());
}

TEST(Batch, TangentOrientationIsCarriedIntoTheRows) {
    // Whatever the tangent routine answers, each chainage is either a row of
    // that orientation or a refusal with its reason; none is lost.
    const CalculationRecord curve = SetUpCurve(NorthOfCentre("60", "1"));
    const BatchOutcome outcome = RunBatch(curve.curve, curve.design, {1020, 980, 1000}, 10, Orientation::Tangent);
    EXPECT_EQ(outcome.rows.size() + outcome.refused.size(), 3u);
    for (const PierRow& row : outcome.rows) EXPECT_EQ(row.orientation, Orientation::Tangent);
}

// ---- ParseChainageList --------------------------------------------------

struct ListCase {
    const char* name;
    const char* text;
    std::vector<double> chainages;
    std::optional<ErrorKind> failure;
    const char* named = "";  // the item that the failure names
};
void PrintTo(const ListCase& c, std::ostream* os) { *os << c.name; }

class ChainageList : public ::testing::TestWithParam<ListCase> {};

TEST_P(ChainageList, ReadsOrNamesTheBadItem) {
    const ListCase& c = GetParam();
    if (!c.failure) {
        EXPECT_EQ(ParseChainageList(c.text), c.chainages);
        return;
    }
    try {
        ParseChainageList(c.text);
        ADD_FAILURE() << "read";
    } catch (const Failure& failure) {
        EXPECT_EQ(failure.kind(), *c.failure);
        EXPECT_NE(failure.message().text.find(std::string("「") + c.named + "」"), std::string::npos)
            << failure.message().text;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Batch, ChainageList,
    ::testing::Values(
        ListCase{"Blanks", "1000 1020   1040", {1000, 1020, 1040}, {}},
        ListCase{"CommasAndSemicolons", "1000,1020;1040", {1000, 1020, 1040}, {}},
        ListCase{"LinesOfAnyEnd", "1000\n1020\r\n1040\n", {1000, 1020, 1040}, {}},
        ListCase{"TabsFromASpreadsheet", "1000\t1020\n", {1000, 1020}, {}},
        ListCase{"FullWidthSeparators", "1000，1020；1040、1060　1080", {1000, 1020, 1040, 1060, 1080}, {}},
        ListCase{"FullWidthDigits", "１２３４５．６７８，１０００", {12345.678, 1000}, {}},
        ListCase{"EmptyItemsSkipped", ",,1000,, ,1020,", {1000, 1020}, {}},
        ListCase{"SignsAndExponents", "-5 +7.5 1.2e3", {-5, 7.5, 1200}, {}},
        ListCase{"NothingAtAll", "", {}, {}},
        ListCase{"OnlySeparators", " ,;\n\t", {}, {}},
        ListCase{"ChainageForm", "1000 K1+020", {}, ErrorKind::TypeMismatch, "K1+020"},
        ListCase{"Letters", "1000 abc 1040", {}, ErrorKind::TypeMismatch, "abc"},
        ListCase{"DecimalComma", "1000.5 1020x5", {}, ErrorKind::TypeMismatch, "1020x5"},
        ListCase{"NotFinite", "inf", {}, ErrorKind::TypeMismatch, "inf"},
        ListCase{"BeyondDouble", "1000 1e400", {}, ErrorKind::Overflow, "1e400"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- ChainageRange -------------------------------------------------------

struct RangeCase {
    const char* name;
    double start, step, end;
    std::size_t count;  // 0: refused
    double last;
};
void PrintTo(const RangeCase& c, std::ostream* os) { *os << c.name; }

class Range : public ::testing::TestWithParam<RangeCase> {};

TEST_P(Range, StepsFromTheStartAsTyped) {
    const RangeCase& c = GetParam();
    if (c.count == 0) {
        try {
            ChainageRange(c.start, c.step, c.end);
            ADD_FAILURE() << "a range was made";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.kind(), ErrorKind::OutOfRange);
        }
        return;
    }
    const std::vector<double> chainages = ChainageRange(c.start, c.step, c.end);
    ASSERT_EQ(chainages.size(), c.count);
    // Each is the decimal start + i x step that a user means, not a running
    // sum nor its binary residue: reckoned here in whole ten-thousandths (the
    // cases have at most four decimals), the double nearest to that decimal.
    const long long start = std::llround(c.start * 1e4), step = std::llround(c.step * 1e4);
    // The end, when it is not on a step, follows as it was typed.
    const double lastStep = static_cast<double>(start + static_cast<long long>(c.count - 1) * step) / 1e4;
    const std::size_t steps = std::fabs(lastStep - c.end) <= 0.001 ? c.count : c.count - 1;
    for (std::size_t i = 0; i < steps; ++i)
        ASSERT_EQ(chainages[i], static_cast<double>(start + static_cast<long long>(i) * step) / 1e4) << i;
    EXPECT_EQ(chainages.back(), c.last);
}

INSTANTIATE_TEST_SUITE_P(
    Batch, Range,
    ::testing::Values(RangeCase{"Upwards", 1000, 20, 1100, 6, 1100},
                      RangeCase{"Downwards", 1100, -20, 1000, 6, 1000},
                      RangeCase{"EndBetweenStepsIsTheLast", 0, 30, 100, 5, 100},
                      RangeCase{"EndBetweenStepsGoingDown", 2050, -100, 0, 22, 0},
                      RangeCase{"PierAtTheEndOfTheBridge", 0, 100, 2050, 22, 2050},
                      RangeCase{"TenthsReachTheEnd", 0, 0.1, 100, 1001, 100},
                      RangeCase{"EndWithinAMillimetre", 0, 0.1, 0.9995, 11, 1.0},
                      RangeCase{"EndJustBeyondAMillimetre", 0, 0.1, 0.9985, 11, 0.9985},
                      // 3 x 0.1 is 0.30000000000000004 and 100 + 218 x 0.3 is
                      // 165.39999999999998: a Kj of 0.3 or 165.4 would never be met.
                      RangeCase{"StepResidueDropped", 0, 0.1, 0.3, 4, 0.3},
                      RangeCase{"LongRunResidueDropped", 100, 0.3, 165.4, 219, 165.4},
                      RangeCase{"StartIsEnd", 1234.5, 20, 1234.5, 1, 1234.5},
                      RangeCase{"StartIsEndGoingDown", 1234.5, -20, 1234.5, 1, 1234.5},
                      RangeCase{"AsManyAsAllowed", 0, 1, kMaxBatch - 1, kMaxBatch, kMaxBatch - 1},
                      RangeCase{"OneTooMany", 0, 1, kMaxBatch, 0, 0},
                      RangeCase{"FarTooMany", 0, 1e-300, 1e300, 0, 0},
                      RangeCase{"StepZero", 0, 0, 100, 0, 0},
                      RangeCase{"StepAwayFromTheEnd", 0, -10, 100, 0, 0},
                      RangeCase{"StepAwayGoingDown", 100, 10, 0, 0, 0},
                      RangeCase{"InfiniteEnd", 0, 10, kInf, 0, 0},
                      RangeCase{"StepNotANumber", 0, kNaN, 100, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace capbeam::test
