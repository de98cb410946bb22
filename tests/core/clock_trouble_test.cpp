// The wall clock misbehaving: daylight saving steps, late ticks, a machine waking late.
#include <gtest/gtest.h>

#include "control/control.h"
#include "fake_host.h"
#include "readings.h"

namespace {

int Starts() {
  int n = 0;
  for (const std::string& c : Calls) n += c == "IsPlaying";
  return n;
}

// Ticks once a second from one time of day to another (inclusive) on the given day.
void TickThrough(int fromH, int fromM, int fromS, int toH, int toM, int toS, int day = 8) {
  for (int t = fromH * 3600 + fromM * 60 + fromS; t <= toH * 3600 + toM * 60 + toS; ++t) {
    SetClock(t / 3600, t / 60 % 60, t % 60, day);
    ClockTick();
  }
}

void AlarmAt(int hour, int minute) {
  ResetHost();
  // Nothing to play and no tone: each firing asks once, and no ringing polls the player with
  // the query Starts() counts.
  Player.listLength = 0;
  SilentTone = 0;
  StartOn = 1;
  StartH = hour;
  StartM = minute;
}

}  // namespace

TEST(ClockTrouble, AnHourRepeatedAtTheEndOfSummerTimeFiresOnce) {
  AlarmAt(2, 30);
  TickThrough(2, 0, 0, 2, 59, 59);
  TickThrough(2, 0, 0, 2, 59, 59);  // the clock went back from 03:00 to 02:00
  EXPECT_EQ(1, Starts());
}

TEST(ClockTrouble, AClockSetAnHourForwardDoesNotRingWhatItSkipped) {
  AlarmAt(2, 30);
  TickThrough(1, 59, 0, 1, 59, 59);
  TickThrough(3, 0, 0, 3, 59, 59);  // set by hand: UTC moved the hour with it
  EXPECT_EQ(0, Starts());
  TickThrough(2, 29, 0, 2, 31, 0, 9);  // the next day it fires as usual
  EXPECT_EQ(1, Starts());
}

TEST(ClockTrouble, ATickDelayedFiftyNineSecondsStillFiresOnce) {
  AlarmAt(7, 0);
  TickThrough(6, 59, 0, 6, 59, 59);
  SetClock(7, 0, 59);  // the UI thread was busy for the whole minute but its last second
  ClockTick();
  EXPECT_EQ(1, Starts());
  TickThrough(7, 1, 0, 7, 2, 0);
  EXPECT_EQ(1, Starts());
}

TEST(ClockTrouble, AMachineResumingHoursLateFiresNothingItSlept) {
  AlarmAt(7, 0);
  StopOn = 1;
  StopH = 8;
  StopM = 15;
  SetClock(23, 0, 0, 7);
  ClockTick();
  SetClock(9, 0, 12, 8);  // resumed eight hours late, both events long past
  ClockTick();
  TickThrough(9, 0, 13, 9, 5, 0);
  EXPECT_EQ("", CallList());
}

TEST(ClockTrouble, AResumeInsideTheMinuteFiresOnceThen) {
  AlarmAt(7, 0);
  SetClock(23, 0, 0, 7);
  ClockTick();
  SetClock(7, 0, 41, 8);
  ClockTick();
  TickThrough(7, 0, 42, 7, 0, 59, 8);
  EXPECT_EQ(1, Starts());
}


