#include "platform/Module.h"

namespace platform {

namespace {
int moduleAnchor;
}

// dladdr on this address finds the library that contains it.
void* ModuleHandle() { return &moduleAnchor; }

} // namespace platform
