// Will it ring: the alarm tested now from its dialog, the sleep-and-wake test, and the alarms
// given up after a gap told in the ringing window, silently.
#include <gtest/gtest.h>

#include "control/control.h"
#include "fake_host.h"

namespace {

// Alarm 1 rings once at 07:00 every day. Loaded on Tuesday
// 8 December 2026 at 23:00.
void Evening(int hour = 23, int minute = 0) {
  StartOn = StartOff = 1;
  StartH = 7;
  SetDate(2026, 12, 8, hour, minute, 0);
  MarkMinuteSeen();
  RefreshWake();
  Calls.clear(), WakeCalls.clear(), WindowCalls.clear();
}

// The clock `seconds` on, both clocks, and the elapsed count too unless the clock was set by hand.
void Later(int seconds, bool elapses = true) {
  int t = FakeClock.Hour * 3600 + FakeClock.Minute * 60 + FakeClock.Second + seconds;
  SetDate(2026, 12, 8 + t / 86400, t / 3600 % 24, t / 60 % 60, t % 60);
  if (elapses) FakeElapsedMs += static_cast<uint32_t>(seconds) * 1000u;
}

AlarmSound Shown(const char16_t* music) {
  AlarmSound sound{{7, 0, EveryDay, 1, 1}, music, u"", 0};
  return sound;
}

}  // namespace

