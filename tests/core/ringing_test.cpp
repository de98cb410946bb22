// Answering the alarm: each case is the ticks after a 07:00 alarm started the player, with
// what the player reports at each, and the calls the tick makes.
#include <gtest/gtest.h>

#include "control/control.h"
#include "fake_host.h"

namespace {

enum : int32_t { Stopped = 0, Playing = 1, Paused = 3, Same = -2 };

struct Tick {
  int second;      // after 07:00:00
  int32_t playing; // what the player reports, or Same
  int32_t position;
  int32_t volume;  // or Same
  const char* calls;
};

void AlarmStarted(int32_t volUp) {
  StartOn = 1;
  StartH = 7;
  VolUp = volUp;
  VolStart = 10;
  VolEnd = 200;
  Player.volume = 120;
  SetClock(7, 0, 0);
  ClockTick();
  Calls.clear();
}

void TickThrough(const std::vector<Tick>& ticks) {
  for (const Tick& t : ticks) {
    SetClock(7 + t.second / 3600, t.second / 60 % 60, t.second % 60);
    if (t.playing != Same) Player.playing = t.playing;
    Player.positionMs = t.position;
    if (t.volume != Same) Player.volume = t.volume;
    Calls.clear();
    ClockTick();
    EXPECT_EQ(t.calls, CallList()) << "at 07:00 + " << t.second << " s";
  }
}

const char* const Asks = "IsPlaying, QueryVolume, GetPosition";
const char* const AsksHeard = "IsPlaying, QueryVolume";

}  // namespace

TEST(Ringing, PauseSnoozesAndTheSnoozeResumesWithTheFadeAsOftenAsTheSleeperLikes) {
  AlarmStarted(1);
  EXPECT_EQ("Awake 1", WakeCalls.back());
  TickThrough({{1, Playing, 1000, 10, Asks},
       {2, Playing, 2000, 10, Asks},
       {3, Playing, 3000, 10, AsksHeard},
       {4, Paused, 3000, 10, "IsPlaying, StopTimer 2"},
       {4 + 539, Same, 3000, Same, "IsPlaying"},
       {4 + 540, Same, 3000, Same,
        "IsPlaying, Pause, SetVolume 10, StopTimer 2, StartTimer 2 1000"},
       {545, Playing, 3100, Same, Asks},
       {546, Paused, 3100, Same, "IsPlaying, StopTimer 2"},  // a second snooze
       {546 + 540, Same, 3100, Same,
        "IsPlaying, Pause, SetVolume 10, StopTimer 2, StartTimer 2 1000"}});
  EXPECT_EQ(RingOn, Ringing.State);
}