TEST(ClockTrouble, AnAlarmMinuteSteppedOverRingsOnTheNextTickForTenMinutes) {
  const struct {
    const char* what;
    int hour, minute;
    int32_t days;
    std::initializer_list<Reading> readings;
    const char* events;
  } cases[] = {
      {"resumed 3 minutes late", 7, 0, EveryDay,
       {{2026, 12, 8, 6, 58, 0, Winter}, {2026, 12, 8, 6, 58, 1, Winter}, {2026, 12, 8, 7, 3, 0, Winter}}, ".A"},
      {"resumed 11 minutes late", 7, 0, EveryDay,
       {{2026, 12, 8, 6, 58, 0, Winter}, {2026, 12, 8, 6, 58, 1, Winter}, {2026, 12, 8, 7, 11, 0, Winter}}, ".."},
      {"ten minutes to the second", 7, 0, EveryDay,
       {{2026, 12, 8, 6, 59, 58, Winter}, {2026, 12, 8, 7, 10, 0, Winter}}, "A"},
      {"a second more", 7, 0, EveryDay,
       {{2026, 12, 8, 6, 59, 58, Winter}, {2026, 12, 8, 7, 10, 1, Winter}}, "."},
      {"a tick 70 s late", 7, 0, EveryDay,
       {{2026, 12, 8, 6, 59, 50, Winter}, {2026, 12, 8, 6, 59, 55, Winter}, {2026, 12, 8, 7, 1, 5, Winter}}, ".A"},
      {"summer time skips 02:30", 2, 30, EveryDay,
       {{2027, 3, 28, 1, 59, 58, Winter}, {2027, 3, 28, 1, 59, 59, Winter}, {2027, 3, 28, 3, 0, 0, Summer}}, ".A"},
      {"asleep through the change, up 4 minutes late", 7, 0, EveryDay,
       {{2027, 3, 27, 23, 0, 0, Winter}, {2027, 3, 28, 7, 4, 0, Summer}}, "A"},
      {"asleep through the change, up 30 minutes late", 7, 0, EveryDay,
       {{2027, 3, 27, 23, 0, 0, Winter}, {2027, 3, 28, 7, 30, 0, Summer}}, "."},
      // 02:30 does not exist that night: it came with the change at 03:00, five minutes ago.
      {"asleep from 01:00, up at 03:05 for the skipped 02:30", 2, 30, EveryDay,
       {{2027, 3, 28, 1, 0, 0, Winter}, {2027, 3, 28, 3, 5, 0, Summer}}, "A"},
      {"asleep from 01:00, up at 03:35 for the skipped 02:30", 2, 30, EveryDay,
       {{2027, 3, 28, 1, 0, 0, Winter}, {2027, 3, 28, 3, 35, 0, Summer}}, "."},
      {"asleep through the end of summer time, up 4 minutes after the second 02:30", 2, 30, EveryDay,
       {{2027, 10, 31, 1, 50, 0, Summer}, {2027, 10, 31, 2, 34, 0, Winter}}, "A"},
      {"summer time ends in the alarm's hour", 2, 30, EveryDay,
       {{2027, 10, 31, 2, 29, 58, Summer}, {2027, 10, 31, 2, 29, 59, Summer}, {2027, 10, 31, 2, 30, 0, Summer},
        {2027, 10, 31, 2, 59, 59, Summer}, {2027, 10, 31, 2, 0, 0, Winter}, {2027, 10, 31, 2, 30, 0, Winter},
        {2027, 10, 31, 2, 35, 0, Winter}}, ".A...."},
      // Back before the change, local time shows 02:14 again; UTC went back, the elapsed count on.
      {"the clock set back an hour over the end of summer time, then a stall of 11 minutes", 2, 15, EveryDay,
       {{2027, 10, 31, 2, 14, 9, Winter}, {2027, 10, 31, 2, 14, 10, Winter, 1}, {2027, 10, 31, 2, 25, 11, Summer, 661}},
       ".."},
      {"the clock set back 10 minutes after ringing", 7, 0, EveryDay,
       {{2026, 12, 8, 6, 59, 58, Winter}, {2026, 12, 8, 7, 0, 0, Winter}, {2026, 12, 8, 7, 2, 0, Winter},
        {2026, 12, 8, 6, 52, 1, Winter}, {2026, 12, 8, 7, 0, 0, Winter},
        {2026, 12, 8, 7, 3, 0, Winter}}, "A...."},
      {"Friday's alarm across midnight", 23, 58, 1 << 5,
       {{2026, 12, 11, 23, 57, 29, Winter}, {2026, 12, 11, 23, 57, 30, Winter}, {2026, 12, 12, 0, 3, 0, Winter}}, ".A"},
      {"a Saturday alarm is not Friday night's", 23, 58, 1 << 6,
       {{2026, 12, 11, 23, 57, 29, Winter}, {2026, 12, 11, 23, 57, 30, Winter}, {2026, 12, 12, 0, 3, 0, Winter}}, ".."},
      {"loaded at 07:03", 7, 0, EveryDay,
       {{2026, 12, 8, 7, 3, 0, Winter}, {2026, 12, 8, 7, 3, 1, Winter}, {2026, 12, 8, 7, 4, 0, Winter}}, ".."},
      {"the sleep timer's minute is not made up", 7, 0, 0,
       {{2026, 12, 8, 22, 59, 30, Winter}, {2026, 12, 8, 22, 59, 31, Winter}, {2026, 12, 8, 23, 2, 0, Winter},
        {2026, 12, 9, 23, 0, 0, Winter}}, "..Z"},
  };
  for (const auto& c : cases) {
    AlarmAt(c.hour, c.minute);
    Player.listLength = 10;
    StartDays = c.days;
    StopOn = 1;
    StopH = 23;
    StopM = 0;
    EXPECT_EQ(c.events, TicksAfterLoad(c.readings)) << c.what;
  }
}
