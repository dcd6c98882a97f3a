#pragma once
// The instance an editor opens on when the host gives the UI no access to the plug-in itself: a
// core of its own (host::PluginSetup::standIn) that only mirrors the parameter ports. The host's
// port values are set into it, and what its editor edits goes back to the host as port writes,
// which the host hands to the real plug-in. Its programs and files are not the plug-in's, so its
// editor refuses every command on them.

#include "host/HostLink.h"
#include "host/PluginBase.h"
#include "lv2/Lv2EditorLink.h"

#include <memory>

namespace lv2 {

class StandIn : public host::HostLink {
public:
    // Makes the core; Core() is null when none could be made. Until Mirror is called, the core's
    // own notices (the factory program it recalls while it is made) go nowhere: the host's ports,
    // not the stand-in's defaults, hold the sound.
    explicit StandIn(const VornaLv2UiHost& ui);
    ~StandIn() override;
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

    host::PluginBase* Core() const { return core_.get(); }
    // From now on the editor's edits reach the host.
    void Mirror() { mirroring_ = true; }
    // A parameter port's value (in the parameter's units) as the host holds it.
    void SetFromPort(int index, float value);

    // host::HostLink: the editor's gestures and values, as port writes in the parameter's units.
    void BeginParamEdit(int index) override;
    void NotifyParamChange(int index, double normalized) override;
    void EndParamEdit(int index) override;
    bool ResizeEditorFrame(int width, int height) override;

private:
    bool Forwards(int index) const;

    VornaLv2UiHost ui_;
    std::unique_ptr<host::PluginBase> core_;
    bool mirroring_ = false;
    bool settingFromPort_ = false;
};

} // namespace lv2
