// Will it ring, through the real DLL: Test in the alarm dialog, "Sleep and wake in 2 minutes"
// in the Alarm clock dialog (standby and wake recorded, never done), and the ringing window's
// Missed state.
#include <algorithm>

#include "dialog_driver.h"

namespace {

HWND RingingWindow() { return FindWindowA("#32770", "Dawnbell"); }

// The message box a button of `dialog` brought up, its text, read and closed by OK from inside
// the box's own loop; "" when none came.
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
  SendMessageA(dialog, WM_COMMAND, button, 0);  // back once the box, if any, is closed
  KillTimer(NULL, timer);
  return Answer;
}

// Alarm 1 rings once at 07:00 on weekdays; Tuesday 8 December 2026, 23:00.
void OnceAtSeven() {
  WriteDword("StartOn", 1);
  WriteDword("StartOff", 1);
  WriteDword("StartH", 7);
  WriteDword("StartDays", 0x3E);
  SetSimulatedClock(23, 0, 0);
}

}  // namespace

using WillRing = PluginTest;

// Test rings the alarm as the dialog shows it, through the whole ringing path, and its Stop
// ends it; Cancel then keeps the alarm as stored, on; a second Test while it rings is refused.
TEST_F(WillRing, TestInTheAlarmDialogRingsItNowAndChangesNothing) {
  OnceAtSeven();
  Init();
  std::string ringTime, ringState, refused;
  RunSettings(plugin, [&](HWND settings) {
    RunAlarmClock(settings, [&](HWND clock) {
      ClickRow(clock, 68, 0);
      RunAlarm([clock] { Click(clock, 70); }, [&](HWND alarm) {
        SendDlgItemMessageA(alarm, 81, CB_SETCURSEL, 15, 0);  // 07:15, not yet OK
        Click(alarm, 94);
        ASSERT_TRUE(PumpDialog(alarm, 3000, [] { return RingingWindow() != NULL; })) << LogText();
        ringTime = Text(RingingWindow(), 100), ringState = Text(RingingWindow(), 101);
        EXPECT_EQ(PlayerPlaying, Player.status);
        refused = AnswerOf(alarm, 94);
        Click(RingingWindow(), 103);
        EXPECT_TRUE(PumpDialog(alarm, 3000, [] { return RingingWindow() == NULL; }));
        EXPECT_EQ(PlayerStopped, Player.status);
        Click(alarm, IDCANCEL);
      });
      Click(clock, 1);
    });
    Click(settings, 2);
  });
  EXPECT_EQ("07:15", ringTime);
  EXPECT_EQ("Test", ringState);
  EXPECT_EQ("An alarm is ringing: stop it, then test.", refused);
  EXPECT_EQ(0u, Stored("StartM"));
  EXPECT_EQ(1u, Stored("StartOn")) << "a once alarm tested stays on";
}

// The wake set two minutes ahead, then standby (recorded only); at the wake the selected alarm
// rings as a test, and the wake is the real alarm's again. What stands in the way is said.
TEST_F(WillRing, SleepAndWakeInTwoMinutesStandsByAndRingsATestAtTheWake) {
  const struct {
    const char* what;
    bool noStandby;
    DWORD wakeUp;
    const char* answer;
  } cases[] = {
      {"standby", false, 1, ""},
      {"no standby", true, 1, "The computer could not go on standby."},
      {"no wake for alarms", false, 0,
       "\"Wake computer for alarm\" is off in the settings: no alarm wakes the computer."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    OnceAtSeven();
    WriteDword("WakeUp", c.wakeUp);
    WriteDword("Alarm3", 0x01020815);  // 08:21 on Monday: the one selected
    Seen.suspendEntryMissing = c.noStandby;
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
    EXPECT_EQ(c.answer, answer);
    bool slept = std::find(Seen.power.begin(), Seen.power.end(), "SetSuspendState 0 0 0") != Seen.power.end();
    EXPECT_EQ(!c.answer[0], slept);
    if (!slept) continue;
    SYSTEMTIME local{2026, 12, 2, 8, 23, 2, 0, 0}, utc;
    FILETIME file;
    TzSpecificLocalTimeToSystemTime(NULL, &local, &utc);
    SystemTimeToFileTime(&utc, &file);
    ULONGLONG due = ULARGE_INTEGER{{file.dwLowDateTime, file.dwHighDateTime}}.QuadPart;
    EXPECT_NEAR(double(due), double(Seen.dueTimes.back()), 5e7);
    ASSERT_TRUE(PumpUntil(130000, [] { return RingingWindow() != NULL; })) << LogText();
    EXPECT_EQ("08:21", Text(RingingWindow(), 100));
    EXPECT_EQ("Test", Text(RingingWindow(), 101));
    EXPECT_GT(Seen.dueTimes.back(), due + 7 * 36000000000ull) << "the wake is for the 07:00 alarm again";
  }
}

// Asleep over the alarm and back 41 minutes later: the window says so, with OK alone, and
// nothing sounds; OK closes it. Switched off, no window.
TEST_F(WillRing, AnAlarmMissedOpensTheWindowInItsMissedStateSilently) {
  for (DWORD window : {1, 0}) {
    SCOPED_TRACE(window ? "the window on" : "the window off");
    TearDown();
    SetUp();
    OnceAtSeven();
    WriteDword("RingWindow", window);
    SetSimulatedClock(6, 50, 0);
    Init();
    Pump(1500);
    SendMessageA(main, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
    Seen.tickSkew += 51 * 60000;  // the time asleep passed for the elapsed count too
    SetSimulatedClock(7, 41, 0);
    size_t wakes = Seen.wake.size();
    EXPECT_EQ(window == 1, PumpUntil(3000, [] { return RingingWindow() != NULL; }));
    EXPECT_EQ(PlayerStopped, Player.status);
    EXPECT_TRUE(Seen.tone.empty());
    for (size_t i = wakes; i < Seen.wake.size(); ++i) EXPECT_NE("SetThreadExecutionState 0x80000001", Seen.wake[i]);
    if (!window) continue;
    HWND ring = RingingWindow();
    EXPECT_EQ("07:00", Text(ring, 100));
    EXPECT_EQ("Missed: the computer slept until 07:41", Text(ring, 101));
    EXPECT_EQ("OK", Text(ring, 103));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(ring, 102)));
    EXPECT_EQ("", ClippedTexts(ring));
    EXPECT_FALSE(SaveScreen("ringing_missed", ring).empty());
    Click(ring, 103);
    EXPECT_FALSE(IsWindow(ring));
  }
}
