// The alarm tested now, the sleep-and-wake test, and the alarms given up told silently.
#include <gtest/gtest.h>

#include "control/control.h"
#include "fake_host.h"

namespace {

// Alarm 1 rings once at 07:00 every day; loaded on Tuesday 8 December 2026.
void LoadedAt(int hour, int minute) {
  ResetHost();
  StartOn = StartOff = 1, StartH = 7;
  SetDate(2026, 12, 8, hour, minute, 0);
  MarkMinuteSeen(), RefreshWake();
  Calls.clear(), WakeCalls.clear(), WindowCalls.clear();
}

// The clocks `seconds` on; the elapsed count too, unless the clock was set by hand.
void Later(int seconds, bool elapses = true) {
  int t = FakeClock.Hour * 3600 + FakeClock.Minute * 60 + FakeClock.Second + seconds;
  SetDate(2026, 12, 8 + t / 86400, t / 3600 % 24, t / 60 % 60, t % 60);
  if (elapses) FakeElapsedMs += static_cast<uint32_t>(seconds) * 1000u;
}

AlarmSound Shown(const char16_t* music) { return AlarmSound{{7, 0, EveryDay, 1, 1}, music, u"", 0}; }

}  // namespace

TEST(WillRing, TestRingsTheAlarmAsShownAndChangesNoAlarm) {
  const struct {
    int32_t playing, entries, tone;
    const char16_t* music;
    int32_t result;
    const char *calls, *window;
  } cases[] = {
      {0, 10, 1, u"D:\\Wake", TestRings, "IsPlaying, IsPlaying, SavePlaylist, EnqueueMusic D:\\Wake, IsPlaying, ListLength, Play",
       "07:00 Test"},
      {1, 10, 1, u"", TestRings, "IsPlaying, Stop, IsPlaying, ListLength, Play", "07:00 Test"},  // heard, not left
      {0, 0, 1, u"", TestRings, "IsPlaying, IsPlaying, ListLength, ToneOn", "07:00 The player is silent: sounding the tone"},
      {0, 0, 0, u"", TestSilent, "IsPlaying, IsPlaying, ListLength", ""},
  };
  for (const auto& c : cases) {
    LoadedAt(23, 0);
    Player.playing = c.playing, Player.listLength = c.entries, SilentTone = c.tone, SkipAlarm = 1234;
    EXPECT_EQ(c.result, TestAlarm(Shown(c.music)));
    EXPECT_EQ(c.calls, CallList());
    EXPECT_EQ(c.window, WindowList());
    EXPECT_EQ(c.result == TestRings ? "Awake 1" : "", WakeList()) << "held, no wake moved";
    EXPECT_TRUE(StartOn && StartOff && SkipAlarm == 1234) << "the once alarm on, the skip pending";
    EXPECT_EQ(c.result == TestRings ? TestBusy : TestSilent, TestAlarm(Shown(c.music))) << "no ring over a ring";
  }
}

// At its minute the real alarm takes over from silence, and its minute rang.
TEST(WillRing, TheRealAlarmTakesOverFromATest) {
  LoadedAt(6, 59);
  ASSERT_EQ(TestRings, TestAlarm(Shown(u"")));
  Player.playing = 1;
  Calls.clear(), WindowCalls.clear(), WakeCalls.clear();
  Later(60);
  ClockTick();
  EXPECT_EQ("closed, 07:00 Ringing", WindowList());
  EXPECT_EQ("StopTimer 2, Stop, IsPlaying, ListLength, Play, Save", CallList());
  EXPECT_FALSE(StartOn) << "the once alarm switched itself off";
}

// Arming and standby, and at the wake a test, or a wake come too late told as missed.
TEST(WillRing, SleepAndWakeSetsTheWakeTwoMinutesAheadThenStandby) {
  const struct {
    int32_t wakeUp, answer;
    bool refused;
    int32_t result;
    const char *wakes, *calls;
    int late;
    const char *window, *after;
  } cases[] = {
      {1, WakeSet, false, WakeTestSleeps, "Wake 2026-12-08 23:02", "SuspendState 0", 0, "07:00 Test",
       "Awake 1, Wake 2026-12-09 06:58, Awake 1"},
      {1, WakeSet, false, WakeTestSleeps, "Wake 2026-12-08 23:02", "SuspendState 0", 35,
       "23:02 Missed: the computer slept until 23:37", "Wake 2026-12-09 06:58"},
      {0, WakeSet, false, WakeTestOff, "", "", 0, "", ""},
      {1, WakeFailed, false, WakeTestRefused, "Wake 2026-12-08 23:02, Wake 2026-12-09 06:58", "", 0, "", ""},
      {1, WakeSetCannotWake, false, WakeTestCannotWake, "Wake 2026-12-08 23:02, Wake 2026-12-09 06:58", "", 0, "", ""},
      {1, WakeSet, true, WakeTestNoStandby, "Wake 2026-12-08 23:02, Wake 2026-12-09 06:58", "SuspendState 0", 0, "", ""},
  };
  for (const auto& c : cases) {
    LoadedAt(23, 0);
    WakeUp = c.wakeUp, WakeAnswer = c.answer, Player.suspendFails = c.refused;
    EXPECT_EQ(c.result, SleepAndWake(0));
    EXPECT_EQ(c.wakes, WakeList());
    EXPECT_EQ(c.calls, CallList());
    ComputerSuspending();
    WakeCalls.clear();
    Later(2 * 60 + c.late * 60);
    ClockTick();
    EXPECT_EQ(c.window, WindowList());
    EXPECT_EQ(c.after, c.result == WakeTestSleeps ? WakeList() : "");
  }
}

