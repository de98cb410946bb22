// The ringing window through the real DLL: it opens with the alarm and follows it, answers
// it with the player's own Pause and Stop, and goes with every ending, leaving nothing behind.
#include <stdlib.h>

#include <set>

#include "dialog_driver.h"

namespace {

HWND RingingWindow() { return FindWindowA("#32770", "Dawnbell"); }

// A 07:00 alarm and a 07:05 one, both every day, with the clock a second before the first.
void AlarmsAtSevenAndFivePast(std::initializer_list<std::pair<const char*, DWORD>> more) {
  WriteDword("StartOn", 1);
  WriteDword("StartH", 7);
  WriteDword("Alarm2", 0x017F0705);
  for (const auto& v : more) WriteDword(v.first, v.second);
  SetSimulatedClock(6, 59, 59);
}

bool Rings() { return PumpUntil(3000, [] { return RingingWindow() != NULL; }); }

// What the player's window does: minimised, Windows hides the windows it owns (Wine without a
// window manager does not, so it is done here as Windows does it); hidden, as in the tray.
enum PlayerWindow { Minimised, Hidden };
void PlayerDoes(HWND main, std::initializer_list<PlayerWindow> steps) {
  for (PlayerWindow step : steps) {
    ShowWindow(main, step == Minimised ? SW_SHOWMINNOACTIVE : SW_HIDE);
    if (step == Minimised) ShowOwnedPopups(main, FALSE);
  }
}

// The plug-in's hooks on this thread's messages, counted at its calls.
std::set<HHOOK> Hooks;
HHOOK WINAPI CountSetHook(int id, HOOKPROC proc, HINSTANCE module, DWORD thread) {
  HHOOK hook = SetWindowsHookExA(id, proc, module, thread);
  if (hook) Hooks.insert(hook);
  return hook;
}
BOOL WINAPI CountUnhook(HHOOK hook) {
  Hooks.erase(hook);
  return UnhookWindowsHookEx(hook);
}

}  // namespace

class RingWindow : public PluginTest {
 protected:
  // A fresh player and plug-in for each case of a table.
  void Restart() {
    TearDown();
    SetUp();
  }
};

TEST_F(RingWindow, GoesWithEveryEndingOfTheAlarmAndANewAlarmOpensItAgain) {
  const struct {
    const char* what;
    std::initializer_list<std::pair<const char*, DWORD>> settings;
    void (*end)(HWND main, HWND window);
    DWORD passMs;  // then this much time passes
    int status;    // the player's, after
    bool reopens;  // at 07:05: not over music that plays on
  } cases[] = {
      {"the player's Stop", {}, [](HWND main, HWND) { SendMessageA(main, WM_COMMAND, 40047, 0); }, 1500,
       PlayerStopped, true},
      {"the player's volume moved", {}, [](HWND, HWND) { Player.volume = 99; }, 1500, PlayerPlaying, false},
      {"the ring limit", {{"RingLimit", 1}}, [](HWND, HWND) {}, 61000, PlayerStopped, true},
      {"the sleep timer", {{"StopOn", 1}, {"StopH", 7}, {"StopM", 1}}, [](HWND, HWND) {}, 61000,
       PlayerStopped, true},
      {"Stop pressed", {}, [](HWND, HWND window) { Click(window, 103); }, 0, PlayerStopped, true},
      {"the close box", {}, [](HWND, HWND window) { SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); }, 0,
       PlayerStopped, true},
      {"Escape", {}, [](HWND, HWND) { PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0); }, 0, PlayerStopped,
       true},
      {"Alt+F4", {}, [](HWND, HWND) { PostMessageA(GetFocus(), WM_SYSKEYDOWN, VK_F4, 0x20000000); }, 0,
       PlayerStopped, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Restart();
    AlarmsAtSevenAndFivePast({{"Activate", 1}});
    for (const auto& v : c.settings) WriteDword(v.first, v.second);
    Init();
    ASSERT_TRUE(Rings()) << LogText();
    HWND window = RingingWindow();
    Pump(1500);  // a tick: the alarm has seen the player as it left it
    ASSERT_TRUE(IsChild(window, GetFocus())) << "shown with Activate, it has the keyboard";
    c.end(main, window);
    DrainMessages();
    Pump(c.passMs);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(c.status, Player.status) << LogText();
    if (!c.reopens) continue;
    SetSimulatedClock(7, 4, 58);
    ASSERT_TRUE(Rings()) << "the 07:05 alarm";
    EXPECT_EQ("07:05", Text(RingingWindow(), 100));
  }
}

