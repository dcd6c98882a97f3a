#include "AudioThreadScheduling.h"

#include <windows.h>

#include <mmsystem.h>

namespace realtime {

void PrepareTimers() {
    // Sleep otherwise wakes on the 15.6 ms system tick, ten periods late.
    timeBeginPeriod(1);
}

std::string RaiseAudioThreadPriority() {
    if (SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL))
        return "THREAD_PRIORITY_TIME_CRITICAL";
    return "normal (SetThreadPriority refused)";
}

} // namespace realtime
