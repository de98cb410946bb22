// Test in the alarm dialog, "Sleep and wake in 2 minutes" (standby and wake recorded, never
// done) and the ringing window's Missed state, through the real DLL.
#include <algorithm>

#include "dialog_driver.h"

namespace {

HWND Ringing() { return FindWindowA("#32770", "Dawnbell"); }

// The text of the message box a button of `dialog` brings up, closed by OK from inside the box's
// own loop; "" when none comes.
HWND Owner;
std::string Answer;
BOOL CALLBACK FindBox(HWND window, LPARAM found) {
  if (GetWindow(window, GW_OWNER) != Owner || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}
void CALLBACK CloseBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = NULL;
  EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
  if (!box) return;
  Answer = Text(box, 0xFFFF);
  KillTimer(NULL, timer);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
}
std::string AnswerOf(HWND dialog, int button) {
  Owner = dialog, Answer.clear();
  UINT_PTR timer = SetTimer(NULL, 0, 50, CloseBox);
  SendMessageA(dialog, WM_COMMAND, button, 0);
  KillTimer(NULL, timer);
  return Answer;
}

// Alarm 1 rings once at 07:00 on weekdays; Tuesday 8 December 2026.
void OnceAtSeven(int hour, int minute) {
  for (auto v : {std::make_pair("StartOn", 1), {"StartOff", 1}, {"StartH", 7}, {"StartDays", 0x3E}})
    WriteDword(v.first, v.second);
  SetSimulatedClock(hour, minute, 0);
}

}  // namespace

using WillRing = PluginTest;

// Test rings the alarm as shown, not as stored; a second Test is refused; Stop ends it, and the
// once alarm stays on.
TEST_F(WillRing, TestInTheAlarmDialogRingsItNowAndChangesNothing) {
  OnceAtSeven(23, 0);
  Init();
  std::string shown, refused;
  RunSettings(plugin, [&](HWND settings) {
    RunAlarmClock(settings, [&](HWND clock) {
      ClickRow(clock, 68, 0);
      RunAlarm([clock] { Click(clock, 70); }, [&](HWND alarm) {
        SendDlgItemMessageA(alarm, 81, CB_SETCURSEL, 15, 0);  // 07:15, not kept
        Click(alarm, 94);
        ASSERT_TRUE(PumpDialog(alarm, 3000, [] { return Ringing() != NULL; })) << LogText();
        shown = Text(Ringing(), 100) + " " + Text(Ringing(), 101);
        EXPECT_EQ(PlayerPlaying, Player.status);
        refused = AnswerOf(alarm, 94);
        Click(Ringing(), 103);
        EXPECT_EQ(PlayerStopped, Player.status);
        Click(alarm, IDCANCEL);
      });
      Click(clock, 1);
    });
    Click(settings, 2);
  });
  EXPECT_EQ("07:15 Test", shown);
  EXPECT_EQ("An alarm is ringing: stop it, then test.", refused);
  EXPECT_EQ(0u, Stored("StartM"));
  EXPECT_EQ(1u, Stored("StartOn"));
}

