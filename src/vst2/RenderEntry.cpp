// VornaRenderEditor: an entry of Vorna's own, exported next to the VST2 entry, that draws an
// instance's editor offscreen and writes the picture as a PNG file. The vorna tool's screenshot
// command calls it; hosts never see it (the VST2 dispatcher knows nothing of it).

#include "vst2/Vst2Adapter.h"

#if defined(_WIN32)
#define VORNA_RENDER_EXPORT
#else
#define VORNA_RENDER_EXPORT __attribute__((visibility("default")))
#endif

// Returns 1 when the picture was written, 0 otherwise (no instance, no path, write failed).
extern "C" VORNA_RENDER_EXPORT int VornaRenderEditor(vst2::AEffect* effect, const char* pngPath) {
    if (!pngPath || !*pngPath) return 0;
    host::PluginBase* core = vst2::Adapter::CoreOf(effect);
    if (!core) return 0;
    try {
        return core->SaveEditorPicture(pngPath) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}
