#include "editor/ImageTable.h"

#include <cstring>

namespace editor {

namespace {

const ImageInfo kImages[kImageCount] = {
    {kImageAlgorithm, "101", "resources/img/algo.png", 132, 132, 1},
    {kImageBack, "102", "resources/img/back.png", 968, 640, 1},
    {kImageBrowser, "103", "resources/img/browser.png", 942, 616, 1},
    {kImageButton, "104", "resources/img/button.png", 50, 44, 2},
    {kImageKnob, "105", "resources/img/knob.png", 40, 2600, 65},
    {kImageLearn, "106", "resources/img/learn.png", 50, 44, 2},
    {kImageNext, "107", "resources/img/next.png", 22, 44, 2},
    {kImagePrev, "108", "resources/img/prev.png", 22, 44, 2},
    {kImageSwitchV, "109", "resources/img/switch_v.png", 15, 74, 2},
    {kImageSwitch4, "110", "resources/img/switch4.png", 40, 160, 4},
    {kImageUnlearn, "111", "resources/img/unlearn.png", 50, 44, 2},
    {kImageWaves, "112", "resources/img/waves.png", 36, 288, 8},
};

} // namespace

const char* ImageInfo::FileName() const {
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

const ImageInfo* Images() {
    return kImages;
}

const ImageInfo* FindImage(int id) {
    for (const ImageInfo& image : kImages) {
        if (image.id == id) return &image;
    }
    return nullptr;
}

} // namespace editor
