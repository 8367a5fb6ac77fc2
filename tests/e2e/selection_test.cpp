// Choosing a dynasty and an era with the keyboard, as a user would: the era
// list follows the dynasty, and an era moves the count box to make room for
// its name.
#include <gtest/gtest.h>

#include "main_window_fixture.h"

#ifdef TESMARIN_E2E_HAVE_CATALOGUE
#include "catalogue/era_catalogue.h"
#endif

namespace e2e {
namespace {

using SelectionTest = MainWindowTest;

TEST_F(SelectionTest, KeyboardOpensTheListsAndEnterPicks) {
    // F4 opens the dynasty list, arrows move, Enter picks: 隋.
    ASSERT_TRUE(waitForFocus(dynasties_));
    pressKey(VK_F4);
    ASSERT_TRUE(waitUntil([&] { return isDropped(dynasties_); }));
    for (int i = 0; i < kSui; ++i) pressKey(VK_DOWN);
    pressKey(VK_RETURN);
    ASSERT_TRUE(waitUntil([&] { return comboItems(eras_).size() == 4; }))
        << "picked " << comboSelection(dynasties_) << ", list open: " << isDropped(dynasties_);
    EXPECT_EQ(comboItems(eras_), (std::vector<std::string>{"开皇", "仁寿", "大业", "义宁"}));
    EXPECT_EQ(comboShownText(eras_), "开皇");
    EXPECT_TRUE(IsWindowEnabled(eras_));
    // A dynasty alone leaves the count box where it was.
    EXPECT_FALSE(IsWindowVisible(eraLabel_));
    EXPECT_EQ(rectInParent(count_).left, 42);
    EXPECT_EQ(rectInParent(yearLabel_).left, 115);

    // Alt+Down opens the era list (once Tab has brought the focus there).
    pressKey(VK_TAB, {VK_SHIFT});
    ASSERT_TRUE(waitForFocus(eras_));
    pressKey(VK_DOWN, {VK_MENU});
    ASSERT_TRUE(waitUntil([&] { return isDropped(eras_); }));
    EXPECT_EQ(comboSelection(eras_), 0) << "opening the list does not move its highlight";
    ASSERT_TRUE(pickInOpenList(eras_, 2));
    ASSERT_TRUE(waitUntil([&] { return IsWindowVisible(eraLabel_) != 0; }));
    EXPECT_EQ(comboShownText(eras_), "大业");
    EXPECT_EQ(windowText(eraLabel_), "大业");
    EXPECT_TRUE(saveScreenshot(main_, "era-chosen.png"));
}

TEST_F(SelectionTest, AnEraMovesTheCountBoxOnceAndTheLabelFollowsTheList) {
    const RECT countBefore = rectInParent(count_);
    const RECT yearBefore = rectInParent(yearLabel_);

    ASSERT_TRUE(chooseDynasty(kXiHan));
    ASSERT_TRUE(chooseEra(1));
    EXPECT_EQ(windowText(eraLabel_), "元光");
    const RECT countAfter = rectInParent(count_);
    const RECT yearAfter = rectInParent(yearLabel_);
    EXPECT_EQ(countAfter.left, 66);
    EXPECT_EQ(yearAfter.left, 139);
    for (auto [before, after] : {std::pair{countBefore, countAfter}, std::pair{yearBefore, yearAfter}}) {
        EXPECT_EQ(after.top, before.top);
        EXPECT_EQ(after.right - after.left, before.right - before.left);
        EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    }
    const RECT label = rectInParent(eraLabel_);
    EXPECT_EQ(label.left, 9);
    EXPECT_EQ(label.top, 57);

    // Another dynasty: the list shows its first era, and so does 标签3, so
    // that the window never shows one era and computes another.
    ASSERT_TRUE(chooseDynasty(kDongHan));
    EXPECT_EQ(comboShownText(eras_), "建武");
    EXPECT_TRUE(waitUntil([&] { return windowText(eraLabel_) == "建武"; })) << windowText(eraLabel_);
    EXPECT_TRUE(IsWindowVisible(eraLabel_));

    // Choosing eras again leaves the moved controls where they are.
    ASSERT_TRUE(chooseEra(3));
    EXPECT_EQ(windowText(eraLabel_), "建初");
    ASSERT_TRUE(chooseEra(3));
    EXPECT_EQ(rectInParent(count_).left, 66);
    EXPECT_EQ(rectInParent(yearLabel_).left, 139);

    // The same dynasty again reloads the list: first era, shown in 标签3 too.
    ASSERT_TRUE(chooseDynasty(kDongHan));
    EXPECT_EQ(comboSelection(eras_), 0);
    EXPECT_TRUE(waitUntil([&] { return windowText(eraLabel_) == "建武"; })) << windowText(eraLabel_);
}

TEST_F(SelectionTest, PlaceholderWarnsAndKeepsTheEras) {
    ASSERT_TRUE(chooseDynasty(kTang));
    ASSERT_TRUE(chooseEra(1));
    const auto tangEras = comboItems(eras_);

    ASSERT_TRUE(chooseDynasty(kPlaceholder));
    const auto warning = program_.waitForMessageBox();
    ASSERT_TRUE(warning);
    EXPECT_EQ(warning->caption, kDefaultCaption);
    EXPECT_EQ(warning->text, kAskForDynasty);
    EXPECT_TRUE(warning->hasIcon) << "the warning has the warning icon";
    ASSERT_TRUE(closeBox(*warning));

    EXPECT_EQ(comboItems(eras_), tangEras);
    EXPECT_EQ(comboShownText(eras_), "贞观");
    EXPECT_TRUE(IsWindowEnabled(eras_));
    EXPECT_EQ(windowText(eraLabel_), "贞观") << "标签3 keeps the era the list still shows";
    EXPECT_EQ(comboShownText(dynasties_), "-请选择朝代-");
}

TEST_F(SelectionTest, EveryDynastyLoadsItsErasInOrder) {
    // The era counts of the eleven dynasties, and landmarks within them.
    const int eraCounts[] = {0, 40, 3, 40, 16, 4, 75, 35, 22, 16, 17, 13};
    struct Landmark {
        int dynasty, position;
        const char* name;
    };
    const Landmark landmarks[] = {
        {kXiHan, 0, "建元"},  {kXiHan, 32, "建平"}, {kXiHan, 34, "建平"},  {kXiHan, 39, "更始"},
        {kXin, 2, "地皇"},    {kDongHan, 35, "中平"}, {kXiJin, 15, "建兴"}, {kTang, 45, "干元"},
        {kTang, 74, "天祐"},  {kBeiSong, 19, "皇祐"}, {kBeiSong, 21, "嘉佑"}, {kNanSong, 21, "祥兴"},
        {kYuan, 12, "至顺"},  {kMing, 7, "天顺"},   {kQing, 12, "宣统"},
    };
    for (int dynasty = kXiHan; dynasty <= kQing; ++dynasty) {
        SCOPED_TRACE(kDynastyItems[dynasty]);
        ASSERT_TRUE(chooseDynasty(dynasty));
        const auto eras = comboItems(eras_);
        EXPECT_EQ(static_cast<int>(eras.size()), eraCounts[dynasty]);
        for (const auto& landmark : landmarks) {
            if (landmark.dynasty == dynasty && landmark.position < static_cast<int>(eras.size())) {
                EXPECT_EQ(eras[landmark.position], landmark.name) << "position " << landmark.position;
            }
        }
#ifdef TESMARIN_E2E_HAVE_CATALOGUE
        std::vector<std::string> catalogueNames;
        for (const auto& name : catalogue::eraNames(dynasty)) catalogueNames.emplace_back(std::string_view(name));
        EXPECT_EQ(eras, catalogueNames) << "the list shows the catalogue's eras in its order";
#endif
    }
}

}  // namespace
}  // namespace e2e
