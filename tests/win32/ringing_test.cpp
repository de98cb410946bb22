// Answering the alarm through the real DLL: the tone for a silent player, what ends it, and
// a snooze from the player's Pause button to the alarm's own resume.
#include "bench.h"

namespace {

const char* const HeldSystem = "SetThreadExecutionState 0x80000001";
const char* const Released = "SetThreadExecutionState 0x80000000";

void AlarmAtSeven(DWORD snooze, DWORD tone) {
  WriteDword("StartOn", 1);
  WriteDword("StartH", 7);
  WriteDword("Snooze", snooze);
  WriteDword("SilentTone", tone);
  SetSimulatedClock(6, 59, 59);
}

int Count(const std::string& entry) {
  int n = 0;
  for (const LogEntry& e : PlayerLog) n += DescribeLogEntry(e) == entry;
  return n;
}

}  // namespace

using Ringing = PluginTest;

TEST_F(Ringing, AnEmptyPlaylistSoundsTheToneFromTheSystemFolderUntilACommandComes) {
  AlarmAtSeven(9, 1);
  Player.lengthsMs.clear();
  Init();
  ASSERT_TRUE(PumpUntil(3000, [] { return !Seen.tone.empty(); })) << LogText();
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  // SND_MEMORY | SND_ASYNC | SND_LOOP | SND_NODEFAULT, our own wave in memory.
  std::vector<std::string> sounding = {std::string("LoadLibraryA ") + system + "\\winmm.dll",
                                       "PlaySoundA wave flags 0xf"};
  EXPECT_EQ(sounding, Seen.tone);
  EXPECT_EQ("SetThreadExecutionState 0x80000001", Seen.wake.back());
  Pump(5000);
  EXPECT_EQ(2u, Seen.tone.size()) << "the tone was started again";

  SendMessageA(main, WM_COMMAND, 40047, 0);  // the player's Stop, as pressed
  EXPECT_EQ("PlaySoundA stop flags 0x0", Seen.tone.back());
  EXPECT_EQ(Released, Seen.wake.back());
  Quit();
  EXPECT_EQ("FreeLibrary winmm.dll", Seen.tone.back());
}

// A second alarm over the tone starts the playlist loaded meanwhile with the player's Stop and
// Play: commands the plug-in sends are nobody's answer. The music takes over from the tone in
// the same window, and the computer's volume is raised once, not put back and raised again.
std::vector<std::string> VolumeChanges;
TEST_F(Ringing, ASecondAlarmOverTheToneIsNoAnswer) {
  AlarmAtSeven(9, 1);
  WriteDword("Alarm2", 0x017F0705);  // 07:05 every day
  WriteDword("Random", 1);           // a track chosen: Stop, then Play
  Player.lengthsMs.clear();
  VolumeChanges.clear();
  Audio.changed = [](const std::string& change) { VolumeChanges.push_back(change); };
  Init();
  ASSERT_TRUE(PumpUntil(3000, [] { return !Seen.tone.empty(); })) << LogText();
  HWND window = FindWindowA("#32770", "Dawnbell");
  Player.lengthsMs = {214000, 187000};
  ASSERT_TRUE(PumpUntil(300000, [] { return Player.status == PlayerPlaying; })) << LogText();
  EXPECT_EQ(1, Count("command 40047 stop"));
  EXPECT_EQ("PlaySoundA stop flags 0x0", Seen.tone.back());
  EXPECT_TRUE(IsWindow(window)) << "the window went and came back";
  EXPECT_EQ(std::vector<std::string>{"muted at 12% -> unmuted at 30%"}, VolumeChanges);
}

// Media keys and keyboard buttons reach the player's window as application commands.
TEST_F(Ringing, AMediaKeyEndsTheTone) {
  AlarmAtSeven(9, 1);
  Player.lengthsMs.clear();
  Init();
  ASSERT_TRUE(PumpUntil(3000, [] { return !Seen.tone.empty(); })) << LogText();
  SendMessageA(main, WM_APPCOMMAND, reinterpret_cast<WPARAM>(main),
               MAKELPARAM(0, FAPPCOMMAND_KEY | APPCOMMAND_MEDIA_PLAY_PAUSE));
  EXPECT_EQ("PlaySoundA stop flags 0x0", Seen.tone.back());
  EXPECT_EQ(Released, Seen.wake.back());
}

TEST_F(Ringing, PauseSnoozesAndTheAlarmResumesWhereItPaused) {
  AlarmAtSeven(1, 0);
  Init();
  ASSERT_TRUE(PumpUntil(3000, [] { return Player.status == PlayerPlaying; })) << LogText();
  Player.positionMs = 42000;
  SendMessageA(main, WM_COMMAND, 40046, 0);  // the player's Pause button
  Pump(1500);
  EXPECT_EQ(PlayerPaused, Player.status);
  EXPECT_EQ(HeldSystem, Seen.wake.back()) << "snoozing holds the system alone";
  Pump(57000);
  EXPECT_EQ(PlayerPaused, Player.status) << "resumed before the minute was up";
  ASSERT_TRUE(PumpUntil(3000, [] { return Player.status == PlayerPlaying; })) << LogText();
  EXPECT_EQ(2, Count("command 40046 pause"));  // the user's, then the alarm's own
  EXPECT_EQ(42000, static_cast<int>(Player.positionMs));
  EXPECT_TRUE(Seen.tone.empty());
}

// A time sync sets the clock back three seconds just after the start, and again during the
// snooze: neither ends the alarm nor the snooze.
TEST_F(Ringing, AClockSetBackThreeSecondsEndsNeitherTheAlarmNorTheSnooze) {
  AlarmAtSeven(9, 1);
  Init();
  ASSERT_TRUE(PumpUntil(3000, [] { return Player.status == PlayerPlaying; })) << LogText();
  SetSimulatedClock(6, 59, 58);
  Pump(3000);
  EXPECT_EQ(PlayerPlaying, Player.status) << LogText();
  EXPECT_EQ(0, Count("command 40047 stop"));

  SendMessageA(main, WM_COMMAND, 40046, 0);  // the player's Pause: snoozed
  Pump(1500);
  SetSimulatedClock(6, 59, 59);
  Pump(3000);
  EXPECT_EQ(PlayerPaused, Player.status) << "resumed at once";
  EXPECT_EQ(1, Count("command 40046 pause"));
  EXPECT_TRUE(Seen.tone.empty());
}
