#include "lv2/Lv2StandIn.h"

#include "host/PluginFactory.h"

#include <cmath>

namespace lv2 {

StandIn::StandIn(const VornaLv2UiHost& ui) : ui_(ui) {
    host::PluginSetup setup;
    setup.host = this;
    setup.standIn = true;
    core_ = host::CreatePlugin(setup);
}

StandIn::~StandIn() {
    // The core goes before the link it reports to.
    core_.reset();
}

bool StandIn::Forwards(int index) const {
    return mirroring_ && !settingFromPort_ && core_ && core_->IsValidParam(index);
}

void StandIn::SetFromPort(int index, float value) {
    if (!core_ || !core_->IsValidParam(index) || !std::isfinite(value)) return;
    // The host already holds this value: it is not written back to it.
    settingFromPort_ = true;
    const host::Param& param = core_->GetParam(index);
    core_->SetParamFromHost(index, param.ToNormalized(value));
    settingFromPort_ = false;
}

void StandIn::BeginParamEdit(int index) {
    if (Forwards(index) && ui_.touchParam) ui_.touchParam(ui_.context, index, true);
}

void StandIn::NotifyParamChange(int index, double normalized) {
    if (!Forwards(index) || !ui_.writeParam) return;
    // Stepped as the parameter stores it, so that an integer port receives an integer.
    const double value = core_->GetParam(index).SteppedFromNormalized(normalized);
    ui_.writeParam(ui_.context, index, static_cast<float>(value));
}

void StandIn::EndParamEdit(int index) {
    if (Forwards(index) && ui_.touchParam) ui_.touchParam(ui_.context, index, false);
}

bool StandIn::ResizeEditorFrame(int width, int height) {
    return ui_.resize && ui_.resize(ui_.context, width, height) == 0;
}

} // namespace lv2
