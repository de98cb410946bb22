// The alarm for real: the plug-in's window timers on virtual time (two tests on Windows' own),
// its clock simulated, the power calls intercepted. Each event is set a second ahead: one
// tick reaches it.
#include "bench.h"

#include <initializer_list>
#include <utility>

namespace {

using Lines = std::vector<std::string>;

void Configure(std::initializer_list<std::pair<const char*, DWORD>> values) {
  for (const auto& v : values) WriteDword(v.first, v.second);
}

std::string Join(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// The player's log with the intercepted power calls placed where they happened.
Lines Story() {
  Lines lines;
  size_t power = 0;
  for (size_t i = 0; i <= PlayerLog.size(); ++i) {
    for (; power < Seen.power.size() && Seen.powerAt[power] == i; ++power)
      lines.push_back("power " + Seen.power[power]);
    if (i < PlayerLog.size()) lines.push_back(DescribeLogEntry(PlayerLog[i]));
  }
  return lines;
}

// The story up to the close command: what follows belongs to the player closing.
Lines StoryToClose() {
  Lines lines = Story();
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i] == "command 40001 close") {
      lines.resize(i + 1);
      break;
    }
  return lines;
}

int IndexOf(const std::string& entry) {
  for (size_t i = 0; i < PlayerLog.size(); ++i)
    if (DescribeLogEntry(PlayerLog[i]) == entry) return static_cast<int>(i);
  return -1;
}

int Count(const std::string& entry) {
  int n = 0;
  for (const LogEntry& e : PlayerLog) n += DescribeLogEntry(e) == entry;
  return n;
}

std::vector<int> VolumesSet() {
  std::vector<int> volumes;
  for (const LogEntry& e : PlayerLog)
    if (e.message == WM_USER && e.lParam == 122 && static_cast<int>(e.wParam) != -666)
      volumes.push_back(static_cast<int>(e.wParam));
  return volumes;
}

std::string SetVolume(int v) { return "ipc 122(" + std::to_string(v) + ") set volume -> 0"; }
std::string QueryVolume(int v) { return "ipc 122(-666) query volume -> " + std::to_string(v); }

// Restore requests that reach the player, and how much of its log came before each.
std::vector<size_t> Restores;
void WatchRestores(HWND, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_RESTORE) Restores.push_back(PlayerLog.size());
}

}  // namespace

// ---------------------------------------------------------------- the morning start

using AlarmStart = PluginTest;

TEST_F(AlarmStart, FiresWithinTwoSecondsOfTheMinuteAndTakesTheWholeRoad) {
  realTimers = true;  // the one alarm on Windows' own timers, fade-in and all
  Configure({{"StartOn", 1}, {"StartOff", 1}, {"StartH", 7}, {"StartM", 0}, {"FromRange", 1},
             {"First", 3}, {"Last", 3}, {"One", 1}, {"VolUp", 1}, {"VolStart", 10},
             {"VolEnd", 14}, {"TimeOut", 15}});
  Restores.clear();
  Player.spy = WatchRestores;
  SetSimulatedClock(6, 59, 59);
  Init();
  DWORD minute = Seen.clockTick + 1000;

  ASSERT_TRUE(PumpUntil(4000, [] { return Player.volume == 14; })) << LogText();
  Pump(150);  // a fade that failed to stop would go on asking

  int play = IndexOf("command 40045 play");
  ASSERT_GE(play, 0);
  DWORD at = PlayerLog[play].time;
  EXPECT_GE(at, minute) << "fired before 07:00:00";
  EXPECT_LE(at - minute, 2000u) << "fired " << at - minute << " ms into the minute";

  Lines expected = {
      "ipc 104(0) is playing -> 0",  "ipc 124(0) playlist length -> 12",
      "ipc 121(3) set playlist position -> 0", "command 40047 stop",
      "command 40045 play",          "command 40157 stop after current",
      SetVolume(10),
      QueryVolume(10), SetVolume(11), QueryVolume(11), SetVolume(12),
      QueryVolume(12), SetVolume(13), QueryVolume(13), SetVolume(14)};
  EXPECT_EQ(Join(expected), Join(Story()));
  EXPECT_EQ(PlayerPlaying, Player.status);
  EXPECT_EQ(3, Player.current);
  EXPECT_TRUE(Restores.empty()) << "activated without Activate";

  // StartOff: off in the registry at once, not only when the player closes.
  DWORD on = 9;
  EXPECT_TRUE(ReadDword("StartOn", &on));
  EXPECT_EQ(0u, on);
}

