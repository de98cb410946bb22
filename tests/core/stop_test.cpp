#include <gtest/gtest.h>
#include <string.h>

#include <algorithm>

#include "control/control.h"
#include "fake_host.h"

static int StopCount() {
  int n = 0;
  for (const std::string& c : Calls) n += c == "Stop" || c == "Pause";
  return n;
}

static void RunFadeToEnd() {
  while (FireTimer(FadeTimer)) {}
}

TEST(StopEvent, NoPhaseStopsOnTheSameTick) {
  StopAtEleven();
  EXPECT_EQ("Stop", CallList());
  EXPECT_EQ(0, StopPhase);
  EXPECT_EQ(1, StopOn);
}

TEST(StopEvent, StopOffClearsAndSavesBeforeStopping) {
  StopOff = 1;
  StopAtEleven();
  EXPECT_EQ("Save, Stop", CallList());
  EXPECT_EQ(0, StopOn);
}

TEST(FinalStop, PauseThenClose) {
  UsePause = Close = 1;
  StopAtEleven();
  EXPECT_EQ("IsPlaying, Pause, Close", CallList());
}

TEST(FinalStop, StandbyThenCloseOnResume) {
  Suspend = Close = 1;
  StopAtEleven();
  EXPECT_EQ("Stop, SuspendState 0, Close", CallList());
}

TEST(FinalStop, Hibernate) {
  Hibernate = 1;
  StopAtEleven();
  EXPECT_EQ("Stop, SuspendState 1", CallList());
}

TEST(FinalStop, StandbyAndHibernateTogetherDoNothing) {
  Suspend = Hibernate = 1;
  StopAtEleven();
  EXPECT_EQ("Stop", CallList());
}

TEST(FinalStop, ShutdownSkipsThePowerBranchButStillCloses) {
  ShutDown = Suspend = Close = 1;
  StopAtEleven();
  EXPECT_EQ("Stop, PowerOff, Close", CallList());
  ResetHost();
  ShutDown = Hibernate = 1;
  StopAtEleven();
  EXPECT_EQ("Stop, PowerOff", CallList());
}

TEST(StopPhases, WaitEndAloneWaitsForTheTrackToEnd) {
  WaitEnd = Close = 1;
  StopAtEleven();
  EXPECT_EQ("IsPlaying, StopAfterCurrent", CallList());
  EXPECT_EQ(2, StopPhase);
  EXPECT_EQ(nullptr, RunningTimers[FadeTimer]);
  Calls.clear();
  TrackEnded();
  EXPECT_EQ("Stop, Close", CallList());
  EXPECT_EQ(0, StopPhase);
}

TEST(FadeOut, ToSilenceRestoresTheVolumeBeforeTheFinalStop) {
  VolDown = Suspend = 1;
  TimeOut = 250;
  Player.volume = 3;
  StopAtEleven();
  EXPECT_EQ("IsPlaying, StopTimer 2, QueryVolume, StartTimer 2 250", CallList());
  EXPECT_EQ(1, StopPhase);
  Calls.clear();
  RunFadeToEnd();
  EXPECT_EQ("QueryVolume, SetVolume 2, QueryVolume, SetVolume 1, QueryVolume, SetVolume 0, "
            "QueryVolume, StopTimer 2, SetVolume 3, Stop, SuspendState 0",
            CallList());
  EXPECT_EQ(0, StopPhase);
  EXPECT_EQ(3, Player.volume);
}

TEST(FadeOut, FromSilenceStopsOnTheFirstTick) {
  VolDown = 1;
  Player.volume = 0;
  StopAtEleven();
  Calls.clear();
  FireTimer(FadeTimer);
  EXPECT_EQ("QueryVolume, StopTimer 2, SetVolume 0, Stop", CallList());
}

