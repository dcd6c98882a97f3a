#include "platform/FileSizeLimit.h"

#include <csignal>
#include <sys/resource.h>

namespace platform {

namespace {
rlimit savedLimit{};
bool saved = false;
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

} // namespace platform
