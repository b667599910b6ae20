// The worked examples of the end-point calculation, end to end: the set-up and
// the request typed into the window's logic, every result box compared as the
// exact text the window shows.

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "cli/cli.h"

#include "flows/calculator.h"
#include "tests/calc_fixture.h"
#include "tests/scripted_view.h"

namespace capbeam::test {
namespace {

constexpr double kRadToDeg = 180 / 3.1415926535;

struct Example {
    const char* name;
    CurveReplies curve;
    std::string Kp, Dr, mb;
    FieldTexts expected;  // boxes in the order the routine writes them
};

// O at (1000, 2000), R = 500, J due north of O at chainage 1000 (Aoj = 0).
CurveReplies NorthOfCentre(const char* B, const char* P) { return {"1000", "2000", "1000", "1500", "2000", B, "500", P}; }

// J at (3000, 5000), chainage 1234.5, on the radius of azimuth 30 of a curve of R = 500.
CurveReplies DesignAt30(const char* B, const char* P) {
    return {Reply(3000 - 500 * std::cos(30 / kRadToDeg)), Reply(5000 - 500 * std::sin(30 / kRadToDeg)),
            "1234.5", "3000", "5000", B, "500", P};
}

// O given, J on the curve of radius R at azimuth Aoj and chainage Kj, B = 90.
CurveReplies Radial(double Xo, double Yo, double R, double Aoj, const char* Kj = "1234.5678") {
    return {Reply(Xo), Reply(Yo), Kj, Reply(Xo + R * std::cos(Aoj / kRadToDeg)),
            Reply(Yo + R * std::sin(Aoj / kRadToDeg)), "90", Reply(R), "1"};
}

using F = Box;

const Example kExamples[] = {
    // Beam centre at another chainage (Cm1 to Cm4).
    {"Cm1_B60_KpBeyond", NorthOfCentre("60", "1"), "1020", "10", "0.001",
     {{F::BeamX, "1499.6"}, {F::BeamY, "2019.995"}, {F::InnerLength, "11.878(米)"}, {F::InnerX, "1489.313"},
      {F::InnerY, "2025.934"}, {F::InnerChainage, "K 1+ 26.475"}, {F::OuterLength, "11.784(米)"}, {F::OuterX, "1509.805"},
      {F::OuterY, "2014.103"}, {F::OuterChainage, "K 1+ 13.828"}}},
    {"Cm4_B60_LeftCurveKpBefore", NorthOfCentre("60", "-1"), "980", "10", "0.001",
     {{F::BeamX, "1499.6"}, {F::BeamY, "2019.995"}, {F::InnerLength, "11.878(米)"}, {F::InnerX, "1489.313"},
      {F::InnerY, "2025.934"}, {F::InnerChainage, "K 0+ 973.525"}, {F::OuterLength, "11.784(米)"}, {F::OuterX, "1509.805"},
      {F::OuterY, "2014.103"}, {F::OuterChainage, "K 0+ 986.172"}}},
    {"Cm2_B60_KpBefore", NorthOfCentre("60", "1"), "980", "10", "0.001",
     {{F::BeamX, "1499.6"}, {F::BeamY, "1980.005"}, {F::InnerLength, "11.327(米)"}, {F::InnerX, "1489.79"},
      {F::InnerY, "1985.669"}, {F::InnerChainage, "K 0+ 985.374"}, {F::OuterLength, "11.265(米)"}, {F::OuterX, "1509.356"},
      {F::OuterY, "1974.373"}, {F::OuterChainage, "K 0+ 974.865"}}},
    {"Cm3_B60_LeftCurveKpBeyond", NorthOfCentre("60", "-1"), "1020", "10", "0.001",
     {{F::BeamX, "1499.6"}, {F::BeamY, "1980.005"}, {F::InnerLength, "11.327(米)"}, {F::InnerX, "1489.79"},
      {F::InnerY, "1985.669"}, {F::InnerChainage, "K 1+ 14.626"}, {F::OuterLength, "11.265(米)"}, {F::OuterX, "1509.356"},
      {F::OuterY, "1974.373"}, {F::OuterChainage, "K 1+ 25.135"}}},
    {"Cm1_B120", NorthOfCentre("120", "1"), "1020", "10", "0.001",
     {{F::BeamX, "1499.6"}, {F::BeamY, "2019.995"}, {F::InnerLength, "11.327(米)"}, {F::InnerX, "1489.79"},
      {F::InnerY, "2014.331"}, {F::InnerChainage, "K 1+ 14.626"}, {F::OuterLength, "11.265(米)"}, {F::OuterX, "1509.356"},
      {F::OuterY, "2025.627"}, {F::OuterChainage, "K 1+ 25.135"}}},
    {"Cm1_B91_SkewFromRadiusNegative", NorthOfCentre("91", "1"), "1020", "10", "0.001",
     {{F::BeamX, "1499.6"}, {F::BeamY, "2019.995"}, {F::InnerLength, "10.003(米)"}, {F::InnerX, "1489.599"},
      {F::InnerY, "2019.82"}, {F::InnerChainage, "K 1+ 20.23"}, {F::OuterLength, "10.002(米)"}, {F::OuterX, "1509.601"},
      {F::OuterY, "2020.169"}, {F::OuterChainage, "K 1+ 19.779"}}},
    {"Cm1_B60_MbHasNoEffect", NorthOfCentre("60", "1"), "1020", "10", "45",
     {{F::BeamX, "1499.6"}, {F::BeamY, "2019.995"}, {F::InnerLength, "11.878(米)"}, {F::InnerX, "1489.313"},
      {F::InnerY, "2025.934"}, {F::InnerChainage, "K 1+ 26.475"}, {F::OuterLength, "11.784(米)"}, {F::OuterX, "1509.805"},
      {F::OuterY, "2014.103"}, {F::OuterChainage, "K 1+ 13.828"}}},
    {"Cm1_KpJustBeyondKjApproachesDesign", DesignAt30("60", "1"), "1234.5001", "10", "0.001",
     {{F::InnerLength, "11.587(米)"}, {F::InnerX, "2988.413"}, {F::InnerY, "5000"}, {F::InnerChainage, "K 1+ 240.412"},
      {F::OuterLength, "11.51(米)"}, {F::OuterY, "5000"}, {F::OuterChainage, "K 1+ 228.858"}}},

    // Skewed beam at the design chainage (Cm5).
    {"Cm5_RightCurve_B60", DesignAt30("60", "1"), "1234.5", "10", "0.001",
     {{F::BeamX, "3000"}, {F::BeamY, "5000"}, {F::InnerLength, "11.587(米)"}, {F::OuterLength, "11.51(米)"},
      {F::OuterX, "3011.51"}, {F::OuterY, "5000"}, {F::InnerX, "2988.413"}, {F::InnerY, "5000"},
      {F::OuterChainage, "K 1+ 228.858"}, {F::InnerChainage, "K 1+ 240.412"}}},
    {"Cm5_LeftCurve_B60", DesignAt30("60", "-1"), "1234.5", "10", "0.001",
     {{F::BeamX, "3000"}, {F::BeamY, "5000"}, {F::InnerLength, "11.587(米)"}, {F::OuterLength, "11.51(米)"},
      {F::OuterX, "3011.51"}, {F::OuterY, "5000"}, {F::InnerX, "2988.413"}, {F::InnerY, "5000"},
      {F::OuterChainage, "K 1+ 240.142"}, {F::InnerChainage, "K 1+ 228.588"}}},
    {"Cm5_RightCurve_B120", DesignAt30("120", "1"), "1234.5", "10", "0.001",
     {{F::BeamX, "3000"}, {F::BeamY, "5000"}, {F::InnerLength, "11.587(米)"}, {F::OuterLength, "11.51(米)"},
      {F::OuterX, "3005.755"}, {F::OuterY, "5009.968"}, {F::InnerX, "2994.207"}, {F::InnerY, "4989.966"},
      {F::OuterChainage, "K 1+ 240.142"}, {F::InnerChainage, "K 1+ 228.588"}}},
    {"Cm5_LeftCurve_B120", DesignAt30("120", "-1"), "1234.5", "10", "0.001",
     {{F::BeamX, "3000"}, {F::BeamY, "5000"}, {F::InnerLength, "11.587(米)"}, {F::OuterLength, "11.51(米)"},
      {F::OuterX, "3005.755"}, {F::OuterY, "5009.968"}, {F::InnerX, "2994.207"}, {F::InnerY, "4989.966"},
      {F::OuterChainage, "K 1+ 228.858"}, {F::InnerChainage, "K 1+ 240.412"}}},
    {"Cm5_ZeroHalfWidth", DesignAt30("60", "1"), "1234.5", "0", "0.001",
     {{F::BeamX, "3000"}, {F::BeamY, "5000"}, {F::InnerLength, "0(米)"}, {F::OuterLength, "0(米)"}, {F::OuterX, "3000"},
      {F::OuterY, "5000"}, {F::InnerX, "3000"}, {F::InnerY, "5000"}, {F::OuterChainage, "K 1+ 234.5"},
      {F::InnerChainage, "K 1+ 234.5"}}},

    // Radial beam at the design position (Cm6): the centre is J, each half is Dr long.
    {"Cm6_Azimuth30", Radial(1000, 2000, 500, 30), "1234.5678", "7.5", "0.001",
     {{F::BeamX, "1433.013"}, {F::BeamY, "2250"}, {F::InnerX, "1426.518"}, {F::InnerY, "2246.25"},
      {F::OuterX, "1439.508"}, {F::OuterY, "2253.75"}, {F::InnerChainage, "K 1+ 234.568"}, {F::OuterChainage, "K 1+ 234.568"},
      {F::InnerLength, "7.5(米)"}, {F::OuterLength, "7.5(米)"}}},
    {"Cm6_DueNorth", Radial(0, 0, 500, 0), "1234.5678", "10", "0.001",
     {{F::BeamX, "500"}, {F::BeamY, "0"}, {F::InnerX, "490"}, {F::InnerY, "0"}, {F::OuterX, "510"},
      {F::OuterY, "0"}, {F::InnerChainage, "K 1+ 234.568"}, {F::OuterChainage, "K 1+ 234.568"}, {F::InnerLength, "10(米)"},
      {F::OuterLength, "10(米)"}}},
    {"Cm6_DueEastResidueRoundedAway", Radial(0, 0, 500, 90), "1234.5678", "10", "0.001",
     {{F::BeamX, "0"}, {F::BeamY, "500"}, {F::InnerX, "0"}, {F::InnerY, "490"}, {F::OuterX, "0"},
      {F::OuterY, "510"}, {F::InnerChainage, "K 1+ 234.568"}, {F::OuterChainage, "K 1+ 234.568"}, {F::InnerLength, "10(米)"},
      {F::OuterLength, "10(米)"}}},
    {"Cm6_DueWestNoMinusZero", Radial(0, 0, 500, 270), "1234.5678", "10", "0.001",
     {{F::BeamX, "0"}, {F::BeamY, "-500"}, {F::InnerX, "0"}, {F::InnerY, "-490"}, {F::OuterX, "0"},
      {F::OuterY, "-510"}, {F::InnerChainage, "K 1+ 234.568"}, {F::OuterChainage, "K 1+ 234.568"}, {F::InnerLength, "10(米)"},
      {F::OuterLength, "10(米)"}}},
    {"Cm6_SouthWest", Radial(3000, 5000, 800, 225), "1234.5678", "12", "0.001",
     {{F::BeamX, "2434.315"}, {F::BeamY, "4434.315"}, {F::InnerX, "2442.8"}, {F::InnerY, "4442.8"},
      {F::OuterX, "2425.829"}, {F::OuterY, "4425.829"}, {F::InnerChainage, "K 1+ 234.568"},
      {F::OuterChainage, "K 1+ 234.568"}, {F::InnerLength, "12(米)"}, {F::OuterLength, "12(米)"}}},
    {"Cm6_EndChainageRoundedUnlikeTheEnteredOne", Radial(0, 0, 500, 0, "123456.789"), "123456.789", "10", "0.001",
     {{F::BeamChainage, "K 123+ 456.789000000004"}, {F::InnerChainage, "K 123+ 456.789"}, {F::OuterChainage, "K 123+ 456.789"}}},
    {"Cm6_MetresRoundUpTo1000", Radial(0, 0, 500, 0, "999.9996"), "999.9996", "10", "0.001",
     {{F::BeamChainage, "K 0+ 999.9996"}, {F::InnerChainage, "K 0+ 1000"}, {F::OuterChainage, "K 0+ 1000"}}},
};

class CalcExampleTest : public ::testing::TestWithParam<Example> {};

TEST_P(CalcExampleTest, ThroughTheWindow) {
    const Example& ex = GetParam();
    ScriptedView view(SetUpReplies(ex.curve));
    view.Replies({ex.Kp, ex.Dr, ex.mb});
    Calculator logic(view);
    ASSERT_TRUE(logic.SetUpCurveClicked());
    const std::size_t setUpWrites = view.writes.size();
    ASSERT_TRUE(logic.ComputeBeamClicked()) << (view.messages.empty() ? "" : view.messages.back().text);
    for (const auto& [field, text] : ex.expected) EXPECT_EQ(logic.Text(field), text) << "Text" << BoxNumber(field);

    // A complete row also fixes the order of the writes after the three request boxes.
    if (ex.expected.size() == 10) {
        std::vector<Box> written(view.writes.begin() + static_cast<std::ptrdiff_t>(setUpWrites) + 3,
                                   view.writes.end());
        std::vector<Box> order;
        for (const auto& row : ex.expected) order.push_back(row.first);
        EXPECT_EQ(written, order);
    }
}

// The same presses typed into capbeam-cli --fields: the last 21 lines are the
// boxes after the request.
TEST_P(CalcExampleTest, ThroughTheTerminal) {
    const Example& ex = GetParam();
    std::string input = "1\n";
    for (const auto& reply : SetUpReplies(ex.curve)) input += *reply + "\n";
    input += "2\n" + ex.Kp + "\n" + ex.Dr + "\n" + ex.mb + "\n";
    std::istringstream in(input);
    std::ostringstream out, err;
    ASSERT_EQ(RunCli({"--fields"}, in, out, err), 0);
    std::vector<std::string> lines;
    std::istringstream printed(out.str());
    for (std::string line; std::getline(printed, line);) lines.push_back(line);
    ASSERT_GE(lines.size(), 21u);
    const std::vector<std::string> boxes(lines.end() - 21, lines.end());
    for (const auto& [field, text] : ex.expected)
        EXPECT_EQ(boxes[static_cast<std::size_t>(BoxNumber(field) - 1)],
                  "Text" + std::to_string(BoxNumber(field)) + "=" + text);
}

INSTANTIATE_TEST_SUITE_P(Table, CalcExampleTest, ::testing::ValuesIn(kExamples),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace capbeam::test
