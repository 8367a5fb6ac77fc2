#include "catalogue/year_reckoning.h"

#include "catalogue/era_catalogue.h"

#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace catalogue {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct ParseCase {
    std::string_view text;
    double expected;
};

// Compares bit for bit, so -0 and +0 differ and a correctly rounded result
// must be exactly the nearest double.
void expectSameDouble(double actual, double expected) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(actual), std::bit_cast<std::uint64_t>(expected))
        << actual << " vs " << expected;
}

TEST(ParseYearCount, ClassicDecimalRules) {
    const ParseCase cases[] = {
        {"3", 3},          {"  12", 12},      {"\t\n\v\f\r 4", 4}, {"12年", 12},   {"+7", 7},
        {"-3", -3},        {"-0", -0.0},      {".5", 0.5},         {"-.5", -0.5},  {"5.", 5},
        {"007", 7},        {"1d2", 100},      {"1D2", 100},        {"2E-1", 0.2},  {"1e+2", 100},
        {"3-2", 3},        {"5e", 5},         {"5e+", 5},          {"5d-x", 5},    {"1.5.5", 1.5},
        {"1,5", 1},        {"1 2", 1},        {"abc", 0},          {"", 0},        {".", 0},
        {"-", 0},          {"- 3", 0},        {"e5", 0},           {"0x10", 0},    {"inf", 0},
        {"nan", 0},        {"infinity", 0},   {"\xC2\xA0" "5", 0},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.text);
        expectSameDouble(parseYearCount(c.text), c.expected);
    }
}

TEST(ParseYearCount, FoldsFullWidthForms) {
    const ParseCase cases[] = {
        {"１２", 12},             {"３", 3},               {"－３", -3},         {"＋５", 5},
        {"１．５", 1.5},          {"．２５", 0.25},        {"１ｅ２", 100},      {"１Ｅ２", 100},
        {"１ｄ２", 100},          {"１Ｄ－１", 0.1},       {"　８", 8},          {"　　－１", -1},
        {"1２3", 123},            {"９９年", 99},
        // Characters that are not folded end the number as any other text does.
        {"＄5", 0},               {"５￥", 5},             {"～1", 0},           {"☆1", 0},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.text);
        expectSameDouble(parseYearCount(c.text), c.expected);
    }
}

TEST(ParseYearCount, DropsInvalidUtf8) {
    using namespace std::string_view_literals;
    const ParseCase cases[] = {
        {"1\xFF" "2", 12},                  // a byte that never occurs in UTF-8
        {"1\x80\xBF" "2", 12},              // stray continuation bytes
        {"\xE4\xB8" "5", 5},                // truncated sequence before a digit
        {"12\xE4\xB8", 12},                 // truncated sequence at the end
        {"7\xEF\xBC", 7},                   // truncated full-width form at the end
        {"\xC0\xB1" "4", 4},                // overlong form of "1"
        {"\xED\xA0\x80" "6", 6},            // surrogate
        {"\xF4\x90\x80\x80" "9", 9},        // beyond U+10FFFF
        {"1\0" "2"sv, 1},                   // NUL is a character like any other
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
        expectSameDouble(parseYearCount(c.text), c.expected);
    }
}

TEST(ParseYearCount, RoundsCorrectlyAndSaturates) {
    const std::string hundredsOfDigits = "1" + std::string(400, '0');
    const std::string longLeadingZeros = "0." + std::string(500, '0') + "1e510";
    const ParseCase cases[] = {
        {"0.1", 0.1},
        // 472018819641691 x 10^9: one unit too high when the product is
        // formed in 80-bit x87 registers and rounded twice.
        {"4720188196.41691e12", 0x1.ffc38a58064b5p+71},
        {"9007199254740993", 9007199254740992.0},             // halfway: to even
        {"9007199254740993.00000000000000001", 9007199254740994.0},
        {"1.7976931348623158e308", std::numeric_limits<double>::max()},
        {"1.7976931348623159e308", kInf},
        {"1e400", kInf},
        {"-1e400", -kInf},
        {"1d99999999999999999999999", kInf},
        {hundredsOfDigits, kInf},
        {longLeadingZeros, 1e9},
        {"0e99999", 0},
        {"1e-310", 1e-310},                                    // subnormal
        {"4.9e-324", std::numeric_limits<double>::denorm_min()},
        {"2e-324", 0},
        {"-2e-324", -0.0},
        {"1e-99999999999999999999999", 0},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        expectSameDouble(parseYearCount(c.text), c.expected);
    }
}

