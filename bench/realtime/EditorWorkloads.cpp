// The GUI thread with the editor open: effEditIdle at 30 Hz, as hosts call it, next to program
// changes and automation; and the editor opened and closed over and over.

#include "ParentWindow.h"
#include "WorkloadSteps.h"

#include <algorithm>
#include <thread>

namespace realtime {

namespace {

constexpr auto kIdleInterval = std::chrono::microseconds(1000000 / 30);
constexpr auto kSlowProgramInterval = std::chrono::milliseconds(250);
// effEditIdle calls between an effEditOpen and its effEditClose: the first draws the panel.
constexpr int kIdlesPerOpening = 3;

// The host's idle timer: due every kIdleInterval; a late one is not made up for.
class IdleTimer {
public:
    explicit IdleTimer(WorkloadContext& context)
        : context_(context), next_(Clock::now() + kIdleInterval) {}
    Clock::time_point Next() const { return next_; }
    void IdleIfDue() {
        const Clock::time_point now = Clock::now();
        if (now < next_) return;
        Idle(context_);
        next_ = std::max(next_ + kIdleInterval, now);
    }
    static void Idle(WorkloadContext& context) {
        context.parent->Pump();
        context.session.Dispatch(vst2::effEditIdle);
    }

private:
    WorkloadContext& context_;
    Clock::time_point next_;
};

} // namespace

WorkloadOutcome EditorSlowProgramChanges(WorkloadContext& context) {
    WorkloadOutcome outcome;
    IdleTimer idle(context);
    Clock::time_point nextChange = Clock::now() + kSlowProgramInterval;
    while (Clock::now() < context.end) {
        std::this_thread::sleep_until(std::min({idle.Next(), nextChange, context.end}));
        idle.IdleIfDue();
        if (Clock::now() >= nextChange) {
            NextProgram(context.session);
            ++outcome.operations;
            nextChange += kSlowProgramInterval;
        }
    }
    return outcome;
}

WorkloadOutcome EditorProgramChanges(WorkloadContext& context) {
    WorkloadOutcome outcome;
    IdleTimer idle(context);
    for (; Clock::now() < context.end; ++outcome.operations) {
        NextProgram(context.session);
        idle.IdleIfDue();
    }
    return outcome;
}

WorkloadOutcome EditorAutomation(WorkloadContext& context) {
    WorkloadOutcome outcome;
    IdleTimer idle(context);
    for (std::int64_t round = 0; Clock::now() < context.end; ++round) {
        AutomateAllParameters(context.session, round);
        outcome.operations += context.session.Effect()->numParams;
        idle.IdleIfDue();
    }
    return outcome;
}

WorkloadOutcome EditorOpenClose(WorkloadContext& context) {
    WorkloadOutcome outcome;
    for (; Clock::now() < context.end; ++outcome.operations) {
        if (context.session.Dispatch(vst2::effEditOpen, 0, 0, context.parent->Handle()) == 0) {
            outcome.error = "effEditOpen failed";
            break;
        }
        for (int i = 0; i < kIdlesPerOpening; ++i) IdleTimer::Idle(context);
        context.session.Dispatch(vst2::effEditClose);
        context.parent->Pump();
    }
    return outcome;
}

} // namespace realtime