TEST_F(AlarmStart, ActivationRestoresTheMinimisedPlayerBeforeStarting) {
  // The player itself in front: the alarm's own window would be in front of it.
  Configure({{"StartOn", 1}, {"StartH", 7}, {"StartM", 0}, {"Activate", 1}, {"RingWindow", 0}});
  HWND other = CreateWindowExA(0, "STATIC", "another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               100, 100, 200, 100, NULL, NULL, NULL, NULL);
  ShowWindow(main, SW_MINIMIZE);
  SetForegroundWindow(other);
  Pump(50);
  ASSERT_TRUE(IsIconic(main));
  Restores.clear();
  Player.spy = WatchRestores;
  SetSimulatedClock(6, 59, 59);
  Init();

  bool started = PumpUntil(3500, [] { return Player.status == PlayerPlaying; });
  Pump(50);
  EXPECT_TRUE(started) << LogText();
  EXPECT_FALSE(IsIconic(main));
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_EQ(main, GetForegroundWindow());
  ASSERT_EQ(1u, Restores.size());
  EXPECT_EQ(0u, Restores[0]) << "restored only after the player was asked to start";
  DestroyWindow(other);
}

TEST_F(AlarmStart, ActivationBringsAPlayerBehindAnotherWindowToTheFront) {
  // The player itself in front: the alarm's own window would be in front of it.
  Configure({{"StartOn", 1}, {"StartH", 7}, {"StartM", 0}, {"Activate", 1}, {"RingWindow", 0}});
  HWND other = CreateWindowExA(0, "STATIC", "another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               100, 100, 200, 100, NULL, NULL, NULL, NULL);
  SetForegroundWindow(other);
  Pump(50);
  ASSERT_EQ(other, GetForegroundWindow());
  SetSimulatedClock(6, 59, 59);
  Init();

  EXPECT_TRUE(PumpUntil(3500, [] { return Player.status == PlayerPlaying; })) << LogText();
  Pump(50);
  EXPECT_EQ(main, GetForegroundWindow());
  DestroyWindow(other);
}

// The player reopened after the events of this minute closed or silenced it.
TEST_F(AlarmStart, APlayerStartedInsideTheMinuteIsLeftAlone) {
  Configure({{"StartOn", 1}, {"StartH", 7}, {"StartM", 0}, {"StopOn", 1}, {"StopH", 7},
             {"StopM", 0}, {"Close", 1}});
  SetSimulatedClock(7, 0, 20);
  Init();
  Pump(2500);
  EXPECT_EQ("", LogText());
  EXPECT_TRUE(IsWindow(main));
}

// Many ticks fall in the start minute; the start must come from only one of them, even when
// the user has stopped the music and minimised the player again in the meantime.
TEST_F(AlarmStart, FiresOnceThoughEveryTickOfTheMinuteSeesIt) {
  Configure({{"StartOn", 1}, {"StartH", 7}, {"StartM", 0}, {"Activate", 1}});
  Restores.clear();
  Player.spy = WatchRestores;
  SetSimulatedClock(6, 59, 59);
  Init();
  ASSERT_TRUE(PumpUntil(3500, [] { return Player.status == PlayerPlaying; })) << LogText();

  Player.status = PlayerStopped;
  ShowWindow(main, SW_MINIMIZE);
  Pump(2600);  // at least two more ticks in 07:00

  EXPECT_EQ(1, Count("command 40045 play")) << LogText();
  // The start's own question, and the ringing's that found it stopped: answered, no more.
  EXPECT_EQ(2, Count("ipc 104(0) is playing -> 0"));
  EXPECT_EQ(1u, Restores.size());
  EXPECT_TRUE(IsIconic(main));
  EXPECT_EQ(PlayerStopped, Player.status);
}

// ---------------------------------------------------------------- the fade timer

using FadeTimer = PluginTest;

TEST_F(FadeTimer, StepsEveryTimeOutMilliseconds) {
  const int steps = 24, timeOut = 25;
  Configure({{"StartOn", 1}, {"StartH", 7}, {"StartM", 0}, {"VolUp", 1}, {"VolStart", 0},
             {"VolEnd", steps}, {"TimeOut", timeOut}});
  SetSimulatedClock(6, 59, 59);
  Init();
  ASSERT_TRUE(PumpUntil(4000, [&] { return Player.volume == steps; })) << LogText();

  DWORD first = PlayerLog[IndexOf(SetVolume(0))].time;
  DWORD last = PlayerLog[IndexOf(SetVolume(steps))].time;
  DWORD nominal = steps * timeOut;
  // Window timers never come early but may come late on a busy machine.
  EXPECT_GE(last - first, nominal * 9 / 10);
  EXPECT_LE(last - first, nominal * 3 + 300);
}

TEST_F(FadeTimer, AFadeOutEndsARunningFadeIn) {
  Configure({{"StartOn", 1}, {"StartH", 7}, {"StartM", 0}, {"VolUp", 1}, {"VolStart", 10},
             {"VolEnd", 250}, {"TimeOut", 10}, {"StopOn", 1}, {"StopH", 7}, {"StopM", 1},
             {"VolDown", 1}});
  Player.volume = 0;
  SetSimulatedClock(6, 59, 59);
  Init();
  ASSERT_TRUE(PumpUntil(4000, [] { return Player.volume >= 20; })) << LogText();
  SetSimulatedClock(7, 1, 0);  // the stop comes while the fade-in is still rising
  ASSERT_TRUE(PumpUntil(6000, [] { return Count("command 40047 stop") == 1; })) << LogText();
  Pump(150);

  // One rise, one fall to silence, then the level the fall began at, and nothing after.
  std::vector<int> volumes = VolumesSet();
  size_t top = 0;
  while (top + 1 < volumes.size() && volumes[top + 1] == volumes[top] + 1) ++top;
  int peak = volumes[top];
  ASSERT_GT(peak, 20);
  ASSERT_LT(peak, 250) << "the fade-in finished before the stop came";
  std::vector<int> expected;
  for (int v = 10; v <= peak; ++v) expected.push_back(v);
  for (int v = peak - 1; v >= 0; --v) expected.push_back(v);
  expected.push_back(peak);
  EXPECT_EQ(expected, volumes);
  EXPECT_EQ("command 40047 stop", DescribeLogEntry(PlayerLog.back()));
  EXPECT_EQ(peak, Player.volume);
  EXPECT_EQ(PlayerStopped, Player.status);
}

// The user's hand on the volume ends either fade, and the music plays on at their level.
TEST_F(FadeTimer, TheUsersVolumeEndsEitherFade) {
  for (bool fadeIn : {true, false}) {
    SCOPED_TRACE(fadeIn ? "fade-in" : "fade-out");
    if (!fadeIn) {
      TearDown();
      SetUp();
      Configure({{"StopOn", 1}, {"StopH", 7}, {"StopM", 0}, {"VolDown", 1}, {"TimeOut", 20}});
      Player.status = PlayerPlaying;
      Player.volume = 150;
    } else {
      Configure({{"StartOn", 1}, {"StartH", 7}, {"StartM", 0}, {"VolUp", 1}, {"VolStart", 10},
                 {"VolEnd", 200}, {"TimeOut", 20}});
      Player.volume = 0;
    }
    SetSimulatedClock(6, 59, 59);
    Init();
    ASSERT_TRUE(PumpUntil(3000, [&] { return fadeIn ? Player.volume >= 20 : Player.volume <= 140; }))
        << LogText();
    SendMessageA(main, WM_COMMAND, 40058, 0);  // the player's own volume-up, as pressed
    int theirs = Player.volume;
    Pump(2000);
    EXPECT_EQ(theirs, Player.volume);
    EXPECT_EQ(PlayerPlaying, Player.status);
  }
}

// ---------------------------------------------------------------- the evening stop

using AlarmStop = PluginTest;

TEST_F(AlarmStop, FadeOutThenStandby) {
  realTimers = true;  // the one fade-out stop on Windows' own timers
  const int timeOut = 20;
  Configure({{"StopOn", 1}, {"StopOff", 1}, {"StopH", 22}, {"StopM", 30}, {"VolDown", 1},
             {"Suspend", 1}, {"TimeOut", timeOut}});
  Player.status = PlayerPlaying;
  Player.volume = 6;
  SetSimulatedClock(22, 29, 59);
  Init();
  ASSERT_TRUE(PumpUntil(4000, [] { return !Seen.power.empty(); })) << LogText();
  Pump(150);

  Lines expected = {"ipc 104(0) is playing -> 1", QueryVolume(6)};
  for (int v = 6; v > 0; --v) {
    expected.push_back(QueryVolume(v));
    expected.push_back(SetVolume(v - 1));
  }
  // Silent: asked once more, in case the user turned it up before the stop.
  Lines tail = {QueryVolume(0), SetVolume(6), "command 40047 stop", "power LoadLibraryA powrprof.dll",
                "power GetProcAddress SetSuspendState", "power SetSuspendState 0 0 0",
                "power FreeLibrary powrprof.dll"};
  expected.insert(expected.end(), tail.begin(), tail.end());
  EXPECT_EQ(Join(expected), Join(Story()));
  EXPECT_EQ(PlayerStopped, Player.status);
  EXPECT_EQ(6, Player.volume);
  EXPECT_TRUE(IsWindow(main));

  // Six steps and the final tick, each a TimeOut apart.
  DWORD took = PlayerLog[IndexOf("command 40047 stop")].time - PlayerLog[0].time;
  EXPECT_GE(took, 7u * timeOut * 9 / 10);
  EXPECT_LE(took, 7u * timeOut * 3 + 300);

  DWORD on = 9;
  EXPECT_TRUE(ReadDword("StopOn", &on));
  EXPECT_EQ(0u, on);
}

TEST_F(AlarmStop, HibernateThenCloseOnResuming) {
  Configure({{"StopOn", 1}, {"StopH", 22}, {"StopM", 30}, {"Hibernate", 1}, {"Close", 1}});
  Player.status = PlayerPlaying;
  SetSimulatedClock(22, 29, 59);
  Init();
  ASSERT_TRUE(PumpUntil(4000, [&] { return !IsWindow(main); })) << LogText();

  Lines expected = {"command 40047 stop", "power LoadLibraryA powrprof.dll",
                    "power GetProcAddress SetSuspendState", "power SetSuspendState 1 0 0",
                    "power FreeLibrary powrprof.dll", "command 40001 close"};
  EXPECT_EQ(Join(expected), Join(StoryToClose()));
}

// Never from the player's folder or the current one, where any program may plant a copy.
TEST_F(AlarmStop, ThePowerLibraryIsAskedForInTheSystemFolder) {
  Configure({{"StopOn", 1}, {"StopH", 22}, {"StopM", 30}, {"Suspend", 1}});
  SetSimulatedClock(22, 29, 59);
  Init();
  ASSERT_TRUE(PumpUntil(4000, [] { return !Seen.power.empty(); })) << LogText();
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  EXPECT_EQ(std::string(system) + "\\powrprof.dll", Seen.powrprofPath);
}

// Shutdown wins even over standby set beside it (possible only through the registry).
TEST_F(AlarmStop, ShutdownEnablesThePrivilegeThenPowersOffAndCloses) {
  Configure({{"StopOn", 1}, {"StopH", 22}, {"StopM", 30}, {"ShutDown", 1}, {"Suspend", 1},
             {"UsePause", 1}, {"Close", 1}});
  Player.status = PlayerPlaying;
  SetSimulatedClock(22, 29, 59);
  Init();
  ASSERT_TRUE(PumpUntil(4000, [&] { return !IsWindow(main); })) << LogText();

  Lines expected = {"ipc 104(0) is playing -> 1",
                    "command 40046 pause",
                    "power OpenProcessToken 40",
                    "power LookupPrivilegeValueA SeShutdownPrivilege",
                    "power AdjustTokenPrivileges 0 count 1 luid 19 attributes 2",
                    "power ExitWindowsEx 12 0",
                    "command 40001 close"};
  EXPECT_EQ(Join(expected), Join(StoryToClose()));
}

TEST_F(AlarmStop, MissingPowerLibrarySkipsStandbyAndStillCloses) {
  Configure({{"StopOn", 1}, {"StopH", 22}, {"StopM", 30}, {"Suspend", 1}, {"Close", 1}});
  Seen.powrprofMissing = true;
  Player.status = PlayerPlaying;
  SetSimulatedClock(22, 29, 59);
  Init();
  ASSERT_TRUE(PumpUntil(4000, [&] { return !IsWindow(main); })) << LogText();

  Lines expected = {"command 40047 stop", "power LoadLibraryA powrprof.dll",
                    "command 40001 close"};
  EXPECT_EQ(Join(expected), Join(StoryToClose()));
}

TEST_F(AlarmStop, MissingSuspendEntryReleasesTheLibraryAndStillCloses) {
  Configure({{"StopOn", 1}, {"StopH", 22}, {"StopM", 30}, {"Hibernate", 1}, {"Close", 1}});
  Seen.suspendEntryMissing = true;
  Player.status = PlayerPlaying;
  SetSimulatedClock(22, 29, 59);
  Init();
  ASSERT_TRUE(PumpUntil(4000, [&] { return !IsWindow(main); })) << LogText();

  Lines expected = {"command 40047 stop", "power LoadLibraryA powrprof.dll",
                    "power GetProcAddress SetSuspendState", "power FreeLibrary powrprof.dll",
                    "command 40001 close"};
  EXPECT_EQ(Join(expected), Join(StoryToClose()));
}

// Fading out and told to stop after the track: the track's real end notice wins the race.
TEST_F(AlarmStop, TrackEndingMidFadeRestoresTheVolumeAndStops) {
  Configure({{"StopOn", 1}, {"StopH", 22}, {"StopM", 30}, {"VolDown", 1}, {"WaitEnd", 1},
             {"TimeOut", 20}});
  Player.status = PlayerPlaying;
  Player.volume = 200;
  SetSimulatedClock(22, 29, 59);
  Init();
  ASSERT_TRUE(PumpUntil(4000, [] { return Player.volume <= 190; })) << LogText();
  EXPECT_TRUE(Player.stopAfterCurrent);
  PlayerEndTrack();
  Pump(150);

  Lines story = Story();
  ASSERT_GE(story.size(), 5u);
  EXPECT_EQ("command 40157 stop after current", story[1]);
  EXPECT_EQ(QueryVolume(200), story[2]);
  Lines tail(story.end() - 3, story.end());
  // The player logs its notice as it sends it, before the plug-in reacts to it.
  EXPECT_EQ(Join({"end of track", SetVolume(200), "command 40047 stop"}), Join(tail));
  EXPECT_EQ(200, Player.volume);
  EXPECT_EQ(PlayerStopped, Player.status);
  EXPECT_TRUE(Seen.power.empty());
}

// The sleep timer over a player that is not playing: nothing to wait for or fade, and a pause
// must not start it again. Its actions go ahead at once; nothing is left for the morning.
class AlarmStopIdle : public PluginTest {
 protected:
  void StopThenMorning(int status, DWORD usePause, DWORD waitEnd, const Lines& story) {
    Configure({{"StartOn", 1}, {"StartH", 7}, {"StopOn", 1}, {"StopH", 23}, {"StopM", 50},
               {"Suspend", 1}, {"UsePause", usePause}, {"WaitEnd", waitEnd}, {"WakeUp", 0}});
    Player.status = status;
    SetSimulatedClock(23, 49, 59);
    Init();
    ASSERT_TRUE(PumpUntil(3000, [] { return !Seen.power.empty(); })) << LogText();
    Pump(1000);
    EXPECT_EQ(Join(story), Join(Story()));
    EXPECT_EQ(status, Player.status);
    EXPECT_FALSE(Player.stopAfterCurrent);

    // The morning's alarm plays to the end of its track; the player moves on, nobody sleeps.
    Seen.power.clear();
    SetSimulatedClock(6, 59, 59, 9);
    ASSERT_TRUE(PumpUntil(3000, [] { return Player.status == PlayerPlaying; })) << LogText();
    PlayerEndTrack();
    Pump(2000);
    EXPECT_EQ(PlayerPlaying, Player.status);
    EXPECT_TRUE(Seen.power.empty()) << LogText();
  }
};

TEST_F(AlarmStopIdle, WaitingForTheEndOverAStoppedPlayer) {
  StopThenMorning(PlayerStopped, 0, 1,
                  {"ipc 104(0) is playing -> 0", "command 40047 stop", "power LoadLibraryA powrprof.dll",
                   "power GetProcAddress SetSuspendState", "power SetSuspendState 0 0 0",
                   "power FreeLibrary powrprof.dll"});
}

TEST_F(AlarmStopIdle, PausingAPausedPlayer) {
  StopThenMorning(PlayerPaused, 1, 0,
                  {"ipc 104(0) is playing -> 3", "power LoadLibraryA powrprof.dll",
                   "power GetProcAddress SetSuspendState", "power SetSuspendState 0 0 0",
                   "power FreeLibrary powrprof.dll"});
}
