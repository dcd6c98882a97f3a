#pragma once
// A plug-in instance made in this process through the plug-in's own entry function, as a host
// makes one, with typed access to the instrument for the program and file operations a host
// cannot reach. Its dialogs and message boxes answer nothing, so no command ever waits on a user.

#include "PluginHost.h"

#include <string>

namespace vorn {
class Vorn;
}

namespace vorna_tool {

class PluginInstance {
public:
    // False with the reason when the instance cannot be made.
    bool Create(std::string& error);
    vorn::Vorn& Plugin();
    hostkit::PluginHost& Host() { return host_; }

private:
    hostkit::PluginHost host_;
};

} // namespace vorna_tool
