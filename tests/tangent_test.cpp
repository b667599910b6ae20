// The tangent orientation ("与切线保持交角 B"): each beam at the skew B to its
// own tangent. At the design chainage it is the parallel request itself;
// elsewhere its ends are checked by worked examples, by what they mean over
// generated geometries, and by what it leaves for the requests after it.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "flows/calculator.h"
#include "records/batch.h"
#include "flows/request_flow.h"
#include "geometry/single_curve.h"
#include "core/text_formats.h"
#include "tests/calc_fixture.h"
#include "tests/scripted_view.h"

namespace capbeam::test {
namespace {

using F = Box;
using Replies = std::vector<std::optional<std::string>>;

// O at (1000, 2000), R = 500, J due north of O at chainage 1000 (Aoj = 0).
CurveReplies NorthOfCentre(const char* B, const char* P) { return {"1000", "2000", "1000", "1500", "2000", B, "500", P}; }

// The arc on R = 500 of a 30 degree turn, by the program's own degrees per radian.
const std::string kBeyond30 = "1261.7993877916667";
const std::string kBefore30 = "738.2006122083333";

// Runs one request on `state` with the replies Kp, Dr and mb = 0.001.
BeamPlacement Request(ScriptedView& view, CalculationRecord& state, Orientation orientation, const std::string& Kp,
                       const std::string& Dr) {
    view.Replies({Kp, Dr, "0.001"});
    return RunRequest(view, state, orientation);
}

// ---- At the design chainage both orientations are one computation ------

struct DesignCase {
    const char* name;
    CurveReplies curve;
    const char* Dr;
};
void PrintTo(const DesignCase& c, std::ostream* os) { *os << c.name; }

class AtDesignChainage : public ::testing::TestWithParam<DesignCase> {};

// Same boxes in the same order, same record (Cm5's azimuths included), same routine.
TEST_P(AtDesignChainage, BothOrientationsAgreeDigitForDigit) {
    const DesignCase& c = GetParam();
    const CalculationRecord setUp = SetUpCurve(c.curve);
    CalculationRecord parallel = setUp, tangent = setUp;
    ScriptedView parallelView, tangentView;
    const BeamPlacement p = Request(parallelView, parallel, Orientation::Parallel, c.curve.Kj, c.Dr);
    const BeamPlacement t = Request(tangentView, tangent, Orientation::Tangent, c.curve.Kj, c.Dr);
    EXPECT_EQ(t.orientation, Orientation::Tangent);
    EXPECT_EQ(t.routine, p.routine);
    EXPECT_EQ(t.routine, TangentRoutine(setUp.design.B));
    EXPECT_EQ(tangentView.steps, parallelView.steps);
    EXPECT_EQ(tangentView.texts, parallelView.texts);
    EXPECT_EQ(parallelView.writes.size(), 13u);
    EXPECT_TRUE(tangent == parallel);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AtDesignChainage,
    ::testing::Values(
        DesignCase{"SkewedRightCurve", NorthOfCentre("60", "1"), "10"},
        DesignCase{"SkewedLeftCurve", NorthOfCentre("60", "-1"), "10"},
        DesignCase{"ObtuseRightCurve", NorthOfCentre("120", "1"), "10"},
        DesignCase{"ObtuseLeftCurve", NorthOfCentre("120", "-1"), "10"},
        DesignCase{"SquareRightCurve", NorthOfCentre("90", "1"), "10"},
        DesignCase{"SquareLeftCurve", NorthOfCentre("90", "-1"), "7.25"},
        DesignCase{"MinutesAndSecondsThirdQuadrant",
                   {"3500000.25", "450000.5", "12345.678", "3499650.125", "449700.375", "30.153", "461.2", "1"},
                   "12.5"},
        DesignCase{"NearlyAlongTheTangentWideCurve",
                   {"0", "0", "50000", "-3000", "4000", "175", "5000", "-1"}, "8"},
        DesignCase{"OnTheCentreLine", NorthOfCentre("45.3", "1"), "0"}),
    [](const auto& info) { return std::string(info.param.name); });

// The worked example's design beam (B = 60, R = 500, Dr = 10, J due north of
// O), in either orientation, as literal boxes.
TEST(AtDesignChainage, BothOrientationsShowTheWorkedExample) {
    for (const Orientation orientation : {Orientation::Parallel, Orientation::Tangent}) {
        CalculationRecord state = SetUpCurve(NorthOfCentre("60", "1"));
        ScriptedView view;
        Request(view, state, orientation, "1000", "10");
        const FieldTexts expected = {{Box::BeamX, "1500"},           {Box::BeamY, "2000"},
                                     {Box::InnerChainage, "K 1+ 5.912"}, {Box::InnerX, "1489.966"},
                                     {Box::InnerY, "2005.793"},      {Box::InnerLength, "11.587(米)"},
                                     {Box::OuterChainage, "K 0+ 994.358"}, {Box::OuterX, "1509.968"},
                                     {Box::OuterY, "1994.245"},      {Box::OuterLength, "11.51(米)"}};
        for (const auto& [box, text] : expected) EXPECT_EQ(view.texts[box], text) << BoxNumber(box);
    }
}

// ---- Worked examples away from the design chainage -----------------------

struct Example {
    const char* name;
    CurveReplies curve;
    std::string Kp;
    FieldTexts expected;  // the result boxes in the order they are written
    int routine;
};
void PrintTo(const Example& c, std::ostream* os) { *os << c.name; }

class WorkedExample : public ::testing::TestWithParam<Example> {};

// K 30 degrees round from J on R = 500, Dr = 10: the skewed beams are the
// design beam of the curve of radius azimuth 30 (lengths 11.587 and 11.51,
// ends 5.912 m ahead and 5.642 m back along the centre line); the square ones
// lie on the radius through K.
TEST_P(WorkedExample, ShowsTheBeamAtK) {
    const Example& c = GetParam();
    CalculationRecord state = SetUpCurve(c.curve);
    const CalculationRecord setUp = state;
    ScriptedView view;
    const BeamPlacement outcome = Request(view, state, Orientation::Tangent, c.Kp, "10");
    EXPECT_EQ(outcome.routine, c.routine);
    EXPECT_EQ(outcome.orientation, Orientation::Tangent);
    ASSERT_EQ(view.writes.size(), 3 + c.expected.size());
    for (std::size_t i = 0; i < c.expected.size(); ++i) {
        EXPECT_EQ(view.writes[3 + i], c.expected[i].first) << "write " << i;
        EXPECT_EQ(view.texts[c.expected[i].first], c.expected[i].second) << BoxNumber(c.expected[i].first);
    }
    // The design beam's azimuths stay in the record.
    EXPECT_EQ(state.design.axis.Ab1, setUp.design.axis.Ab1);
    EXPECT_EQ(state.design.axis.Ab2, setUp.design.axis.Ab2);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WorkedExample,
    ::testing::Values(
        Example{"SkewedRightCurveBeyond", NorthOfCentre("60", "1"), kBeyond30,
                {{F::BeamX, "1433.013"}, {F::BeamY, "2250"}, {F::InnerLength, "11.587(米)"}, {F::OuterLength, "11.51(米)"},
                 {F::OuterX, "1444.522"}, {F::OuterY, "2250"}, {F::InnerX, "1421.426"}, {F::InnerY, "2250"},
                 {F::OuterChainage, "K 1+ 256.157"}, {F::InnerChainage, "K 1+ 267.711"}},
                5},
        Example{"ObtuseLeftCurveBeyond", NorthOfCentre("120", "-1"), kBeyond30,
                {{F::BeamX, "1433.013"}, {F::BeamY, "1750"}, {F::InnerLength, "11.587(米)"}, {F::OuterLength, "11.51(米)"},
                 {F::OuterX, "1444.522"}, {F::OuterY, "1750"}, {F::InnerX, "1421.426"}, {F::InnerY, "1750"},
                 {F::OuterChainage, "K 1+ 256.157"}, {F::InnerChainage, "K 1+ 267.711"}},
                5},
        Example{"SkewedRightCurveBefore", NorthOfCentre("60", "1"), kBefore30,
                {{F::BeamX, "1433.013"}, {F::BeamY, "1750"}, {F::InnerLength, "11.587(米)"}, {F::OuterLength, "11.51(米)"},
                 {F::OuterX, "1438.767"}, {F::OuterY, "1740.032"}, {F::InnerX, "1427.219"}, {F::InnerY, "1760.034"},
                 {F::OuterChainage, "K 0+ 732.559"}, {F::InnerChainage, "K 0+ 744.112"}},
                5},
        Example{"SquareRightCurveBefore", NorthOfCentre("90", "1"), kBefore30,
                {{F::BeamX, "1433.013"}, {F::BeamY, "1750"}, {F::InnerX, "1424.352"}, {F::InnerY, "1755"},
                 {F::OuterX, "1441.673"}, {F::OuterY, "1745"}, {F::InnerChainage, "K 0+ 738.201"},
                 {F::OuterChainage, "K 0+ 738.201"}, {F::InnerLength, "10(米)"}, {F::OuterLength, "10(米)"}},
                6},
        Example{"SquareLeftCurveBefore", NorthOfCentre("90", "-1"), kBefore30,
                {{F::BeamX, "1433.013"}, {F::BeamY, "2250"}, {F::InnerX, "1424.352"}, {F::InnerY, "2245"},
                 {F::OuterX, "1441.673"}, {F::OuterY, "2255"}, {F::InnerChainage, "K 0+ 738.201"},
                 {F::OuterChainage, "K 0+ 738.201"}, {F::InnerLength, "10(米)"}, {F::OuterLength, "10(米)"}},
                6}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Square beams lie on their radius -----------------------------------

struct SquareCase {
    const char* name;
    CurveReplies curve;
    double Kp, Dr;
};
void PrintTo(const SquareCase& c, std::ostream* os) { *os << c.name; }

class SquareBeam : public ::testing::TestWithParam<SquareCase> {};

TEST_P(SquareBeam, LiesOnTheRadiusThroughK) {
    const SquareCase& c = GetParam();
    const CalculationRecord s = Requested(SetUpCurve(c.curve), c.Kp, c.Dr);
    const BeamEnds e = ComputeTangentEnds(s);
    const Vec O{s.curve.Xo, s.curve.Yo}, K{e.Xk, e.Yk}, in{e.Xin, e.Yin}, out{e.Xout, e.Yout};
    const Vec radius = K - O;
    EXPECT_NEAR(Length(radius), s.curve.R, 1e-9 * s.curve.R);
    EXPECT_NEAR(Length(in - O), static_cast<double>(s.edges.Rin), 1e-9 * s.curve.R);
    EXPECT_NEAR(Length(out - O), s.edges.Rout, 1e-9 * s.curve.R);
    EXPECT_NEAR(Cross(in - O, radius) / Length(radius), 0, 1e-9 * s.curve.R);
    EXPECT_NEAR(Cross(out - O, radius) / Length(radius), 0, 1e-9 * s.curve.R);
    EXPECT_GT(Dot(in - O, radius), 0);
    EXPECT_GT(Dot(out - O, radius), 0);
    // The chainage Kp at both ends, exactly.
    EXPECT_EQ(e.Kin, s.request.Kp);
    EXPECT_EQ(e.Kout, s.request.Kp);
    // And K at the chainage Kp: the arc from J to K on R.
    const double turned = (s.curve.P > 0 ? 1 : -1) * (Azimuth(radius) - Azimuth(Vec{s.design.Xj, s.design.Yj} - O));
    EXPECT_NEAR(s.curve.R * Wrap(turned - (s.request.Kp - s.design.Kj) / s.curve.R), 0, kMillimetre);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SquareBeam,
    ::testing::Values(SquareCase{"RightCurveBeyond", NorthOfCentre("90", "1"), 1100, 10},
                      SquareCase{"RightCurveBefore", NorthOfCentre("90", "1"), 600, 10},
                      SquareCase{"LeftCurveBeyond", NorthOfCentre("90", "-1"), 1700, 25},
                      SquareCase{"LeftCurveBefore", NorthOfCentre("90", "-1"), 999.9999, 0.5},
                      // Past the point opposite J, where the radius azimuth wraps through 360.
                      SquareCase{"HalfWayRoundTheCircle", NorthOfCentre("90", "1"), 2600, 10},
                      SquareCase{"LargeCoordinates",
                                 {"3500000.25", "450000.5", "12345.678", "3499650.125", "449700.375", "90",
                                  "461.0185", "-1"},
                                 12000.5, 12.25}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- By meaning, over generated geometries ------------------------------

// What a case means in the tangent orientation: K on the centre line at Kp,
// the axis through K at the skew B, clockwise, from the forward tangent at K
// (azimuth of the radius to K, plus 90 degrees on a right-hand curve, minus 90
// on a left-hand one); `out` its half away from O.
Meaning TangentMeaning(const CalculationRecord& s, const Case& c) {
    Meaning m;
    m.O = {s.curve.Xo, s.curve.Yo};
    m.J = {s.design.Xj, s.design.Yj};
    m.R = s.curve.R;
    m.sense = s.curve.P > 0 ? +1 : -1;
    m.phiJ = Azimuth(m.J - m.O);
    const double phiK = m.phiJ + m.sense * (c.Kp - s.design.Kj) / s.curve.R;
    m.K = c.Kp == s.design.Kj ? m.J : Vec{m.O.x + s.curve.R * std::cos(phiK), m.O.y + s.curve.R * std::sin(phiK)};
    m.out = AtAzimuth(phiK + m.sense * kPi / 2 + c.Bdegrees * kPi / 180);
    if (Dot(m.out, m.K - m.O) < 0) m.out = {-m.out.x, -m.out.y};
    return m;
}

TEST(TangentByMeaning, GeneratedGeometries) {
    Generator g(8081208);
    int computed = 0, refused = 0, square = 0;
    int routines[7] = {};
    for (int i = 0; i < 4000; ++i) {
        const Case c = Generate(g, i);
        const CalculationRecord s = Requested(SetUpCurve(c.curve), c.Kp, c.Dr);
        const int routine = ChooseRoutine(s.curve.P, s.request.Kp, s.design.Kj, s.design.B);
        ++routines[routine];
        const Meaning m = TangentMeaning(s, c);
        // The radial computation reckons the inner edge from Rin, the skewed one from R - Dr.
        const double innerEdge = s.design.B == 90 ? static_cast<double>(s.edges.Rin) : s.curve.R - s.request.Dr;
        SCOPED_TRACE(testing::Message() << "case " << i << ": routine " << routine << ", R " << s.curve.R << ", B "
                                        << c.Bdegrees << ", P " << s.curve.P << ", Kp - Kj " << c.Kp - s.design.Kj
                                        << ", Dr " << c.Dr);
        const std::optional<BeamEnds> ends = ExpectComputedOrTrulyRefused(ComputeTangentEnds, m, s, innerEdge);
        if (!ends) {
            ++refused;
            continue;
        }
        ++computed;
        const BeamEnds& e = *ends;

        // Every beam of the orientation is the design beam turned about O:
        // its lengths are those at J, bit for bit.
        CalculationRecord atJ = s;
        atJ.request.Kp = s.design.Kj;
        const BeamEnds design = ComputeEnds(atJ);
        EXPECT_EQ(e.Lin, design.Lin);
        EXPECT_EQ(e.Lout, design.Lout);
        if (s.design.B == 90) {
            ++square;
            EXPECT_EQ(e.Kin, s.request.Kp);
            EXPECT_EQ(e.Kout, s.request.Kp);
        }
    }
    RecordProperty("computed", computed);
    RecordProperty("refused", refused);
    for (int r = 1; r <= 6; ++r) EXPECT_GT(routines[r], 0) << "routine " << r;
    EXPECT_GT(refused, 0);
    EXPECT_GT(square, 100);
    EXPECT_GT(computed, 3000);
}

// ---- What a tangent request leaves for the next request -----------------

struct SequenceCase {
    const char* name;
    CurveReplies curve;
    std::string firstKp, secondKp;
};
void PrintTo(const SequenceCase& c, std::ostream* os) { *os << c.name; }

class TangentThenParallel : public ::testing::TestWithParam<SequenceCase> {};

// The record after a tangent request is the record after a parallel request
// at the same chainage, so the parallel request after it shows exactly what
// it shows after a parallel one.
TEST_P(TangentThenParallel, ParallelResultsUnchanged) {
    const SequenceCase& c = GetParam();
    const CalculationRecord setUp = SetUpCurve(c.curve);
    CalculationRecord reference = setUp, mixed = setUp;
    ScriptedView referenceFirst, mixedFirst;
    Request(referenceFirst, reference, Orientation::Parallel, c.firstKp, "10");
    Request(mixedFirst, mixed, Orientation::Tangent, c.firstKp, "10");
    EXPECT_TRUE(mixed == reference);
    if (c.firstKp != c.curve.Kj) {
        EXPECT_EQ(mixed.design.axis.Ab1, setUp.design.axis.Ab1);
        EXPECT_EQ(mixed.design.axis.Ab2, setUp.design.axis.Ab2);
    }
    ScriptedView referenceSecond, mixedSecond;
    const BeamPlacement r = Request(referenceSecond, reference, Orientation::Parallel, c.secondKp, "10");
    const BeamPlacement m = Request(mixedSecond, mixed, Orientation::Parallel, c.secondKp, "10");
    EXPECT_EQ(m.routine, r.routine);
    EXPECT_EQ(m.orientation, Orientation::Parallel);
    EXPECT_EQ(mixedSecond.steps, referenceSecond.steps);
    EXPECT_EQ(mixedSecond.texts, referenceSecond.texts);
    EXPECT_TRUE(mixed == reference);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TangentThenParallel,
    ::testing::Values(SequenceCase{"BeyondThenBefore", NorthOfCentre("60", "1"), "1100", "980"},
                      SequenceCase{"BeforeThenBeyondLeftCurve", NorthOfCentre("120", "-1"), "900", "1020"},
                      SequenceCase{"AtDesignThenBeyond", NorthOfCentre("60", "-1"), "1000", "1020"},
                      SequenceCase{"SquareBeyondThenBefore", NorthOfCentre("90", "1"), "1200", "990"},
                      SequenceCase{"BeyondThenAtDesign", NorthOfCentre("75.3", "1"), "1300", "1000"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Where the two orientations part ------------------------------------

// B = 10 on R = 500: 100 m on, a beam kept parallel to the design beam has
// turned past the radius and is refused; a beam at B to its own tangent is
// the design beam again, 100 m further on.
TEST(Tangent, ComputesWhereTheParallelBeamTurnsPastTheRadius) {
    const CalculationRecord setUp = SetUpCurve(NorthOfCentre("10", "1"));
    CalculationRecord parallel = setUp, tangent = setUp, design = setUp;
    ScriptedView parallelView, tangentView, designView;
    EXPECT_THROW(Request(parallelView, parallel, Orientation::Parallel, "1100", "1"), Failure);
    Request(tangentView, tangent, Orientation::Tangent, "1100", "1");
    Request(designView, design, Orientation::Parallel, "1000", "1");
    EXPECT_EQ(tangentView.texts[F::InnerLength], designView.texts[F::InnerLength]);
    EXPECT_EQ(tangentView.texts[F::OuterLength], designView.texts[F::OuterLength]);
}

// The axis that misses the inner edge at J misses it at every chainage, and
// the refusal is the design position's own, word for word.
TEST(Tangent, RefusesAsTheDesignPositionDoes) {
    const CurveReplies curve = {"1000", "2000", "1000", "1100", "2000", "20", "100", "1"};
    CalculationRecord atJ = SetUpCurve(curve);
    ScriptedView designView;
    std::string designRefusal;
    try {
        Request(designView, atJ, Orientation::Parallel, "1000", "10");
        ADD_FAILURE() << "the design position computed";
    } catch (const Failure& f) {
        designRefusal = f.what();
    }
    for (const char* Kp : {"1000", "1030", "940"}) {
        SCOPED_TRACE(Kp);
        Replies replies = SetUpReplies(curve);
        replies.insert(replies.end(), {Kp, "1", "0.001", Kp, "10", "0.001"});
        ScriptedView view(replies);
        Calculator logic(view);
        logic.SetOrientation(Orientation::Tangent);
        ASSERT_TRUE(logic.SetUpCurveClicked());
        ASSERT_TRUE(logic.ComputeBeamClicked());  // Dr = 1 reaches the inner edge
        const auto boxes = logic.Texts();
        const CalculationRecord record = logic.Record();
        EXPECT_FALSE(logic.ComputeBeamClicked());  // Dr = 10 does not
        EXPECT_EQ(view.messages, (std::vector<Message>{{ErrorKind::Geometry, designRefusal}}));
        EXPECT_EQ(logic.Texts(), boxes);
        EXPECT_TRUE(logic.Record() == record);
        EXPECT_EQ(logic.Table().RowCount(), 1u);
    }
}

// ---- Through the window's logic -----------------------------------------

TEST(Tangent, WindowRequestAddsATangentRowShowingItsBoxes) {
    Replies replies = SetUpReplies(NorthOfCentre("60", "1"));
    replies.insert(replies.end(), {kBeyond30, "10", "0.001", "980", "10", "0.001"});
    ScriptedView view(replies);
    Calculator logic(view);
    ASSERT_TRUE(logic.SetUpCurveClicked());
    logic.SetOrientation(Orientation::Tangent);
    ASSERT_TRUE(logic.ComputeBeamClicked());
    logic.SetOrientation(Orientation::Parallel);
    ASSERT_TRUE(logic.ComputeBeamClicked());

    ASSERT_EQ(logic.Table().Groups().size(), 1u);
    const std::vector<PierRow>& rows = logic.Table().Groups()[0].rows;
    ASSERT_EQ(rows.size(), 2u);
    const PierRow& tangent = rows[0];
    EXPECT_EQ(tangent.orientation, Orientation::Tangent);
    EXPECT_EQ(tangent.routine, 5);
    EXPECT_EQ(tangent.Text(PierColumn::Xk), "1433.013");
    EXPECT_EQ(tangent.Text(PierColumn::Kin), "K 1+ 267.711");
    EXPECT_EQ(tangent.Text(PierColumn::Kout), "K 1+ 256.157");
    EXPECT_EQ(tangent.Text(PierColumn::Lin), "11.587(米)");
    // The parallel request after it: its own row, its boxes those of a parallel request alone.
    const PierRow& parallel = rows[1];
    EXPECT_EQ(parallel.orientation, Orientation::Parallel);
    EXPECT_EQ(parallel.routine, 2);
    for (int col = 0; col < kPierColumnCount; ++col)
        EXPECT_EQ(parallel.texts[static_cast<std::size_t>(col)],
                  logic.Text(kRowBoxes[static_cast<std::size_t>(col)]))
            << kPierColumnTitles[static_cast<std::size_t>(col)];
    CalculationRecord alone = SetUpCurve(NorthOfCentre("60", "1"));
    ScriptedView aloneView;
    Request(aloneView, alone, Orientation::Parallel, "980", "10");
    for (const auto& [field, text] : aloneView.texts) EXPECT_EQ(logic.Text(field), text) << BoxNumber(field);
}

// A tangent batch gives, row for row, what the same tangent clicks give in the window.
TEST(Tangent, BatchRowsEqualTheWindowsClicks) {
    const struct {
        const char* name;
        CurveReplies curve;
    } rows[] = {{"SkewedRightCurve", NorthOfCentre("30.153", "1")},
                {"SquareLeftCurve", NorthOfCentre("90", "-1")},
                {"NearlyAlongTheTangent", NorthOfCentre("10", "1")}};
    const std::vector<double> chainages = {1000, 1100, 900, 1000.001, 1000, 2600, 250.5};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        ScriptedView view(SetUpReplies(r.curve));
        Calculator window(view);
        window.SetOrientation(Orientation::Tangent);
        ASSERT_TRUE(window.SetUpCurveClicked());
        const CalculationRecord curve = window.Record();
        for (const double Kp : chainages) {
            view.Replies({Reply(Kp), "3.5", "0.001"});
            ASSERT_TRUE(window.ComputeBeamClicked());
        }
        const BatchOutcome batch = RunBatch(curve.curve, curve.design, chainages, 3.5, Orientation::Tangent);
        EXPECT_TRUE(batch.refused.empty());
        const std::vector<PierRow>& clicked = window.Table().Groups().back().rows;
        ASSERT_EQ(batch.rows.size(), clicked.size());
        for (std::size_t i = 0; i < clicked.size(); ++i) {
            EXPECT_EQ(batch.rows[i].texts, clicked[i].texts) << "row " << i + 1;
            EXPECT_EQ(batch.rows[i].routine, clicked[i].routine);
            EXPECT_EQ(batch.rows[i].orientation, Orientation::Tangent);
        }
    }
}

// The tangent row keeps the boxes as they were when it was made.
TEST(Tangent, WindowRowCopiesTheBoxes) {
    Replies replies = SetUpReplies(NorthOfCentre("90", "-1"));
    replies.insert(replies.end(), {kBefore30, "10", "0.001"});
    ScriptedView view(replies);
    Calculator logic(view);
    logic.SetOrientation(Orientation::Tangent);
    ASSERT_TRUE(logic.SetUpCurveClicked());
    ASSERT_TRUE(logic.ComputeBeamClicked());
    ASSERT_EQ(logic.Table().RowCount(), 1u);
    const PierRow& row = logic.Table().Groups()[0].rows[0];
    EXPECT_EQ(row.orientation, Orientation::Tangent);
    EXPECT_EQ(row.routine, 6);
    for (int col = 0; col < kPierColumnCount; ++col)
        EXPECT_EQ(row.texts[static_cast<std::size_t>(col)],
                  logic.Text(kRowBoxes[static_cast<std::size_t>(col)]))
            << kPierColumnTitles[static_cast<std::size_t>(col)];
    EXPECT_EQ(row.Text(PierColumn::Kin), "K 0+ 738.201");
    EXPECT_EQ(row.Text(PierColumn::Kout), "K 0+ 738.201");
}

}  // namespace
}  // namespace capbeam::test
