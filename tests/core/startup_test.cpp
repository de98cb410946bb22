#include <gtest/gtest.h>

#include "control/control.h"
#include "fake_host.h"

static int Count(const char* call) {
  int n = 0;
  for (const std::string& c : Calls) n += c == call;
  return n;
}

TEST(StartupPlay, OffDoesNothing) {
  SavePos = UsePlay = 1;
  StartupPlay();
  EXPECT_EQ("", CallList());
}

TEST(StartupPlay, WithoutUsePlayOnlyPlays) {
  PlayAtStart = Random = One = VolUp = 1;
  StartupPlay();
  EXPECT_EQ("IsPlaying, ListLength, Play", CallList());
  EXPECT_EQ(0, StartupPending);
}

TEST(StartupPlay, WithUsePlayStartsLikeTheAlarm) {
  PlayAtStart = UsePlay = Random = One = VolUp = 1;
  FakeClock.Milliseconds = 102;  // seed 123
  StartupPlay();
  EXPECT_EQ("IsPlaying, ListLength, SetPlaylistPos 1, Stop, Play, StopAfterCurrent, SetVolume 0, "
            "StopTimer 2, StartTimer 2 1000",
            CallList());
  EXPECT_EQ(0, StartupPending);
}

TEST(ResumePosition, JumpsWhenTheLengthMatches) {
  PlayAtStart = SavePos = 1;
  TrackPos = 61000;
  TrackLength = 240;
  Player.lengthS = 240;
  Player.lengthUnknownFor = 2;
  StartupPlay();
  EXPECT_EQ("IsPlaying, ListLength, Play, ListLength, GetLength, GetLength, GetLength, "
            "JumpToTime 61000",
            CallList());
}

TEST(ResumePosition, NoJumpOnAnotherLength) {
  PlayAtStart = SavePos = 1;
  TrackPos = 61000;
  TrackLength = 240;
  Player.lengthS = 241;
  StartupPlay();
  EXPECT_EQ(0, Count("JumpToTime 61000"));
  EXPECT_EQ(1, Player.lengthQueries);
}

TEST(ResumePosition, JumpsAlsoWhenAlreadyPlaying) {
  PlayAtStart = SavePos = 1;
  TrackPos = 5000;
  TrackLength = 180;
  Player.playing = 1;
  Player.lengthS = 180;
  StartupPlay();
  EXPECT_EQ("IsPlaying, ListLength, GetLength, JumpToTime 5000", CallList());
}

TEST(ResumePosition, EmptyPlaylistNeitherWaitsNorJumps) {
  PlayAtStart = SavePos = 1;
  TrackLength = -1;
  Player.listLength = 0;
  StartupPlay();
  EXPECT_EQ("IsPlaying, ListLength, ListLength", CallList());
  EXPECT_EQ(0, Player.lengthQueries);
}

TEST(ResumePosition, SilentPlayerIsGivenUpOn) {
  PlayAtStart = SavePos = 1;
  TrackLength = -1;  // last run closed while nothing played: -1 must not count as a match
  Player.lengthUnknownFor = 0x7fffffff;
  StartupPlay();
  EXPECT_EQ(1048575, Player.lengthQueries);
  EXPECT_EQ(0, Count("JumpToTime 0"));
}

TEST(ResumePosition, LengthMustArriveBeforeTheLastQuery) {
  PlayAtStart = SavePos = 1;
  TrackPos = 700;
  TrackLength = 100;
  Player.lengthS = 100;
  Player.lengthUnknownFor = 1048573;
  StartupPlay();
  EXPECT_EQ(1048574, Player.lengthQueries);
  EXPECT_EQ(1, Count("JumpToTime 700"));

  ResetHost();
  PlayAtStart = SavePos = 1;
  TrackPos = 700;
  TrackLength = 100;
  Player.lengthS = 100;
  Player.lengthUnknownFor = 1048574;  // answers on the very last query: not looked at
  StartupPlay();
  EXPECT_EQ(1048575, Player.lengthQueries);
  EXPECT_EQ(0, Count("JumpToTime 700"));
}
