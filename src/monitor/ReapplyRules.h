#pragma once

#include <chrono>
#include <cstdint>
#include <optional>

// How patient a re-apply is with a monitor whose DDC/CI stays dead after a wake-up, and
// what it sends to one that acknowledges a value without taking it.

// "ReapplyPatience": how long, in milliseconds, a worker keeps retrying a monitor that
// refused every attempt of a re-apply; 0 gives up after those attempts.
inline constexpr uint32_t kDefaultReapplyPatienceMs = 60000;
inline constexpr uint32_t kMaxReapplyPatienceMs = 600000;
// A re-apply first makes up to kReapplyAttempts quick attempts this far apart.
inline constexpr int kReapplyAttempts = 30;
inline constexpr std::chrono::milliseconds kReapplyPause{100};
// A monitor that acknowledges and ignores a value is nudged at most this many times.
inline constexpr uint32_t kMaxNudges = 3;

// The patience in use: the stored value when there is one within bounds, else the default.
uint32_t ReapplyPatienceFrom(std::optional<uint32_t> stored);

// The pause before the next patient retry, `elapsed` after the patient retries began and
// after `retriesMade` of them: 100 ms doubling to at most 2 s, cut so that the last retry
// falls at the end of the patience; none once the patience is spent.
std::optional<std::chrono::milliseconds>
NextPatientPause(uint32_t retriesMade, std::chrono::milliseconds elapsed, uint32_t patienceMs);

// What a verification does with one parameter of one monitor.
struct NudgeDecision {
    enum class Action { Done, Nudge, GiveUp } action = Action::Done;
    // For Nudge: first this value, one step beside the wanted one, then the wanted one. A
    // range of one value has no step beside: then it is the wanted value itself.
    uint32_t beside = 0;
};

// `readBack`: the value the monitor reports now (none when it did not answer);
// `nudgesMade` so far for this parameter in this wake-up.
NudgeDecision DecideNudge(std::optional<uint32_t> readBack, uint32_t wanted, uint32_t minimum,
                          uint32_t maximum, uint32_t nudgesMade);

// How one attempt of a re-apply went: every value taken; some refused by a monitor that
// answers; or no answer at all (a DDC/CI channel still dead after a wake-up).
enum class ReapplyAttempt { Accepted, Refused, Unanswered };

// When a worker's re-apply makes its next attempt: first the quick attempts, then, for a
// monitor that still does not answer, patient retries with growing pauses until the
// patience is spent. A monitor that answers again gets the quick attempts anew; one that
// answers and keeps refusing a value is not waited for: its channel is alive.
class ReapplySchedule {
public:
    using Clock = std::chrono::steady_clock;

    void Begin(int quickAttempts, uint32_t patienceMs, Clock::time_point now);
    bool IsPending() const { return pending; }
    bool IsPatient() const { return patient; }
    bool IsDue(Clock::time_point now) const { return pending && now >= next; }
    Clock::time_point NextAttempt() const { return next; }
    // A command for the monitor ends a patient pause: the next attempt is due at once.
    void EndPause(Clock::time_point now);
    void AttemptMade(ReapplyAttempt result, Clock::time_point now);

private:
    bool pending = false;
    bool patient = false;
    int attempts = 0;
    int attemptsLeft = 0;
    uint32_t patience = 0;
    uint32_t retries = 0;
    Clock::time_point next;
    Clock::time_point patientSince;
};