// Why: a suspend notice came, the player stalled, or UTC ran on past the elapsed count. One
// window a gap; a ring takes it over. No sound, no hold, no volume; OK closes it, as does the clock set back.
TEST(WillRing, AnAlarmGivenUpIsToldWithWhyAndSoundsNothing) {
  const struct {
    bool notice, elapses;
    int32_t window, alarm2, upAt;  // alarm 2's packed word; minutes after 06:50
    const char* told;
    int32_t back = 0;  // minutes the clock is then set back by hand
  } cases[] = {
      {true, true, 1, 0, 51, "07:00 Missed: the computer slept until 07:41"},
      {false, true, 1, 0, 51, "07:00 Missed: the player stalled until 07:41"},
      {false, false, 1, 0, 51, "07:00 Missed: the clock was set to 07:41"},
      {true, true, 1, 0x017F071E, 51, "07:00, 07:30 Missed: the computer slept until 07:41"},
      {true, true, 0, 0, 51, ""},
      {true, true, 1, 0, 19, "07:00 Ringing [Pills]"},  // nine minutes late
      {true, true, 1, 0x017F0721, 44, "07:00 Missed: the computer slept until 07:34, 07:33 Ringing [Work]"},
      {true, true, 1, 0x017F0702, 12, "07:00 Ringing [Pills]"},  // one late, one on time: the first's time and label
      {false, false, 1, 0, 51, "07:00 Missed: the clock was set to 07:41, closed, 07:00 Ringing [Pills]", 41},
  };
  for (const auto& c : cases) {
    LoadedAt(6, 50);
    RingWindow = c.window, SettingValues[FirstPackedAlarm] = c.alarm2;
    std::u16string(u"Pills").copy(AlarmLabel[0], 5), std::u16string(u"Work").copy(AlarmLabel[1], 4);
    if (c.notice) ComputerSuspending();
    Later(c.upAt * 60, c.elapses);
    ClockTick();
    if (c.back) Later(-c.back * 60, false), ClockTick();
    EXPECT_EQ(c.told, WindowList());
    if (Ringing.State) continue;
    EXPECT_EQ(std::string::npos, (VolumeList() + CallList() + WakeList()).find_first_of("PTA")) << CallList();
    MissedSeen();
    EXPECT_EQ(c.window ? ", closed" : "closed", WindowList().substr(std::string(c.told).size())) << "OK";
  }
}

// The player closed (or crashed) after its last tick `last` seconds after 06:50 and reopened at
// `reopen`: alarm minutes since ring the first tick as those stepped over do, or are told; what
// rang before, or came before the last tick, stays rung. With `summer` 1, the clocks go from 07:00
// to 08:00 while it is closed: the gap is nine minutes, not 69; with -1, from 08:00 back to 07:00.
// With `play`, the start-up plays.
TEST(WillRing, AnAlarmWhileThePlayerWasClosedRingsLateOrIsTold) {
  const struct {
    int last;
    bool quit, kept;
    int summer;
    int reopen;
    const char* window;
    bool play = false;
    int first = 1;  // the first tick after the load, which keeps itself
    int then = 0;   // a tick this much after the first
    int minute = 0;  // the alarm's, past 07:00
  } cases[] = {
      {599, true, true, false, 605, "07:00 Ringing"},  // a restart across the alarm's minute
      {300, true, true, false, 1170, "07:00 Ringing"},
      {300, true, true, false, 3060, "07:00 Missed: Winamp was closed until 07:41"},
      {600, false, true, false, 900, ""},               // rang, then crashed: not again
      {480, false, true, false, 720, "07:00 Ringing"},  // crashed with the last tick kept at 06:50
      {300, true, false, false, 900, ""},               // nothing kept: nothing before the load rings
      {300, true, true, true, 4440, "07:00 Ringing"},
      {300, true, true, false, 900, "07:00 Ringing", true},  // over the start-up's music
      {1230, false, true, false, 1500, "", false, 360},  // told at 07:10:30, then crashed: not told again
      {2460, true, true, -1, 1200, "", false, 1, 1260, 30},  // rang at the first pass: not at the second
  };
  for (const auto& c : cases) {
    LoadedAt(6, 50);
    int64_t from = c.summer < 0 ? -7200 : -3600, to = from - 3600 * c.summer;
    if (c.summer) ZoneChangesAt(2026, 12, 8, 6, from, to), FakeUtcOffset = from, MarkMinuteSeen();
    StartM = c.minute;
    Later(c.first), ClockTick();
    Later(c.last - c.first), ClockTick();
    if (c.quit) KeepSeen();
    uint32_t seen = c.kept ? ReadLastSeen() : 0, elapsed = FakeElapsedMs;
    LocalTimeRecord at = FakeClock;
    ResetHost();
    StartOn = StartOff = 1, StartH = 7, StartM = c.minute, FakeClock = at, FakeElapsedMs = elapsed;
    if (c.summer) ZoneChangesAt(2026, 12, 8, 6, from, to), FakeUtcOffset = to;
    KeepLastSeen(seen), Later(c.reopen - c.last, false), FakeElapsedMs += (c.reopen - c.last - c.summer * 3600) * 1000u;
    PlayAtStart = c.play, MarkMinuteSeen(), StartupPlay(), Later(1), ClockTick();
    if (c.then) Later(c.then), ClockTick();
    EXPECT_EQ(c.window, WindowList()) << c.reopen;
  }
}
