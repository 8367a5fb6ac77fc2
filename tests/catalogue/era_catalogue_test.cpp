#include "catalogue/era_catalogue.h"

#include <gtest/gtest.h>

#include <array>
#include <iterator>
#include <ranges>
#include <string_view>
#include <vector>

namespace catalogue {
namespace {

static_assert(std::random_access_iterator<EraNames::iterator>);
static_assert(std::ranges::random_access_range<EraNames>);

constexpr std::array<std::string_view, 11> kDynastyNames = {
    "西汉", "新（王莽）", "东汉", "西晋", "隋", "唐", "北宋", "南宋", "元", "明", "清"};
constexpr std::array<std::size_t, 11> kEraCounts = {40, 3, 40, 16, 4, 75, 35, 22, 16, 17, 13};

TEST(EraCatalogue, HoldsElevenDynastiesWith281Eras) {
    ASSERT_EQ(dynastyCount(), 11);
    EXPECT_EQ(kDynastyPlaceholder, "-请选择朝代-");
    std::size_t total = 0;
    for (int d = 1; d <= 11; ++d) {
        SCOPED_TRACE(d);
        EXPECT_EQ(dynastyName(d), kDynastyNames[d - 1]);
        const EraNames names = eraNames(d);
        EXPECT_EQ(names.size(), kEraCounts[d - 1]);
        EXPECT_FALSE(names.empty());
        total += names.size();
    }
    EXPECT_EQ(total, 281u);
}

TEST(EraCatalogue, PositionsOutsideTheTableYieldNothing) {
    for (int d : {0, -1, 12, 1000}) {
        SCOPED_TRACE(d);
        EXPECT_TRUE(dynastyName(d).empty());
        EXPECT_TRUE(eraNames(d).empty());
        EXPECT_EQ(eraNames(d).size(), 0u);
        EXPECT_EQ(eraNames(d).begin(), eraNames(d).end());
        EXPECT_FALSE(startYear(d, 0).has_value());
    }
    EXPECT_FALSE(startYear(1, -1).has_value());
    EXPECT_FALSE(startYear(11, 13).has_value());
    EXPECT_FALSE(startYear(7, 35).has_value());
    EXPECT_EQ(startYear(7, 34), 1126);
}

// Every listed era has a start year and the lookup ends exactly at the list's
// end, so the era list and the start years always agree on positions.
TEST(EraCatalogue, EraNamesAndStartYearsCoverTheSamePositions) {
    for (int d = 1; d <= 11; ++d) {
        SCOPED_TRACE(d);
        const EraNames names = eraNames(d);
        const std::vector<std::string_view> iterated(names.begin(), names.end());
        ASSERT_EQ(iterated.size(), names.size());
        const int count = static_cast<int>(names.size());
        for (int e = 0; e < count; ++e) {
            EXPECT_EQ(iterated[static_cast<std::size_t>(e)], names[static_cast<std::size_t>(e)]);
            EXPECT_TRUE(startYear(d, e).has_value()) << e;
        }
        EXPECT_FALSE(startYear(d, count).has_value());
    }
}

bool isChineseName(std::string_view name) {
    // Two to four characters from the CJK unified ideographs block (three bytes each in UTF-8).
    if (name.size() % 3 != 0 || name.size() < 6 || name.size() > 12) return false;
    for (std::size_t i = 0; i < name.size(); i += 3) {
        const auto b0 = static_cast<unsigned char>(name[i]);
        const auto b1 = static_cast<unsigned char>(name[i + 1]);
        const auto b2 = static_cast<unsigned char>(name[i + 2]);
        if ((b0 & 0xF0) != 0xE0 || (b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80) return false;
        const unsigned cp = ((b0 & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
        if (cp < 0x4E00 || cp > 0x9FFF) return false;
    }
    return true;
}

// Start years never decrease along a dynasty's list, except for the two eras
// that resumed after an interruption and keep their original first year; those
// are left out of the comparison.
TEST(EraCatalogue, NamesAreChineseAndStartYearsRunInOrder) {
    const auto resumed = [](int d, int e) { return (d == 1 && e == 34) || (d == 3 && e == 35); };
    for (int d = 1; d <= 11; ++d) {
        const EraNames names = eraNames(d);
        int previous = *startYear(d, 0);
        for (int e = 0; e < static_cast<int>(names.size()); ++e) {
            SCOPED_TRACE(testing::Message() << d << "/" << e);
            EXPECT_TRUE(isChineseName(names[static_cast<std::size_t>(e)]));
            const int year = *startYear(d, e);
            EXPECT_NE(year, 0);
            if (resumed(d, e)) continue;
            EXPECT_GE(year, previous);
            previous = year;
        }
    }
}

struct Landmark {
    int dynasty;
    int era;
    std::string_view name;
    int startYear;
};

// Each dynasty's first and last era, the repeated names, the characters kept
// in their traditional spelling, and the eras whose start years needed care.
constexpr Landmark kLandmarks[] = {
    {1, 0, "建元", -140},  {1, 39, "更始", 23},    {2, 0, "始建国", 9},    {2, 2, "地皇", 20},
    {3, 0, "建武", 25},    {3, 39, "延康", 220},   {4, 0, "泰始", 265},    {4, 15, "建兴", 313},
    {5, 0, "开皇", 581},   {5, 3, "义宁", 617},    {6, 0, "武德", 618},    {6, 74, "天祐", 904},
    {7, 0, "建隆", 960},   {7, 34, "靖康", 1126},  {8, 0, "建炎", 1127},   {8, 21, "祥兴", 1278},
    {9, 0, "中统", 1260},  {9, 15, "至正", 1341},  {10, 0, "洪武", 1368},  {10, 16, "崇祯", 1628},
    {11, 0, "天命", 1616}, {11, 12, "宣统", 1909},
    // Names that occur twice, within a dynasty or across dynasties.
    {1, 32, "建平", -6},   {1, 34, "建平", -6},    {1, 33, "太初元将", -5}, {1, 35, "元寿", -2},
    {3, 31, "中平", 184},  {3, 35, "中平", 184},   {3, 34, "永汉", 189},   {3, 36, "初平", 190},
    {6, 9, "上元", 674},   {6, 46, "上元", 760},   {9, 1, "至元", 1264},   {9, 14, "至元", 1335},
    {3, 4, "元和", 84},    {6, 55, "元和", 806},   {9, 10, "天顺", 1328},  {10, 7, "天顺", 1457},
    {4, 11, "建武", 304},
    // Eras around the start years supplied or corrected.
    {6, 45, "干元", 758},  {6, 47, "宝应", 762},   {6, 54, "永贞", 805},   {6, 56, "长庆", 821},
    {10, 6, "景泰", 1450}, {10, 8, "成化", 1465},  {9, 11, "天历", 1328},  {9, 12, "至顺", 1330},
    {9, 13, "元统", 1333},
    // Spellings kept as the tool has always shown them.
    {7, 15, "景佑", 1034}, {7, 19, "皇祐", 1049},  {7, 21, "嘉佑", 1056},  {7, 22, "治平", 1064},
    {7, 25, "元佑", 1086}, {8, 14, "淳佑", 1241},  {8, 15, "宝佑", 1253},  {8, 19, "德佑", 1275},
    {9, 6, "延佑", 1314},
};

TEST(EraCatalogue, LandmarkEras) {
    for (const Landmark& l : kLandmarks) {
        SCOPED_TRACE(testing::Message() << l.dynasty << "/" << l.era << " " << l.name);
        const EraNames names = eraNames(l.dynasty);
        ASSERT_LT(static_cast<std::size_t>(l.era), names.size());
        EXPECT_EQ(names[static_cast<std::size_t>(l.era)], l.name);
        EXPECT_EQ(startYear(l.dynasty, l.era), l.startYear);
    }
}

TEST(EraCatalogue, TableAndLookupsAgree) {
    ASSERT_EQ(kEraCatalogue.size(), 11u);
    EXPECT_EQ(kEraCatalogue[5].name, dynastyName(6));
    EXPECT_EQ(kEraCatalogue[5].eras.size(), eraNames(6).size());
    EXPECT_EQ(kEraCatalogue[5].eras[46].startYear, startYear(6, 46));
}

}  // namespace
}  // namespace catalogue
