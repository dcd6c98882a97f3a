#include "AudioThreadScheduling.h"

#include <pthread.h>
#include <sched.h>

#include <cstring>

namespace realtime {

void PrepareTimers() {
    // nanosleep is already precise to tens of microseconds here.
}

std::string RaiseAudioThreadPriority() {
    // The priority JACK and PipeWire give their audio threads; refused without rtprio rights.
    sched_param parameters{};
    parameters.sched_priority = 70;
    const int failure = pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameters);
    if (failure == 0) return "SCHED_FIFO 70";
    return std::string("normal (SCHED_FIFO refused: ") + std::strerror(failure) + ")";
}

} // namespace realtime
