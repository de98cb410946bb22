// Answering the alarm: each case is the ticks after a 07:00 alarm started the player, with
// what the player reports at each, and the calls the tick makes.
#include <gtest/gtest.h>

#include "control/control.h"
#include "fake_host.h"

namespace {

enum : int32_t { Same = -2 };

struct Tick {
  int second;      // real seconds after the alarm's start at 07:00:00
  int32_t playing; // what the player reports, or Same
  int32_t position;
  int32_t volume;  // or Same
  const char* calls;
};

uint32_t StartedAt;  // the elapsed count at the alarm's start
std::string StartCalls;  // what the start did
int ClockSkew;       // seconds the clock was set by hand since, both clocks moved

void AlarmStarted(int32_t volUp) {
  StartedAt = FakeElapsedMs;
  ClockSkew = 0;
  StartOn = 1;
  StartH = 7;
  VolUp = volUp;
  VolStart = 10;
  VolEnd = 200;
  Player.volume = 120;
  SetClock(7, 0, 0);
  ClockTick();
  StartCalls = CallList();
  Calls.clear();
}

void TickThrough(const std::vector<Tick>& ticks) {
  for (const Tick& t : ticks) {
    int clock = 7 * 3600 + t.second + ClockSkew;
    SetClock(clock / 3600, clock / 60 % 60, clock % 60);
    FakeElapsedMs = StartedAt + static_cast<uint32_t>(t.second) * 1000u;
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
    int32_t own = 0;  // alarm 1's own volume, in percent
  } cases[] = {
      {"Stop", 9, {{1, Playing, 1000, 120, Asks}, {2, Stopped, -1, 120, "IsPlaying"}}},
      {"the volume moved", 9, {{1, Playing, 1000, 120, Asks}, {2, Playing, 2000, 150, "IsPlaying, QueryVolume, StopTimer 2"}}},
      // Set to 128 as it started: moved before the first tick.
      {"the volume moved from the alarm's own", 9, {{1, Playing, 1000, 120, "IsPlaying, QueryVolume, StopTimer 2"}}, 50},
      {"Pause with no snooze", 0, {{1, Paused, 1000, 120, "IsPlaying, StopTimer 2"}}},
      {"resumed by the user during the snooze", 9,
       {{1, Paused, 1000, 120, "IsPlaying, StopTimer 2"}, {100, Playing, 1000, 120, "IsPlaying"}}},
      {"stopped during the snooze", 9,
       {{1, Paused, 1000, 120, "IsPlaying, StopTimer 2"}, {100, Stopped, -1, 120, "IsPlaying"}}},
      // The lid closed while snoozed, the wake not working: the player stays paused.
      {"the snooze slept through, found over 10 minutes past its end", 9,
       {{1, Paused, 1000, 120, "IsPlaying, StopTimer 2"}, {1 + 540 + 601, Paused, 1000, 120, "IsPlaying"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetHost();
    Snooze = c.snooze;
    SettingValues[FirstAlarmVolume] = c.own;
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
  WakeCalls.clear();
  TickThrough({{1, Paused, 1000, 120, "IsPlaying, StopTimer 2"}});
  EXPECT_EQ("Wake 2026-12-08 10:58:01, Awake 1", WakeList()) << "the snooze's end is woken for";
  // The clock is set back an hour: the snooze still ends 240 minutes after it began, and the
  // wake goes with it.
  ClockSkew = -3600;
  WakeCalls.clear();
  TickThrough({{1 + 240 * 60 - 1, Same, 1000, Same, "IsPlaying"},
       {1 + 240 * 60, Same, 1000, Same, "IsPlaying, Pause"}});
  EXPECT_EQ("Wake 2026-12-08 10:00:01, Awake 1, Wake 2026-12-09 06:58, Awake 3", WakeList());
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
       "IsPlaying, StopTimer 2, ToneOff, Stop"},
      {"the sleep timer's countdown",
       [] {
         SleepTimerChoose(15);
         FakeElapsedMs += 15 * 60000;
         SetClock(7, 15, 0);
         ClockTick();
       },
       "IsPlaying, StopTimer 2, ToneOff, Stop"},
      {"the ring limit",
       [] {
         SetClock(8, 0, 0);
         FakeElapsedMs += 60 * 60000;
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
  EXPECT_EQ("", WindowList()) << "nor shows its window";
  Calls.clear();
  SetClock(7, 0, 1);
  ClockTick();
  EXPECT_EQ("", CallList());
}

// A time sync setting the clock back a few seconds right after the start, a resume or a
// snooze: time only counts forward, so nothing ends early.
TEST(Ringing, AClockSetBackThreeSecondsCountsAsNoTime) {
  const struct {
    const char* what;
    std::vector<Tick> before, after;
  } cases[] = {
      {"ringing: not given up", {{1, Playing, 1000, 120, Asks}},
       {{2, Playing, 2000, 120, Asks}, {3, Playing, 3000, 120, AsksHeard}}},
      {"snoozed: not resumed", {{1, Playing, 1000, 120, Asks}, {2, Paused, 1000, 120, "IsPlaying, StopTimer 2"}},
       {{3, Paused, 1000, 120, "IsPlaying"}, {4, Paused, 1000, 120, "IsPlaying"}}},
      {"silent: no tone yet", {{1, Playing, 0, 120, Asks}}, {{2, Playing, 0, 120, Asks}, {29, Playing, 0, 120, Asks}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetHost();
    RingLimit = 5;
    AlarmStarted(0);
    TickThrough(c.before);
    ClockSkew = -3;
    TickThrough(c.after);
    EXPECT_NE(RingOff, Ringing.State);
  }
}

// A second alarm at 07:05 while the first one snoozes, rings with its music playing, or rang on into a sleep.
TEST(Ringing, AnotherAlarmStartsASnoozedPlayerAnewButLeavesRingingMusicAlone) {
  const struct {
    const char* what;
    int32_t playing;  // at 07:05
    const char* calls;
    int32_t at;       // the ringing alarm's time
    int second = 300;  // of the tick that finds the second alarm due
  } cases[] = {
      {"snoozed", Paused, "IsPlaying, ListLength, Play", 7 * 60 + 5},
      {"ringing", Playing, "IsPlaying", 7 * 60},
      {"ringing, slept over", Playing, "IsPlaying, StopTimer 2, Stop, IsPlaying, ListLength, Play", 7 * 60 + 5, 780},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetHost();
    SettingValues[FirstPackedAlarm] = 0x017F0705;  // 07:05 every day, on
    AlarmStarted(0);
    TickThrough({{1, Playing, 1000, 120, Asks}, {2, c.playing, 2000, 120, c.playing == Paused ? "IsPlaying, StopTimer 2" : Asks},
                 {c.second, c.playing, 2000, 120, c.calls}});
    EXPECT_EQ(RingOn, Ringing.State);
    EXPECT_EQ(c.at, Ringing.At);
    EXPECT_NE("Awake 0", WakeCalls.back());
  }
}

// The ringing window is told each change once, however many ticks pass between changes.
TEST(RingingWindow, IsToldEachChangeOfTheAlarmOnce) {
  const struct {
    const char* what;
    int32_t list, snooze, limit;
    bool second;  // another alarm at 07:05
    std::vector<Tick> ticks;
    const char* window;
  } cases[] = {
      {"a ring, a snooze, its resume, then Stop", 10, 9, 60, false,
       {{1, Playing, 1000, 120, Asks}, {4, Paused, 1000, 120, "IsPlaying, StopTimer 2"},
        {300, Paused, 1000, 120, "IsPlaying"}, {544, Paused, 1000, 120, "IsPlaying, Pause"},
        {545, Playing, 2000, 120, Asks}, {546, Stopped, -1, 120, "IsPlaying"}},
       "07:00 Ringing, 07:00 Snoozed until 07:09, 07:00 Ringing, closed"},
      {"a snooze of 1000 minutes counts as 240", 10, 1000, 60, false,
       {{61, Paused, 1000, 120, "IsPlaying, StopTimer 2"}},
       "07:00 Ringing, 07:00 Snoozed until 11:01"},
      {"a silent player: the tone, until the ring limit", 10, 9, 1, false,
       {{1, Playing, 0, 120, Asks}, {30, Playing, 0, 120, "IsPlaying, QueryVolume, GetPosition, ToneOn"},
        {59, Playing, 0, 120, "IsPlaying, GetPosition"}, {60, Playing, 0, 120, "IsPlaying, StopTimer 2, Stop, ToneOff"}},
       "07:00 Ringing, 07:00 The player is silent: sounding the tone, closed"},
      {"an empty playlist: the tone from the start", 0, 9, 60, false, {{1, Stopped, -1, 120, "IsPlaying"}},
       "07:00 The player is silent: sounding the tone"},
      {"the volume moved: the music plays on", 10, 9, 60, false,
       {{1, Playing, 1000, 120, Asks}, {2, Playing, 2000, 150, "IsPlaying, QueryVolume, StopTimer 2"}},
       "07:00 Ringing, closed"},
      {"another alarm at 07:05 over the snooze", 10, 9, 60, true,
       {{1, Paused, 1000, 120, "IsPlaying, StopTimer 2"}, {300, Paused, 1000, 120, "IsPlaying, ListLength, Play"}},
       "07:00 Ringing, 07:00 Snoozed until 07:09, 07:05 Ringing"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetHost();
    if (c.second) SettingValues[FirstPackedAlarm] = 0x017F0705;  // 07:05 every day, on
    Player.listLength = c.list;
    Snooze = c.snooze;
    RingLimit = c.limit;
    AlarmStarted(0);
    TickThrough(c.ticks);
    EXPECT_EQ(c.window, WindowList());
  }
}

TEST(RingingWindow, TheSleepTimerAndTheQuitCloseIt) {
  for (bool quit : {false, true}) {
    SCOPED_TRACE(quit ? "the quit" : "the sleep timer");
    ResetHost();
    StopOn = !quit;
    StopH = 7;
    StopM = 1;
    AlarmStarted(0);
    if (quit) EndRinging();
    else TickThrough({{1, Playing, 1000, 120, Asks}, {2, Playing, 2000, 120, Asks},
                      {60, Playing, 3000, 120, "IsPlaying, QueryVolume, StopTimer 2, Stop"}});
    EXPECT_EQ("07:00 Ringing, closed", WindowList());
  }
}

// What the window's two buttons send: the player's own Pause and Stop, and only while they
// answer something; the window then shows the outcome without waiting for the next tick.
TEST(RingingWindow, SnoozeAndStopSendThePlayersOwnCommands) {
  const struct {
    const char* what;
    int32_t list, snooze;
    std::vector<Tick> before;
    bool canSnooze;
    int32_t button;
    const char* calls;
    int32_t state;
    const char* window;  // the last the window was told
    bool pausedFirst;    // paused by the user an instant before the press, no tick between
  } cases[] = {
      {"Snooze while it rings", 10, 9, {{1, Playing, 1000, 120, Asks}, {61, Playing, 2000, 120, Asks}}, true, CmdPause,
       "IsPlaying, Pause, IsPlaying, StopTimer 2", RingSnoozed, "07:00 Snoozed until 07:10", false},
      // Paused by the user in the same second, before a tick saw it: Pause would play it again.
      {"Snooze over a player just paused", 10, 9, {{1, Playing, 1000, 120, Asks}, {61, Playing, 2000, 120, Asks}},
       true, CmdPause, "IsPlaying, IsPlaying, StopTimer 2", RingSnoozed, "07:00 Snoozed until 07:10", true},
      {"Snooze again while snoozed: not a resume", 10, 9, {{1, Paused, 1000, 120, "IsPlaying, StopTimer 2"}},
       false, CmdPause, "", RingSnoozed, "07:00 Snoozed until 07:09", false},
      {"Snooze with no snooze set", 10, 0, {{1, Playing, 1000, 120, Asks}}, false, CmdPause, "", RingOn,
       "07:00 Ringing", false},
      {"Snooze while the tone sounds", 0, 9, {}, false, CmdPause, "", RingTone,
       "07:00 The player is silent: sounding the tone", false},
      {"Stop while it rings", 10, 9, {{1, Playing, 1000, 120, Asks}}, true, CmdStop, "Stop, IsPlaying", RingOff,
       "closed", false},
      {"Stop while snoozed", 10, 9, {{1, Paused, 1000, 120, "IsPlaying, StopTimer 2"}}, false, CmdStop,
       "Stop, IsPlaying", RingOff, "closed", false},
      {"Stop while the tone sounds", 0, 9, {}, false, CmdStop, "Stop, ToneOff", RingOff, "closed", false},
      {"Stop once it is over", 10, 9, {{1, Stopped, -1, 120, "IsPlaying"}}, false, CmdStop, "", RingOff, "closed", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetHost();
    Player.listLength = c.list;
    Snooze = c.snooze;
    AlarmStarted(0);
    TickThrough(c.before);
    if (c.pausedFirst) Player.playing = Paused;
    EXPECT_EQ(c.canSnooze, CanSnooze());
    Calls.clear();
    AnswerRinging(c.button);
    EXPECT_EQ(c.calls, CallList());
    EXPECT_EQ(c.state, Ringing.State);
    if (c.button == CmdPause && c.canSnooze) {
      EXPECT_EQ(Paused, Player.playing) << "the snooze plays";
    }
    EXPECT_EQ(c.window, WindowCalls.back());
    if (c.state == RingOff) {
      EXPECT_EQ("Awake 0", WakeCalls.back());
    }
  }
}

// ---- an alarm's own music: the user's list saved aside before, back after

namespace {
void MusicAlarmStarted(const char16_t* music, std::string* calls) {
  for (int i = 0; (AlarmMusic[0][i] = music[i]) != 0; ++i) {}
  Player.listLength = 40;
  Player.listPos = 17;
  AlarmStarted(0);
  *calls = StartCalls;
}
}  // namespace

// At the ring: saved first, then the music; what cannot be saved or enqueued plays the list
// as today. Random picks among the alarm's entries; the range is the player's own list's.
TEST(OwnMusic, TheUsersListGoesAsideFirstOrTheAlarmPlaysItAsToday) {
  const struct {
    const char* what;
    bool saveFails;
    int32_t entries;
    int32_t random;
    const char* calls;
  } cases[] = {
      {"saved, then the music", false, 3, 0, "IsPlaying, SavePlaylist, EnqueueMusic C:\\M?sik, IsPlaying, ListLength, Play"},
      {"random among its entries, not the range", false, 3, 1,
       "IsPlaying, SavePlaylist, EnqueueMusic C:\\M?sik, IsPlaying, ListLength, SetPlaylistPos 1, Stop, Play"},
      {"the save fails", true, 3, 0, "IsPlaying, SavePlaylist, IsPlaying, ListLength, SetPlaylistPos 30, Stop, Play"},
      {"nothing to enqueue", false, 0, 0,
       "IsPlaying, SavePlaylist, EnqueueMusic C:\\M?sik, RestorePlaylist, IsPlaying, ListLength, SetPlaylistPos 30, Stop, Play"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetHost();
    Player.saveFails = c.saveFails;
    Player.musicEntries = c.entries;
    FromRange = 1, First = Last = 30, Random = c.random;
    std::string calls;
    MusicAlarmStarted(u"C:\\M\u00fcsik", &calls);
    EXPECT_NE(std::string::npos, calls.find(c.calls)) << calls;
    EXPECT_EQ(c.saveFails || !c.entries ? 40 : c.entries, Player.listLength);
    EXPECT_EQ(c.saveFails ? -1 : c.entries ? 40 : -1, Player.savedLength);
  }
}

// The list comes back once the alarm is over and the player no longer plays its music.
TEST(OwnMusic, TheUsersListComesBackWhenTheAlarmIsOverAndItsMusicStops) {
  const struct {
    const char* what;
    int32_t snooze, limit;
    std::vector<Tick> ticks;
  } cases[] = {
      {"Stop", 9, 60, {{1, Playing, 1000, 120, Asks}, {2, Stopped, -1, 120, "IsPlaying, IsPlaying, RestorePlaylist"}}},
      {"Pause with no snooze", 0, 60, {{1, Paused, 1000, 120, "IsPlaying, StopTimer 2, IsPlaying, RestorePlaylist"}}},
      {"the ring limit", 9, 1, {{1, Playing, 1000, 120, Asks},
                                {60, Playing, 60000, 120, "IsPlaying, QueryVolume, StopTimer 2, Stop, IsPlaying, RestorePlaylist"}}},
      {"kept playing by the volume, back at the stop", 9, 60,
       {{1, Playing, 1000, 120, Asks}, {2, Playing, 2000, 150, "IsPlaying, QueryVolume, StopTimer 2, IsPlaying, IsPlaying"},
        {3, Playing, 3000, 150, "IsPlaying"}, {4, Paused, 3000, 150, "IsPlaying"},
        {5, Stopped, -1, 150, "IsPlaying, RestorePlaylist"}, {6, Stopped, -1, 150, ""}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetHost();
    Snooze = c.snooze, RingLimit = c.limit;
    std::string calls;
    MusicAlarmStarted(u"http://radio.example/", &calls);
    TickThrough(c.ticks);
    EXPECT_EQ(40, Player.listLength);
    EXPECT_EQ(17, Player.listPos);
    EXPECT_EQ(-1, Player.savedLength);
  }
}

// Music silent for 30 s gives way to the user's list, played as an alarm on it would be; that
// silent too, the tone. A damaged saved list is never put back: the tone at once.
TEST(OwnMusic, SilentMusicGivesWayToTheUsersListThenTheTone) {
  for (bool damaged : {false, true}) {
    SCOPED_TRACE(damaged);
    ResetHost();
    std::string calls;
    MusicAlarmStarted(u"http://offline.invalid/", &calls);
    Player.savedDamaged = damaged;
    TickThrough({{1, Playing, 0, 120, Asks}, {29, Playing, 0, 120, Asks}});
    if (damaged) {
      TickThrough({{30, Playing, 0, 120, "IsPlaying, QueryVolume, GetPosition, Stop, RestorePlaylist, ToneOn"}});
      EXPECT_EQ(RingTone, Ringing.State);
      continue;
    }
    TickThrough({{30, Playing, 0, 120, "IsPlaying, QueryVolume, GetPosition, Stop, RestorePlaylist, IsPlaying, ListLength, Play"},
                 {31, Playing, 0, 120, Asks}, {59, Playing, 0, 120, Asks}});
    EXPECT_EQ(40, Player.listLength);
    EXPECT_EQ(RingOn, Ringing.State);
    TickThrough({{60, Playing, 0, 120, "IsPlaying, QueryVolume, GetPosition, ToneOn"}});
    EXPECT_EQ(RingTone, Ringing.State);
    TickThrough({{61, Stopped, -1, 120, "IsPlaying"}});  // over: the list is the user's already
  }
}

TEST(OwnMusic, ClosingTheSleepTimerOrALoadPutTheListBack) {
  std::string calls;
  MusicAlarmStarted(u"C:\\a.mp3", &calls);
  EndRinging();  // the sleep timer, with the music playing: back when it stops
  EXPECT_EQ(MusicKept, OwnMusicState);
  Calls.clear();
  MusicBeforeClose();
  EXPECT_EQ("Stop, RestorePlaylist", CallList());
  EXPECT_EQ(40, Player.listLength);
  Player.savedLength = 12;  // left by a crash
  RestoreLeftList();
  EXPECT_EQ(12, Player.listLength);
}
