// The sleep timer's countdown from the player's menu: when it acts, what it does then, and
// what the menu and the dialog read from it.
#include <gtest/gtest.h>

#include "control/control.h"
#include "fake_host.h"

namespace {

int64_t Now;  // seconds from 00:00 on 8 December 2026, as the local clock reads

void ShowClock() {
  SetClock(static_cast<int>(Now / 3600 % 24), static_cast<int>(Now / 60 % 60),
           static_cast<int>(Now % 60), static_cast<int>(8 + Now / 86400));
}

// The user chooses a duration at 23:10:20.
void ChooseAtTenPastEleven(int minutes) {
  Now = (23 * 60 + 10) * 60 + 20;
  ShowClock();
  SleepTimerChoose(minutes);
}

// Time passes, the clock ticking once a second.
void Pass(int seconds) {
  for (int i = 0; i < seconds; ++i) {
    ++Now;
    FakeElapsedMs += 1000;
    ShowClock();
    ClockTick();
  }
}

// The clock is set (by hand, or for summer time): no time passes.
void SetClockBy(int seconds) {
  Now += seconds;
  ShowClock();
}

// The player's calls from the end of a stop until it is done: the fade run to silence, the
// track's end after that.
std::string FinishedStop() {
  while (FireTimer(FadeTimer)) {}
  TrackEnded();
  return CallList();
}

}  // namespace