// Exactly halfway between two neighbouring doubles the even significand wins;
// any nonzero digit beyond the halfway point, however far out, tips the
// result up.
TEST(ParseYearCount, DecidesHalfwayCasesOnEveryDigit) {
    constexpr double kMin = std::numeric_limits<double>::denorm_min();
    constexpr double kMax = std::numeric_limits<double>::max();
    // 1 + 2^-53, halfway between 1 and the next double.
    const std::string halfAboveOne = "1.00000000000000011102230246251565404236316680908203125";
    // 3 x 2^-1075, halfway between the two smallest subnormals.
    const std::string threeHalvesOfMin =
        "7.4109846876186981626485318930233205854758970392148714663837852375101326090531312779794975"
        "454245398856969484704316857659638998506553390969459816219401617281718945106978546710679176"
        "872575177347315553307795408549809608457500958111373034747658096871009590975442271004757307"
        "809711118935784838675653998783503015228055934046593739791790738723868299395818481660169122"
        "019456499931289798411362062484498678713572180352209017023903285791732520220528974020802906"
        "854021606612375549983402671300035812486479041385743401875520901590172592547146296175134159"
        "774938718574737870961645638908718119841271673056017045493004705269590165763776884908267986"
        "972573366521765567941072508764337560846003984904972149117463085539556354188641513168478436"
        "313080237596295773983001708984375";
    // 2^1024 - 2^970, halfway between the largest double and 2^1024.
    const std::string halfAboveMax =
        "179769313486231580793728971405303415079934132710037826936173778980444968292764750946649017"
        "977587207096330286416692887910946555547851940402630657488671505820681908902000708383676273"
        "854845817711531764475730270069855571366959622842914819860834936475292719074168444365510704"
        "342711559699508093042880177904174497792";
    const auto withLastDigit = [](const std::string& text, char digit) {
        return text.substr(0, text.size() - 1) + digit;
    };
    struct Case {
        std::string text;
        double expected;
    };
    const Case cases[] = {
        {halfAboveOne, 1.0},
        {halfAboveOne + "1", std::nextafter(1.0, 2.0)},
        {halfAboveOne + std::string(900, '0') + "1", std::nextafter(1.0, 2.0)},
        {"-" + halfAboveOne, -1.0},
        {threeHalvesOfMin + "e-324", 2 * kMin},
        {withLastDigit(threeHalvesOfMin, '4') + "e-324", kMin},
        {threeHalvesOfMin + "0000001e-324", 2 * kMin},
        // 2^-1075 cut short lies below half of the smallest subnormal.
        {"2.4703282292062327208828439643411068618252990130716238221279284125033775363510437593264991e-324", 0},
        {"2.4703282292062327208828439643411068618252990130716238221279284125033775363510437593264992e-324", kMin},
        {halfAboveMax, kInf},
        {withLastDigit(halfAboveMax, '1'), kMax},
        // Around the smallest normal number.
        {"2.2250738585072011e-308", std::nextafter(std::numeric_limits<double>::min(), 0.0)},
        {"2.2250738585072012e-308", std::numeric_limits<double>::min()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 40));
        expectSameDouble(parseYearCount(c.text), c.expected);
    }
}

TEST(ReckonYear, CountsAcrossTheMissingYearZero) {
    struct Case {
        int start;
        double count;
        double expected;
    };
    const Case cases[] = {
        {-140, 3, -138},   {-140, 1, -140},  {-140, 0, -141},  {-140, -5, -146}, {-140, 100, -41},
        {9, 1, 9},         {1, 1, 1},        {1, 0, -1},       {-1, 1, -1},      {-1, 2, 1},
        {-1, 0, -2},       {-2, 3, 1},       {-8, 10, 2},      {5, -10, -7},     {1909, 9999, 11907},
        {-140, 0.5, -140.5},
        {INT_MAX, 2, 2147483648.0},  {INT_MIN, 1, -2147483648.0},
        {1, kInf, kInf},   {-140, -kInf, -kInf},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " + " << c.count);
        expectSameDouble(reckonYear(c.start, c.count), c.expected);
    }
}

