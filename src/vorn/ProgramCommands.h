#pragma once
// The commands of the option menu and the program utility buttons: program copy, paste and
// initialise, program and bank files, factory programs, SysEx files, the start-up bank, the
// default folders, the configuration file, four options and the update check. Each command asks
// its questions and shows its dialogs and messages through the instance's UI services, and holds
// the instance mutex only while it changes something, never while the user or a server is
// awaited.

#include "programs/CommandIds.h"

#include <string>

namespace platform {
class UiServices;
}

namespace vorn {

class Vorn;

// Carries out command 0..23; other numbers do nothing.
void RunCommand(vorn::Vorn& instance, int command);

// The menu's own command 24: the maker's home page in the browser, when a connection exists.
void VisitMakerWebSite(platform::UiServices& ui);

// The last folders of the program-file and start-up-bank dialogs, shared by all instances in the
// process. At its first use each takes the given default (the instance's default folder for
// program files, the user's documents folder).
std::string LastProgramFolder(const std::string& defaultFolder);
void SetLastProgramFolder(const std::string& folder);
std::string LastStartupFolder(const std::string& defaultFolder);
void SetLastStartupFolder(const std::string& folder);

} // namespace vorn
