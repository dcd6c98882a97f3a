#pragma once
// The editor's text styles: font name, size as the drawing library takes it, colour and the
// alignment inside the text rectangle. Controls name a style by its id.

#include "graphics/Color.h"
#include "graphics/TextStyle.h"

namespace editor {

enum class TextStyleId {
    None,
    Version,
    Caption,
    CaptionDimmed,
    KnobValue,
    Choice,
    Display,
    NameDisplay,
    NameEntry,
    BrowserItem,
    BrowserItemLit,
};

struct TextStyleSpec {
    TextStyleId id;
    const char* font;
    int size;
    graphics::Color color;
    graphics::TextAlign align;
    graphics::Color background; // the box behind the text; transparent where the style has none
};

// The entry of a style; None yields a transparent Arial 12 that draws nothing visible.
const TextStyleSpec& FindTextStyle(TextStyleId id);
// The same as the drawing library's style record.
graphics::TextStyle MakeTextStyle(TextStyleId id);

} // namespace editor
