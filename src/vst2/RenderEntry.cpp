// VornaRenderEditor and VornaRenderEditorAtScale: entries of Vorna's own, exported next to the
// VST2 entry, that draw an instance's editor offscreen and write the picture as a PNG file. The
// vorna tool's screenshot command calls it; hosts never see it (the VST2 dispatcher knows nothing
// of it).

#include "vst2/Vst2Adapter.h"

#if defined(_WIN32)
#define VORNA_RENDER_EXPORT
#else
#define VORNA_RENDER_EXPORT __attribute__((visibility("default")))
#endif

// Returns 1 when the picture was written, 0 otherwise (no instance, no path, a scale that is not
// one of the editor's sizes, write failed). Scale 0 draws at the editor's own size.
extern "C" VORNA_RENDER_EXPORT int VornaRenderEditorAtScale(vst2::AEffect* effect,
                                                            const char* pngPath, int scalePercent) {
    if (!pngPath || !*pngPath) return 0;
    host::PluginBase* core = vst2::Adapter::CoreOf(effect);
    if (!core) return 0;
    try {
        return core->SaveEditorPicture(pngPath, scalePercent) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

extern "C" VORNA_RENDER_EXPORT int VornaRenderEditor(vst2::AEffect* effect, const char* pngPath) {
    return VornaRenderEditorAtScale(effect, pngPath, 0);
}
