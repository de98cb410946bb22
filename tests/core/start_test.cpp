#include <gtest/gtest.h>
#include <stdint.h>

#include "control/control.h"
#include "fake_host.h"

// Default fake clock 12:00 on day 8 (day of week 1): with these milliseconds the seed is 123.
static void SeedIs123() { FakeClock.Milliseconds = 102; }

TEST(StartPlayback, AlreadyPlayingOnlyAsks) {
  ResetHost();
  Random = One = VolUp = 1;
  Player.playing = 1;
  StartupPending = 1;
  StartPlayback();
  EXPECT_EQ("IsPlaying", CallList());
  EXPECT_EQ(0, StartupPending);
}

TEST(StartPlayback, PausedPlayerIsStarted) {
  ResetHost();
  Random = 1;
  SeedIs123();
  Player.playing = 3;
  StartPlayback();
  EXPECT_EQ("IsPlaying, ListLength, SetPlaylistPos 1, Stop, Play", CallList());
}

TEST(StartPlayback, EmptyPlaylistSendsNoCommand) {
  ResetHost();
  Random = One = VolUp = 1;
  Player.listLength = 0;
  StartupPending = 1;
  UsePlay = 1;
  StartPlayback();
  EXPECT_EQ("IsPlaying, ListLength", CallList());
  EXPECT_EQ(0, StartupPending);
}

TEST(StartPlayback, NeitherFlagStartsOnTheCurrentEntry) {
  ResetHost();
  One = 1;
  StartPlayback();
  EXPECT_EQ("IsPlaying, ListLength, Play, StopAfterCurrent", CallList());
}

TEST(StartPlayback, RangeDrawsBetweenFirstAndLast) {
  ResetHost();
  FromRange = 1;
  First = 3;
  Last = 7;
  SeedIs123();
  StartPlayback();
  EXPECT_EQ("IsPlaying, ListLength, SetPlaylistPos 4, Stop, Play", CallList());
}

TEST(StartPlayback, RangeCanLandOnItsLastEntry) {
  ResetHost();
  FromRange = 1;
  First = 3;
  Last = 7;
  FakeClock.Milliseconds = 101;  // seed 122: 16807 x 122 leaves 4 over a span of five
  StartPlayback();
  EXPECT_EQ("IsPlaying, ListLength, SetPlaylistPos 7, Stop, Play", CallList());
}

TEST(StartPlayback, RangeOfOneOrBackwardsSelectsFirst) {
  ResetHost();
  FromRange = 1;
  First = Last = 20;  // beyond the list: not checked against its length
  StartPlayback();
  EXPECT_EQ("IsPlaying, ListLength, SetPlaylistPos 20, Stop, Play", CallList());

  ResetHost();
  FromRange = 1;
  First = 5;
  Last = 2;
  SeedIs123();
  StartPlayback();
  EXPECT_EQ("IsPlaying, ListLength, SetPlaylistPos 5, Stop, Play", CallList());
}

TEST(StartPlayback, RangeWinsOverRandom) {
  ResetHost();
  FromRange = Random = 1;
  First = Last = 6;
  SeedIs123();  // the whole list would give entry 1
  StartPlayback();
  EXPECT_EQ("IsPlaying, ListLength, SetPlaylistPos 6, Stop, Play", CallList());
}

TEST(StartPlayback, FullWidthRangeNeverDividesByZero) {
  ResetHost();
  FromRange = 1;
  First = INT32_MIN;
  Last = INT32_MAX;
  SeedIs123();
  StartPlayback();
  // First plus the generator's whole value, 16807 * 123.
  EXPECT_EQ("IsPlaying, ListLength, SetPlaylistPos -2145416387, Stop, Play", CallList());
}

TEST(PickRandom, OneChoiceIsAlwaysZero) {
  ResetHost();
  for (int ms = 0; ms < 1000; ms += 37) {
    FakeClock.Milliseconds = static_cast<uint16_t>(ms);
    EXPECT_EQ(0u, PickRandom(1));
  }
}

TEST(PickRandom, SeededFromTheClock) {
  ResetHost();
  SeedIs123();
  EXPECT_EQ(1u, PickRandom(10));
  // Milliseconds, minute, hour, day and day of week; not seconds, month or year.
  SetClock(23, 59, 41, 31, 7, 2031);
  FakeClock.Milliseconds = 999;
  EXPECT_EQ(39805u, PickRandom(100000));
  EXPECT_EQ(31, LocalTime.Day);  // the pick leaves the clock it read behind
}

