#include <gtest/gtest.h>

#include <cmath>

#include "core/dms.h"
#include "core/failure.h"

namespace capbeam {
namespace {

TEST(DmsText, WritesTenthsOfASecond) {
    struct Row {
        const char* name;
        double degrees;
        const char* text;
    };
    const Row rows[] = {
        {"whole_degrees", 90, "90.00000"},
        {"minutes_and_seconds", 56 + 24 / 60.0 + 9.3 / 3600, "56.24093"},
        {"carry_into_the_degree", 10 + 59 / 60.0 + 59.96 / 3600, "11.00000"},
        {"carry_into_the_minute", 10 + 14 / 60.0 + 59.97 / 3600, "10.15000"},
        {"below_half_a_tenth", 0.04 / 3600, "0.00000"},
        {"above_half_a_tenth", 0.06 / 3600, "0.00001"},
        {"negative", -(30 + 15 / 60.0 + 30 / 3600.0), "-30.15300"},
        {"negative_rounding_to_zero", -1e-9, "0.00000"},
        {"negative_zero", -0.0, "0.00000"},
        {"near_a_turn", 359.9999, "359.59596"},
        {"a_turn_is_not_reduced", 359.99999, "360.00000"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(DmsText(row.degrees), row.text);
    }
    EXPECT_THROW(DmsText(std::nan("")), Failure);
    EXPECT_THROW(DmsText(INFINITY), Failure);
}

// Every tenth of a second written and read back through the D.MMSS reader.
TEST(DmsText, ReadsBackThroughSplitDms) {
    for (long tenths = 0; tenths < 360L * 36000; tenths += 997) {
        const double degrees = tenths / 36000.0;
        const Dms parts = SplitDms(std::stod(DmsText(degrees)));
        EXPECT_NEAR(DecimalDegrees(parts), degrees, 1e-9) << DmsText(degrees);
    }
}

}  // namespace
}  // namespace capbeam
