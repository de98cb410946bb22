#include <gtest/gtest.h>

#include "control/control.h"
#include "fake_host.h"

// Ten entries; the one at listPos has just ended.
static void EntryEnds(int32_t listPos) {
  Player.listPos = listPos;
  Calls.clear();
  TrackEnded();
}

TEST(TrackEnd, NothingPendingChangesNothing) {
  EntryEnds(9);
  EXPECT_EQ("", CallList());
}

TEST(StopAfterLast, NotTheLastEntryKeepsTheFlag) {
  StopAfterLast = 1;
  EntryEnds(3);
  EXPECT_EQ("ListLength, ListPos", CallList());
  EXPECT_EQ(1, StopAfterLast);
}

TEST(StopAfterLast, LastEntryStopsWithTheFinalActions) {
  StopAfterLast = Close = Hibernate = 1;
  EntryEnds(9);
  EXPECT_EQ("ListLength, ListPos, StopAfterCurrent, Stop, SuspendState 1, Close", CallList());
  EXPECT_EQ(0, StopAfterLast);
}

TEST(StopAfterLast, LastEntryEndsARunningFadeOut) {
  VolDown = 1;
  StopAtEleven();
  FireTimer(FadeTimer);
  FireTimer(FadeTimer);
  StopAfterLast = 1;
  EntryEnds(9);
  EXPECT_EQ("ListLength, ListPos, StopAfterCurrent, StopTimer 2, SetVolume 200, Stop", CallList());
  EXPECT_EQ(0, StopPhase);
  EXPECT_EQ(nullptr, RunningTimers[FadeTimer]);
}

TEST(StopAfterLast, LastEntryCompletesBothPhases) {
  VolDown = WaitEnd = 1;
  StopAtEleven();
  FireTimer(FadeTimer);
  StopAfterLast = 1;
  EntryEnds(9);
  // Stop-after-current went out with the stop event; not again.
  EXPECT_EQ("ListLength, ListPos, StopTimer 2, SetVolume 200, Stop", CallList());
  EXPECT_EQ(nullptr, RunningTimers[FadeTimer]);
}

TEST(StopAfterLast, LastEntryCompletesWaitForEnd) {
  WaitEnd = 1;
  StopAtEleven();
  StopAfterLast = 1;
  EntryEnds(9);
  EXPECT_EQ("ListLength, ListPos, Stop", CallList());
  EXPECT_EQ(0, StopPhase);
}

TEST(StopAfterLast, RepeatedStopEventsGetOneFinalStop) {
  WaitEnd = 1;
  StopAtEleven();
  VolDown = 1;
  SetClock(23, 0, 0, 9);
  ClockTick();  // phase 5, with a fade-out running
  StopAfterLast = 1;
  EntryEnds(9);
  EXPECT_EQ("ListLength, ListPos, StopTimer 2, SetVolume 200, Stop", CallList());
  EXPECT_FALSE(FireTimer(FadeTimer));
}

TEST(TrackEnd, NotLastEntryStillCompletesAPendingStop) {
  WaitEnd = UsePause = 1;
  StopAtEleven();
  StopAfterLast = 1;
  EntryEnds(4);
  EXPECT_EQ("ListLength, ListPos, IsPlaying, Pause", CallList());
  EXPECT_EQ(1, StopAfterLast);
}

TEST(TrackEnd, FadeOutAloneIsNotCutShort) {
  VolDown = 1;
  StopAtEleven();
  EntryEnds(2);
  EXPECT_EQ("", CallList());
  EXPECT_EQ(1, StopPhase);
  EXPECT_NE(nullptr, RunningTimers[FadeTimer]);
}
