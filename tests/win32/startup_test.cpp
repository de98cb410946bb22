// Playing as the player starts, and going back to where the last run left the track.
#include "bench.h"

#include <stdio.h>

using StartupPlay = PluginTest;
using StartupResume = PluginTest;

// The player's log as text, from the first entry matching none of the queries the plug-in
// repeats while it waits for a length: the waiting is counted instead.
static std::string LogWithWaitCounted(size_t* lengthQueries) {
  std::string text;
  *lengthQueries = 0;
  for (const LogEntry& e : PlayerLog) {
    if (e.message == WM_USER && e.lParam == 105 && e.wParam == 1 && static_cast<int>(e.result) == -1) {
      ++*lengthQueries;
      continue;
    }
    text += DescribeLogEntry(e) + "\n";
  }
  return text;
}

static void StartOptions() {
  WriteDword("PlayAtStart", 1);
  WriteDword("FromRange", 1);
  WriteDword("First", 5);
  WriteDword("Last", 5);
  WriteDword("One", 1);
  WriteDword("VolUp", 1);
  WriteDword("VolStart", 10);
  WriteDword("VolEnd", 13);
  WriteDword("TimeOut", 20);
}

TEST_F(StartupPlay, WithoutUsePlayOnlyPlays) {
  StartOptions();
  Init();
  EXPECT_EQ(
      "ipc 104(0) is playing -> 0\n"
      "ipc 124(0) playlist length -> 12\n"
      "command 40045 play\n",
      LogText());
  Pump(200);
  EXPECT_EQ(200, Player.volume);
  EXPECT_EQ(0, Player.current);
}

TEST_F(StartupPlay, WithUsePlayStartsLikeTheAlarm) {
  StartOptions();
  WriteDword("UsePlay", 1);
  Init();
  EXPECT_EQ(
      "ipc 104(0) is playing -> 0\n"
      "ipc 124(0) playlist length -> 12\n"
      "ipc 121(5) set playlist position -> 0\n"
      "command 40047 stop\n"
      "command 40045 play\n"
      "command 40157 stop after current\n"
      "ipc 122(10) set volume -> 0\n",
      LogText());
  EXPECT_TRUE(PumpUntil(2000, [] { return Player.volume == 13; }));
  EXPECT_EQ(5, Player.current);
  EXPECT_TRUE(Player.stopAfterCurrent);
}

static void ResumeFrom(DWORD positionMs, DWORD lengthS) {
  WriteDword("PlayAtStart", 1);
  WriteDword("SavePos", 1);
  WriteDword("TrackPos", positionMs);
  WriteDword("TrackLength", lengthS);
}

TEST_F(StartupResume, JumpsOnceTheTrackReportsTheSameLength) {
  ResumeFrom(61000, 214);
  Player.lengthUnknownTicks = 5;
  Init();
  size_t waited;
  EXPECT_EQ(
      "ipc 104(0) is playing -> 0\n"
      "ipc 124(0) playlist length -> 12\n"
      "command 40045 play\n"
      "ipc 124(0) playlist length -> 12\n"
      "ipc 105(1) track length -> 214\n"
      "ipc 106(61000) jump to time -> 0\n",
      LogWithWaitCounted(&waited));
  EXPECT_EQ(5u, waited);
  EXPECT_EQ(61000, Player.positionMs);
}

TEST_F(StartupResume, AnotherLengthOrNothingPlayedLastTimeGetsNoJump) {
  for (DWORD length : {215u, 0xFFFFFFFFu}) {
    ResumeFrom(61000, length);
    Load();
    Init();
    EXPECT_EQ(
        "ipc 104(0) is playing -> 0\n"
        "ipc 124(0) playlist length -> 12\n"
        "command 40045 play\n"
        "ipc 124(0) playlist length -> 12\n"
        "ipc 105(1) track length -> 214\n",
        LogText()) << "stored length " << static_cast<int>(length);
    Quit();
    ClosePlugin(&plugin);
    DeleteFileA(copyPath.c_str());
    PlayerLog.clear();
    Player.status = PlayerStopped;
  }
}

TEST_F(StartupResume, AlreadyPlayingStillJumps) {
  ResumeFrom(12345, 302);
  Player.status = PlayerPlaying;
  Player.current = 2;
  Init();
  EXPECT_EQ(
      "ipc 104(0) is playing -> 1\n"
      "ipc 124(0) playlist length -> 12\n"
      "ipc 105(1) track length -> 302\n"
      "ipc 106(12345) jump to time -> 0\n",
      LogText());
}

TEST_F(StartupResume, EmptyPlaylistNeitherWaitsNorJumps) {
  ResumeFrom(61000, 214);
  Player.lengthsMs.clear();
  Init();
  EXPECT_EQ(
      "ipc 104(0) is playing -> 0\n"
      "ipc 124(0) playlist length -> 0\n"
      "ipc 124(0) playlist length -> 0\n",
      LogText());
}

// The worst case blocks the player's thread; the figure is printed for the record.
TEST_F(StartupResume, APlayerThatNeverReportsALengthIsGivenUpOn) {
  ResumeFrom(61000, 214);
  Player.lengthUnknownTicks = 0x7FFFFFFF;
  PlayerLog.reserve(1100000);
  Load();
  LARGE_INTEGER frequency, before, after;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&before);
  Init();
  QueryPerformanceCounter(&after);
  double ms = static_cast<double>(after.QuadPart - before.QuadPart) * 1000.0 / frequency.QuadPart;
  size_t waited;
  EXPECT_EQ(
      "ipc 104(0) is playing -> 0\n"
      "ipc 124(0) playlist length -> 12\n"
      "command 40045 play\n"
      "ipc 124(0) playlist length -> 12\n",
      LogWithWaitCounted(&waited));
  EXPECT_EQ(1048575u, waited);
  printf("[   INFO   ] start-up wait for a silent player: %u queries, %.0f ms\n",
         static_cast<unsigned>(waited), ms);
  RecordProperty("silent_player_wait_ms", static_cast<int>(ms));
}

TEST_F(StartupResume, ALengthInTheLastPermittedAnswerComesTooLate) {
  ResumeFrom(61000, 214);
  Player.lengthUnknownTicks = 1048574;
  PlayerLog.reserve(1100000);
  Init();
  size_t waited;
  EXPECT_EQ(
      "ipc 104(0) is playing -> 0\n"
      "ipc 124(0) playlist length -> 12\n"
      "command 40045 play\n"
      "ipc 124(0) playlist length -> 12\n"
      "ipc 105(1) track length -> 214\n",
      LogWithWaitCounted(&waited));
  EXPECT_EQ(1048574u, waited);
}
