// vorna_imagegen: draws the editor's twelve images into a folder (normally resources/img/ of the
// source tree, where they are committed), and each again at twice the size into its subfolder 2x/
// (the same painters on a surface of 2W x 2H scaled by 2, for the editor's larger scales). Run
// through the `vorna_images` build target:
//   vorna_imagegen <folder>
// and, to look at the images in place:
//   vorna_imagegen --preview <folder> <out.png> [--browser] [--2x]
//   vorna_imagegen --zoom <in.png> <x> <y> <w> <h> <scale> <out.png>

#include "Canvas.h"
#include "Painters.h"
#include "Preview.h"
#include "editor/ImageTable.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using FramePainter = void (*)(cairo_t*, int);
using WholePainter = void (*)(cairo_t*);

struct Job {
    int id;
    FramePainter frames;
    WholePainter whole;
};

const Job kJobs[] = {
    {editor::kImageAlgorithm, nullptr, imagegen::PaintAlgorithms},
    {editor::kImageBack, nullptr, imagegen::PaintBack},
    {editor::kImageBrowser, nullptr, imagegen::PaintBrowser},
    {editor::kImageButton, imagegen::PaintButton, nullptr},
    {editor::kImageKnob, imagegen::PaintKnob, nullptr},
    {editor::kImageLearn, imagegen::PaintLearn, nullptr},
    {editor::kImageNext, imagegen::PaintNext, nullptr},
    {editor::kImagePrev, imagegen::PaintPrev, nullptr},
    {editor::kImageSwitchV, imagegen::PaintSwitchV, nullptr},
    {editor::kImageSwitch4, imagegen::PaintSwitch4, nullptr},
    {editor::kImageUnlearn, imagegen::PaintUnlearn, nullptr},
    {editor::kImageWaves, imagegen::PaintWave, nullptr},
};

// The folder the pictures of a scale go into: the folder itself at 1x, its subfolder 2x/ at 2x.
std::string ScaleFolder(const std::string& folder, int scale) {
    return scale == 1 ? folder : folder + "/" + std::to_string(scale) + "x";
}

bool Generate(const Job& job, const std::string& folder, int scale) {
    const editor::ImageInfo* info = editor::FindImage(job.id);
    if (!info) return false;
    cairo_surface_t* surface = imagegen::NewSurface(info->width * scale, info->height * scale);
    cairo_t* cr = cairo_create(surface);
    // The painters draw in the 1x picture's units.
    cairo_scale(cr, scale, scale);
    if (job.whole) {
        job.whole(cr);
    } else {
        for (int frame = 0; frame < info->frames; ++frame) {
            cairo_save(cr);
            // Each frame paints in its own clip, so nothing bleeds into the next frame.
            cairo_rectangle(cr, 0, frame * info->FrameHeight(), info->width, info->FrameHeight());
            cairo_clip(cr);
            cairo_translate(cr, 0, frame * info->FrameHeight());
            job.frames(cr, frame);
            cairo_restore(cr);
        }
    }
    const bool drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    const std::string path = ScaleFolder(folder, scale) + "/" + info->FileName();
    const bool written = drawn && imagegen::WritePng(surface, path);
    cairo_surface_destroy(surface);
    if (!written) {
        std::fprintf(stderr, "imagegen: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s  %d x %d, %d frame%s\n", path.c_str(), info->width * scale,
                info->height * scale, info->frames, info->frames == 1 ? "" : "s");
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::string(argv[1]) == "--preview") {
        bool browser = false;
        int scale = 1;
        for (int i = 4; i < argc; ++i) {
            const std::string option = argv[i];
            if (option == "--browser") browser = true;
            if (option == "--2x") scale = 2;
        }
        return imagegen::PaintPreview(argv[2], argv[3], browser, scale) ? 0 : 1;
    }
    if (argc == 9 && std::string(argv[1]) == "--zoom") {
        // --zoom <in.png> <x> <y> <w> <h> <scale> <out.png>: a magnified crop for close looks.
        return imagegen::ZoomCrop(argv[2], std::atoi(argv[3]), std::atoi(argv[4]),
                                  std::atoi(argv[5]), std::atoi(argv[6]), std::atoi(argv[7]),
                                  argv[8])
                   ? 0
                   : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorna_imagegen <output folder>\n");
        return 2;
    }
    std::error_code error;
    std::filesystem::create_directories(ScaleFolder(argv[1], 2), error);
    if (error) {
        std::fprintf(stderr, "imagegen: cannot make %s: %s\n", ScaleFolder(argv[1], 2).c_str(),
                     error.message().c_str());
        return 1;
    }
    bool ok = true;
    for (int scale : {1, 2})
        for (const Job& job : kJobs) ok = Generate(job, argv[1], scale) && ok;
    return ok ? 0 : 1;
}
