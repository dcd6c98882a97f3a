#include "editor/TextStyles.h"

namespace editor {

namespace {

using graphics::Color;
using graphics::TextAlign;

constexpr Color kNoColor(0, 0, 0, 0);

// Captions and choices are sized so that the widest text each can show fits its field with a
// pixel to spare on both sides: ">> FB-01" and "FACTRY" on 50-pixel buttons, "+ Expon." and
// "M.Wheel" in 48-pixel drop-downs.
const TextStyleSpec kStyles[] = {
    {TextStyleId::None, "Arial", 12, kNoColor, TextAlign::Left, kNoColor},
    {TextStyleId::Version, "Arial", 10, Color(128, 255, 255, 255), TextAlign::Right, kNoColor},
    {TextStyleId::Caption, "Arial", 11, Color(192, 220, 220, 220), TextAlign::Center, kNoColor},
    {TextStyleId::CaptionDimmed, "Arial", 11, Color(64, 220, 220, 220), TextAlign::Center,
     kNoColor},
    {TextStyleId::KnobValue, "Arial", 14, Color(255, 64, 255, 64), TextAlign::Center, kNoColor},
    {TextStyleId::Choice, "Arial", 11, Color(192, 220, 220, 220), TextAlign::Center, kNoColor},
    {TextStyleId::Display, "Courier New", 16, Color(192, 255, 128, 64), TextAlign::Left, kNoColor},
    // The program name in its 67 x 14 field: seven characters of any kind, descenders included.
    {TextStyleId::NameDisplay, "Courier New", 13, Color(192, 255, 128, 64), TextAlign::Left,
     kNoColor},
    {TextStyleId::NameEntry, "Courier New", 14, Color(255, 0, 0, 0), TextAlign::Left,
     Color(255, 255, 255, 255)},
    {TextStyleId::BrowserItem, "Arial", 14, Color(128, 255, 255, 255), TextAlign::Left, kNoColor},
    {TextStyleId::BrowserItemLit, "Arial", 14, Color(192, 255, 255, 255), TextAlign::Left,
     kNoColor},
};

} // namespace

const TextStyleSpec& FindTextStyle(TextStyleId id) {
    for (const TextStyleSpec& style : kStyles) {
        if (style.id == id) return style;
    }
    return kStyles[0];
}

graphics::TextStyle MakeTextStyle(TextStyleId id) {
    const TextStyleSpec& control = FindTextStyle(id);
    graphics::TextStyle style(control.font, control.size, control.color, control.align);
    if (control.background.a != 0) {
        style.entryBackground = control.background;
        style.entryText = control.color;
    }
    return style;
}

} // namespace editor
