// VornaRenderEditor: an entry of Vorna's own, exported next to the VST2 entry, that draws an
// instance's editor offscreen and writes the picture as a PNG file. The vorna tool's screenshot
// command calls it; hosts never see it (the VST2 dispatcher knows nothing of it).

#include "graphics/Graphics.h"
#include "graphics/OffscreenWindow.h"
#include "graphics/PngCodec.h"
#include "host/VstPlugin.h"

#include <memory>

#if defined(_WIN32)
#define VORNA_RENDER_EXPORT
#else
#define VORNA_RENDER_EXPORT __attribute__((visibility("default")))
#endif

// Returns 1 when the picture was written, 0 otherwise (no instance, no path, write failed).
extern "C" VORNA_RENDER_EXPORT int VornaRenderEditor(vst2::AEffect* effect, const char* pngPath) {
    if (!pngPath || !*pngPath) return 0;
    host::VstPlugin* plugin = host::VstPlugin::FromEffect(effect);
    if (!plugin) return 0;
    try {
        platform::ScopedLock lock(plugin->Mutex());
        graphics::Surface picture;
        auto* editor = dynamic_cast<graphics::Graphics*>(plugin->Editor());
        if (editor) {
            // Opened offscreen like a window, so that the editor refreshes itself as on screen.
            bool opened = false;
            if (!editor->IsWindowOpen()) {
                opened =
                    editor->OpenWindowWith(std::make_unique<graphics::OffscreenWindow>(*editor));
                if (opened) plugin->EditorOpened();
            }
            plugin->IdleTick();
            picture = editor->RenderAll();
            if (opened) {
                plugin->EditorClosed();
                editor->CloseWindow();
            }
        } else {
            picture.Resize(graphics::Graphics::kDefaultWidth, graphics::Graphics::kDefaultHeight);
            picture.Clear(graphics::Color(255, 0, 0, 0));
        }
        return graphics::SavePng(picture, pngPath) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}
