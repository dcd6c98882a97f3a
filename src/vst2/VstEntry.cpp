#include "vst2/VstEntry.h"

#include "platform/Mutex.h"
#include "vst2/Vst2Adapter.h"

#include <memory>

#if defined(_WIN32)
#define VORNA_EXPORT
#else
#define VORNA_EXPORT __attribute__((visibility("default")))
#endif

extern "C" VORNA_EXPORT vst2::AEffect* VORNA_VSTCALL
VSTPluginMain(vst2::HostCallback hostCallback) {
    platform::ScopedLock lock(platform::CreationMutex());
    try {
        auto adapter = std::make_unique<vst2::Adapter>(hostCallback);
        if (!adapter->Start()) return nullptr;
        // The host owns it from here on, through the effect record, until effClose.
        return adapter.release()->Effect();
    } catch (...) {
        return nullptr;
    }
}

#if defined(VORNA_EXPORT_MAIN_ALIAS) && !defined(_WIN32)
// Hosts look for the entry under its old name "main" too. A C++ function cannot carry that name,
// so the shared library defines it as an assembler-level alias; the DLLs get it from Vorn.def.
asm(".globl main\n\t.type main, @function\n\t.set main, VSTPluginMain");
#endif
