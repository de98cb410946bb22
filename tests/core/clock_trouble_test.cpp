// The wall clock misbehaving: daylight saving steps, late ticks, a machine waking late.
#include <gtest/gtest.h>

#include "control/control.h"
#include "fake_host.h"

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

TEST(ClockTrouble, AnHourSkippedAtTheStartOfSummerTimeIsNotMadeUpLate) {
  AlarmAt(2, 30);
  TickThrough(1, 59, 0, 1, 59, 59);
  TickThrough(3, 0, 0, 3, 59, 59);  // 02:00 became 03:00
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
