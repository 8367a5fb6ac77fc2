// The query: choose, type a count, click 查询, read the answer box.
#include <gtest/gtest.h>

#include "main_window_fixture.h"

namespace e2e {
namespace {

using QueryTest = MainWindowTest;

struct QueryCase {
    int dynasty;
    int era;  // -1: leave the first era that the dynasty choice selects
    const char* typed;
    const char* answer;
};

TEST_F(QueryTest, AnswersAcrossDynasties) {
    const QueryCase cases[] = {
        {kXiHan, 0, "3", "建元3年：-138年"},
        {kXiHan, 0, "007", "建元7年：-134年"},  // the box shows the count normalised
        {kXiHan, 0, "-5", "建元-5年：-146年"},
        {kXiHan, 0, "9999", "建元9999年：9859年"},
        {kXiHan, 0, "-999", "建元-999年：-1140年"},
        {kXiHan, 0, "100", "建元100年：-41年"},
        // Across the missing year 0: 元寿 began in 2 BC, its third year is AD 1.
        {kXiHan, 35, "3", "元寿3年：1年"},
        {kXiHan, 31, "10", "绥和10年：2年"},
        {kXiHan, 36, "-1", "元始-1年：-2年"},
        // The resumed eras count on from their first beginning.
        {kXiHan, 34, "3", "建平3年：-4年"},
        {kXiHan, 32, "3", "建平3年：-4年"},
        {kDongHan, 35, "6", "中平6年：189年"},
        {kXin, 0, "1", "始建国1年：9年"},
        {kTang, -1, "1", "武德1年：618年"},  // no era chosen: the first one counts
        {kBeiSong, 22, "1", "治平1年：1064年"},
        {kBeiSong, 34, "2", "靖康2年：1127年"},
        {kYuan, 12, "1", "至顺1年：1330年"},
        {kQing, 12, "9999", "宣统9999年：11907年"},
    };
    bool firstShot = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(kDynastyItems[c.dynasty]) + " " + c.typed);
        ASSERT_TRUE(chooseDynasty(c.dynasty));
        if (c.era >= 0) {
            ASSERT_TRUE(chooseEra(c.era));
        }
        ASSERT_TRUE(typeCount(c.typed));
        const auto answer = clickQuery();
        ASSERT_TRUE(answer) << "no answer box";
        EXPECT_EQ(answer->caption, kDefaultCaption);
        EXPECT_EQ(answer->text, c.answer);
        EXPECT_FALSE(answer->hasIcon) << "answers have no icon";
        if (firstShot) {
            EXPECT_TRUE(saveScreenshot(answer->window, "answer.png"));
            firstShot = false;
        }
        ASSERT_TRUE(closeBox(*answer));
        EXPECT_FALSE(program_.findMessageBox()) << "one answer per click";
    }
}

TEST_F(QueryTest, SpaceOnTheButtonQueriesAndTheFocusComesBack) {
    ASSERT_TRUE(chooseDynasty(kXiHan));
    ASSERT_TRUE(chooseEra(0));
    ASSERT_TRUE(typeCount("3"));
    EXPECT_TRUE(saveScreenshot(main_, "main-window-ready.png"));
    pressKey(VK_TAB, {VK_SHIFT});
    ASSERT_TRUE(waitForFocus(query_));
    pressKey(VK_SPACE);
    const auto answer = program_.waitForMessageBox();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->text, "建元3年：-138年");
    // The window takes no input while the box is up.
    EXPECT_FALSE(IsWindowEnabled(main_));
    ASSERT_TRUE(program_.dismiss(*answer));
    ASSERT_TRUE(bringToFront(main_));
    EXPECT_TRUE(waitForFocus(query_)) << "the button had the focus before the box";
}

TEST_F(QueryTest, EmptyCountAsksForTheYearWhateverTheSelection) {
    // Nothing chosen, nothing typed; then a dynasty; then a typed 0 and a lone
    // "-", which the box empties when the button takes the focus.
    struct HintCase {
        int dynasty;  // -1: leave as it is
        const char* typed;
    };
    const HintCase cases[] = {{-1, ""}, {kXiHan, ""}, {-1, "0"}, {-1, "-"}, {-1, "-0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("typed \"") + c.typed + "\"");
        if (c.dynasty >= 0) {
            ASSERT_TRUE(chooseDynasty(c.dynasty));
        }
        ASSERT_TRUE(typeCount(c.typed));
        const auto hint = clickQuery();
        ASSERT_TRUE(hint);
        EXPECT_EQ(hint->caption, kDefaultCaption);
        EXPECT_EQ(hint->text, kAskForYear);
        EXPECT_FALSE(hint->hasIcon);
        EXPECT_EQ(windowText(count_), "");
        ASSERT_TRUE(closeBox(*hint));
    }
}

TEST_F(QueryTest, PlaceholderDynastyAnswersNothing) {
    // Never chosen.
    ASSERT_TRUE(typeCount("5"));
    ASSERT_TRUE(bringToFront(main_));
    clickCentre(query_);
    EXPECT_TRUE(noBoxAfterInput(query_));

    // Chosen again after a dynasty: the warning, then silence on the query.
    ASSERT_TRUE(chooseDynasty(kXiHan));
    ASSERT_TRUE(chooseDynasty(kPlaceholder));
    const auto warning = program_.waitForMessageBox();
    ASSERT_TRUE(warning);
    EXPECT_EQ(warning->text, kAskForDynasty);
    ASSERT_TRUE(closeBox(*warning));
    ASSERT_TRUE(typeCount("5"));
    clickCentre(query_);
    EXPECT_TRUE(noBoxAfterInput(query_));
}

}  // namespace
}  // namespace e2e
