#include "skin_format.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <iterator>
#include <set>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

namespace {

using skin::Color;
using skin::ParseError;
using skin::Skin;

std::vector<unsigned char> bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

skin::ParseResult parse(std::string_view text) {
    // An exact-size heap copy, so a read past the end shows up under ASan.
    const auto bytes = bytesOf(text);
    return skin::parseSkin(bytes);
}

Skin expectSkin(const skin::ParseResult& r) {
    if (const auto* e = std::get_if<ParseError>(&r)) ADD_FAILURE() << e->describe();
    const auto* s = std::get_if<Skin>(&r);
    return s ? *s : Skin{};
}

constexpr std::string_view kMinimal =
    ".SHE 1\n"
    "name = Minimal\n"
    "face = #F0F0F0\n"
    "caption.active = #1060C0\n";

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string skinPath(int number) {
    const std::string n = (number < 10 ? "0" : "") + skin::formatInt(number);
    return std::string(TESMARIN_SKINS_DIR) + "/" + n + ".she";
}

TEST(SkinFormat, MinimalSkinGetsEveryFieldDerived) {
    const Skin s = expectSkin(parse(kMinimal));
    EXPECT_EQ(s.name, "Minimal");
    EXPECT_EQ(s.face, (Color{0xF0, 0xF0, 0xF0}));
    EXPECT_EQ(s.captionActive.count, 1u);
    // Dark text on the light face, light text on the blue caption.
    EXPECT_LT(skin::luminance(s.text), 64);
    EXPECT_GT(skin::luminance(s.captionText), 192);
    EXPECT_EQ(s.editBack, (Color{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(s.comboBack, s.editBack);
    EXPECT_EQ(s.listSelect, (Color{0x10, 0x60, 0xC0}));
    EXPECT_EQ(s.aeroColor, (Color{0x10, 0x60, 0xC0}));
    EXPECT_GT(s.captionInactive.count, 0u);
    EXPECT_GT(s.button.count, 0u);
    EXPECT_NE(s.captionInactive.first(), s.captionActive.first());
}

TEST(SkinFormat, DarkFaceGetsLightTextAndDarkEditBox) {
    const Skin s = expectSkin(parse(".SHE 1\nname = Night\nface = #202428\ncaption.active = #101214\n"));
    EXPECT_GT(skin::luminance(s.text), 192);
    EXPECT_LT(skin::luminance(s.editBack), 100);
    EXPECT_GT(skin::luminance(s.editText), 192);
}

TEST(SkinFormat, ReadsEveryKindOfValue) {
    const Skin s = expectSkin(parse(
        ".SHE 1\r\n"
        "# comment line\r\n"
        "\r\n"
        "  name = 青瓷 Celadon  \r\n"
        "face=#e0EEe8\r\n"
        "caption.active = #102030 #405060 #708090\r\n"
        "caption.inactive = #000000@0 #FFFFFF@30 #FFFFFF@100\r\n"
        "caption.align = center\r\n"
        "caption.icon = hide\r\n"
        "close.glyph = round\r\n"
        "combo.arrow.glyph = chevron\r\n"
        "button.radius = 0\r\n"
        "aero.size = 32\r\n"
        "aero.strength = 255\r\n"
        "text = #010203"));  // no newline at the end
    EXPECT_EQ(s.name, "青瓷 Celadon");
    EXPECT_EQ(s.face, (Color{0xE0, 0xEE, 0xE8}));
    ASSERT_EQ(s.captionActive.count, 3u);
    EXPECT_EQ(s.captionActive.stops[1].position, 50);
    EXPECT_EQ(s.captionActive.stops[2].position, 100);
    EXPECT_EQ(s.captionInactive.stops[1].position, 30);
    EXPECT_EQ(s.captionAlign, skin::Align::Center);
    EXPECT_FALSE(s.showIcon);
    EXPECT_EQ(s.closeGlyph, skin::CloseGlyph::Round);
    EXPECT_EQ(s.arrowGlyph, skin::ArrowGlyph::Chevron);
    EXPECT_EQ(s.buttonRadius, 0);
    EXPECT_EQ(s.aeroSize, 32);
    EXPECT_EQ(s.aeroStrength, 255);
    EXPECT_EQ(s.text, (Color{1, 2, 3}));
}

struct BadCase {
    const char* what;
    std::string text;
    std::size_t line;
    const char* reason;  // a part of the expected reason
};

class SkinFormatRejects : public testing::TestWithParam<BadCase> {};

TEST_P(SkinFormatRejects, WithLineAndReason) {
    const auto& c = GetParam();
    const auto result = parse(c.text);
    const auto* e = std::get_if<ParseError>(&result);
    ASSERT_NE(e, nullptr) << c.what;
    EXPECT_EQ(e->line, c.line) << e->describe();
    EXPECT_NE(e->reason.find(c.reason), std::string::npos) << e->describe();
}

const std::string kHead = ".SHE 1\nname = X\nface = #F0F0F0\ncaption.active = #1060C0\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, SkinFormatRejects,
    testing::Values(
        BadCase{"empty", "", 0, "empty"},
        BadCase{"short magic", ".SH", 0, ".SHE"},
        BadCase{"wrong magic", "SHE. 1\nname = X\n", 0, ".SHE"},
        BadCase{"no version", ".SHE\nname = X\n", 1, "missing format version"},
        BadCase{"bad version", ".SHE one\n", 1, "bad format version"},
        BadCase{"future version", ".SHE 2\n", 1, "unsupported format version"},
        BadCase{"huge version", ".SHE 99999999999999999999999\n", 1, "unsupported"},
        BadCase{"missing face", ".SHE 1\nname = X\ncaption.active = #000000\n", 0, "\"face\""},
        BadCase{"missing name", ".SHE 1\nface = #000000\ncaption.active = #000000\n", 0, "\"name\""},
        BadCase{"no equals", kHead + "text #000000\n", 5, "key = value"},
        BadCase{"no key", kHead + " = #000000\n", 5, "missing key"},
        BadCase{"no value", kHead + "text =\n", 5, "missing value"},
        BadCase{"unknown key", kHead + "colour = #000000\n", 5, "unknown key"},
        BadCase{"twice", kHead + "face = #000000\n", 5, "twice"},
        BadCase{"short colour", kHead + "text = #12345\n", 5, "bad colour"},
        BadCase{"long colour", kHead + "text = #1234567\n", 5, "bad colour"},
        BadCase{"not hex", kHead + "text = #12345G\n", 5, "bad colour"},
        BadCase{"no hash", kHead + "text = 123456\n", 5, "bad colour"},
        BadCase{"nine stops", kHead + "button = #000000 #000000 #000000 #000000 #000000 #000000 #000000 #000000 #000000\n", 5,
                "too many"},
        BadCase{"mixed stops", kHead + "button = #000000@0 #FFFFFF\n", 5, "every gradient stop"},
        BadCase{"decreasing", kHead + "button = #000000@60 #FFFFFF@40\n", 5, "must not decrease"},
        BadCase{"position over 100", kHead + "button = #000000@0 #FFFFFF@101\n", 5, "out of range"},
        BadCase{"negative position", kHead + "button = #000000@-1\n", 5, "bad gradient position"},
        BadCase{"empty position", kHead + "button = #000000@\n", 5, "bad gradient position"},
        BadCase{"radius over", kHead + "button.radius = 9\n", 5, "out of range 0..8"},
        BadCase{"radius negative", kHead + "button.radius = -1\n", 5, "out of range"},
        BadCase{"radius not a number", kHead + "button.radius = 3px\n", 5, "bad number"},
        BadCase{"strength overflow", kHead + "aero.strength = 99999999999999999999999999\n", 5, "out of range"},
        BadCase{"unknown word", kHead + "close.glyph = star\n", 5, "cross, bold, round, square"},
        BadCase{"nul byte", kHead + std::string("text = #000000\0\n", 16), 5, "control character"},
        BadCase{"invalid utf-8", ".SHE 1\nname = \xC3\x28\n", 2, "invalid UTF-8"},
        BadCase{"overlong utf-8", ".SHE 1\nname = \xC0\xAF\n", 2, "invalid UTF-8"},
        BadCase{"surrogate", ".SHE 1\nname = \xED\xA0\x80\n", 2, "invalid UTF-8"},
        BadCase{"cut utf-8", ".SHE 1\nname = \xE9\x9D", 2, "invalid UTF-8"},
        BadCase{"bad line after good ones", kHead + "text = #000000\n\n# note\ntext.x = 1\n", 8, "unknown key"}));

TEST(SkinFormat, MessagesStayShortForHugeValues) {
    const std::string huge(100000, 'z');
    const auto result = parse(kHead + "text = " + huge + "\n");
    const auto* e = std::get_if<ParseError>(&result);
    ASSERT_NE(e, nullptr);
    EXPECT_LT(e->reason.size(), 200u);
}

TEST(SkinFormat, NoLimitOnFileOrLineLength) {
    std::string text(kHead);
    for (int i = 0; i < 200000; ++i) text += "# filler line of a long, commented skin\n";
    text += "# " + std::string(1 << 20, 'x') + "\n";
    text += "name.x = 1\n";
    const auto result = parse(text);
    const auto* e = std::get_if<ParseError>(&result);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->line, 200006u);

    text.resize(text.size() - std::string_view("name.x = 1\n").size());
    expectSkin(parse(text));
}

TEST(SkinFormat, EveryPrefixOfAShippedSkinIsHandled) {
    const auto bytes = readFile(skinPath(13));
    ASSERT_FALSE(bytes.empty());
    std::size_t accepted = 0;
    for (std::size_t n = 0; n <= bytes.size(); ++n) {
        // Exact-size copies: ASan reports any read past the cut.
        const std::vector<unsigned char> prefix(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
        const auto result = skin::parseSkin(prefix);
        if (std::holds_alternative<Skin>(result)) ++accepted;
    }
    // The full file is accepted; so are cuts that happen to end on a whole line
    // once the required keys are in.
    EXPECT_GE(accepted, 1u);
    EXPECT_TRUE(std::holds_alternative<Skin>(skin::parseSkin(bytes)));
}

TEST(SkinFormat, ArbitraryBytesNeverCrash) {
    // A small linear congruential generator: the same bytes on every run.
    std::uint32_t state = 12345;
    auto next = [&] {
        state = state * 1664525u + 1013904223u;
        return static_cast<unsigned char>(state >> 24);
    };
    const auto base = readFile(skinPath(13));
    ASSERT_FALSE(base.empty());
    for (int round = 0; round < 300; ++round) {
        std::vector<unsigned char> bytes = base;
        for (int k = 0; k < 8; ++k) bytes[next() * bytes.size() / 256] = next();
        const auto result = skin::parseSkin(bytes);
        if (const auto* e = std::get_if<ParseError>(&result)) {
            EXPECT_FALSE(e->reason.empty());
        }
    }
}

TEST(SkinFormat, ShippedSkinsAllParseAndDiffer) {
    std::set<std::string> names;
    std::set<std::tuple<int, int, int, int, int, int>> looks;
    int dark = 0;
    for (int n = 1; n <= 33; ++n) {
        SCOPED_TRACE(skinPath(n));
        const auto bytes = readFile(skinPath(n));
        ASSERT_FALSE(bytes.empty());
        const auto result = skin::parseSkin(bytes);
        const auto* s = std::get_if<Skin>(&result);
        if (!s) {
            ADD_FAILURE() << std::get<ParseError>(result).describe();
            continue;
        }
        names.insert(s->name);
        const Color c = s->captionActive.middle();
        looks.insert({s->face.r, s->face.g, s->face.b, c.r, c.g, c.b});
        if (skin::luminance(s->face) < 100) ++dark;
        // Text stays readable on its background.
        EXPECT_GT(std::abs(skin::luminance(s->text) - skin::luminance(s->face)), 90) << s->name;
        EXPECT_GT(std::abs(skin::luminance(s->captionText) - skin::luminance(c)), 80) << s->name;
        EXPECT_GT(std::abs(skin::luminance(s->buttonText) - skin::luminance(s->button.middle())), 80) << s->name;
    }
    EXPECT_EQ(names.size(), 33u);
    EXPECT_EQ(looks.size(), 33u);
    EXPECT_GE(dark, 5);
}

TEST(SkinColor, GradientAndMixArithmetic) {
    const auto g = skin::Gradient::ramp({0, 0, 0}, {255, 255, 255});
    EXPECT_EQ(g.at(0, 11), (Color{0, 0, 0}));
    EXPECT_EQ(g.at(10, 11), (Color{255, 255, 255}));
    EXPECT_EQ(g.at(5, 11), (Color{127, 127, 127}));
    EXPECT_EQ(g.at(-5, 11), (Color{0, 0, 0}));
    EXPECT_EQ(g.at(99, 11), (Color{255, 255, 255}));
    EXPECT_EQ(g.at(3, 0), (Color{0, 0, 0}));
    EXPECT_EQ(skin::Gradient{}.at(1, 2), (Color{}));
    // A hard edge: two stops at the same place.
    const auto edge = std::get<Skin>(parse(kHead + "button = #FF0000@0 #FF0000@50 #0000FF@50 #0000FF@100\n")).button;
    EXPECT_EQ(edge.at(49, 101), (Color{255, 0, 0}));
    EXPECT_EQ(edge.at(51, 101), (Color{0, 0, 255}));
    EXPECT_EQ(skin::mix({0, 0, 0}, {255, 255, 255}, 300), (Color{255, 255, 255}));
    EXPECT_EQ(skin::formatInt(LLONG_MIN), "-9223372036854775808");
    EXPECT_EQ(skin::formatInt(0), "0");
    EXPECT_EQ(skin::formatInt(-42), "-42");
}

}  // namespace
