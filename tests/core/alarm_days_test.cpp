// The alarm on chosen days of the week, the wake timer for it and the hold that keeps the
// computer awake while it plays.
#include <gtest/gtest.h>

#include <vector>

#include "control/control.h"
#include "fake_host.h"

namespace {

enum : int32_t { Weekdays = 0x3E };  // Monday to Friday

void AlarmAtSeven(int32_t days) {
  ResetHost();
  StartOn = 1;
  StartH = 7;
  StartDays = days;
}

// Ticks through 07:00:00 of each day from Sunday 6 December 2026; one letter a day, S for
// a start, . for silence.
std::string WeekOfAlarms() {
  std::string week;
  for (int day = 6; day <= 12; ++day) {
    Calls.clear();
    Player.playing = 0;
    SetDate(2026, 12, day, 7, 0, 0);
    ClockTick();
    week += (", " + CallList() + ",").find(", Play,") != std::string::npos ? 'S' : '.';
  }
  return week;
}

}  // namespace

TEST(AlarmDays, FiresOnlyOnTheChosenDaysOfTheWeek) {
  const struct { int32_t days; const char* week; } cases[] = {
      {Weekdays, ".SSSSS."},
      {0, "......."},
      {EveryDay, "SSSSSSS"},
      {0x7F | 0x100, "SSSSSSS"},  // bits above Saturday mean nothing
      {1 << 6, "......S"},
  };
  for (const auto& c : cases) {
    AlarmAtSeven(c.days);
    EXPECT_EQ(c.week, WeekOfAlarms()) << "days " << c.days;
  }
}

TEST(AlarmDays, DisableAfterStartWaitsForAnAlarmDay) {
  AlarmAtSeven(Weekdays);
  StartOff = 1;
  SetDate(2026, 12, 12, 7, 0, 0);  // Saturday: silent, and still on for Monday
  ClockTick();
  EXPECT_EQ(1, StartOn);
  SetDate(2026, 12, 14, 7, 0, 0);
  ClockTick();
  EXPECT_EQ("IsPlaying, ListLength, Play, Save", CallList());
  EXPECT_EQ(0, StartOn);
}

TEST(AlarmDays, SleepTimerRunsEveryDay) {
  AlarmAtSeven(0);
  StopOn = 1;
  StopH = 23;
  SetDate(2026, 12, 12, 23, 0, 0);
  ClockTick();
  EXPECT_EQ("Stop", CallList());
}