// Snooze, by Enter or by its id, pauses the player as its own Pause does; greyed, it sends
// nothing more, and the keyboard moves on to Stop. The resumed alarm has it back, with Enter.
TEST_F(RingWindow, SnoozePausesThePlayerAndIsGreyedUntilTheAlarmResumes) {
  AlarmsAtSevenAndFivePast({{"Activate", 1}, {"Snooze", 1}, {"Alarm2", 0}});
  WriteMusic(1, L"Pills & \u671d", REG_SZ, ~0u, L"Label");
  Init();
  ASSERT_TRUE(Rings()) << LogText();
  HWND window = RingingWindow();
  EXPECT_EQ("07:00", Text(window, 100));
  WCHAR label[64];
  GetDlgItemTextW(window, 133, label, 64);
  EXPECT_STREQ(L"Pills & \u671d", label) << "under the time, as typed";
  EXPECT_EQ("Ringing", Text(window, 101));
  EXPECT_TRUE(Enabled(window, 102));
  EXPECT_EQ(GetDlgItem(window, 102), GetFocus());
  Pump(1500);
  PostMessageA(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);  // Enter: the default button
  DrainMessages();
  EXPECT_EQ(PlayerPaused, Player.status);
  EXPECT_EQ("Snoozed until 07:01", Text(window, 101));
  EXPECT_FALSE(Enabled(window, 102));
  EXPECT_EQ(GetDlgItem(window, 103), GetFocus());
  Click(window, 102);
  SendMessageA(window, WM_COMMAND, 102, 0);
  EXPECT_EQ(PlayerPaused, Player.status) << "a second Snooze resumed the player";
  ASSERT_TRUE(PumpUntil(62000, [] { return Player.status == PlayerPlaying; })) << LogText();
  EXPECT_EQ("Ringing", Text(window, 101));
  EXPECT_TRUE(Enabled(window, 102));
  EXPECT_EQ(GetDlgItem(window, 102), GetFocus());
  Click(window, 102);  // snoozed again, from the resume at 07:01:01
  EXPECT_EQ(PlayerPaused, Player.status);
  EXPECT_EQ("Snoozed until 07:02", Text(window, 101));
}

// In front of everything whatever the player's window does, so owned by none: Windows hides
// what a minimised window owns. Centred on the work area of the player's monitor; in the
// foreground only with Activate, with the keyboard on Snooze, also where it was open already
// (back at 07:10:59, 07:00 is told missed and 07:05 rings in the same window).
TEST_F(RingWindow, IsTopmostOverThePlayerInAnyStateAndTakesTheForegroundOnlyWithActivate) {
  const struct {
    const char* what;
    DWORD activate;
    std::initializer_list<PlayerWindow> player;  // in turn
    bool whileRinging;                           // or before the alarm
    bool missedFirst;
  } cases[] = {
      {"Activate", 1, {}, false, false},
      {"Activate, over the missed alarm told", 1, {}, false, true},
      {"without Activate", 0, {}, false, false},
      {"the player minimised", 0, {Minimised}, false, false},
      {"the player minimised to the tray while it rings", 0, {Minimised, Hidden}, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Restart();
    HWND other = CreateWindowExA(0, "STATIC", "another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 100, 100, 200, 100, NULL, NULL, NULL, NULL);
    SetForegroundWindow(other);
    Pump(50);
    AlarmsAtSevenAndFivePast({{"Activate", c.activate}});
    if (!c.whileRinging) PlayerDoes(main, c.player);
    if (c.missedFirst) SetSimulatedClock(6, 40, 0);
    Init();
    if (c.missedFirst) Pump(1500), SetSimulatedClock(7, 10, 59);
    ASSERT_TRUE(Rings()) << LogText();
    if (c.whileRinging) PlayerDoes(main, c.player);
    Pump(50);
    HWND window = RingingWindow();
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));
    EXPECT_TRUE(GetWindow(window, GW_OWNER) == NULL);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(c.activate ? window : other, GetForegroundWindow());
    EXPECT_TRUE(!c.activate || GetDlgItem(window, 102) == GetFocus()) << "Enter snoozes";
    MONITORINFO monitor = {sizeof monitor};
    GetMonitorInfoA(MonitorFromWindow(main, MONITOR_DEFAULTTONEAREST), &monitor);
    RECT r;
    GetWindowRect(window, &r);
    EXPECT_NEAR((monitor.rcWork.left + monitor.rcWork.right) / 2, (r.left + r.right) / 2, 2);
    EXPECT_NEAR((monitor.rcWork.top + monitor.rcWork.bottom) / 2, (r.top + r.bottom) / 2, 2);
    if (c.missedFirst) Click(window, 103);  // Stop: the same window tells the missed 07:00 again
    EXPECT_EQ("07:00", Text(window, 100));
    DestroyWindow(other);
  }
}

