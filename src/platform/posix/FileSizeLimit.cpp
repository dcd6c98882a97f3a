#include "platform/FileSizeLimit.h"

#include <csignal>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>

namespace platform {

namespace {
rlimit savedLimit{};
bool saved = false;
// The user nobody: owns nothing, so only the "others" permission bits apply to it.
constexpr uid_t kUnprivilegedUser = 65534;
} // namespace

bool SetFileSizeLimit(long long bytes) {
    // Past the limit a write fails with an error instead of the signal ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    if (!saved) {
        if (getrlimit(RLIMIT_FSIZE, &savedLimit) != 0) return false;
        saved = true;
    }
    rlimit limit = savedLimit;
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    return setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

void ClearFileSizeLimit() {
    if (saved) setrlimit(RLIMIT_FSIZE, &savedLimit);
}

// POSIX replaces a file by renaming over it whoever holds it open.
bool HoldFileOpen(const std::string&) {
    return false;
}
void ReleaseHeldFile() {}

bool UseUnprivilegedFileAccess() {
    if (geteuid() != 0) return false;
    // The file-system user id alone: signals, limits and the real ids stay root's, and switching
    // back to 0 gives the file capabilities back.
    setfsuid(kUnprivilegedUser);
    if (setfsuid(static_cast<uid_t>(-1)) == kUnprivilegedUser) return true;
    setfsuid(0);
    return false;
}

void RestoreFileAccess() {
    if (geteuid() == 0) setfsuid(0);
}

} // namespace platform
