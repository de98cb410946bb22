// Thirty simulated days of one-second ticks against a player that does what users do.
#include <gtest/gtest.h>

#include <random>
#include <string.h>

#include "control/control.h"
#include "fake_host.h"

namespace {

struct Date {
  int day, month, year;
};

Date DayNumber(int n) {  // day 0 is 1 December 2026
  Date d{1 + n, 12, 2026};
  if (d.day > 31) d = {d.day - 31, 1, 2027};
  return d;
}

bool Has(const std::vector<std::string>& calls, const char* call) {
  for (const std::string& c : calls)
    if (c == call) return true;
  return false;
}

bool HasFinalStop(const std::vector<std::string>& calls) {
  return Has(calls, "Stop") || Has(calls, "Pause");
}

struct Simulation {
  std::mt19937 random;
  int startCount = 0, stopCount = 0;
  int fadeSteps = 0, longestFade = 0;
  int32_t volumeBeforeFadeOut = -1;
  bool stopAfterCurrent = false;
  int completedFadeOuts = 0, finalStops = 0;

  void FinalStopSeen() {
    ++finalStops;
    EXPECT_LE(0, StopPhase);
    EXPECT_GE(3, StopPhase);
  }

  int Roll(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }

  void RandomSettings() {
    for (int i = 0; i < FlagCount; ++i) SettingValues[i] = Roll(2);
    StartOn = StopOn = 1;
    StartOff = StopOff = 0;
    ShutDown = 0;  // power actions are recorded either way; keep the log small
    WakeUp = Roll(2);
    // The alarm rings until answered, with no limit nor tone: answering has tests of its own.
    RingLimit = 0;
    SilentTone = 0;
    VolStart = Roll(200);
    VolEnd = VolStart + 1 + Roll(255 - VolStart);
    TimeOut = 1 + Roll(600);
    StartH = Roll(24);
    StartM = Roll(60);
    do {
      StopH = Roll(24);
      StopM = Roll(60);
    } while (StopH == StartH && StopM == StartM);  // the same minute has tests of its own
    First = Roll(5);
    Last = First + Roll(5);
    Player.volume = Roll(256);
  }

  // The player's own part: what happens at the end of a track after the plug-in saw it.
  void TrackEnds() {
    Calls.clear();
    TrackEnded();
    if (Has(Calls, "StopAfterCurrent")) stopAfterCurrent = true;
    if (HasFinalStop(Calls)) FinalStopSeen();
    if (stopAfterCurrent || Player.listPos + 1 >= Player.listLength) {
      stopAfterCurrent = false;
      Player.playing = 0;
    } else {
      ++Player.listPos;
    }
  }

  void FadeTicks() {
    if (!RunningTimers[FadeTimer]) {
      fadeSteps = 0;
      return;
    }
    int steps = 1000 / TimeOut > 0 ? 1000 / TimeOut : 1;
    for (int i = 0; i < steps && RunningTimers[FadeTimer]; ++i) {
      Calls.clear();
      FireTimer(FadeTimer);
      ++fadeSteps;
      if (fadeSteps > longestFade) longestFade = fadeSteps;
      if (HasFinalStop(Calls)) {
        FinalStopSeen();
        ++completedFadeOuts;
        EXPECT_EQ(volumeBeforeFadeOut, Player.volume) << "a completed fade-out restores the volume";
      }
    }
  }

  void Tick(const Date& date, int second) {
    SetClock(second / 3600, second / 60 % 60, second % 60, date.day, date.month, date.year);
    Calls.clear();
    bool ringing = Ringing.State != RingOff;
    bool waiting = StopPhase >= 2;
    FiredRecord before = AlarmFired[0];
    ClockTick();
    // While the alarm rings, or a stop waits for the end of a track, every tick asks how the
    // player is, before anything else runs.
    if ((ringing || waiting) && memcmp(&before, &AlarmFired[0], sizeof before) == 0) {
      size_t asked = 0;
      while (asked < Calls.size() && (Calls[asked] == "IsPlaying" || Calls[asked] == "QueryVolume" ||
                                      Calls[asked] == "GetPosition" || Calls[asked] == "StopTimer 2"))
        ++asked;
      Calls.erase(Calls.begin(), Calls.begin() + static_cast<ptrdiff_t>(asked));
    }
    if (AwakeHeld) {
      EXPECT_TRUE(Ringing.State != RingOff || AwakeWaiting) << "held with no alarm ringing";
    }
    bool inStart = FakeClock.Hour == StartH && FakeClock.Minute == StartM;
    bool inStop = FakeClock.Hour == StopH && FakeClock.Minute == StopM;
    if (!Calls.empty()) {
      ASSERT_TRUE(inStart || inStop) << CallList();
      if (inStart) ++startCount;
      if (inStop) {
        ++stopCount;
        if (Has(Calls, "StopAfterCurrent")) stopAfterCurrent = true;
        if (Has(Calls, "QueryVolume")) volumeBeforeFadeOut = Player.volume;  // a fade-out began
        if (HasFinalStop(Calls)) FinalStopSeen();
      }
      if (Has(Calls, "Play")) stopAfterCurrent = Has(Calls, "StopAfterCurrent");
    }
    FadeTicks();
    if (Player.playing == 1 && Roll(240) == 0) TrackEnds();
    if (Roll(900) == 0) Player.volume = Roll(256);  // the user turns the volume
    if (Player.playing == 1 && Roll(5000) == 0) Player.playing = 0;  // the user stops
  }
};

}  // namespace

TEST(LongRun, ThirtyDaysFireEveryEventOnceADayAndEveryFadeEnds) {
  for (unsigned seed = 1; seed <= 8; ++seed) {
    ResetHost();
    Simulation run;
    run.random.seed(seed);
    run.RandomSettings();
    for (int day = 0; day < 30; ++day) {
      Date date = DayNumber(day);
      int starts = run.startCount, stops = run.stopCount;
      for (int second = 0; second < 86400; ++second) {
        run.Tick(date, second);
        if (HasFatalFailure()) return;
      }
      ASSERT_EQ(starts + 1, run.startCount) << "seed " << seed << " day " << day;
      ASSERT_EQ(stops + 1, run.stopCount) << "seed " << seed << " day " << day;
    }
    // A fade moves the volume by one a step, so none can outlast the whole scale.
    EXPECT_LE(run.longestFade, 257) << "seed " << seed;
    // A pause over a player that is not playing sends nothing to count.
    if (!UsePause) {
      EXPECT_GT(run.finalStops, 0) << "seed " << seed;
    }
    printf("seed %u: %d starts, %d stops, %d final stops, %d completed fade-outs, longest fade %d steps\n",
           seed, run.startCount, run.stopCount, run.finalStops, run.completedFadeOuts,
           run.longestFade);
  }
}