TEST(FadeOut, AbandonedWhenTheUserMovesTheVolumeEvenAtTheLastStep) {
  // Silent already: the user turns the music up before the final stop.
  VolDown = Suspend = 1;
  Player.volume = 1;
  StopAtEleven();
  FireTimer(FadeTimer);
  Player.volume = 120;
  Calls.clear();
  FireTimer(FadeTimer);
  EXPECT_EQ("QueryVolume, StopTimer 2", CallList());
  EXPECT_EQ(0, StopPhase);
}

TEST(FadeOut, AbandonedWhenTheUserMovesTheVolume) {
  VolDown = Close = 1;
  StopAtEleven();
  FireTimer(FadeTimer);
  FireTimer(FadeTimer);
  Player.volume = 150;
  Calls.clear();
  FireTimer(FadeTimer);
  EXPECT_EQ("QueryVolume, StopTimer 2", CallList());
  EXPECT_EQ(nullptr, RunningTimers[FadeTimer]);
  EXPECT_EQ(150, Player.volume);
  EXPECT_EQ(0, StopCount());  // playback goes on
  EXPECT_EQ(0, StopPhase) << "given up for good";
}

TEST(FadeOut, BothPhasesFadeReachesSilenceFirst) {
  VolDown = WaitEnd = 1;
  Player.volume = 2;
  StopAtEleven();
  EXPECT_EQ("IsPlaying, StopAfterCurrent, StopTimer 2, QueryVolume, StartTimer 2 1000", CallList());
  EXPECT_EQ(3, StopPhase);
  Calls.clear();
  RunFadeToEnd();
  EXPECT_EQ("QueryVolume, SetVolume 1, QueryVolume, SetVolume 0, QueryVolume, StopTimer 2, SetVolume 2, Stop",
            CallList());
  // The track's later end finds nothing pending.
  Calls.clear();
  TrackEnded();
  EXPECT_EQ("", CallList());
}

TEST(FadeOut, BothPhasesTrackEndsFirst) {
  VolDown = WaitEnd = Close = 1;
  StopAtEleven();
  FireTimer(FadeTimer);
  Calls.clear();
  TrackEnded();
  EXPECT_EQ("StopTimer 2, SetVolume 200, Stop, Close", CallList());
  EXPECT_EQ(0, StopPhase);
  EXPECT_EQ(nullptr, RunningTimers[FadeTimer]);
}

TEST(FadeOut, AbandonedWithBothPhasesStopsAtTrackEndAtTheUsersVolume) {
  VolDown = WaitEnd = 1;
  StopAtEleven();
  FireTimer(FadeTimer);
  Player.volume = 40;
  FireTimer(FadeTimer);
  Calls.clear();
  TrackEnded();
  EXPECT_EQ("Stop", CallList());
}

// A countdown ending while the daily stop waits, and then the daily stop again a day later.
TEST(StopPhases, PendingPhasesJoinAndOnlyWhatIsNewBegins) {
  WaitEnd = 1;
  StopAtEleven();  // the track never ends: phase 2 stays pending
  VolDown = 1;
  Calls.clear();
  RunStop();
  EXPECT_EQ(3, StopPhase);
  EXPECT_EQ("IsPlaying, StopTimer 2, QueryVolume, StartTimer 2 1000", CallList()) << "the wait is told once";
  FireTimer(FadeTimer);
  Calls.clear();
  RunStop();
  EXPECT_EQ("IsPlaying", CallList()) << "the fade goes on, to put back the volume it began at";
  Calls.clear();
  TrackEnded();
  EXPECT_EQ("StopTimer 2, SetVolume 200, Stop", CallList());
  // A day later, nothing is left of it: a long gap ends a stop still in progress.
  StopAtEleven();
  RunStop();
  SetClock(23, 0, 0, 9);
  Calls.clear();
  ClockTick();
  EXPECT_EQ("StopTimer 2, SetVolume 200, IsPlaying, StopAfterCurrent, StopTimer 2, QueryVolume, StartTimer 2 1000",
            CallList());
}

