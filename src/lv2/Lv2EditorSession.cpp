#include "lv2/Lv2EditorSession.h"

#include "host/PluginBase.h"
#include "lv2/Lv2Adapter.h"
#include "lv2/Lv2StandIn.h"

#include <memory>

namespace lv2 {

namespace {

// One open editor. On the plug-in itself (instance access) the adapter forwards the core's
// parameter notices to the UI's host while the editor is open; on a stand-in the stand-in does.
// Every call into the core runs as the VST2 dispatcher's do: inside a CallScope (the host may end
// the instance from inside a menu's loop or another thread) and with the instance mutex held.
class Session {
public:
    explicit Session(const VornaLv2UiHost& ui) : ui_(ui) {}

    bool OpenOnInstance(Adapter& adapter, void* parent) {
        adapter_ = &adapter;
        core_ = &adapter.Core();
        host::PluginBase::CallScope call(core_);
        platform::ScopedLock lock(core_->Mutex());
        core_->ShowParamsChangedWhileBusy();
        // One editor per instance: a second UI would take the window and the link from the first.
        if (core_->Editor() && core_->Editor()->WindowHandle() != 0) return false;
        adapter.AttachUi(&ui_);
        if (!core_->OpenEditor(parent)) {
            adapter.DetachUi();
            return false;
        }
        // The host's ports are to agree with what the plug-in sounds like now.
        core_->ReportAllParamsToHost();
        return true;
    }

    bool OpenOnStandIn(void* parent) {
        standIn_ = std::make_unique<StandIn>(ui_);
        core_ = standIn_->Core();
        if (!core_) return false;
        {
            host::PluginBase::CallScope call(core_);
            platform::ScopedLock lock(core_->Mutex());
            if (!core_->OpenEditor(parent)) return false;
        }
        standIn_->Mirror();
        return true;
    }

    std::uintptr_t Window() {
        platform::ScopedLock lock(core_->Mutex());
        host::PluginEditor* editor = core_->Editor();
        return editor ? editor->WindowHandle() : 0;
    }

    void Size(int& width, int& height) {
        platform::ScopedLock lock(core_->Mutex());
        host::PluginEditor* editor = core_->Editor();
        width = editor ? editor->Width() : 0;
        height = editor ? editor->Height() : 0;
    }

    bool Idle() {
        host::PluginBase::CallScope call(core_);
        {
            platform::ScopedLock lock(core_->Mutex());
            core_->ShowParamsChangedWhileBusy();
            core_->EditorIdle();
        }
        // Notices that other threads (the audio thread's program changes and learned
        // controllers) queued for the UI, sent without the instance mutex held.
        if (adapter_) adapter_->FlushUiWrites();
        return Window() != 0;
    }

    void PortEvent(int index, float value) {
        // On the plug-in itself the editor follows the instance, which the host set already.
        if (standIn_) standIn_->SetFromPort(index, value);
    }

    // Closes the editor; the session is deleted afterwards.
    void Close() {
        if (standIn_) {
            if (!core_) return;
            {
                host::PluginBase::CallScope call(core_);
                platform::ScopedLock lock(core_->Mutex());
                core_->CloseEditor();
            }
            // The stand-in goes once no call runs inside it any more (a wait being unwound).
            core_->CloseFromHost([standIn = standIn_.release()] { delete standIn; });
            return;
        }
        host::PluginBase::CallScope call(core_);
        platform::ScopedLock lock(core_->Mutex());
        core_->CloseEditor();
        adapter_->DetachUi();
    }

private:
    VornaLv2UiHost ui_; // the address the adapter holds while the editor is open
    Adapter* adapter_ = nullptr;
    std::unique_ptr<StandIn> standIn_;
    host::PluginBase* core_ = nullptr;
};

Session* SessionOf(void* session) {
    return static_cast<Session*>(session);
}

bool Usable(const VornaLv2UiHost* ui) {
    return ui && ui->writeParam;
}

// The link's functions: plain C calls from the UI binary, so no exception leaves them.
void* Open(void* instance, void* parent, const VornaLv2UiHost* ui) {
    if (!instance || !parent || !Usable(ui)) return nullptr;
    try {
        Adapter* adapter = Adapter::FromHandle(instance);
        if (!adapter) return nullptr;
        auto session = std::make_unique<Session>(*ui);
        return session->OpenOnInstance(*adapter, parent) ? session.release() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

void* OpenStandIn(void* parent, const VornaLv2UiHost* ui) {
    if (!parent || !Usable(ui)) return nullptr;
    try {
        auto session = std::make_unique<Session>(*ui);
        if (session->OpenOnStandIn(parent)) return session.release();
        session->Close();
        return nullptr;
    } catch (...) {
        return nullptr;
    }
}

std::uintptr_t WindowOf(void* session) {
    if (!session) return 0;
    try {
        return SessionOf(session)->Window();
    } catch (...) {
        return 0;
    }
}

void SizeOf(void* session, int* width, int* height) {
    int w = 0, h = 0;
    try {
        if (session) SessionOf(session)->Size(w, h);
    } catch (...) {
        w = h = 0;
    }
    if (width) *width = w;
    if (height) *height = h;
}

int Idle(void* session) {
    if (!session) return 1;
    try {
        return SessionOf(session)->Idle() ? 0 : 1;
    } catch (...) {
        return 1;
    }
}

void PortEvent(void* session, int paramIndex, float value) {
    if (!session) return;
    try {
        SessionOf(session)->PortEvent(paramIndex, value);
    } catch (...) {
    }
}

void Close(void* session) {
    if (!session) return;
    try {
        SessionOf(session)->Close();
    } catch (...) {
    }
    delete SessionOf(session);
}

} // namespace

const VornaLv2EditorLink* EditorLink() {
    static const VornaLv2EditorLink link{1,       &Open, &OpenStandIn, &WindowOf,
                                         &SizeOf, &Idle, &PortEvent,   &Close};
    return &link;
}

} // namespace lv2
