// The skin file format (see FORMAT.md): the four bytes ".SHE", a version, then
// UTF-8 "key = value" lines. parseSkin turns the bytes into a Skin with every
// field filled (missing optional keys are derived from the ones given) or into
// a ParseError naming the line and the reason. The parser reads only inside the
// given span, keeps nothing of it and has no size limit of its own.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace skin {

struct Color {
    std::uint8_t r = 0, g = 0, b = 0;
    friend constexpr bool operator==(Color, Color) = default;
};

// Blends a toward b by weight/255 (0 gives a, 255 gives b).
Color mix(Color a, Color b, int weight);
Color lighten(Color c, int weight);  // toward white
Color darken(Color c, int weight);   // toward black
// Perceived brightness 0..255 (Rec. 601 weights, integer arithmetic).
int luminance(Color c);

// A vertical (top to bottom) or horizontal colour ramp of 1 to kMaxStops stops;
// positions are percent, non-decreasing.
struct GradientStop {
    Color color;
    std::uint8_t position = 0;
};

struct Gradient {
    static constexpr std::size_t kMaxStops = 8;
    std::array<GradientStop, kMaxStops> stops{};
    std::size_t count = 0;

    static Gradient solid(Color c);
    static Gradient ramp(Color top, Color bottom);
    // The colour at offset of length (0 = first stop's end, length-1 = last's);
    // a length of 0 or 1 gives the colour at 0 %.
    Color at(int offset, int length) const;
    Color first() const { return count ? stops[0].color : Color{}; }
    Color last() const { return count ? stops[count - 1].color : Color{}; }
    Color middle() const { return at(1, 3); }
};

enum class CloseGlyph { Cross, Bold, Round, Square };
enum class ArrowGlyph { Triangle, Chevron };
enum class Align { Left, Center };

struct Skin {
    std::string name;

    // Title bar and frame.
    Gradient captionActive, captionInactive;
    Color captionText, captionTextInactive;
    Align captionAlign = Align::Left;
    bool showIcon = true;
    Color frameActive, frameInactive;          // outermost line of the frame
    Color frameFillActive, frameFillInactive;  // the rest of the frame

    // Close button.
    CloseGlyph closeGlyph = CloseGlyph::Cross;
    Color closeColor, closeHoverColor;
    Gradient closeHover, closePressed;

    // Window face.
    Color face, text, disabledText;

    // Menu bar.
    Gradient menuBar;
    Color menuText, menuHover, menuHoverText, menuLine;

    // Push buttons.
    Gradient button, buttonHover, buttonPressed;
    Color buttonBorder, buttonText, buttonFocus;
    int buttonRadius = 3;

    // Drop-down combo boxes and their lists.
    Color comboBack, comboText, comboBorder, comboHoverBorder, comboGlyph;
    Gradient comboArrow;
    ArrowGlyph arrowGlyph = ArrowGlyph::Triangle;
    Color listBack, listText, listSelect, listSelectText, listBorder;

    // Edit boxes.
    Color editBack, editText, editBorder, editFocusBorder;

    // Glow around top-level windows.
    Color aeroColor;
    int aeroSize = 10;       // pixels, 0 to 32
    int aeroStrength = 110;  // peak opacity, 0 to 255
};

struct ParseError {
    std::size_t line = 0;  // 1-based; 0 for the file as a whole
    std::string reason;
    // "line 7: bad colour ..." or the reason alone for line 0.
    std::string describe() const;
};

using ParseResult = std::variant<Skin, ParseError>;

inline constexpr std::string_view kMagic = ".SHE";
inline constexpr int kFormatVersion = 1;

ParseResult parseSkin(std::span<const unsigned char> bytes);

// Decimal text of a whole number, without the C runtime's locale.
std::string formatInt(long long value);

}  // namespace skin
