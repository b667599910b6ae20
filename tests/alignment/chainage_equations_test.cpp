#include "geometry/chainage_equations.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/failure.h"
#include "reference.h"

namespace capbeam {
namespace {

std::string Refusal(const ChainageEquations& eq, Chainage c) {
    try {
        eq.ToDistance(c);
    } catch (const Failure& f) {
        return f.message().text;
    }
    return "accepted";
}

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// Start at K0+900: a short chain K1+195 = K1+200 at distance 1195, then a
// long chain K1+410 = K1+400 at distance 1405.
const ChainageEquations kRoad(900, {{1195, 1200}, {1410, 1400}});

TEST(ChainageEquations, DistancesOfChainagesOnEachStretch) {
    struct Row {
        const char* name;
        Chainage chainage;
        double distance;
    };
    const Row rows[] = {
        {"before_the_short_chain", {1000}, 1000},
        {"its_back_chainage", {1195}, 1195},
        {"its_ahead_chainage", {1200}, 1195},
        {"after_it", {1300}, 1295},
        {"before_the_long_chain", {1399.5}, 1394.5},
        {"long_chain_first_pass", {1405, 1}, 1400},
        {"long_chain_second_pass", {1405, 2}, 1410},
        {"its_back_named", {1410, 1}, 1405},
        {"its_ahead_named", {1400, 2}, 1405},
        {"after_the_long_chain", {1500}, 1505},
        {"named_where_unique", {1000, 0}, 1000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_DOUBLE_EQ(kRoad.ToDistance(row.chainage), row.distance);
    }
}

TEST(ChainageEquations, RefusesGapsAmbiguityAndWrongStretches) {
    EXPECT_TRUE(Contains(Refusal(kRoad, {1197}), "短链"));
    EXPECT_TRUE(Contains(Refusal(kRoad, {1197}), "K 1+ 195 = K 1+ 200"));
    const std::string twice = Refusal(kRoad, {1405});
    EXPECT_TRUE(Contains(twice, "出现两次")) << twice;
    EXPECT_TRUE(Contains(twice, "K 1+ 405[1]")) << twice;
    EXPECT_TRUE(Contains(twice, "K 1+ 405[2]")) << twice;
    EXPECT_TRUE(Contains(Refusal(kRoad, {1410}), "出现两次"));  // both ends of a long chain occur twice
    EXPECT_TRUE(Contains(Refusal(kRoad, {1300, 0}), "不在第 0 段内"));
    EXPECT_TRUE(Contains(Refusal(kRoad, {1300, 3}), "不存在"));
    EXPECT_TRUE(Contains(Refusal(kRoad, {1300, -7}), "不存在"));
}

TEST(ChainageEquations, RefusesEquationsOutOfOrder) {
    EXPECT_THROW(ChainageEquations(0, {{100, 100}}), Failure);
    EXPECT_THROW(ChainageEquations(0, {{-5, 10}}), Failure);             // before the start
    EXPECT_THROW(ChainageEquations(0, {{100, 200}, {150, 160}}), Failure);  // behind the previous ahead
    EXPECT_THROW(ChainageEquations(0, {{100, 1e300}}), Failure);
    const ChainageEquations eq(0, {{100, 200}});
    EXPECT_NO_THROW(eq.CheckWithin(0, 100));
    EXPECT_THROW(eq.CheckWithin(0, 99.9), Failure);
}

// Generated chains of short and long equations: every distance turns into
// a chainage on a stretch and back, and a chainage without its stretch
// comes back to the same distance unless it is refused as ambiguous.
TEST(ChainageEquations, ConversionsRoundTripOnGeneratedEquations) {
    std::mt19937 rng(5);
    for (int n = 0; n < 50; ++n) {
        const double start = reference::Uniform(rng, -1000, 50000);
        std::vector<ChainageEquation> list;
        double from = start;
        for (int i = 0; i < 1 + static_cast<int>(rng() % 5); ++i) {
            const double back = from + reference::Uniform(rng, 30, 800);
            list.push_back({back, back + reference::Uniform(rng, -25, 25)});
            from = list.back().ahead;
        }
        const ChainageEquations eq(start, list);
        for (int k = 0; k < 40; ++k) {
            const double d = reference::Uniform(rng, start, eq.EquationDistance(eq.Count() - 1) + 500);
            const Chainage c = eq.ToChainage(d);
            EXPECT_NEAR(eq.ToDistance(c), d, 1e-9);
            try {
                EXPECT_NEAR(eq.ToDistance({c.value}), d, 1e-9);
            } catch (const Failure& f) {
                EXPECT_TRUE(Contains(f.message().text, "出现两次")) << f.message().text;
            }
        }
    }
}

}  // namespace
}  // namespace capbeam
