#include "ui/focus_cycle.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>

namespace {

using Position = std::optional<std::size_t>;

// The window's cycle is: era box, dynasty box, query button, count box.
constexpr std::size_t kEra = 0, kDynasty = 1, kButton = 2, kCount = 3;

TEST(FocusCycle, AllAvailableWrapsBothWays) {
    const std::array<bool, 4> all{true, true, true, true};
    EXPECT_EQ(ui::nextFocusPosition(all, kDynasty, false), Position(kButton));
    EXPECT_EQ(ui::nextFocusPosition(all, kButton, false), Position(kCount));
    EXPECT_EQ(ui::nextFocusPosition(all, kCount, false), Position(kEra));
    EXPECT_EQ(ui::nextFocusPosition(all, kEra, false), Position(kDynasty));
    EXPECT_EQ(ui::nextFocusPosition(all, kEra, true), Position(kCount));
    EXPECT_EQ(ui::nextFocusPosition(all, kDynasty, true), Position(kEra));
}

TEST(FocusCycle, SkipsUnavailableControls) {
    // At start the era box is disabled.
    const std::array<bool, 4> eraDisabled{false, true, true, true};
    EXPECT_EQ(ui::nextFocusPosition(eraDisabled, kCount, false), Position(kDynasty));
    EXPECT_EQ(ui::nextFocusPosition(eraDisabled, kDynasty, true), Position(kCount));
    EXPECT_EQ(ui::nextFocusPosition(eraDisabled, kButton, true), Position(kDynasty));

    const std::array<bool, 4> onlyButton{false, false, true, false};
    EXPECT_EQ(ui::nextFocusPosition(onlyButton, kButton, false), Position(kButton));
    EXPECT_EQ(ui::nextFocusPosition(onlyButton, kButton, true), Position(kButton));
}

TEST(FocusCycle, WithoutCurrentStartsAtAnEnd) {
    const std::array<bool, 4> eraDisabled{false, true, true, true};
    EXPECT_EQ(ui::nextFocusPosition(eraDisabled, std::nullopt, false), Position(kDynasty));
    EXPECT_EQ(ui::nextFocusPosition(eraDisabled, std::nullopt, true), Position(kCount));
    // A position outside the cycle counts as none.
    EXPECT_EQ(ui::nextFocusPosition(eraDisabled, Position(7), false), Position(kDynasty));
}

TEST(FocusCycle, NothingAvailable) {
    const std::array<bool, 4> none{};
    EXPECT_EQ(ui::nextFocusPosition(none, kDynasty, false), std::nullopt);
    EXPECT_EQ(ui::nextFocusPosition(std::span<const bool>{}, std::nullopt, true), std::nullopt);
}

}  // namespace