TEST(WakeTimer, ArmsTwoMinutesBeforeTheNextAlarmByTheCalendar) {
  const struct {
    int32_t days, hour, minute;
    int year, month, day, nowH, nowM;
    const char* wake;
  } cases[] = {
      {EveryDay, 7, 0, 2026, 12, 8, 23, 30, "Wake 2026-12-09 06:58"},
      {EveryDay, 7, 0, 2026, 12, 8, 6, 57, "Wake 2026-12-08 06:58"},
      {EveryDay, 7, 0, 2026, 12, 8, 6, 58, "Wake 2026-12-08 07:00"},  // the lead already past
      {EveryDay, 7, 0, 2026, 12, 8, 7, 0, "Wake 2026-12-09 06:58"},  // in its own minute
      {EveryDay, 0, 1, 2026, 12, 8, 12, 0, "Wake 2026-12-08 23:59"},  // back over midnight
      {EveryDay, 7, 0, 2026, 12, 31, 8, 0, "Wake 2027-01-01 06:58"},
      {EveryDay, 7, 0, 2028, 2, 28, 8, 0, "Wake 2028-02-29 06:58"},
      {EveryDay, 7, 0, 2027, 2, 28, 8, 0, "Wake 2027-03-01 06:58"},  // no 29th that year
      {EveryDay, 0, 0, 2027, 1, 1, 0, 0, "Wake 2027-01-01 23:58"},
      {EveryDay, 0, 1, 2026, 12, 31, 23, 0, "Wake 2026-12-31 23:59"},
      {Weekdays, 7, 0, 2026, 12, 11, 19, 0, "Wake 2026-12-14 06:58"},  // Friday evening
      {1 << 2, 7, 0, 2026, 12, 8, 7, 30, "Wake 2026-12-15 06:58"},  // its one day, a week on
      {0, 7, 0, 2026, 12, 8, 6, 0, "CancelWake"},
      {EveryDay, -1, 0, 2026, 12, 8, 6, 0, "CancelWake"},
      {EveryDay, 7, 60, 2026, 12, 8, 6, 0, "CancelWake"},
  };
  for (const auto& c : cases) {
    AlarmAtSeven(c.days);
    StartH = c.hour;
    StartM = c.minute;
    SetDate(c.year, c.month, c.day, c.nowH, c.nowM, 30);
    RefreshWake();
    EXPECT_EQ(c.wake, WakeList()) << c.year << "-" << c.month << "-" << c.day << " " << c.nowH
                                  << ":" << c.nowM << " days " << c.days;
  }
  // The evening before summer time starts at 01:00 UTC (02:00 local, then 03:00): shown in
  // the evening's local time. 02:30 does not exist that night: it comes with the change.
  const struct { int hour, minute; const char* wake; } spring[] = {
      {1, 30, "Wake 2027-03-28 01:28"}, {2, 30, "Wake 2027-03-28 01:58"}, {3, 30, "Wake 2027-03-28 02:28"}};
  for (const auto& c : spring) {
    AlarmAtSeven(EveryDay);
    StartH = c.hour;
    StartM = c.minute;
    SetDate(2027, 3, 27, 23, 0, 0);
    FakeUtcOffset = -3600;
    ZoneChangesAt(2027, 3, 28, 1, -3600, -7200);
    RefreshWake();
    EXPECT_EQ(c.wake, WakeList()) << c.hour << ":" << c.minute;
  }
  // After summer time ends (03:00 back to 02:00), 02:40 has had its first pass: it comes at its
  // second, and the wake goes there, not to the past.
  AlarmAtSeven(EveryDay);
  StartH = 2;
  StartM = 40;
  SetDate(2027, 10, 31, 2, 20, 0);
  FakeUtcOffset = -3600;
  ZoneChangesAt(2027, 10, 31, 1, -7200, -3600);
  RefreshWake();
  EXPECT_EQ("Wake 2027-10-31 02:38", WakeList());
}

TEST(WakeTimer, CancelledWhenTheAlarmOrTheOptionIsOff) {
  const struct { int32_t on, wakeUp; const char* calls; } cases[] = {
      {1, 1, "Wake 2026-12-09 06:58"}, {0, 1, "CancelWake"}, {1, 0, "CancelWake"}};
  for (const auto& c : cases) {
    AlarmAtSeven(EveryDay);
    StartOn = c.on;
    WakeUp = c.wakeUp;
    SetDate(2026, 12, 8, 22, 0);
    RefreshWake();
    EXPECT_EQ(c.calls, WakeList());
    EXPECT_EQ(c.on && c.wakeUp, WakeArmed);
  }
}

TEST(WakeTimer, ReArmedForTheNextAlarmDayOnceTheAlarmHasRun) {
  AlarmAtSeven(Weekdays);
  SetDate(2026, 12, 11, 7, 0, 0);  // Friday
  ClockTick();
  EXPECT_EQ("Wake 2026-12-14 06:58, Awake 1", WakeList());

  AlarmAtSeven(Weekdays);  // disabled after start: nothing left to wake for
  StartOff = 1;
  SetDate(2026, 12, 11, 7, 0, 0);
  ClockTick();
  EXPECT_EQ("CancelWake, Awake 1", WakeList());
}

// Rung on Tuesday 8 December at 07:00, then the clock set back: ten minutes (set for tomorrow's
// already, not for today's again), or over midnight with its one day, and the next one skipped.
TEST(WakeTimer, AClockSetBackOverTheAlarmThatRangArmsTheNextOne) {
  const struct { int32_t days; int day, hour; bool skip; const char* wake; } cases[] = {
      {EveryDay, 8, 6, false, ""}, {1 << 2, 7, 23, true, "Wake 2026-12-22 06:58"}};
  for (const auto& c : cases) {
    AlarmAtSeven(c.days);
    SetDate(2026, 12, 8, 7, 0, 0);
    ClockTick();
    SetDate(2026, 12, c.day, c.hour, 50, 0);
    WakeCalls.clear();
    c.skip ? ToggleSkip() : RefreshWake();
    EXPECT_EQ(c.wake, WakeList()) << c.day;
    EXPECT_EQ(1, WakeArmed);
  }
}

