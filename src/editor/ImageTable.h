#pragma once
// The editor's twelve images: id, file, size and frame count, kept in this one table that the
// image generator, the editor and the tests all read. Frames are stacked vertically, frame 1 at
// the top, so a frame is the full width and height / frames tall.

namespace editor {

enum ImageId : int {
    kNoImage = 0,
    kImageAlgorithm = 101,
    kImageBack = 102,
    kImageBrowser = 103,
    kImageButton = 104,
    kImageKnob = 105,
    kImageLearn = 106,
    kImageNext = 107,
    kImagePrev = 108,
    kImageSwitchV = 109,
    kImageSwitch4 = 110,
    kImageUnlearn = 111,
    kImageWaves = 112,
};

struct ImageInfo {
    int id;
    const char* key;  // resource key of type "PNG": the id as text
    const char* path; // path in the source tree; its extension tells the format
    int width;
    int height;
    int frames;

    int FrameWidth() const { return width; }
    int FrameHeight() const { return height / frames; }
    // The file name part of path ("knob.png").
    const char* FileName() const;
};

constexpr int kImageCount = 12;

// The table in id order (101 to 112).
const ImageInfo* Images();
// The entry of an id, or null for an id that is not one of the twelve.
const ImageInfo* FindImage(int id);

} // namespace editor
