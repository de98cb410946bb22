#include <gtest/gtest.h>

#include "control/control.h"
#include "fake_host.h"

// The stop event at 23:00 with whatever options the test has set.
static void StopAtEleven() {
  StopOn = 1;
  StopH = 23;
  StopM = 0;
  SetClock(23, 0, 0);
  Player.playing = 1;  // phases begin over music playing
  ClockTick();
}

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
            "StopTimer 2, SetVolume 3, Stop, SuspendState 0",
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
  EXPECT_EQ("StopTimer 2, SetVolume 0, Stop", CallList());
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
  EXPECT_EQ(1, StopPhase);
}

TEST(FadeOut, BothPhasesFadeReachesSilenceFirst) {
  VolDown = WaitEnd = 1;
  Player.volume = 2;
  StopAtEleven();
  EXPECT_EQ("IsPlaying, StopAfterCurrent, StopTimer 2, QueryVolume, StartTimer 2 1000", CallList());
  EXPECT_EQ(3, StopPhase);
  Calls.clear();
  RunFadeToEnd();
  EXPECT_EQ("QueryVolume, SetVolume 1, QueryVolume, SetVolume 0, StopTimer 2, SetVolume 2, Stop",
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

TEST(FadeOut, AbandonedWithBothPhasesStillStopsAtTrackEnd) {
  VolDown = WaitEnd = 1;
  StopAtEleven();
  FireTimer(FadeTimer);
  Player.volume = 40;
  FireTimer(FadeTimer);
  Calls.clear();
  TrackEnded();
  EXPECT_EQ("StopTimer 2, SetVolume 200, Stop", CallList());
}

TEST(StopPhases, PendingPhasesJoinAndCountAsBoth) {
  WaitEnd = 1;
  StopAtEleven();  // the track never ends: phase 2 stays pending
  VolDown = 1;
  SetClock(23, 0, 0, 9);
  Calls.clear();
  ClockTick();
  EXPECT_EQ(3, StopPhase);
  // Asked twice: whether the wait still has a track, then whether there is one to fade.
  EXPECT_EQ("IsPlaying, IsPlaying, StopAfterCurrent, StopTimer 2, QueryVolume, StartTimer 2 1000", CallList());
  Calls.clear();
  TrackEnded();
  EXPECT_EQ("StopTimer 2, SetVolume 200, Stop", CallList());
}

// A stop still in progress ends with what it was for: the alarm outranks it, and a wait for
// the end of a track the user stopped is over. What the end of the next track does then.
TEST(StopPhases, APendingStopDoesNotOutliveWhatItWasFor) {
  const struct {
    const char* what;
    int32_t volDown;
    void (*meanwhile)();
    const char* trackEnd;
  } cases[] = {
      {"the track ends", 0, [] {}, "Stop, SuspendState 0"},
      {"paused overnight, then the alarm", 0, [] {
         Player.playing = 3;
         SetClock(7, 0, 0, 9);
         ClockTick();
       }, ""},
      {"stopped by the user, played again", 0, [] {
         Player.playing = 0;
         SetClock(23, 5, 0);
         ClockTick();
         Player.playing = 1;
         SetClock(23, 6, 0);
         ClockTick();
       }, ""},
      {"the fade-out given up, paused, then the alarm", 1, [] {
         FireTimer(FadeTimer);
         Player.volume = 90;
         FireTimer(FadeTimer);
         Player.playing = 3;
         SetClock(7, 0, 0, 9);
         ClockTick();
       }, ""},
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
    Calls.clear();
    TrackEnded();
    EXPECT_EQ(c.trackEnd, CallList());
  }
}
