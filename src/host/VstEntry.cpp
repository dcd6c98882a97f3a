#include "host/VstEntry.h"

#include "host/PluginFactory.h"
#include "host/VstPlugin.h"
#include "platform/Mutex.h"

#include <algorithm>
#include <new>

#if defined(_WIN32)
#define VORNA_EXPORT
#else
#define VORNA_EXPORT __attribute__((visibility("default")))
#endif

extern "C" VORNA_EXPORT vst2::AEffect* VORNA_VSTCALL VSTPluginMain(vst2::HostCallback hostCallback) {
    platform::ScopedLock lock(platform::CreationMutex());
    host::VstPlugin* plugin = nullptr;
    try {
        plugin = host::CreatePlugin(hostCallback);
        if (!plugin) return nullptr;
        plugin->FillEmptyPresets();
        vst2::AEffect* effect = plugin->Effect();
        effect->numPrograms = std::max(effect->numPrograms, 1);
        return effect;
    } catch (...) {
        delete plugin;
        return nullptr;
    }
}

#if defined(VORNA_EXPORT_MAIN_ALIAS) && !defined(_WIN32)
// Hosts look for the entry under its old name "main" too. A C++ function cannot carry that name,
// so the shared library defines it as an assembler-level alias; the DLLs get it from Vorn.def.
asm(".globl main\n\t.type main, @function\n\t.set main, VSTPluginMain");
#endif
