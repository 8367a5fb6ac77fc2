#include "skin_format.h"

#include <algorithm>
#include <optional>

namespace skin {

// ---- colours ----------------------------------------------------------------

namespace {

std::uint8_t blend(std::uint8_t a, std::uint8_t b, int weight) {
    weight = std::clamp(weight, 0, 255);
    return static_cast<std::uint8_t>((a * (255 - weight) + b * weight + 127) / 255);
}

}  // namespace

Color mix(Color a, Color b, int weight) {
    return {blend(a.r, b.r, weight), blend(a.g, b.g, weight), blend(a.b, b.b, weight)};
}

Color lighten(Color c, int weight) { return mix(c, {255, 255, 255}, weight); }
Color darken(Color c, int weight) { return mix(c, {0, 0, 0}, weight); }

int luminance(Color c) { return (299 * c.r + 587 * c.g + 114 * c.b) / 1000; }

Gradient Gradient::solid(Color c) {
    Gradient g;
    g.stops[0] = {c, 0};
    g.count = 1;
    return g;
}

Gradient Gradient::ramp(Color top, Color bottom) {
    Gradient g;
    g.stops[0] = {top, 0};
    g.stops[1] = {bottom, 100};
    g.count = 2;
    return g;
}

Color Gradient::at(int offset, int length) const {
    if (count == 0) return {};
    if (count == 1 || length <= 1) return stops[0].color;
    // Percent position of this offset, in 1/100 of a percent to keep steps smooth.
    const long long span = length - 1;
    const long long pos = std::clamp<long long>(offset, 0, span) * 10000 / span;
    if (pos <= stops[0].position * 100LL) return stops[0].color;
    for (std::size_t i = 1; i < count; ++i) {
        const long long end = stops[i].position * 100LL;
        if (pos <= end) {
            const long long start = stops[i - 1].position * 100LL;
            if (end == start) return stops[i].color;
            const int weight = static_cast<int>((pos - start) * 255 / (end - start));
            return mix(stops[i - 1].color, stops[i].color, weight);
        }
    }
    return stops[count - 1].color;
}

std::string formatInt(long long value) {
    const bool negative = value < 0;
    // Work on the negative side so that the smallest value has no overflow.
    long long n = negative ? value : -value;
    std::string digits;
    do {
        digits.push_back(static_cast<char>('0' - n % 10));
        n /= 10;
    } while (n != 0);
    if (negative) digits.push_back('-');
    std::reverse(digits.begin(), digits.end());
    return digits;
}

std::string ParseError::describe() const {
    if (line == 0) return reason;
    return "line " + formatInt(static_cast<long long>(line)) + ": " + reason;
}

// ---- values -----------------------------------------------------------------

namespace {

using Error = std::optional<std::string>;

bool isSpace(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
    return s;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Quotes a value for a message, shortened so a hostile line cannot make the
// message huge.
std::string quoted(std::string_view s) {
    constexpr std::size_t kShown = 40;
    std::string out = "\"";
    out.append(s.substr(0, kShown));
    if (s.size() > kShown) out.append("...");
    out.push_back('"');
    return out;
}

std::optional<Color> parseColor(std::string_view s) {
    if (s.size() != 7 || s[0] != '#') return std::nullopt;
    int v[6];
    for (int i = 0; i < 6; ++i) {
        v[i] = hexDigit(s[static_cast<std::size_t>(i) + 1]);
        if (v[i] < 0) return std::nullopt;
    }
    return Color{static_cast<std::uint8_t>(v[0] * 16 + v[1]), static_cast<std::uint8_t>(v[2] * 16 + v[3]),
                 static_cast<std::uint8_t>(v[4] * 16 + v[5])};
}

// A whole number: digits with an optional '-'. The value saturates at +-10^12
// while reading, so any length of digits is safe and still out of range.
std::optional<long long> parseInt(std::string_view s) {
    bool negative = false;
    if (!s.empty() && s[0] == '-') {
        negative = true;
        s.remove_prefix(1);
    }
    if (s.empty()) return std::nullopt;
    constexpr long long kCap = 1'000'000'000'000LL;
    long long value = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        if (value < kCap) value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

Error colorValue(std::string_view v, Color& out) {
    const auto c = parseColor(v);
    if (!c) return "bad colour " + quoted(v) + ", expected #RRGGBB";
    out = *c;
    return std::nullopt;
}

// "#RRGGBB #RRGGBB ..." evenly spread, or "#RRGGBB@P ..." with every stop
// placed at P percent, P non-decreasing.
Error gradientValue(std::string_view v, Gradient& out) {
    Gradient g;
    bool anyPlaced = false, anyUnplaced = false;
    std::size_t i = 0;
    while (i < v.size()) {
        if (isSpace(v[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < v.size() && !isSpace(v[end])) ++end;
        const std::string_view token = v.substr(i, end - i);
        i = end;
        if (g.count == Gradient::kMaxStops) return "too many gradient stops (at most 8)";
        const std::size_t at = token.find('@');
        const auto color = parseColor(token.substr(0, at));
        if (!color) return "bad gradient stop " + quoted(token) + ", expected #RRGGBB or #RRGGBB@percent";
        GradientStop stop{*color, 0};
        if (at != std::string_view::npos) {
            const std::string_view posText = token.substr(at + 1);
            const auto pos = parseInt(posText);
            if (!pos || posText[0] == '-') return "bad gradient position in " + quoted(token);
            if (*pos > 100) return "gradient position out of range 0..100 in " + quoted(token);
            stop.position = static_cast<std::uint8_t>(*pos);
            anyPlaced = true;
        } else {
            anyUnplaced = true;
        }
        g.stops[g.count++] = stop;
    }
    if (g.count == 0) return std::string("empty gradient");
    if (anyPlaced && anyUnplaced) return std::string("give a position to every gradient stop or to none");
    if (anyPlaced) {
        for (std::size_t k = 1; k < g.count; ++k)
            if (g.stops[k].position < g.stops[k - 1].position) return std::string("gradient positions must not decrease");
    } else {
        for (std::size_t k = 0; k < g.count; ++k)
            g.stops[k].position =
                static_cast<std::uint8_t>(g.count == 1 ? 0 : k * 100 / (g.count - 1));
    }
    out = g;
    return std::nullopt;
}

Error intValue(std::string_view v, int min, int max, int& out) {
    const auto n = parseInt(v);
    if (!n) return "bad number " + quoted(v);
    if (*n < min || *n > max)
        return "value " + quoted(v) + " out of range " + formatInt(min) + ".." + formatInt(max);
    out = static_cast<int>(*n);
    return std::nullopt;
}

template <typename E, std::size_t N>
Error enumValue(std::string_view v, const std::array<std::pair<std::string_view, E>, N>& words, E& out) {
    for (const auto& [word, value] : words) {
        if (word == v) {
            out = value;
            return std::nullopt;
        }
    }
    std::string expected;
    for (const auto& w : words) {
        if (!expected.empty()) expected += ", ";
        expected += w.first;
    }
    return "unknown word " + quoted(v) + ", expected one of " + expected;
}

// Valid UTF-8 without overlong forms or surrogates; C0 controls other than
// tab are not allowed in a line.
bool validText(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            if (c < 0x20 && c != '\t') return false;
            if (c == 0x7F) return false;
            ++i;
            continue;
        }
        std::size_t len;
        std::uint32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            len = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (s.size() - i < len) return false;
        for (std::size_t k = 1; k < len; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF))) return false;
        if (cp >= 0xD800 && cp <= 0xDFFF) return false;
        i += len;
    }
    return true;
}

// ---- the key table ------------------------------------------------------------

using Apply = Error (*)(Skin&, std::string_view);

struct Field {
    std::string_view key;
    Apply apply;
};

template <Color Skin::*M>
Error applyColor(Skin& s, std::string_view v) { return colorValue(v, s.*M); }

template <Gradient Skin::*M>
Error applyGradient(Skin& s, std::string_view v) { return gradientValue(v, s.*M); }

Error applyName(Skin& s, std::string_view v) {
    if (v.empty()) return std::string("empty name");
    s.name.assign(v);
    return std::nullopt;
}

Error applyAlign(Skin& s, std::string_view v) {
    static constexpr std::array<std::pair<std::string_view, Align>, 2> words{{{"left", Align::Left}, {"center", Align::Center}}};
    return enumValue(v, words, s.captionAlign);
}

Error applyIcon(Skin& s, std::string_view v) {
    static constexpr std::array<std::pair<std::string_view, bool>, 2> words{{{"show", true}, {"hide", false}}};
    return enumValue(v, words, s.showIcon);
}

Error applyCloseGlyph(Skin& s, std::string_view v) {
    static constexpr std::array<std::pair<std::string_view, CloseGlyph>, 4> words{
        {{"cross", CloseGlyph::Cross}, {"bold", CloseGlyph::Bold}, {"round", CloseGlyph::Round}, {"square", CloseGlyph::Square}}};
    return enumValue(v, words, s.closeGlyph);
}

Error applyArrowGlyph(Skin& s, std::string_view v) {
    static constexpr std::array<std::pair<std::string_view, ArrowGlyph>, 2> words{
        {{"triangle", ArrowGlyph::Triangle}, {"chevron", ArrowGlyph::Chevron}}};
    return enumValue(v, words, s.arrowGlyph);
}

Error applyRadius(Skin& s, std::string_view v) { return intValue(v, 0, 8, s.buttonRadius); }
Error applyAeroSize(Skin& s, std::string_view v) { return intValue(v, 0, 32, s.aeroSize); }
Error applyAeroStrength(Skin& s, std::string_view v) { return intValue(v, 0, 255, s.aeroStrength); }

const Field kFields[] = {
    {"name", applyName},
    {"caption.active", applyGradient<&Skin::captionActive>},
    {"caption.inactive", applyGradient<&Skin::captionInactive>},
    {"caption.text", applyColor<&Skin::captionText>},
    {"caption.text.inactive", applyColor<&Skin::captionTextInactive>},
    {"caption.align", applyAlign},
    {"caption.icon", applyIcon},
    {"frame.active", applyColor<&Skin::frameActive>},
    {"frame.inactive", applyColor<&Skin::frameInactive>},
    {"frame.fill.active", applyColor<&Skin::frameFillActive>},
    {"frame.fill.inactive", applyColor<&Skin::frameFillInactive>},
    {"close.glyph", applyCloseGlyph},
    {"close.color", applyColor<&Skin::closeColor>},
    {"close.hover.color", applyColor<&Skin::closeHoverColor>},
    {"close.hover", applyGradient<&Skin::closeHover>},
    {"close.pressed", applyGradient<&Skin::closePressed>},
    {"face", applyColor<&Skin::face>},
    {"text", applyColor<&Skin::text>},
    {"disabled.text", applyColor<&Skin::disabledText>},
    {"menu.bar", applyGradient<&Skin::menuBar>},
    {"menu.text", applyColor<&Skin::menuText>},
    {"menu.hover", applyColor<&Skin::menuHover>},
    {"menu.hover.text", applyColor<&Skin::menuHoverText>},
    {"menu.line", applyColor<&Skin::menuLine>},
    {"button", applyGradient<&Skin::button>},
    {"button.hover", applyGradient<&Skin::buttonHover>},
    {"button.pressed", applyGradient<&Skin::buttonPressed>},
    {"button.border", applyColor<&Skin::buttonBorder>},
    {"button.text", applyColor<&Skin::buttonText>},
    {"button.focus", applyColor<&Skin::buttonFocus>},
    {"button.radius", applyRadius},
    {"combo.back", applyColor<&Skin::comboBack>},
    {"combo.text", applyColor<&Skin::comboText>},
    {"combo.border", applyColor<&Skin::comboBorder>},
    {"combo.hover.border", applyColor<&Skin::comboHoverBorder>},
    {"combo.glyph", applyColor<&Skin::comboGlyph>},
    {"combo.arrow", applyGradient<&Skin::comboArrow>},
    {"combo.arrow.glyph", applyArrowGlyph},
    {"list.back", applyColor<&Skin::listBack>},
    {"list.text", applyColor<&Skin::listText>},
    {"list.select", applyColor<&Skin::listSelect>},
    {"list.select.text", applyColor<&Skin::listSelectText>},
    {"list.border", applyColor<&Skin::listBorder>},
    {"edit.back", applyColor<&Skin::editBack>},
    {"edit.text", applyColor<&Skin::editText>},
    {"edit.border", applyColor<&Skin::editBorder>},
    {"edit.focus.border", applyColor<&Skin::editFocusBorder>},
    {"aero.color", applyColor<&Skin::aeroColor>},
    {"aero.size", applyAeroSize},
    {"aero.strength", applyAeroStrength},
};

constexpr std::size_t kFieldCount = sizeof(kFields) / sizeof(kFields[0]);
constexpr std::string_view kRequired[] = {"name", "face", "caption.active"};

std::size_t fieldIndex(std::string_view key) {
    for (std::size_t i = 0; i < kFieldCount; ++i)
        if (kFields[i].key == key) return i;
    return kFieldCount;
}

struct Seen {
    std::array<bool, kFieldCount> set{};
    bool has(std::string_view key) const {
        const std::size_t i = fieldIndex(key);
        return i < kFieldCount && set[i];
    }
};

// Readable text on a background: near-black on light, near-white on dark.
Color contrast(Color back) { return luminance(back) >= 150 ? Color{0x1E, 0x1E, 0x1E} : Color{0xF4, 0xF4, 0xF4}; }

Gradient muted(const Gradient& g, Color toward) {
    Gradient out = g;
    for (std::size_t i = 0; i < out.count; ++i) out.stops[i].color = mix(out.stops[i].color, toward, 140);
    return out;
}

// Fills every optional field that the file did not set from those it did, so
// a skin of three lines is complete. The order matters: later rules use
// fields filled by earlier ones.
void deriveDefaults(Skin& s, const Seen& seen) {
    const bool lightFace = luminance(s.face) >= 128;
    const Color captionMid = s.captionActive.middle();
    auto fill = [&](std::string_view key, auto& field, const auto& value) {
        if (!seen.has(key)) field = value;
    };
    fill("text", s.text, contrast(s.face));
    fill("disabled.text", s.disabledText, mix(s.text, s.face, 140));
    fill("caption.text", s.captionText, contrast(captionMid));
    fill("caption.inactive", s.captionInactive, muted(s.captionActive, lightFace ? Color{0xD8, 0xD8, 0xD8} : Color{0x40, 0x40, 0x40}));
    fill("caption.text.inactive", s.captionTextInactive, mix(s.captionText, s.captionInactive.middle(), 110));
    fill("frame.active", s.frameActive, darken(s.captionActive.last(), 70));
    fill("frame.inactive", s.frameInactive, darken(s.captionInactive.last(), 50));
    fill("frame.fill.active", s.frameFillActive, s.captionActive.last());
    fill("frame.fill.inactive", s.frameFillInactive, s.captionInactive.last());
    fill("close.color", s.closeColor, s.captionText);
    fill("close.hover.color", s.closeHoverColor, Color{0xFF, 0xFF, 0xFF});
    fill("close.hover", s.closeHover, Gradient::ramp({0xE8, 0x55, 0x4A}, {0xC9, 0x33, 0x2B}));
    fill("close.pressed", s.closePressed, Gradient::solid({0x9E, 0x22, 0x1C}));
    fill("menu.bar", s.menuBar, Gradient::solid(s.face));
    fill("menu.text", s.menuText, contrast(s.menuBar.middle()));
    fill("menu.hover", s.menuHover, captionMid);
    fill("menu.hover.text", s.menuHoverText, s.captionText);
    fill("menu.line", s.menuLine, lightFace ? darken(s.face, 30) : lighten(s.face, 30));
    fill("button", s.button, Gradient::ramp(lighten(s.face, 40), darken(s.face, 12)));
    fill("button.hover", s.buttonHover, Gradient::ramp(mix(lighten(s.face, 60), captionMid, 40), mix(s.face, captionMid, 40)));
    fill("button.pressed", s.buttonPressed, Gradient::ramp(darken(s.face, 40), darken(s.face, 15)));
    fill("button.border", s.buttonBorder, lightFace ? darken(s.face, 90) : lighten(s.face, 70));
    fill("button.text", s.buttonText, contrast(s.button.middle()));
    fill("button.focus", s.buttonFocus, captionMid);
    fill("edit.back", s.editBack, lightFace ? Color{0xFF, 0xFF, 0xFF} : lighten(s.face, 20));
    fill("edit.text", s.editText, contrast(s.editBack));
    fill("edit.border", s.editBorder, s.buttonBorder);
    fill("edit.focus.border", s.editFocusBorder, s.buttonFocus);
    fill("combo.back", s.comboBack, s.editBack);
    fill("combo.text", s.comboText, contrast(s.comboBack));
    fill("combo.border", s.comboBorder, s.buttonBorder);
    fill("combo.hover.border", s.comboHoverBorder, s.buttonFocus);
    fill("combo.arrow", s.comboArrow, s.button);
    fill("combo.glyph", s.comboGlyph, s.buttonText);
    fill("list.back", s.listBack, s.comboBack);
    fill("list.text", s.listText, s.comboText);
    fill("list.select", s.listSelect, captionMid);
    fill("list.select.text", s.listSelectText, contrast(s.listSelect));
    fill("list.border", s.listBorder, s.comboBorder);
    fill("aero.color", s.aeroColor, captionMid);
}

}  // namespace

// ---- the file ----------------------------------------------------------------

ParseResult parseSkin(std::span<const unsigned char> bytes) {
    const std::string_view all(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (all.empty()) return ParseError{0, "empty file"};
    if (all.size() < kMagic.size() || all.substr(0, kMagic.size()) != kMagic)
        return ParseError{0, "not a skin file: it does not begin with \".SHE\""};

    Skin skin;
    Seen seen;
    std::size_t lineNumber = 0;
    std::size_t pos = 0;
    while (pos <= all.size()) {
        const std::size_t newline = all.find('\n', pos);
        const std::size_t end = newline == std::string_view::npos ? all.size() : newline;
        std::string_view line = all.substr(pos, end - pos);
        pos = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (!validText(line)) return ParseError{lineNumber, "control character or invalid UTF-8"};

        if (lineNumber == 1) {
            // ".SHE" then the format version as a whole number.
            const std::string_view version = trim(line.substr(kMagic.size()));
            if (version.empty()) return ParseError{1, "missing format version after \".SHE\""};
            const auto v = parseInt(version);
            if (!v || *v < 1) return ParseError{1, "bad format version " + quoted(version)};
            if (*v != kFormatVersion)
                return ParseError{1, "unsupported format version " + quoted(version) + " (this reader knows version 1)"};
            continue;
        }

        line = trim(line);
        if (line.empty() || line[0] == '#') continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) return ParseError{lineNumber, "expected \"key = value\""};
        const std::string_view key = trim(line.substr(0, eq));
        const std::string_view value = trim(line.substr(eq + 1));
        if (key.empty()) return ParseError{lineNumber, "missing key before \"=\""};
        const std::size_t index = fieldIndex(key);
        if (index == kFieldCount) return ParseError{lineNumber, "unknown key " + quoted(key)};
        if (seen.set[index]) return ParseError{lineNumber, "key " + quoted(key) + " given twice"};
        if (value.empty()) return ParseError{lineNumber, "missing value for " + quoted(key)};
        if (Error e = kFields[index].apply(skin, value)) return ParseError{lineNumber, quoted(key) + ": " + *e};
        seen.set[index] = true;
    }

    for (std::string_view key : kRequired)
        if (!seen.has(key)) return ParseError{0, "missing required key " + quoted(key)};
    deriveDefaults(skin, seen);
    return skin;
}

}  // namespace skin