// The wake two minutes ahead, then standby; at the wake the selected alarm rings as a test and
// the wake is the 07:00 alarm's again. A standby refused is said, and nothing waits.
TEST_F(WillRing, SleepAndWakeInTwoMinutesStandsByAndRingsATestAtTheWake) {
  for (bool refused : {false, true}) {
    TearDown();
    SetUp();
    OnceAtSeven(23, 0);
    WriteDword("Alarm3", 0x01020815);  // 08:21 on Monday, selected
    Seen.suspendEntryMissing = refused;
    Init();
    std::string answer;
    RunSettings(plugin, [&](HWND settings) {
      RunAlarmClock(settings, [&](HWND clock) {
        ClickRow(clock, 68, 1);
        answer = AnswerOf(clock, 76);
        Click(clock, 1);
      });
      Click(settings, 2);
    });
    EXPECT_EQ(refused ? "The computer could not go on standby." : "", answer);
    EXPECT_EQ(!refused, std::count(Seen.power.begin(), Seen.power.end(), "SetSuspendState 0 0 0"));
    SYSTEMTIME local{2026, 12, 2, 8, 23, 2, 0, 0}, utc;
    FILETIME file;
    TzSpecificLocalTimeToSystemTime(NULL, &local, &utc);
    SystemTimeToFileTime(&utc, &file);
    ULONGLONG due = ULARGE_INTEGER{{file.dwLowDateTime, file.dwHighDateTime}}.QuadPart, first = Seen.dueTimes.back();
    EXPECT_EQ(!refused, PumpUntil(130000, [] { return Ringing() != NULL; }));
    if (refused) continue;
    EXPECT_NEAR(double(due), double(first), 5e7);
    EXPECT_EQ("08:21 Test", Text(Ringing(), 100) + " " + Text(Ringing(), 101));
    EXPECT_GT(Seen.dueTimes.back(), due + 7 * 36000000000ull) << "the wake is for 07:00 again";
  }
}

// Asleep over the alarm, back at 07:41: OK alone, nothing sounds or holds; OK closes it.
TEST_F(WillRing, AnAlarmMissedOpensTheWindowInItsMissedStateSilently) {
  OnceAtSeven(6, 50);
  Init();
  Pump(1500);
  SendMessageA(main, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
  Seen.tickSkew += 51 * 60000;  // asleep: the elapsed count moves on too
  SetSimulatedClock(7, 41, 0);
  size_t wakes = Seen.wake.size();
  ASSERT_TRUE(PumpUntil(3000, [] { return Ringing() != NULL; }));
  HWND ring = Ringing();
  EXPECT_EQ("07:00 Missed: the computer slept until 07:41 OK", Text(ring, 100) + " " + Text(ring, 101) + " " + Text(ring, 103));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(ring, 102)));
  EXPECT_EQ(PlayerStopped, Player.status);
  EXPECT_TRUE(Seen.tone.empty());
  EXPECT_EQ(0, std::count(Seen.wake.begin() + wakes, Seen.wake.end(), "SetThreadExecutionState 0x80000001"));
  EXPECT_FALSE(SaveScreen("ringing_missed", ring).empty());
  Click(ring, 103);
  EXPECT_FALSE(IsWindow(ring));
}

// Closed at 06:51 over the 07:00 alarm: started again at 07:05 it rings, late; at 07:41 it is
// told. A kept time of the wrong type is none: nothing before the start rings or is told.
TEST_F(WillRing, AnAlarmWhileThePlayerWasClosedRingsLateOrIsToldAtTheNextStart) {
  const struct {
    int minute;
    bool damaged;
    const char* shown;
  } cases[] = {{5, false, "07:00 Ringing"}, {41, false, "07:00 Missed: Winamp was closed until 07:41"}, {5, true, ""}};
  for (const auto& c : cases) {
    TearDown();
    SetUp();
    OnceAtSeven(6, 50);
    Init();
    Pump(1500);
    ClosePlayer();
    Quit();
    DWORD seen = 0;
    EXPECT_TRUE(ReadDword("LastSeen", &seen));
    if (c.damaged) WriteValue(PluginKeyPath, "LastSeen", REG_BINARY, &seen, sizeof seen);
    plugin.plugin = nullptr;
    ClosePlugin(&plugin);
    plugin = LoadedPlugin{};
    DeleteFileA(copyPath.c_str());
    if (IsWindow(main)) DestroyWindow(main);
    main = CreatePlayerWindow(GetModuleHandleA(NULL), true);
    SetSimulatedClock(7, c.minute, 0);
    Init();
    PumpUntil(3000, [] { return Ringing() != NULL; });
    EXPECT_EQ(c.shown, Ringing() ? Text(Ringing(), 100) + " " + Text(Ringing(), 101) : "");
    EXPECT_EQ(c.minute == 5 && !c.damaged ? PlayerPlaying : PlayerStopped, Player.status);
  }
}
