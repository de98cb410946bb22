#include <gtest/gtest.h>

#include "control/control.h"
#include "fake_host.h"

// The stop event at 23:00 with whatever options the test has set.
static void StopAtEleven() {
  StopOn = 1;
  StopH = 23;
  StopM = 0;
  SetClock(23, 0, 0);
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
  EXPECT_EQ("Pause, Close", CallList());
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
  EXPECT_EQ("StopAfterCurrent", CallList());
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
  EXPECT_EQ("StopTimer 2, QueryVolume, StartTimer 2 250", CallList());
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
  EXPECT_EQ("StopAfterCurrent, StopTimer 2, QueryVolume, StartTimer 2 1000", CallList());
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
  EXPECT_EQ("StopAfterCurrent, StopTimer 2, QueryVolume, StartTimer 2 1000", CallList());
  Calls.clear();
  TrackEnded();
  EXPECT_EQ("StopTimer 2, SetVolume 200, Stop", CallList());
}
