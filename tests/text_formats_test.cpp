#include "core/text_formats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <cstdlib>
#include <cstdio>
#include <charconv>
#include <iomanip>
#include <limits>

#include "core/failure.h"

namespace capbeam {
namespace {

// Each chainage in the boxes' two forms, and as the metres that a
// spreadsheet column gets beside the K text: a typed chainage as typed, a
// computed one as its K text reads, with exactly three decimals.
struct ChainageCase {
    const char* name;
    double chainage;
    const char* entered;
    const char* computed;
    const char* enteredMetres;
    const char* computedMetres;
};

class ChainageTextTest : public ::testing::TestWithParam<ChainageCase> {};

TEST_P(ChainageTextTest, BothForms) {
    const ChainageCase& c = GetParam();
    EXPECT_EQ(ChainageText(c.chainage, ChainageForm::Entered), c.entered);
    EXPECT_EQ(ChainageText(c.chainage, ChainageForm::Computed), c.computed);
}

TEST_P(ChainageTextTest, MetresForASpreadsheet) {
    const ChainageCase& c = GetParam();
    EXPECT_EQ(ChainageMetresText(c.chainage, ChainageForm::Entered), c.enteredMetres);
    EXPECT_EQ(ChainageMetresText(c.chainage, ChainageForm::Computed), c.computedMetres);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ChainageTextTest,
    ::testing::Values(
        ChainageCase{"Plain", 12345.678, "K 12+ 345.678", "K 12+ 345.678", "12345.678", "12345.678"},
        ChainageCase{"ResidueOfTheSubtraction", 123456.789, "K 123+ 456.789000000004", "K 123+ 456.789", "123456.789",
                     "123456.789"},
        ChainageCase{"SevenDecimals", 5678.1234567, "K 5+ 678.1234567", "K 5+ 678.123", "5678.1234567", "5678.123"},
        ChainageCase{"RoundsDown", 12345.67849, "K 12+ 345.67849", "K 12+ 345.678", "12345.67849", "12345.678"},
        // The K text shows 1000 metres; the metres are the next kilometre.
        ChainageCase{"MetresRoundUpTo1000", 12999.9996, "K 12+ 999.999599999999", "K 12+ 1000", "12999.9996",
                     "13000.000"},
        ChainageCase{"WholeKilometre", 2000, "K 2+ 0", "K 2+ 0", "2000", "2000.000"},
        ChainageCase{"BelowOneKilometre", 999.5, "K 0+ 999.5", "K 0+ 999.5", "999.5", "999.500"},
        ChainageCase{"Thousand", 1000000, "K 1000+ 0", "K 1000+ 0", "1000000", "1000000.000"},
        ChainageCase{"NegativeMetresOnly", -250, "K 0+-250", "K 0+-250", "-250", "-250.000"},
        ChainageCase{"NegativeKilometres", -1250, "K-1+-250", "K-1+-250", "-1250", "-1250.000"},
        ChainageCase{"Zero", 0, "K 0+ 0", "K 0+ 0", "0", "0.000"},
        ChainageCase{"NegativeZero", -0.0, "K 0+ 0", "K 0+ 0", "0", "0.000"},
        ChainageCase{"TinyNegativeRoundsToZeroWithoutMinus", -0.0004, "K 0+-0.0004", "K 0+ 0", "-0.0004", "0.000"},
        ChainageCase{"BelowOneMetre", 12000.5, "K 12+ 0.5", "K 12+ 0.5", "12000.5", "12000.500"},
        ChainageCase{"ComputedEndNearKilometre", 1999.9996, "K 1+ 999.9996", "K 1+ 1000", "1999.9996", "2000.000"},
        ChainageCase{"NegativeNearKilometre", -1999.9996, "K-1+-999.9996", "K-1+-1000", "-1999.9996", "-2000.000"}),
    [](const auto& info) { return std::string(info.param.name); });

// Coordinates and lengths for a spreadsheet or a total station: the boxes'
// rounding, then always three decimals, never a minus before zero.
TEST(FixedText, ThreeDecimalsAfterTheBoxesRounding) {
    const struct {
        const char* name;
        double value;
        const char* text;
    } rows[] = {
        {"TrailingZerosKept", 1499.6, "1499.600"},
        {"AsTheBoxShows", 2019.995, "2019.995"},
        {"WholeMetres", 2000, "2000.000"},
        {"Zero", 0, "0.000"},
        {"NegativeZero", -0.0, "0.000"},
        {"SmallNegativeRoundsToZero", -0.000244140625, "0.000"},
        {"NegativeHalfMillimetreTiesToZero", -0.0005, "0.000"},
        {"HalfGoesToEvenDown", 0.0625, "0.062"},
        {"HalfGoesToEvenUp", 0.1875, "0.188"},
        {"NegativeHalfToEven", -0.0625, "-0.062"},
        {"Negative", -12.3456, "-12.346"},
        {"RoundsUpIntoTheUnits", 999.9996, "1000.000"},
        {"LargeCoordinate", 4567890.1234, "4567890.123"},
        {"NegativeBelowOneMetre", -0.5, "-0.500"},
        {"LargestWrittenFromWholeMillimetres", 999999999999.5, "999999999999.500"},
        {"BeyondThemByTheGeneralConversion", 1e12 + 0.25, "1000000000000.250"},
    };
    for (const auto& r : rows) EXPECT_EQ(FixedText(r.value), r.text) << r.name;
}

TEST(FixedText, RefusesWhatIsNotFinite) {
    for (const double v : {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                           std::nan(""), 1e307}) {
        try {
            FixedText(v);
            ADD_FAILURE() << "no failure for " << v;
        } catch (const Failure& f) {
            EXPECT_EQ(f.kind(), ErrorKind::InvalidOperation);
        }
    }
}

TEST(NumberText, GeneralFormat) {
    const struct {
        double value;
        const char* text;
    } rows[] = {
        {3000, "3000"},     {-12.5, "-12.5"},   {30.153, "30.153"},        {500, "500"},
        {0, "0"},           {-0.0, "0"},        {0.1 + 0.2, "0.3"},        {1.0 / 3, "0.333333333333333"},
        {-2.0 / 3, "-0.666666666666667"},      {123456789012345.0, "123456789012345"},
        {1e15, "1E+15"},    {1.5e-16, "1.5E-16"}, {57.29577951471995, "57.29577951472"},
        // Sixteen digits whose rounding carries into a new first digit.
        {9.999999999999999, "10"}, {-0.09999999999999999, "-0.1"}, {999999999999999.9, "1E+15"},
        // A typed chainage's metres with the residue of taking off the kilometres.
        {12195.681 - 12000, "195.681"},
    };
    for (const auto& r : rows) EXPECT_EQ(NumberText(r.value), r.text) << r.value;
}

TEST(NumberText, SingleHasSevenDigits) {
    EXPECT_EQ(NumberText(0.01f), "0.01");
    EXPECT_EQ(NumberText(0.001f), "0.001");
    EXPECT_EQ(NumberText(1.0f / 3), "0.3333333");
    EXPECT_EQ(NumberText(-0.0f), "0");
    EXPECT_EQ(NumberText(12345678.0f), "1.234568E+07");
}

// NumberText writes most values through a fast shortest conversion; it must
// agree, digit for digit, with the plain definition: round to 15 significant
// digits (printf), take the double nearest that decimal, write it in fixed
// notation without trailing zeros.
std::string FifteenDigitsByDefinition(double v) {
    char sci[40];
    std::snprintf(sci, sizeof sci, "%.14e", v);
    const double rounded = std::strtod(sci, nullptr);
    char out[400];
    const auto res = std::to_chars(out, out + sizeof out, rounded, std::chars_format::fixed);
    return std::string(out, res.ptr);
}

TEST(NumberText, FastPathAgreesWithTheDefinition) {
    std::mt19937_64 bits(20261208);
    std::uniform_real_distribution<double> exponent(-14.5, 14.5);
    std::uniform_int_distribution<int> digits(1, 17);
    for (int i = 0; i < 200000; ++i) {
        // Values of every length of digits at every magnitude written in fixed
        // notation, computed results after Round3, and a double beside them.
        const double magnitude = std::pow(10.0, exponent(bits));
        const double raw = magnitude * (0.5 + static_cast<double>(bits() % 1000000007) / 1000000007.0);
        char text[40];
        std::snprintf(text, sizeof text, "%.*g", digits(bits), i % 2 ? raw : -raw);
        const double typed = std::strtod(text, nullptr);
        // The metres a K text splits off a typed chainage lie near whole
        // millimetres without being on them.
        const double metres = typed - 1000 * std::trunc(typed / 1000);
        for (const double v : {typed, Round3(typed), raw, metres, std::nextafter(Round3(typed), 0.0)}) {
            if (v == 0 || std::fabs(v) >= 1e15 || std::fabs(v) < 1e-15) continue;
            ASSERT_EQ(NumberText(v), FifteenDigitsByDefinition(v)) << text;
        }
    }
}

// A computed K text is written from whole millimetres; by definition it is
// the kilometres and the rounded metres each as SignedText writes them.
TEST(ChainageText, ComputedFormAgreesWithTheDefinition) {
    std::mt19937_64 bits(81220);
    std::uniform_real_distribution<double> exponent(-4, 15.5);
    for (int i = 0; i < 200000; ++i) {
        double K = std::pow(10.0, exponent(bits)) * (static_cast<double>(bits() % 1000003) / 1000003.0);
        if (i % 7 == 0) K = std::round(K * 2000) / 2000;  // half millimetres: ties
        if (i % 3 == 0) K = -K;
        const double km = std::trunc(K / 1000);
        const std::string definition = "K" + SignedText(km) + "+" + SignedText(Round3(K - 1000 * km));
        ASSERT_EQ(ChainageText(K, ChainageForm::Computed), definition) << std::setprecision(17) << K;
    }
    for (const double K : {0.0, -0.0, -0.0004, 999.9996, -999.9996, 1e15, 1e18})
        EXPECT_EQ(ChainageText(K, ChainageForm::Computed),
                  "K" + SignedText(std::trunc(K / 1000)) + "+" + SignedText(Round3(K - 1000 * std::trunc(K / 1000))))
            << K;
}

TEST(NumberText, RefusesWhatIsNotFinite) {
    for (const double v : {std::numeric_limits<double>::infinity(), std::nan("")}) {
        try {
            NumberText(v);
            ADD_FAILURE() << "no failure for " << v;
        } catch (const Failure& f) {
            EXPECT_EQ(f.kind(), ErrorKind::InvalidOperation);
        }
    }
}

TEST(SignedText, BlankBeforeNonNegative) {
    EXPECT_EQ(SignedText(12), " 12");
    EXPECT_EQ(SignedText(0), " 0");
    EXPECT_EQ(SignedText(-0.0), " 0");
    EXPECT_EQ(SignedText(-250), "-250");
}

TEST(Round3, HalfGoesToEven) {
    const struct {
        double in, out;
    } rows[] = {{345.67849, 345.678}, {999.9996, 1000}, {0.0625, 0.062}, {0.0635, 0.064}, {-0.0625, -0.062},
                {2.5e-3, 0.002},      {1499.6, 1499.6}};
    for (const auto& r : rows) EXPECT_EQ(Round3(r.in), r.out) << r.in;
    EXPECT_EQ(NumberText(Round3(-0.0004)), "0");
}

TEST(ReadDouble, Accepts) {
    const struct {
        const char* reply;
        double value;
    } rows[] = {
        {" 12.5 ", 12.5},  {"3000", 3000},   {"-12.5", -12.5},   {"+7", 7},          {".5", 0.5},
        {"5.", 5},         {"1e3", 1000},    {"1.5E-2", 0.015},  {"\t42\t", 42},     {"-0", 0},
        {"１２３．５", 123.5}, {"－１２", -12}, {"　３０００　", 3000}, {"30.1530", 30.153},
    };
    for (const auto& r : rows) EXPECT_EQ(ReadDouble(r.reply), r.value) << r.reply;
    EXPECT_FALSE(std::signbit(ReadDouble("-0")));
}

TEST(ReadDouble, Refuses) {
    const struct {
        const char* reply;
        ErrorKind kind;
    } rows[] = {
        {"", ErrorKind::TypeMismatch},        {"   ", ErrorKind::TypeMismatch},   {"abc", ErrorKind::TypeMismatch},
        {"12a", ErrorKind::TypeMismatch},     {"1,000", ErrorKind::TypeMismatch}, {"1 000", ErrorKind::TypeMismatch},
        {".", ErrorKind::TypeMismatch},       {"e5", ErrorKind::TypeMismatch},    {"1e", ErrorKind::TypeMismatch},
        {"--1", ErrorKind::TypeMismatch},     {"inf", ErrorKind::TypeMismatch},   {"nan", ErrorKind::TypeMismatch},
        {"0x10", ErrorKind::TypeMismatch},    {"１２三", ErrorKind::TypeMismatch}, {"1e400", ErrorKind::Overflow},
        {"-1e400", ErrorKind::Overflow},      {"\xff", ErrorKind::TypeMismatch},
    };
    for (const auto& r : rows) {
        try {
            ReadDouble(r.reply);
            ADD_FAILURE() << "accepted \"" << r.reply << '"';
        } catch (const Failure& f) {
            EXPECT_EQ(f.kind(), r.kind) << r.reply;
        }
    }
}

// B written apart reads as the D.MMSS text a user would have typed.
TEST(ReadSkewReply, DegreesMinutesSecondsWrittenApart) {
    const struct {
        const char* reply;
        const char* asTyped;  // nullptr: refused as not an angle
    } rows[] = {
        {"30°15′30″", "30.153"},     {"30°15'30\"", "30.153"},  {"30 15 30", "30.153"},
        {"30度15分30秒", "30.153"},  {" 30° 15′ 30″ ", "30.153"}, {"３０°１５′３０″", "30.153"},
        {"30’15’’", "30.15"},        {"30°", "30"},              {"30°5′", "30.05"},
        {"30°5′7″", "30.0507"},      {"30°15′30.5″", "30.15305"}, {"89 59 59.99", "89.595999"},
        {"30.153", "30.153"},        {"+30 15", "30.15"},        {"-30 15", "-30.15"},
        {"30 15 30 1", nullptr},     {"30°1x′", nullptr},        {"30.5°15′", nullptr},
        {"30 150", nullptr},         {"30 15 300", nullptr},     {"°", nullptr},
        {"30 15 30.", nullptr},      {"a 15", nullptr},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.reply);
        if (r.asTyped) {
            EXPECT_EQ(ReadSkewReply(r.reply), ReadDouble(r.asTyped));
            continue;
        }
        try {
            ReadSkewReply(r.reply);
            ADD_FAILURE() << "accepted";
        } catch (const Failure& f) {
            EXPECT_EQ(f.kind(), ErrorKind::TypeMismatch);
            EXPECT_NE(f.message().text.find("30 15 30"), std::string::npos) << f.message().text;
        }
    }
    // A plain reply is refused as any number is.
    for (const char* reply : {"1,000", "abc", ""}) EXPECT_THROW(ReadSkewReply(reply), Failure) << reply;
}

TEST(ReadSingle, RoundsToNearestSingle) {
    EXPECT_EQ(ReadSingle("0.001"), 0.001f);
    EXPECT_EQ(ReadSingle("1"), 1.0f);
    EXPECT_THROW(ReadSingle("1e39"), Failure);
}

}  // namespace
}  // namespace capbeam
