#include "monitor/ReapplyRules.h"

#include <algorithm>

namespace {

constexpr std::chrono::milliseconds kFirstPause{100};
constexpr std::chrono::milliseconds kLongestPause{2000};

} // namespace

uint32_t ReapplyPatienceFrom(std::optional<uint32_t> stored) {
    return stored && *stored <= kMaxReapplyPatienceMs ? *stored : kDefaultReapplyPatienceMs;
}

std::optional<std::chrono::milliseconds>
NextPatientPause(uint32_t retriesMade, std::chrono::milliseconds elapsed, uint32_t patienceMs) {
    const std::chrono::milliseconds patience(patienceMs);
    if (elapsed >= patience) {
        return std::nullopt;
    }
    // 100 ms shifted left reaches 2 s after five doublings; more would only overflow.
    const std::chrono::milliseconds pause =
        std::min(kFirstPause * (1 << std::min(retriesMade, 5u)), kLongestPause);
    return std::min(pause, patience - elapsed);
}

NudgeDecision DecideNudge(std::optional<uint32_t> readBack, uint32_t wanted, uint32_t minimum,
                          uint32_t maximum, uint32_t nudgesMade) {
    if (readBack && *readBack == wanted) {
        return {};
    }
    if (nudgesMade >= kMaxNudges) {
        return {NudgeDecision::Action::GiveUp};
    }
    // Below the value where there is room, else above it.
    uint32_t beside = wanted;
    if (wanted > minimum && wanted <= maximum) {
        beside = wanted - 1;
    } else if (wanted < maximum) {
        beside = wanted + 1;
    }
    return {NudgeDecision::Action::Nudge, beside};
}

void ReapplySchedule::Begin(int quickAttempts, uint32_t patienceMs, Clock::time_point now) {
    attempts = quickAttempts;
    attemptsLeft = quickAttempts;
    patience = patienceMs;
    patient = false;
    pending = true;
    next = now;
}

void ReapplySchedule::EndPause(Clock::time_point now) {
    if (patient) {
        next = now;
    }
}

void ReapplySchedule::AttemptMade(ReapplyAttempt result, Clock::time_point now) {
    if (result == ReapplyAttempt::Accepted) {
        pending = false;
        return;
    }
    if (patient && result == ReapplyAttempt::Refused) {
        // Awake again: the described attempts, as right after a wake-up.
        patient = false;
        attemptsLeft = attempts;
    }
    if (!patient && --attemptsLeft > 0) {
        next = now + kReapplyPause;
        return;
    }
    if (result == ReapplyAttempt::Refused) {
        pending = false;
        return;
    }
    if (patient) {
        ++retries;
    } else {
        patient = true;
        patientSince = now;
        retries = 0;
    }
    const auto pause = NextPatientPause(
        retries, std::chrono::duration_cast<std::chrono::milliseconds>(now - patientSince), patience);
    pending = pause.has_value();
    next = now + pause.value_or(std::chrono::milliseconds(0));
}
