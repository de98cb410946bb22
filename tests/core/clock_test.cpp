#include <gtest/gtest.h>

#include "control/control.h"
#include "fake_host.h"

static int Count(const char* call) {
  int n = 0;
  for (const std::string& c : Calls) n += c == call;
  return n;
}

TEST(Clock, MorningStartTakesTheWholeRoad) {
  ResetHost();
  StartOn = StartOff = Activate = Random = One = VolUp = 1;
  StartH = 7;
  StartM = 0;
  VolStart = 10;
  VolEnd = 13;
  TimeOut = 500;
  SetClock(7, 0, 0, 14);
  FakeClock.Milliseconds = 102;  // seed 123: entry 1 of 10
  ClockTick();
  EXPECT_EQ("Activate, IsPlaying, ListLength, SetPlaylistPos 1, Stop, Play, StopAfterCurrent, "
            "SetVolume 10, StopTimer 2, StartTimer 2 500, Save",
            CallList());
  EXPECT_EQ(0, StartOn);

  Calls.clear();
  while (FireTimer(FadeTimer)) {}
  EXPECT_EQ("QueryVolume, SetVolume 11, QueryVolume, SetVolume 12, QueryVolume, SetVolume 13, "
            "StopTimer 2",
            CallList());
  EXPECT_EQ(13, Player.volume);
}

TEST(Clock, IdleTickSendsNothing) {
  ResetHost();
  StartOn = StopOn = 1;
  StartH = 7;
  StopH = 23;
  SetClock(12, 0, 0);
  ClockTick();
  EXPECT_EQ("", CallList());
}

TEST(Clock, LateFirstTickStillFires) {
  ResetHost();
  StartOn = 1;
  StartH = 7;
  SetClock(7, 0, 7);
  ClockTick();
  EXPECT_EQ("IsPlaying, ListLength, Play", CallList());
}

TEST(Clock, FiresOnceWhateverTheTicksInTheMinute) {
  ResetHost();
  StartOn = Activate = 1;  // activation happens even over a playing player
  StartH = 7;
  StartM = 30;
  SetClock(7, 30, 0);
  ClockTick();
  ClockTick();
  EXPECT_EQ(1, Count("Activate"));

  for (int s = 0; s < 60; ++s) {
    SetClock(7, 30, s);
    ClockTick();
  }
  EXPECT_EQ(1, Count("Activate"));
  EXPECT_EQ(1, Count("Play"));

  SetClock(7, 31, 0);
  ClockTick();
  EXPECT_EQ(1, Count("Activate"));
}

TEST(Clock, FiresAgainNextDay) {
  ResetHost();
  StartOn = 1;
  StartH = 7;
  SetClock(7, 0, 0, 8);
  ClockTick();
  Player.playing = 0;
  SetClock(7, 0, 0, 9);
  ClockTick();
  // The same day and month a year later is a new day too.
  Player.playing = 0;
  SetClock(7, 0, 0, 9, 12, 2027);
  ClockTick();
  EXPECT_EQ(3, Count("Play"));
}

// Reopening the player the stop just closed, or the alarm was silenced by closing, must not
// run the event again; its next occurrence runs as usual.
TEST(Clock, StartingInsideTheEventsMinuteWaitsForItsNextOccurrence) {
  ResetHost();
  StartOn = StopOn = 1;
  StartH = StopH = 7;
  StartM = StopM = 30;
  SetClock(7, 30, 20);
  MarkMinuteSeen();
  for (int s = 20; s < 60; ++s) {
    SetClock(7, 30, s);
    ClockTick();
  }
  EXPECT_EQ("", CallList());
  SetClock(7, 30, 0, 9);
  ClockTick();
  EXPECT_EQ("IsPlaying, ListLength, Play, StopTimer 2, Stop", CallList());
}

TEST(Clock, StartOffClearsSavesAndStaysOff) {
  ResetHost();
  StartOn = StartOff = 1;
  StartH = 7;
  SetClock(7, 0, 0);
  ClockTick();
  EXPECT_EQ("IsPlaying, ListLength, Play, Save", CallList());
  EXPECT_EQ(0, StartOn);
  Player.playing = 0;  // the user stops it: answered, nothing polls any more
  SetClock(7, 0, 1);
  ClockTick();
  Calls.clear();
  SetClock(7, 0, 0, 9);
  ClockTick();
  EXPECT_EQ("", CallList());

  ResetHost();  // without StartOff the event stays on and nothing is saved
  StartOn = 1;
  StartH = 7;
  SetClock(7, 0, 0);
  ClockTick();
  EXPECT_EQ("IsPlaying, ListLength, Play", CallList());
  EXPECT_EQ(1, StartOn);
}

TEST(Clock, ReEnabledInTheSameMinuteWaitsForTomorrow) {
  ResetHost();
  StartOn = StartOff = 1;
  StartH = 7;
  SetClock(7, 0, 0);
  ClockTick();
  StartOn = 1;  // the settings dialog writes its check box back
  Player.playing = 0;
  SetClock(7, 0, 40);
  ClockTick();
  EXPECT_EQ(1, Count("Play"));
  EXPECT_EQ(1, StartOn);
  SetClock(7, 0, 0, 9);
  ClockTick();
  EXPECT_EQ(2, Count("Play"));
}

TEST(Clock, OutOfRangeTimesNeverMatch) {
  ResetHost();
  StartOn = StopOn = 1;
  StartH = -1;
  StartM = 0;
  StopH = 0x10007;  // would be 7 if cut to 16 bits
  StopM = 0;
  for (int h = 0; h < 24; ++h) {
    SetClock(h, 0, 0);
    ClockTick();
  }
  StartH = 7;
  StartM = 60;
  StopH = 24;
  SetClock(7, 0, 0);
  ClockTick();
  SetClock(8, 0, 0);
  ClockTick();
  EXPECT_EQ("", CallList());
}

TEST(Clock, StartRunsBeforeStopInTheSameMinute) {
  ResetHost();
  StartOn = StopOn = StopOff = 1;
  StartH = StopH = 7;
  StartM = StopM = 15;
  SetClock(7, 15, 3);
  ClockTick();
  EXPECT_EQ("IsPlaying, ListLength, Play, Save, StopTimer 2, Stop", CallList());
}

TEST(Clock, StopFiresOncePerMinuteAndPhasesAddOnce) {
  ResetHost();
  StopOn = WaitEnd = 1;
  StopH = 23;
  Player.playing = 1;
  int stops = 0;
  for (int s = 5; s < 60; s += 5) {
    SetClock(23, 0, s);
    Calls.clear();
    ClockTick();
    for (const std::string& c : Calls) stops += c == "StopAfterCurrent";
  }
  EXPECT_EQ(1, stops);
  EXPECT_EQ(2, StopPhase);
}
