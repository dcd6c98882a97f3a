#pragma once
// One painter per editor image. Each draws all frames of its image into a surface of exactly the
// size the image table gives (editor/ImageTable.h), frames stacked vertically.

#include <cairo.h>

namespace imagegen {

// Frame f (0-based) of an image painted with its origin moved to the frame's top-left corner.
void PaintButton(cairo_t* cr, int frame);  // 104: raised, pressed
void PaintLearn(cairo_t* cr, int frame);   // 106: off, on, with the word LEARN
void PaintUnlearn(cairo_t* cr, int frame); // 111: off, on, with the word UNLEARN
void PaintNext(cairo_t* cr, int frame);    // 107
void PaintPrev(cairo_t* cr, int frame);    // 108
void PaintSwitchV(cairo_t* cr, int frame); // 109: off (lever down), on (lever up)
void PaintKnob(cairo_t* cr, int frame);    // 105: 65 pointer positions over 300 degrees
void PaintSwitch4(cairo_t* cr, int frame); // 110: four detents
void PaintWave(cairo_t* cr, int frame);    // 112: the operator wave of that number

// Single-frame images.
void PaintAlgorithms(cairo_t* cr); // 101
void PaintBack(cairo_t* cr);       // 102
void PaintBrowser(cairo_t* cr);    // 103

} // namespace imagegen