// A waitable timer fires once: a wake whose time has come is set again while the alarm lies
// ahead, inside the lead for the alarm's own minute. Armed at 06:30 for 06:58.
TEST(WakeTimer, SetAgainOnceItHasCome) {
  enum Event { Tick, ClockSet, Suspend };
  struct Step { int minute, second, real; Event event; };  // 06:mm:ss, real seconds since 06:30
  const struct { const char* what; std::vector<Step> steps; const char* wake; } cases[] = {
      {"awake as it fires, then put to sleep", {{57, 59, 1679, Tick}, {58, 0, 1680, Tick}, {59, 0, 1740, Suspend}},
       "Wake 2026-12-08 07:00, Wake 2026-12-08 07:00"},
      {"stalled as it fires, then put to sleep", {{57, 59, 1679, Tick}, {59, 0, 1740, Suspend}}, "Wake 2026-12-08 07:00"},
      {"fired, then the clock set back 5 minutes", {{57, 59, 1679, Tick}, {58, 0, 1680, Tick}, {54, 0, 1740, ClockSet}},
       "Wake 2026-12-08 07:00, Wake 2026-12-08 06:58"},
      {"the clock set back 5 minutes before a tick saw it fire", {{57, 59, 1679, Tick}, {53, 31, 1711, ClockSet}},
       "Wake 2026-12-08 06:58"},
      {"set 10 minutes on, it fires early in a stall; then set back", {{50, 0, 600, ClockSet}, {50, 1, 601, Tick},
       {48, 30, 1110, ClockSet}}, "Wake 2026-12-08 06:58"},
      {"set 10 minutes on, it fires in a stall before any tick; then set back", {{50, 0, 600, ClockSet},
       {48, 30, 1110, ClockSet}}, "Wake 2026-12-08 06:58"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    AlarmAtSeven(EveryDay);
    SetDate(2026, 12, 8, 6, 30, 0);
    MarkMinuteSeen();
    RefreshWake();
    uint32_t armed = FakeElapsedMs;
    WakeCalls.clear();
    for (const Step& s : c.steps) {
      SetDate(2026, 12, 8, 6, s.minute, s.second);
      FakeElapsedMs = armed + static_cast<uint32_t>(s.real) * 1000u;
      s.event == Tick ? ClockTick() : s.event == ClockSet ? RefreshWake() : ComputerSuspending();
    }
    EXPECT_EQ(c.wake, WakeList());
  }
}

TEST(WakeTimer, AComputerThatCannotWakeIsRemembered) {
  AlarmAtSeven(EveryDay);
  WakeAnswer = WakeSetCannotWake;
  RefreshWake();
  EXPECT_EQ(1, WakeUnsupported);
  EXPECT_EQ(0, WakeArmed);
  WakeAnswer = WakeSet;
  RefreshWake();
  EXPECT_EQ(0, WakeUnsupported);
}

TEST(KeepAwake, HeldWhileTheAlarmPlaysAndReleasedWhenItStops) {
  const struct { int32_t activate; const char* held; } cases[] = {{0, "Awake 1"}, {1, "Awake 3"}};
  for (const auto& c : cases) {
    AlarmAtSeven(EveryDay);
    Activate = c.activate;
    SetDate(2026, 12, 8, 7, 0, 0);
    ClockTick();
    WakeCalls.clear();
    SetDate(2026, 12, 8, 7, 0, 1);
    ClockTick();  // re-asserted: the player may have set its own state
    Player.playing = 0;  // the user stops it
    SetDate(2026, 12, 8, 7, 0, 2);
    ClockTick();
    SetDate(2026, 12, 8, 7, 0, 3);
    ClockTick();
    EXPECT_EQ(std::string(c.held) + ", Awake 0", WakeList());
    EXPECT_EQ(0, AwakeHeld);
  }
}

TEST(KeepAwake, NotHeldWithoutTheOptionOrWithNothingToPlay) {
  const struct { int32_t wakeUp, list; } cases[] = {{0, 10}, {1, 0}};
  for (const auto& c : cases) {
    AlarmAtSeven(EveryDay);
    WakeUp = c.wakeUp;
    Player.listLength = c.list;
    SilentTone = 0;  // the tone would be held awake
    SetDate(2026, 12, 8, 7, 0, 0);
    ClockTick();
    EXPECT_EQ(0, AwakeHeld);
    EXPECT_EQ(std::string::npos, WakeList().find("Awake"));
  }
}

TEST(KeepAwake, TheSleepTimerReleasesTheHold) {
  AlarmAtSeven(EveryDay);
  RingLimit = 0;  // still ringing at 08:00, with no tone for a player that reports no position
  SilentTone = 0;
  StopOn = 1;
  StopH = 8;
  SetDate(2026, 12, 8, 7, 0, 0);
  ClockTick();
  SetDate(2026, 12, 8, 8, 0, 0);
  ClockTick();
  EXPECT_EQ("IsPlaying, QueryVolume, GetPosition, StopTimer 2, Stop", CallList().substr(CallList().rfind("IsPlaying")));
  EXPECT_EQ("Awake 0", WakeCalls.back());
}

TEST(KeepAwake, AnAutomaticResumeJustBeforeTheAlarmIsHeldThroughIt) {
  const struct { int nowH, nowM; int32_t held; } cases[] = {
      {6, 56, AwakeSystem}, {6, 55, AwakeSystem}, {6, 54, AwakeNone}, {7, 0, AwakeSystem},
      {7, 1, AwakeNone}};
  for (const auto& c : cases) {
    AlarmAtSeven(EveryDay);
    SetDate(2026, 12, 8, c.nowH, c.nowM, 10);
    ResumedAutomatically();
    EXPECT_EQ(c.held, AwakeHeld) << c.nowH << ":" << c.nowM;
  }
  // Asleep from 23:00 past the alarm: held until the next tick catches it up, while it can.
  const struct { int nowM; int32_t held; } late[] = {{3, AwakeSystem}, {11, AwakeNone}};
  for (const auto& c : late) {
    AlarmAtSeven(EveryDay);
    SetDate(2026, 12, 7, 23, 0, 0);
    MarkMinuteSeen();
    SetDate(2026, 12, 8, 7, c.nowM, 0);
    ResumedAutomatically();
    EXPECT_EQ(c.held, AwakeHeld) << "07:" << c.nowM;
  }
  // The alarm switched off meanwhile: the hold ends on its own after the alarm's minute.
  AlarmAtSeven(EveryDay);
  SetDate(2026, 12, 8, 6, 58, 0);
  ResumedAutomatically();
  StartOn = 0;
  int ticks = 0;  // a second of real time each
  for (; AwakeHeld && ticks < 1000; ++ticks, FakeElapsedMs += 1000) ClockTick();
  EXPECT_EQ(241, ticks) << "released by the first tick four minutes on";
  // Ticks stalled for five minutes: released by the next one, not four minutes of ticks later.
  AlarmAtSeven(EveryDay);
  SetDate(2026, 12, 8, 6, 58, 0);
  ResumedAutomatically();
  ASSERT_EQ(AwakeSystem, AwakeHeld);
  StartOn = 0;
  FakeElapsedMs += 5 * 60000;
  ClockTick();
  EXPECT_EQ(0, AwakeHeld);
  EXPECT_EQ("", CallList());
}

TEST(SleepTimer, KeepsThePlayerForAnArmedWakeAfterStandby) {
  const struct { int32_t armed, suspend, hibernate, shutDown; bool closes; } cases[] = {
      {0, 1, 0, 0, true}, {1, 1, 0, 0, false}, {1, 0, 1, 0, false},
      {1, 0, 0, 0, true},  // no standby: nothing to come back from
      {1, 0, 0, 1, true},  // no wake from a shut-down
  };
  for (const auto& c : cases) {
    ResetHost();
    Close = 1;
    WakeArmed = c.armed;
    Suspend = c.suspend;
    Hibernate = c.hibernate;
    ShutDown = c.shutDown;
    StopPlayback();
    EXPECT_EQ(c.closes, CallList().find("Close") != std::string::npos) << CallList();
  }
}