// A stop still in progress ends with what it was for: the alarm outranks it, a wait for the
// end of a track the user paused or stopped is over, and so is a stop the computer slept
// through. What the end of the next track does then, what the alarm sends, the volume left.
TEST(StopPhases, APendingStopDoesNotOutliveWhatItWasFor) {
  const struct {
    const char* what;
    int32_t volDown;
    void (*meanwhile)();
    const char* trackEnd;
    const char* alarm;  // the alarm's calls, when it comes
    int32_t volume;
  } cases[] = {
      {"the track ends", 0, [] {}, "Stop, SuspendState 0", nullptr, 200},
      // The wait's stop after the current track is taken back: the alarm must not end there.
      {"paused overnight, then the alarm", 0, [] { Player.playing = 3; }, "",
       "ListLength, Stop, Play", 200},
      {"stopped by the user, played again", 0, [] {
         Player.playing = 0;
         SetClock(23, 0, 30);
         ClockTick();
         Player.playing = 1;
       }, "", nullptr, 200},
      {"stopped by the user and played again within the second", 0, [] {
         StopCommandSeen();
         Player.playing = 1;
         SetClock(23, 0, 1);
         ClockTick();
       }, "", nullptr, 200},
      {"paused by the user, resumed the next day", 0, [] {
         Player.playing = 3;
         SetClock(23, 0, 30);
         ClockTick();
         Player.playing = 1;
       }, "", nullptr, 200},
      // Taken back from the music too, which plays on from where it was: it rings no alarm.
      {"music playing on all night, then the alarm", 0, [] {
         for (int t = 23 * 3600; t < 31 * 3600; t += 60) {  // ticks as the player's clock does
           SetClock(t / 3600 % 24, t / 60 % 60, 30, t < 24 * 3600 ? 8 : 9);
           ClockTick();
         }
         Player.positionMs = 754000;
       }, "", "GetPosition, Stop, Play, JumpToTime 754000, IsPlaying", 200},
      {"the fade-out given up, paused, then the alarm", 1, [] {
         FireTimer(FadeTimer);
         Player.volume = 90;
         FireTimer(FadeTimer);
         Player.playing = 3;
       }, "", "ListLength, Stop, Play", 90},
      {"asleep while it waits, woken at 06:58", 0, [] {
         SetClock(6, 58, 0, 9);
         ClockTick();
       }, "", nullptr, 200},
      {"asleep in the fade-out, woken at 06:58", 1, [] {
         FireTimer(FadeTimer);
         SetClock(6, 58, 0, 9);
         ClockTick();
         EXPECT_EQ(nullptr, RunningTimers[FadeTimer]);
       }, "", nullptr, 200},
      {"stop after the last track, armed overnight", 0, [] {
         StopAfterLast = 1;
         Player.playing = 3;
         Player.listPos = 9;
       }, "", "ListLength, Stop, Play", 200},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetHost();
    StartOn = 1;
    StartH = 7;
    WaitEnd = Suspend = 1;
    VolDown = c.volDown;
    StopAtEleven();
    c.meanwhile();
    if (c.alarm) {
      SetClock(7, 0, 0, 9);
      Calls.clear();
      ClockTick();
      std::string calls = CallList();
      EXPECT_EQ(c.alarm, calls.substr(calls.size() - std::min(calls.size(), strlen(c.alarm)))) << calls;
    }
    Calls.clear();
    TrackEnded();
    EXPECT_EQ(c.trackEnd, CallList());
    EXPECT_EQ(c.volume, Player.volume);
  }
}

// The sleep timer during the alarm's fade-in: the fade-in does not go on over the stopped player.
TEST(StopPhases, TheSleepTimerEndsTheAlarmsFadeIn) {
  StartOn = VolUp = 1;
  StartH = 7;
  SetClock(7, 0, 0);
  ClockTick();
  ASSERT_NE(nullptr, RunningTimers[FadeTimer]);
  SleepTimerChoose(15);
  FakeElapsedMs += 15 * 60000;
  SetClock(7, 15, 0);
  ClockTick();
  EXPECT_EQ(nullptr, RunningTimers[FadeTimer]);
}