TEST(FadeIn, RisesOneStepPerTickAndEndsAtVolEnd) {
  ResetHost();
  VolUp = 1;
  VolStart = 250;
  StartPlayback();
  EXPECT_EQ("IsPlaying, ListLength, Play, SetVolume 250, StopTimer 2, StartTimer 2 1000",
            CallList());
  Calls.clear();
  int ticks = 0;
  while (FireTimer(FadeTimer)) ++ticks;
  EXPECT_EQ(6, ticks);  // five steps, then the tick that finds the end
  EXPECT_EQ(255, Player.volume);
  EXPECT_EQ("QueryVolume, SetVolume 251, QueryVolume, SetVolume 252, QueryVolume, SetVolume 253, "
            "QueryVolume, SetVolume 254, QueryVolume, SetVolume 255, StopTimer 2",
            CallList());
}

TEST(FadeIn, GivesUpWhenTheUserMovesTheVolume) {
  ResetHost();
  VolUp = 1;
  VolStart = 20;
  StartPlayback();
  FireTimer(FadeTimer);
  FireTimer(FadeTimer);
  Player.volume = 90;
  Calls.clear();
  FireTimer(FadeTimer);
  EXPECT_EQ("QueryVolume, StopTimer 2", CallList());
  EXPECT_FALSE(FireTimer(FadeTimer));
  EXPECT_EQ(90, Player.volume);
}

TEST(FadeIn, StartAtOrAboveEndStopsOnFirstTick) {
  for (int32_t start : {100, 180}) {
    ResetHost();
    VolUp = 1;
    VolStart = start;
    VolEnd = 100;
    StartPlayback();
    Calls.clear();
    FireTimer(FadeTimer);
    EXPECT_EQ("StopTimer 2", CallList()) << start;
    EXPECT_EQ(start, Player.volume);
    EXPECT_FALSE(FireTimer(FadeTimer));
  }
}

TEST(FadeIn, LoweringVolEndMidwayStopsAtOnce) {
  ResetHost();
  VolUp = 1;
  VolStart = 10;
  StartPlayback();
  FireTimer(FadeTimer);
  VolEnd = 11;  // the slider moves while the fade runs
  Calls.clear();
  FireTimer(FadeTimer);
  EXPECT_EQ("StopTimer 2", CallList());
  EXPECT_EQ(11, Player.volume);
}

// Each alarm's own volume: its fade-in ends there, or, without a fade or at or below the fade's
// start, it is set at once; the snooze's resume does the same again, and the player at that
// volume is no answer. Alarms in one minute play at the first's; above 100% counts as 100%.
TEST(FadeIn, EndsAtTheAlarmsOwnVolume) {
  const struct {
    const char* what;
    int32_t volUp, first, second;  // alarm 1's and alarm 2's own volume, in percent; -1 no alarm 2
    const char* calls;             // what the start does to the volume
    int32_t end;
  } cases[] = {
      {"none: to the end volume", 1, 0, -1, "SetVolume 100, StopTimer 2, StartTimer 2 1000", 200},
      {"its own", 1, 50, -1, "SetVolume 100, StopTimer 2, StartTimer 2 1000", 128},
      {"at the start: set at once", 1, 39, -1, "SetVolume 100, StopTimer 2", 100},
      {"below the start", 1, 20, -1, "SetVolume 51, StopTimer 2", 51},
      {"no fade-in: set as it starts", 0, 50, -1, "SetVolume 128, StopTimer 2", 128},
      {"no fade-in, none: as found", 0, 0, -1, "", 77},
      {"above 100%", 1, 150, -1, "SetVolume 100, StopTimer 2, StartTimer 2 1000", 255},
      {"negative: damage, read as none", 0, -5, -1, "", 77},
      {"two in a minute, the first without", 1, 0, 50, "SetVolume 100, StopTimer 2, StartTimer 2 1000", 200},
      {"two in a minute, the first's own", 0, 60, 90, "SetVolume 153, StopTimer 2", 153},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetHost();
    StartOn = 1, StartH = 7, VolUp = c.volUp, VolStart = 100, VolEnd = 200, Player.volume = 77;
    SettingValues[FirstAlarmVolume] = c.first, SettingValues[FirstAlarmVolume + 1] = c.second;
    if (c.second >= 0) SettingValues[FirstPackedAlarm] = 0x057F0700;  // 07:00 every day, on
    SetClock(7, 0, 0);
    ClockTick();
    const std::string calls = *c.calls ? std::string(", ") + c.calls : "";
    EXPECT_EQ("IsPlaying, ListLength, Play" + calls, CallList());
    while (FireTimer(FadeTimer)) {}
    EXPECT_EQ(c.end, Player.volume);
    Player.playing = 1;
    ClockTick();
    EXPECT_EQ(RingOn, Ringing.State) << "the player at the alarm's volume is no answer";
    Player.playing = 3;
    ClockTick();  // snoozed
    FakeElapsedMs += 9 * 60000, Calls.clear();
    SetClock(7, 9, 30);
    ClockTick();
    EXPECT_EQ("IsPlaying, Pause" + calls, CallList());
  }
}