// The time in a bold font larger than the dialog's, and every text the window shows fits it.
// The tone has no music to snooze.
TEST_F(RingWindow, ShowsTheTimeLargeAndBoldAndEveryStateFits) {
  AlarmsAtSevenAndFivePast({{"Alarm2", 0}});
  Player.lengthsMs = {};  // the tone, the longest state
  Init();
  ASSERT_TRUE(Rings()) << LogText();
  HWND window = RingingWindow();
  EXPECT_EQ("The player is silent: sounding the tone", Text(window, 101));
  EXPECT_FALSE(Enabled(window, 102));
  EXPECT_TRUE(Enabled(window, 103));
  LOGFONTA time, dialog;
  GetObjectA(reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(window, 100, WM_GETFONT, 0, 0)), sizeof time, &time);
  GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0)), sizeof dialog, &dialog);
  EXPECT_GE(time.lfWeight, FW_BOLD);
  EXPECT_GE(abs(time.lfHeight), 2 * abs(dialog.lfHeight));
  EXPECT_FALSE(SaveScreen("ringing_tone", window).empty());
  for (const char* state : {"The player is silent: sounding the tone", "Snoozed until 23:59", "Ringing",
                            "Missed: the computer slept until 23:59", "Missed: the player stalled until 23:59"}) {
    SetDlgItemTextA(window, 101, state);
    SetDlgItemTextA(window, 100, state[0] == 'M' ? "00:00, 00:00" : "00:00 +8");
    EXPECT_EQ("", ClippedTexts(window)) << state;
  }
}

TEST_F(RingWindow, StaysAwayWhenSwitchedOff) {
  AlarmsAtSevenAndFivePast({{"RingWindow", 0}});
  Init();
  ASSERT_TRUE(PumpUntil(3000, [] { return Player.status == PlayerPlaying; })) << LogText();
  Pump(2000);
  EXPECT_TRUE(RingingWindow() == NULL);
}

// The quit while the window shows: the window, its font and its hook on the player's messages
// go before the plug-in can be unloaded. A hook left behind would run code that is gone.
TEST_F(RingWindow, AQuitWhileItShowsLeavesNoWindowNoFontAndNoHook) {
  AlarmsAtSevenAndFivePast({});
  Load();
  CountGdi(plugin.module);
  Hooks.clear();
  PatchImport(plugin.module, "user32.dll", "SetWindowsHookExA", reinterpret_cast<void*>(CountSetHook));
  PatchImport(plugin.module, "user32.dll", "UnhookWindowsHookEx", reinterpret_cast<void*>(CountUnhook));
  Init();
  ASSERT_TRUE(Rings()) << LogText();
  HWND window = RingingWindow();
  EXPECT_EQ(1, Gdi.created);
  EXPECT_EQ(1u, Hooks.size());
  Quit();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(Gdi.live.empty()) << Gdi.live.size() << " GDI objects alive";
  EXPECT_TRUE(Hooks.empty()) << "a hook left on the thread's messages";
  ClosePlugin(&plugin);
  PostMessageA(main, WM_KEYDOWN, VK_ESCAPE, 0);
  Pump(1500);  // no hook into the unloaded module is left to run
  EXPECT_TRUE(IsWindow(main));
}
