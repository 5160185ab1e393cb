#include "monitor/ReapplyRules.h"

#include <gtest/gtest.h>

using std::chrono::milliseconds;

TEST(ReapplyRules, PatienceIsTheStoredValueWithinBoundsElseTheDefault) {
    EXPECT_EQ(ReapplyPatienceFrom(std::nullopt), 60000u) << "absent, or not a REG_DWORD";
    EXPECT_EQ(ReapplyPatienceFrom(0), 0u);
    EXPECT_EQ(ReapplyPatienceFrom(600000), 600000u);
    EXPECT_EQ(ReapplyPatienceFrom(600001), 60000u);
    EXPECT_EQ(ReapplyPatienceFrom(UINT32_MAX), 60000u);
}

TEST(ReapplyRules, PausesDoubleFrom100MsTo2SecondsAndEndWithThePatience) {
    // The whole schedule of a 60 s patience: doubling, then 2 s steps, the last one cut.
    std::vector<long long> pauses;
    milliseconds elapsed{0};
    for (uint32_t retry = 0; auto pause = NextPatientPause(retry, elapsed, 60000); ++retry) {
        pauses.push_back(pause->count());
        elapsed += *pause;
        ASSERT_LT(pauses.size(), 100u);
    }
    ASSERT_GE(pauses.size(), 6u);
    EXPECT_EQ(std::vector<long long>(pauses.begin(), pauses.begin() + 6),
              (std::vector<long long>{100, 200, 400, 800, 1600, 2000}));
    EXPECT_EQ(elapsed, milliseconds(60000));
    EXPECT_EQ(pauses.back(), 900) << "60000 - 100 - 200 - 400 - 800 - 1600 - 28 * 2000";
    EXPECT_EQ(NextPatientPause(1000, milliseconds(0), 600000), milliseconds(2000)) << "no overflow";
    EXPECT_EQ(NextPatientPause(0, milliseconds(0), 0), std::nullopt) << "no patience: no retry";
    EXPECT_EQ(NextPatientPause(0, milliseconds(70000), 60000), std::nullopt) << "late wake-up";
}

TEST(ReapplyRules, AValueThatDidNotTakeIsNudgedFromBesideItAtMostThreeTimes) {
    using Action = NudgeDecision::Action;
    EXPECT_EQ(DecideNudge(30, 30, 0, 100, 0).action, Action::Done);
    const NudgeDecision below = DecideNudge(50, 30, 0, 100, 0);
    EXPECT_EQ(below.action, Action::Nudge);
    EXPECT_EQ(below.beside, 29u);
    EXPECT_EQ(DecideNudge(50, 10, 10, 100, 2).beside, 11u) << "at the minimum: above";
    EXPECT_EQ(DecideNudge(std::nullopt, 7, 7, 7, 0).beside, 7u) << "a range of one value; no answer";
    EXPECT_EQ(DecideNudge(50, 30, 0, 100, 3).action, Action::GiveUp);
    EXPECT_EQ(DecideNudge(30, 30, 0, 100, 3).action, Action::Done) << "the third nudge took";
}

TEST(ReapplyRules, QuickAttemptsThenPatientRetriesThatACommandHurriesAndThePatienceEnds) {
    using Clock = ReapplySchedule::Clock;
    const Clock::time_point start{};
    ReapplySchedule schedule;
    schedule.Begin(2, 300, start);
    EXPECT_TRUE(schedule.IsDue(start));
    schedule.AttemptMade(ReapplyAttempt::Unanswered, start);
    EXPECT_EQ(schedule.NextAttempt(), start + kReapplyPause);
    schedule.EndPause(start);
    EXPECT_FALSE(schedule.IsDue(start)) << "a command does not hurry the quick attempts";
    schedule.AttemptMade(ReapplyAttempt::Unanswered, start + milliseconds(100));
    EXPECT_TRUE(schedule.IsPatient());
    EXPECT_EQ(schedule.NextAttempt(), start + milliseconds(200));
    schedule.EndPause(start + milliseconds(150));
    EXPECT_TRUE(schedule.IsDue(start + milliseconds(150)));
    schedule.AttemptMade(ReapplyAttempt::Unanswered,
                         start + milliseconds(350)); // 250 ms into the patience: 50 left
    EXPECT_EQ(schedule.NextAttempt(), start + milliseconds(400));
    schedule.AttemptMade(ReapplyAttempt::Unanswered, start + milliseconds(400));
    EXPECT_FALSE(schedule.IsPending()) << "patience spent";
    schedule.Begin(30, 0, start);
    schedule.AttemptMade(ReapplyAttempt::Accepted, start);
    EXPECT_FALSE(schedule.IsPending()) << "accepted";

    // A monitor that answers with refusals is awake: no patience, but quick attempts anew if it wakes late.
    schedule.Begin(2, 60000, start);
    schedule.AttemptMade(ReapplyAttempt::Refused, start);
    schedule.AttemptMade(ReapplyAttempt::Refused, start + milliseconds(100));
    EXPECT_FALSE(schedule.IsPending()) << "waited for a monitor that answers";
    schedule.Begin(2, 60000, start);
    schedule.AttemptMade(ReapplyAttempt::Unanswered, start);
    schedule.AttemptMade(ReapplyAttempt::Unanswered, start + milliseconds(100));
    ASSERT_TRUE(schedule.IsPatient());
    schedule.AttemptMade(ReapplyAttempt::Refused, start + milliseconds(300));
    EXPECT_FALSE(schedule.IsPatient());
    EXPECT_EQ(schedule.NextAttempt(), start + milliseconds(400));
    schedule.AttemptMade(ReapplyAttempt::Refused, start + milliseconds(400));
    EXPECT_FALSE(schedule.IsPending());
}
