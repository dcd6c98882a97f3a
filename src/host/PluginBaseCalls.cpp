// The host's close of an instance that may still be running calls: deferred until the last one
// has returned.

#include "host/PluginBase.h"

namespace host {

PluginBase::CallScope::CallScope(PluginBase* plugin) : plugin_(plugin) {
    if (!plugin_) return;
    platform::ScopedLock lock(plugin_->callsMutex_);
    ++plugin_->calls_;
}

PluginBase::CallScope::~CallScope() {
    if (!plugin_) return;
    std::function<void()> destroy;
    {
        platform::ScopedLock lock(plugin_->callsMutex_);
        if (--plugin_->calls_ == 0) destroy.swap(plugin_->destroy_);
    }
    // Last: it deletes the instance, this scope's plug-in with it.
    if (destroy) destroy();
}

void PluginBase::CloseFromHost(std::function<void()> destroy) {
    // This call counts too, so that the instance outlives the editor's close below even when a
    // call on another thread returns meanwhile.
    CallScope self(this);
    {
        platform::ScopedLock lock(mutex_);
        if (editor_) editor_->CloseWindow();
    }
    platform::ScopedLock lock(callsMutex_);
    destroy_ = std::move(destroy);
}

} // namespace host
