#include "graphics/NativeWindow.h"

#include "graphics/Scale.h"

#include <atomic>

namespace graphics {

namespace {

std::atomic<const NativeWindowSystem*> installed{nullptr};

} // namespace

void InstallNativeWindowSystem(const NativeWindowSystem* system) {
    installed.store(system);
}

std::unique_ptr<EditorWindow> CreateNativeWindow(Graphics& graphics) {
    const NativeWindowSystem* system = installed.load();
    return system ? system->create(graphics) : nullptr;
}

bool NativeWindowAvailable() {
    const NativeWindowSystem* system = installed.load();
    return system && system->available();
}

int SystemScalePercent(void* parent) {
    const NativeWindowSystem* system = installed.load();
    if (!system || !system->systemScale) return 100;
    return NearestScale(system->systemScale(parent));
}

} // namespace graphics
