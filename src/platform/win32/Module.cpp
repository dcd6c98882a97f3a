#include "platform/Module.h"

#include <windows.h>

namespace {
HMODULE moduleHandle = nullptr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) moduleHandle = instance;
    return TRUE;
}

namespace platform {

void* ModuleHandle() {
    if (!moduleHandle) {
        // Executables that link the library statically (tests, tools) never see DllMain.
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(&ModuleHandle), &moduleHandle);
    }
    return moduleHandle;
}

} // namespace platform