TEST(SleepCountdown, ItsEndRunsTheStopEventsPhasesAndSafeguards) {
  const struct {
    const char* what;
    void (*options)();
    const char* calls;
  } cases[] = {
      {"nothing more", [] {}, "Stop"},
      {"fade-out", [] { VolDown = 1; Player.volume = 2; },
       "IsPlaying, StopTimer 2, QueryVolume, StartTimer 2 1000, QueryVolume, SetVolume 1, QueryVolume, "
       "SetVolume 0, QueryVolume, StopTimer 2, SetVolume 2, Stop"},
      {"wait for the end", [] { WaitEnd = 1; }, "IsPlaying, StopAfterCurrent, Stop"},
      // No track to wait for, nothing to fade: not left pending for the morning's alarm.
      {"wait for the end, nothing playing", [] { WaitEnd = Suspend = 1; Player.playing = 0; },
       "IsPlaying, Stop, SuspendState 0"},
      {"fade-out and wait, paused", [] { VolDown = WaitEnd = Close = 1; Player.playing = 3; },
       "IsPlaying, Stop, Close"},
      {"pause and close", [] { UsePause = Close = 1; }, "IsPlaying, Pause, Close"},
      // Pause toggles: a paused player must stay paused.
      {"pause over a paused player, standby", [] { UsePause = Suspend = 1; Player.playing = 3; },
       "IsPlaying, SuspendState 0"},
      {"pause over a stopped player, fade-out", [] { UsePause = VolDown = 1; Player.playing = 0; },
       "IsPlaying, IsPlaying"},
      {"standby and close", [] { Suspend = Close = 1; }, "Stop, SuspendState 0, Close"},
      {"standby kept open for the alarm", [] { Suspend = Close = StartOn = 1; },
       "Stop, SuspendState 0"},
      {"hibernate and close, wake armed", [] { Hibernate = Close = StartOn = 1; },
       "Stop, SuspendState 1"},
      {"standby with hibernate", [] { Suspend = Hibernate = Close = 1; }, "Stop, Close"},
      {"shut-down wins", [] { ShutDown = Suspend = Close = WakeArmed = 1; }, "Stop, PowerOff, Close"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    // The daily stop at 23:00 first, then the countdown with the same boxes ticked.
    ResetHost();
    Player.playing = 1;
    c.options();
    StopOn = 1;
    StopH = 23;
    SetClock(23, 0, 0);
    ClockTick();
    std::string daily = FinishedStop();
    ResetHost();
    Player.playing = 1;
    c.options();
    ChooseAtTenPastEleven(30);
    Pass(30 * 60);
    EXPECT_EQ(c.calls, FinishedStop());
    EXPECT_EQ(daily, CallList());
  }
}

TEST(SleepCountdown, ActsOnceToTheSecondAndLeavesTheDailyStopAlone) {
  StopOn = StopOff = 1;
  StopH = 7;
  StopM = 15;
  ChooseAtTenPastEleven(15);
  Pass(15 * 60 - 1);
  EXPECT_EQ("", CallList()) << "at 23:25:19";
  Pass(1);
  EXPECT_EQ("Stop", CallList()) << "at 23:25:20";
  Pass(3 * 60 * 60);
  EXPECT_EQ("Stop", CallList());
  EXPECT_EQ(1, StopOn);
  EXPECT_EQ(1, StopOff);
  EXPECT_EQ(7, StopH);
  EXPECT_EQ(15, StopM);
  // Ending in the daily stop's first tick, it is that stop: the computer, back from standby, does
  // not go to sleep again.
  ResetHost();
  Suspend = StopOn = 1;
  StopH = 23;
  StopM = 40;
  ChooseAtTenPastEleven(30);
  Pass(30 * 60 + 60);
  EXPECT_EQ("Stop, SuspendState 0", CallList());
}

TEST(SleepCountdown, ChoosingAgainStartsOverAndOffCancels) {
  ChooseAtTenPastEleven(30);
  Pass(20 * 60);
  SleepTimerChoose(15);  // at 23:30:20, ten minutes before the first choice's end
  Pass(15 * 60 - 1);
  EXPECT_EQ("", CallList());
  Pass(1);
  EXPECT_EQ("Stop", CallList());

  ResetHost();
  ChooseAtTenPastEleven(30);
  Pass(29 * 60);
  SleepTimerOff();
  Pass(60 * 60);
  EXPECT_EQ("", CallList());
}

TEST(SleepCountdown, ClockChangesNeitherShortenNorLengthenIt) {
  for (int jump : {-60 * 60, 60 * 60, 25 * 60, -29 * 60}) {
    SCOPED_TRACE(jump);
    ResetHost();
    ChooseAtTenPastEleven(30);
    Pass(10 * 60);
    SetClockBy(jump);
    Pass(20 * 60 - 1);
    EXPECT_EQ("", CallList());
    Pass(1);
    EXPECT_EQ("Stop", CallList());
  }
}

TEST(SleepCountdown, AComputerThatSleptThroughItsEndDoesNothingOnResume) {
  const struct {
    int late;  // seconds after the end the first tick comes
    const char* calls;
  } cases[] = {{60, "Stop, SuspendState 0"}, {61, ""}, {8 * 60 * 60, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.late);
    ResetHost();
    Suspend = 1;
    ChooseAtTenPastEleven(30);
    Pass(20 * 60);
    // Asleep: the clock and the elapsed count both go on, no tick comes.
    FakeElapsedMs += (10 * 60 + c.late - 1) * 1000u;
    SetClockBy(10 * 60 + c.late - 1);
    Pass(1);
    EXPECT_EQ(c.calls, CallList());
    LocalTimeRecord at;
    int32_t minutes;
    EXPECT_FALSE(SleepTimerEnd(LocalTime, &at, &minutes)) << "the countdown is over";
    Pass(60 * 60);
    EXPECT_EQ(c.calls, CallList());
  }
}

TEST(SleepCountdown, AFadeTheUserStoppedDoesNotTurnTheNextOneIntoAWaitForTheEnd) {
  VolDown = 1;
  Player.playing = 1;
  ChooseAtTenPastEleven(15);
  Pass(15 * 60);
  FireTimer(FadeTimer);
  Player.volume = 150;  // the user turns the music up: the fade is abandoned
  FireTimer(FadeTimer);
  ChooseAtTenPastEleven(15);
  Calls.clear();
  Pass(15 * 60);
  EXPECT_EQ("IsPlaying, StopTimer 2, QueryVolume, StartTimer 2 1000", CallList());
  EXPECT_NE(nullptr, RunningTimers[FadeTimer]);
}

TEST(SleepCountdown, TellsItsEndAsTheLocalClockShowsIt) {
  const struct {
    int choiceH, choiceM, choiceS, minutes, passed;
    int endDay, endH, endM, left;
  } cases[] = {
      {23, 10, 20, 30, 0, 8, 23, 40, 30},
      {23, 10, 20, 30, 7 * 60 + 30, 8, 23, 40, 23},  // at 23:17:50
      {23, 10, 20, 30, 30 * 60 - 1, 8, 23, 40, 0},   // its last second
      {23, 50, 45, 120, 0, 9, 1, 50, 120},           // past midnight
      {23, 59, 59, 15, 1, 9, 0, 14, 14},             // the choice's second rounds
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.choiceH << ":" << c.choiceM << ":" << c.choiceS << " + "
                                    << c.passed << " s");
    ResetHost();
    Now = (c.choiceH * 60 + c.choiceM) * 60 + c.choiceS;
    ShowClock();
    SleepTimerChoose(c.minutes);
    Pass(c.passed);
    ReadLocalTime();
    LocalTimeRecord at;
    int32_t left = -1;
    ASSERT_TRUE(SleepTimerEnd(LocalTime, &at, &left));
    EXPECT_EQ(c.endDay, at.Day);
    EXPECT_EQ(c.endH, at.Hour);
    EXPECT_EQ(c.endM, at.Minute);
    EXPECT_EQ(c.left, left);
  }
  SleepTimerOff();
  LocalTimeRecord at;
  int32_t left;
  EXPECT_FALSE(SleepTimerEnd(LocalTime, &at, &left));
}