TEST(WillRing, TestRingsTheAlarmAsShownAndChangesNoAlarm) {
  const struct {
    const char* what;
    int32_t playing, entries, tone;
    const char16_t* music;
    int32_t result;
    const char* calls;
    const char* window;
  } cases[] = {
      {"its own music over a stopped player", 0, 10, 1, u"D:\\Wake", TestRings,
       "IsPlaying, IsPlaying, SavePlaylist, EnqueueMusic D:\\Wake, IsPlaying, ListLength, Play", "07:00 Test"},
      {"music playing stops first", 1, 10, 1, u"", TestRings, "IsPlaying, Stop, IsPlaying, ListLength, Play",
       "07:00 Test"},
      {"nothing to play: the tone", 0, 0, 1, u"", TestRings, "IsPlaying, IsPlaying, ListLength, ToneOn",
       "07:00 The player is silent: sounding the tone"},
      {"nothing to play, no tone", 0, 0, 0, u"", TestSilent, "IsPlaying, IsPlaying, ListLength", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetHost();
    Evening();
    Player.playing = c.playing, Player.listLength = c.entries, SilentTone = c.tone, SkipAlarm = 1234;
    EXPECT_EQ(c.result, TestAlarm(Shown(c.music)));
    EXPECT_EQ(c.calls, CallList());
    EXPECT_EQ(c.window, WindowList());
    EXPECT_EQ(c.result == TestRings ? "Awake 1" : "", WakeList()) << "no wake moved, held while it rings";
    EXPECT_TRUE(StartOn && StartOff && SkipAlarm == 1234) << "the once alarm stays on, the skip pending";
    if (c.result == TestRings) {
      EXPECT_EQ(TestBusy, TestAlarm(Shown(c.music))) << "no second ring over the first";
    }
  }
}

// At its minute the real alarm takes over: the test stops, the alarm starts as its own and
// switches itself off; its minute rang, and the wake goes to the next.
TEST(WillRing, TheRealAlarmTakesOverFromATest) {
  Evening(6, 59);
  Player.playing = 0;
  ASSERT_EQ(TestRings, TestAlarm(Shown(u"")));
  Player.playing = 1;
  Calls.clear(), WindowCalls.clear(), WakeCalls.clear();
  Later(60);
  ClockTick();
  EXPECT_EQ("07:00 Test, closed, 07:00 Ringing", "07:00 Test, " + WindowList());
  EXPECT_EQ("StopTimer 2, Stop, IsPlaying, ListLength, Play, Save", CallList());
  EXPECT_FALSE(StartOn) << "switched itself off: its minute rang";
  EXPECT_EQ("Awake 0, CancelWake, Awake 1", WakeList()) << "no alarm left to wake for";
}

TEST(WillRing, SleepAndWakeSetsTheWakeTwoMinutesAheadThenStandby) {
  const struct {
    const char* what;
    int32_t wakeUp, answer;
    bool refused;
    int32_t result;
    const char* wakes;
  } cases[] = {
      {"standby, the wake for it", 1, WakeSet, false, WakeTestSleeps, "Wake 2026-12-08 23:02"},
      {"no wake for alarms", 0, WakeSet, false, WakeTestOff, ""},
      {"the timer refused", 1, WakeFailed, false, WakeTestRefused, "Wake 2026-12-08 23:02, Wake 2026-12-09 06:58"},
      {"a computer that cannot wake", 1, WakeSetCannotWake, false, WakeTestCannotWake,
       "Wake 2026-12-08 23:02, Wake 2026-12-09 06:58"},
      {"standby refused", 1, WakeSet, true, WakeTestNoStandby, "Wake 2026-12-08 23:02, Wake 2026-12-09 06:58"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetHost();
    Evening();
    WakeUp = c.wakeUp, WakeAnswer = c.answer, Player.suspendFails = c.refused;
    EXPECT_EQ(c.result, SleepAndWake(0));
    EXPECT_EQ(c.wakes, WakeList());
    EXPECT_EQ(c.result == WakeTestSleeps || c.refused ? "SuspendState 0" : "", CallList());
  }
}

// Woken on time, the test rings and the wake is the real alarm's again; woken too late, the test
// is told as missed, as an alarm would be.
TEST(WillRing, AtTheWakeTheTestRingsOrIsToldMissed) {
  for (int late : {0, 35 * 60}) {
    ResetHost();
    Evening();
    ASSERT_EQ(WakeTestSleeps, SleepAndWake(0));
    ComputerSuspending();
    WakeCalls.clear();
    Later(2 * 60 + late);
    ClockTick();
    EXPECT_EQ(late ? "23:02 Missed: the computer slept until 23:37" : "07:00 Test", WindowList());
    EXPECT_EQ(late ? "Wake 2026-12-09 06:58" : "Awake 1, Wake 2026-12-09 06:58, Awake 1", WakeList());
    EXPECT_EQ(!late, Ringing.Test);
  }
}

// Each gap: asleep (a notice came), stalled, or the clock set forward (UTC ran on, the elapsed
// count did not). One window for the alarms of one gap; no sound, no hold, no volume for them.
TEST(WillRing, AnAlarmGivenUpIsToldWithWhyAndSoundsNothing) {
  const struct {
    const char* what;
    bool notice, elapses;
    int32_t window, alarm2;
    int upAt;  // minutes after 06:50
    const char* told;
  } cases[] = {
      {"asleep till 07:41", true, true, 1, 0, 51, "07:00 Missed: the computer slept until 07:41"},
      {"the player stalled", false, true, 1, 0, 51, "07:00 Missed: the player stalled until 07:41"},
      {"the clock set forward", false, false, 1, 0, 51, "07:00 Missed: the clock was set to 07:41"},
      {"two in one gap", true, true, 1, 0x017F071E, 51, "07:00, 07:30 Missed: the computer slept until 07:41"},
      {"no ringing window", true, true, 0, 0, 51, ""},
      {"nine minutes late: it rings", true, true, 1, 0, 19, "07:00 Ringing"},
      {"one missed, one rings: ringing first", true, true, 1, 0x017F0721, 44,
       "07:00 Missed: the computer slept until 07:34, 07:33 Ringing"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetHost();
    Evening(6, 50);
    RingWindow = c.window, SettingValues[FirstPackedAlarm] = c.alarm2;
    if (c.notice) ComputerSuspending();
    Later(c.upAt * 60, c.elapses);
    ClockTick();
    EXPECT_EQ(c.told, WindowList());
    if (Ringing.State) continue;
    EXPECT_EQ("", VolumeList());
    EXPECT_EQ(std::string::npos, (CallList() + WakeList()).find_first_of("PTA")) << CallList() << WakeList();
    WindowCalls.clear();
    MissedSeen();
    EXPECT_EQ("closed", WindowList()) << "OK";
  }
}