TEST(Ringing, EachAnswerEndsItAndReleasesTheHold) {
  const struct {
    const char* what;
    int32_t snooze;
    std::vector<Tick> ticks;
  } cases[] = {
      {"Stop", 9, {{1, Playing, 1000, 120, Asks}, {2, Stopped, -1, 120, "IsPlaying"}}},
      {"the volume moved", 9, {{1, Playing, 1000, 120, Asks}, {2, Playing, 2000, 150, "IsPlaying, QueryVolume, StopTimer 2"}}},
      {"Pause with no snooze", 0, {{1, Paused, 1000, 120, "IsPlaying, StopTimer 2"}}},
      {"resumed by the user during the snooze", 9,
       {{1, Paused, 1000, 120, "IsPlaying, StopTimer 2"}, {100, Playing, 1000, 120, "IsPlaying"}}},
      {"stopped during the snooze", 9,
       {{1, Paused, 1000, 120, "IsPlaying, StopTimer 2"}, {100, Stopped, -1, 120, "IsPlaying"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetHost();
    Snooze = c.snooze;
    AlarmStarted(0);
    TickThrough(c.ticks);
    EXPECT_EQ(RingOff, Ringing.State);
    EXPECT_EQ("Awake 0", WakeCalls.back());
    TickThrough({{c.ticks.back().second + 1, Playing, 5000, 77, ""}});  // over: nothing polls
  }
}

TEST(Ringing, TheSnoozeHoldsTheSystemAloneAndCountsRealTime) {
  ResetHost();
  Activate = 1;
  Snooze = 1000;  // counts as 240 minutes
  AlarmStarted(0);
  EXPECT_EQ("Awake 3", WakeCalls.back());
  TickThrough({{1, Paused, 1000, 120, "IsPlaying, StopTimer 2"}});
  EXPECT_EQ("Awake 1", WakeCalls.back());
  // The clock is set back an hour: the snooze still ends 240 minutes after it began.
  FakeUtcOffset = 3600;
  TickThrough({{1 + 240 * 60 - 3601, Same, 1000, Same, "IsPlaying"},
       {1 + 240 * 60 - 3600, Same, 1000, Same, "IsPlaying, Pause"}});
  EXPECT_EQ("Awake 3", WakeCalls.back());
}

TEST(Ringing, AnUnansweredAlarmStopsAtItsLimit) {
  for (int32_t limit : {5, 0}) {
    ResetHost();
    RingLimit = limit;
    AlarmStarted(0);
    TickThrough({{1, Playing, 1000, 120, Asks},
         {2, Playing, 2000, 120, Asks},
         {299, Playing, 3000, 120, AsksHeard},
         {300, Playing, 4000, 120, limit ? "IsPlaying, QueryVolume, StopTimer 2, Stop" : AsksHeard}});
    EXPECT_EQ(limit ? RingOff : RingOn, Ringing.State) << limit;
  }
}

TEST(Ringing, TheToneSoundsForAPlayerThatStaysSilent) {
  const struct {
    const char* what;
    int32_t list, tone;
    std::vector<Tick> ticks;
    const char* start;
  } cases[] = {
      {"an empty playlist", 0, 1, {{1, Stopped, -1, 120, "IsPlaying"}}, "IsPlaying, ListLength, ToneOn"},
      {"no tone wanted", 0, 0, {{1, Stopped, -1, 120, ""}}, "IsPlaying, ListLength"},
      {"a position that never moves", 10, 1,
       {{1, Playing, 0, 120, Asks}, {29, Playing, 0, 120, Asks}, {30, Playing, 0, 120, "IsPlaying, QueryVolume, GetPosition, ToneOn"}},
       "IsPlaying, ListLength, Play"},
      {"playing and heard in time", 10, 1,
       {{1, Playing, 0, 120, Asks}, {29, Playing, 10, 120, Asks}, {30, Playing, 20, 120, AsksHeard}},
       "IsPlaying, ListLength, Play"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetHost();
    StartOn = 1;
    StartH = 7;
    SilentTone = c.tone;
    Player.listLength = c.list;
    Player.volume = 120;
    SetClock(7, 0, 0);
    ClockTick();
    EXPECT_EQ(c.start, CallList());
    TickThrough(c.ticks);
  }
}

TEST(Ringing, WhatEndsTheTone) {
  const struct {
    const char* what;
    void (*answer)();
    const char* calls;
  } cases[] = {
      {"a command reaching the player", [] { CommandReached(); }, "ToneOff"},
      {"the player heard after all",
       [] {
         Player.playing = Playing;
         SetClock(7, 0, 5);
         Player.positionMs = 100;
         ClockTick();
         SetClock(7, 0, 6);
         Player.positionMs = 200;
         ClockTick();
       },
       "IsPlaying, GetPosition, IsPlaying, GetPosition, ToneOff"},
      {"the sleep timer",
       [] {
         StopOn = 1;
         StopH = 7;
         StopM = 1;
         SetClock(7, 1, 0);
         ClockTick();
       },
       "IsPlaying, ToneOff, Stop"},
      {"the sleep timer's countdown",
       [] {
         SleepTimerChoose(15);
         FakeElapsedMs += 15 * 60000;
         SetClock(7, 15, 0);
         ClockTick();
       },
       "IsPlaying, ToneOff, Stop"},
      {"the ring limit",
       [] {
         SetClock(8, 0, 0);
         ClockTick();
       },
       "IsPlaying, StopTimer 2, ToneOff"},
      {"the quit", [] { EndRinging(); }, "ToneOff"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetHost();
    StartOn = 1;
    StartH = 7;
    Player.listLength = 0;
    SetClock(7, 0, 0);
    ClockTick();
    EXPECT_EQ("Awake 1", WakeCalls.back());
    Calls.clear();
    c.answer();
    EXPECT_EQ(c.calls, CallList());
    EXPECT_EQ(RingOff == Ringing.State, std::string(c.what) != "the player heard after all");
    if (Ringing.State == RingOff) {
      EXPECT_EQ("Awake 0", WakeCalls.back());
    }
  }
}

TEST(Ringing, OverMusicAlreadyPlayingNothingRingsOrHolds) {
  StartOn = 1;
  StartH = 7;
  Activate = 1;
  Player.playing = Playing;
  SetClock(7, 0, 0);
  ClockTick();
  EXPECT_EQ(RingOff, Ringing.State);
  EXPECT_EQ(std::string::npos, WakeList().find("Awake 3"));
  EXPECT_EQ(0, Device.reads) << "nor touches the computer's volume";
  Calls.clear();
  SetClock(7, 0, 1);
  ClockTick();
  EXPECT_EQ("", CallList());
}
