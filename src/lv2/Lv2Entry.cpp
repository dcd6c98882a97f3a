// The bundle's plug-in binary: the LV2 descriptor and its C entry points, each a thin call into
// the adapter. None lets a C++ exception reach the host.

#include "lv2/Lv2Adapter.h"
#include "lv2/Lv2EditorSession.h"
#include "lv2/Lv2Identity.h"
#include "platform/Mutex.h"

#include <cstring>

namespace {

using lv2::Adapter;

LV2_Handle Instantiate(const LV2_Descriptor*, double rate, const char*,
                       const LV2_Feature* const* features) {
    platform::ScopedLock lock(platform::CreationMutex());
    try {
        return Adapter::Create(rate, features);
    } catch (...) {
        return nullptr;
    }
}

void ConnectPort(LV2_Handle instance, std::uint32_t port, void* data) {
    if (instance) Adapter::FromHandle(instance)->ConnectPort(port, data);
}

void Activate(LV2_Handle instance) {
    if (!instance) return;
    try {
        Adapter::FromHandle(instance)->Activate();
    } catch (...) {
    }
}

void Run(LV2_Handle instance, std::uint32_t frames) {
    if (!instance) return;
    try {
        Adapter::FromHandle(instance)->Run(frames);
    } catch (...) {
    }
}

void Deactivate(LV2_Handle instance) {
    if (!instance) return;
    try {
        Adapter::FromHandle(instance)->Deactivate();
    } catch (...) {
    }
}

void Cleanup(LV2_Handle instance) {
    if (!instance) return;
    try {
        Adapter::FromHandle(instance)->Cleanup();
    } catch (...) {
    }
}

LV2_State_Status Save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle,
                      std::uint32_t, const LV2_Feature* const*) {
    if (!instance || !store) return LV2_STATE_ERR_UNKNOWN;
    try {
        host::PluginBase::CallScope call(&Adapter::FromHandle(instance)->Core());
        return Adapter::FromHandle(instance)->Save(store, handle);
    } catch (...) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

LV2_State_Status Restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle handle, std::uint32_t, const LV2_Feature* const*) {
    if (!instance || !retrieve) return LV2_STATE_ERR_UNKNOWN;
    try {
        host::PluginBase::CallScope call(&Adapter::FromHandle(instance)->Core());
        return Adapter::FromHandle(instance)->Restore(retrieve, handle);
    } catch (...) {
        return LV2_STATE_ERR_UNKNOWN;
    }
}

LV2_Worker_Status Work(LV2_Handle instance, LV2_Worker_Respond_Function respond,
                       LV2_Worker_Respond_Handle handle, std::uint32_t size, const void* data) {
    if (!instance) return LV2_WORKER_ERR_UNKNOWN;
    try {
        return Adapter::FromHandle(instance)->Work(respond, handle, size, data);
    } catch (...) {
        return LV2_WORKER_ERR_UNKNOWN;
    }
}

LV2_Worker_Status WorkResponse(LV2_Handle, std::uint32_t, const void*) {
    return LV2_WORKER_SUCCESS;
}

std::uint32_t GetOptions(LV2_Handle, LV2_Options_Option*) {
    return LV2_OPTIONS_ERR_UNKNOWN;
}

std::uint32_t SetOptions(LV2_Handle instance, const LV2_Options_Option* options) {
    if (!instance) return LV2_OPTIONS_ERR_UNKNOWN;
    try {
        return Adapter::FromHandle(instance)->SetOptions(options);
    } catch (...) {
        return LV2_OPTIONS_ERR_UNKNOWN;
    }
}

const void* ExtensionData(const char* uri) {
    static const LV2_State_Interface state = {Save, Restore};
    static const LV2_Worker_Interface worker = {Work, WorkResponse, nullptr};
    static const LV2_Options_Interface options = {GetOptions, SetOptions};
    if (!uri) return nullptr;
    if (std::strcmp(uri, LV2_STATE__interface) == 0) return &state;
    if (std::strcmp(uri, LV2_WORKER__interface) == 0) return &worker;
    if (std::strcmp(uri, LV2_OPTIONS__interface) == 0) return &options;
    if (std::strcmp(uri, lv2::kEditorLinkUri) == 0) return lv2::EditorLink();
    return nullptr;
}

const LV2_Descriptor kDescriptor = {lv2::kPluginUri, Instantiate, ConnectPort,  Activate, Run,
                                    Deactivate,      Cleanup,     ExtensionData};

} // namespace

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor*
lv2_descriptor(std::uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