TEST(FormatYearNumber, WritesPercent13gWithThreeDigitExponents) {
    struct Case {
        double value;
        std::string_view expected;
    };
    const Case cases[] = {
        {-138, "-138"},
        {0, "0"},
        {-0.0, "-0"},
        {2.5, "2.5"},
        {0.1, "0.1"},
        {11907, "11907"},
        {1.0 / 3, "0.3333333333333"},
        {123456.789, "123456.789"},
        {0.0001, "0.0001"},
        {0.00012345678901234, "0.0001234567890123"},
        {1e-5, "1e-005"},
        {1e12, "1000000000000"},
        {9999999999999.0, "9999999999999"},
        {9999999999999.5, "1e+013"},                // rounding to 13 digits moves the exponent
        {0.000099999999999995, "0.0001"},            // ... and the form
        {1000000000000.5, "1000000000000"},         // exact halves go to the even digit
        {1000000000001.5, "1000000000002"},
        {10000000000005.0, "1e+013"},
        {10000000000015.0, "1.000000000002e+013"},
        {0.30000000000000004, "0.3"},
        {9.999999999999e-5, "9.999999999999e-005"},
        {123456789012345680000.0, "1.234567890123e+020"},
        {std::numeric_limits<double>::max(), "1.797693134862e+308"},
        {std::numeric_limits<double>::min(), "2.225073858507e-308"},
        {1e15, "1e+015"},
        {-1.5e300, "-1.5e+300"},
        {1e-300, "1e-300"},
        {std::numeric_limits<double>::denorm_min(), "4.940656458412e-324"},
        {-std::numeric_limits<double>::denorm_min(), "-4.940656458412e-324"},
        {kInf, "1.#INF"},
        {-kInf, "-1.#INF"},
        {std::numeric_limits<double>::quiet_NaN(), "1.#QNAN"},
        {-std::numeric_limits<double>::quiet_NaN(), "-1.#QNAN"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatYearNumber(c.value), c.expected);
    }
}

TEST(ComposeResultText, JoinsEraCountAndYear) {
    EXPECT_EQ(composeResultText("建元", "3", "-138"), "建元3年：-138年");
    EXPECT_EQ(composeResultText("始建国", "1", "9"), "始建国1年：9年");
    EXPECT_EQ(composeResultText("建元", "３", "-138"), "建元３年：-138年");
    EXPECT_EQ(composeResultText("", "", ""), "年：年");
}

// The query's whole road: start year from the catalogue, the typed count
// parsed, the year reckoned and formatted, the answer composed with the count
// text as typed.
TEST(YearReckoning, AnswersQueriesFromTheCatalogue) {
    struct Case {
        int dynasty;
        int era;
        std::string_view count;
        std::string_view answer;
    };
    const Case cases[] = {
        {1, 0, "3", "建元3年：-138年"},
        {1, 0, "0", "建元0年：-141年"},
        {1, 0, "100", "建元100年：-41年"},
        {1, 0, "３", "建元３年：-138年"},
        {2, 0, "1", "始建国1年：9年"},
        {1, 35, "3", "元寿3年：1年"},
        {1, 31, "10", "绥和10年：2年"},
        {1, 32, "3", "建平3年：-4年"},
        {1, 34, "3", "建平3年：-4年"},
        {3, 35, "6", "中平6年：189年"},
        {9, 12, "1", "至顺1年：1330年"},
        {6, 46, "2", "上元2年：761年"},
        {10, 7, "8", "天顺8年：1464年"},
        {11, 12, "3", "宣统3年：1911年"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        const auto start = startYear(c.dynasty, c.era);
        ASSERT_TRUE(start.has_value());
        const std::string year = formatYearNumber(reckonYear(*start, parseYearCount(c.count)));
        EXPECT_EQ(composeResultText(eraNames(c.dynasty)[static_cast<std::size_t>(c.era)], c.count, year),
                  c.answer);
    }
}

}  // namespace
}  // namespace catalogue
