// The player's main window behind the plug-in's hook: what reaches the player, in what
// order, and what the hook does on the way (stops, F12, the menu item, saving on close).
#include "bench.h"
#include "stand_in_power.h"

#include <stdio.h>

// ---------------------------------------------------------------- sequence recorder
// The plug-in's timer and dialog calls, recorded among the messages so order shows.
enum : UINT { CallSetTimer = 0x10001, CallKillTimer, CallDialog };
enum : UINT { IpcMessage = WM_USER, TrackEndNotice = WM_USER + 2 };
enum { AnyWParam = 1 };

struct Step {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  int flags;
};

static std::vector<Step> Sequence;
static bool RecordEverything;  // otherwise only the messages a test is about
static int ForeignWindows;     // messages for the main window's procedure but not the window

static HWND MainWindow;

static bool WorthRecording(UINT message) {
  switch (message) {
    case IpcMessage: case TrackEndNotice: case WM_COMMAND: case WM_KEYDOWN: case WM_CLOSE:
    case WM_INITMENU: case WM_EXITMENULOOP:
      return true;
  }
  return false;
}

static void Spy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!RecordEverything && !WorthRecording(message)) return;
  if (window != MainWindow) ++ForeignWindows;
  Sequence.push_back({message, wParam, lParam, 0});
}

static std::string Describe(const Step& s) {
  char text[120];
  const char* name = "";
  switch (s.message) {
    case IpcMessage:
      switch (s.lParam) {
        case 105: name = s.wParam ? "track length" : "track position"; break;
        case 122: name = static_cast<int>(s.wParam) == -666 ? "query volume" : "set volume"; break;
        case 124: name = "playlist length"; break;
        case 125: name = "playlist position"; break;
        case 135: name = "restart notice"; break;
        case 617: name = "keyboard input"; break;
      }
      snprintf(text, sizeof text, "ipc %ld(%d) %s", static_cast<long>(s.lParam),
               static_cast<int>(s.wParam), name);
      return text;
    case WM_COMMAND:
      switch (s.wParam) {
        case 40001: name = "close"; break;
        case 40045: name = "play"; break;
        case 40046: name = "pause"; break;
        case 40047: name = "stop"; break;
        case 40157: name = "stop after current"; break;
        case 1025: name = "settings item"; break;
      }
      snprintf(text, sizeof text, "command %lu %s", static_cast<unsigned long>(s.wParam), name);
      return text;
    case TrackEndNotice: return "end of track";
    case CallSetTimer:
      snprintf(text, sizeof text, "SetTimer id %lu, %ld ms", static_cast<unsigned long>(s.wParam),
               static_cast<long>(s.lParam));
      return text;
    case CallKillTimer:
      snprintf(text, sizeof text, "KillTimer id %lu", static_cast<unsigned long>(s.wParam));
      return text;
    case CallDialog:
      snprintf(text, sizeof text, "DialogBoxParamA template %lu", static_cast<unsigned long>(s.wParam));
      return text;
  }
  snprintf(text, sizeof text, "message 0x%04x (%08lx, %08lx)", s.message,
           static_cast<unsigned long>(s.wParam), static_cast<unsigned long>(s.lParam));
  return text;
}

static bool Same(const Step& expected, const Step& got) {
  return expected.message == got.message && expected.lParam == got.lParam &&
         ((expected.flags & AnyWParam) || expected.wParam == got.wParam);
}

// Compares what was recorded with what a test expects, and shows both when they differ.
static void CheckSequence(const std::vector<Step>& expected, const char* what, int line) {
  size_t n = expected.size() < Sequence.size() ? expected.size() : Sequence.size();
  size_t first = 0;
  while (first < n && Same(expected[first], Sequence[first])) ++first;
  if (first == n && expected.size() == Sequence.size()) return;
  std::string text;
  for (size_t i = 0; i < expected.size(); ++i)
    text += (i == first ? "  > " : "    ") + Describe(expected[i]) + "\n";
  text += "  got:\n";
  for (size_t i = 0; i < Sequence.size(); ++i)
    text += (i == first ? "  > " : "    ") + Describe(Sequence[i]) + "\n";
  ADD_FAILURE_AT(__FILE__, line) << what << ": sequence differs at step " << first
                                 << "\n  expected:\n" << text;
}
#define EXPECT_SEQUENCE(what, ...) CheckSequence(std::vector<Step>{__VA_ARGS__}, what, __LINE__)

static size_t Count(UINT message, WPARAM wParam) {
  size_t n = 0;
  for (const Step& s : Sequence) n += s.message == message && s.wParam == wParam;
  return n;
}

// Leaves the recorded sequence starting at the last command with this id: a running fade's
// ticks come and go at their own pace before it.
static void StartAtLastCommand(WPARAM id) {
  for (size_t i = Sequence.size(); i-- > 0;)
    if (Sequence[i].message == WM_COMMAND && Sequence[i].wParam == id) {
      Sequence.erase(Sequence.begin(), Sequence.begin() + static_cast<ptrdiff_t>(i));
      return;
    }
}

// Shorthands for expected steps.
static Step Ipc(int data, int code) { return {IpcMessage, static_cast<WPARAM>(data), code, 0}; }
static Step SetVolumeAny() { return {IpcMessage, 0, 122, AnyWParam}; }
static Step Command(WPARAM id) { return {WM_COMMAND, id, 0, 0}; }
static Step Msg(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return {message, wParam, lParam, 0};
}
static Step SetTimerCall(WPARAM id, LPARAM ms) { return {CallSetTimer, id, ms, 0}; }
static Step SetFadeTimer() { return {CallSetTimer, 2, 0, 0}; }
static Step KillTimerCall(WPARAM id) { return {CallKillTimer, id, 0, 0}; }
static Step DialogCall() { return {CallDialog, 1, 0, 0}; }
static const Step EndOfTrack = {TrackEndNotice, 0, 0, 0};

// ---------------------------------------------------------------- intercepted calls
struct DialogRequest {
  HINSTANCE instance;
  LPCSTR name;
  HWND owner;
  LPARAM param;
};
static std::vector<DialogRequest> Dialogs;
static bool DriveDialog;  // really run it: tick "stop after end of last track", close it
static DLGPROC RealDialogProc;

static INT_PTR CALLBACK TickStopAfterLast(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  INT_PTR result = RealDialogProc(dialog, message, wParam, lParam);
  if (message == WM_INITDIALOG) {
    CheckDlgButton(dialog, 3, BST_CHECKED);
    PostMessageA(dialog, WM_CLOSE, 0, 0);
  }
  return result;
}

static INT_PTR WINAPI FakeDialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner,
                                          DLGPROC proc, LPARAM param) {
  Sequence.push_back({CallDialog, reinterpret_cast<WPARAM>(name), param, 0});
  Dialogs.push_back({instance, name, owner, param});
  if (!DriveDialog) return 0;
  RealDialogProc = proc;
  return DialogBoxParamA(instance, name, owner, TickStopAfterLast, param);
}

// Recorded, then on to what the bench put there (virtual or real timers).
static decltype(&SetTimer) NextSetTimer;
static decltype(&KillTimer) NextKillTimer;

static UINT_PTR WINAPI FakeSetTimer(HWND window, UINT_PTR id, UINT ms, TIMERPROC proc) {
  // The fade interval depends on the test; only the clock's is fixed.
  Sequence.push_back({CallSetTimer, id, id == 1 ? static_cast<LPARAM>(ms) : 0, 0});
  return NextSetTimer(window, id, ms, proc);
}

static BOOL WINAPI FakeKillTimer(HWND window, UINT_PTR id) {
  Sequence.push_back({CallKillTimer, id, 0, 0});
  return NextKillTimer(window, id);
}

// ---------------------------------------------------------------- fixture
class HookTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    MainWindow = main;
    Sequence.clear();
    Dialogs.clear();
    RecordEverything = false;
    DriveDialog = false;
    ForeignWindows = 0;
    Player.spy = Spy;
  }
  void TearDown() override {
    Player.spy = nullptr;
    PluginTest::TearDown();
  }
  // Loads, intercepts the timer and dialog calls, and initialises; records from then on.
  void Start() {
    Load();
    PatchImport(plugin.module, "user32.dll", "DialogBoxParamA",
                reinterpret_cast<void*>(FakeDialogBoxParamA));
    NextSetTimer = reinterpret_cast<decltype(&SetTimer)>(
        PatchImport(plugin.module, "user32.dll", "SetTimer", reinterpret_cast<void*>(FakeSetTimer)));
    NextKillTimer = reinterpret_cast<decltype(&KillTimer)>(
        PatchImport(plugin.module, "user32.dll", "KillTimer", reinterpret_cast<void*>(FakeKillTimer)));
    Init();
    Sequence.clear();
  }
  void Playing(int entry, double positionMs = 30000) {
    Player.status = PlayerPlaying;
    Player.current = entry;
    Player.positionMs = positionMs;
  }
  // The stop set for 7:01; the clock is put just before it and the event awaited.
  static void ArmStop(DWORD volDown, DWORD waitEnd) {
    WriteDword("StopOn", 1);
    WriteDword("StopH", 7);
    WriteDword("StopM", 1);
    WriteDword("VolDown", volDown);
    WriteDword("WaitEnd", waitEnd);
    WriteDword("TimeOut", 50);
  }
  static bool ReachStopTime(int day = 8) {
    size_t before = Count(WM_COMMAND, 40157) + Count(CallSetTimer, 2) + Count(WM_COMMAND, 40047);
    SetSimulatedClock(7, 0, 59, day);
    return PumpUntil(3000, [&] {
      return Count(WM_COMMAND, 40157) + Count(CallSetTimer, 2) + Count(WM_COMMAND, 40047) > before;
    });
  }
  // Ticks "stop after end of last track" in the real settings dialog.
  void SetStopAfterLast() {
    DriveDialog = true;
    plugin.plugin->config();
    DriveDialog = false;
    ASSERT_EQ(1u, Dialogs.size());
    Sequence.clear();
  }
  static DWORD Stored(const char* name) {
    DWORD value = 0xDEADBEEF;
    EXPECT_TRUE(ReadDword(name, &value)) << name;
    return value;
  }
};

// ---------------------------------------------------------------- passing messages on
// Sits between the hook and the player: answers the message under test with a value of
// its own, so the test can tell the hook returns what it was given.
static WNDPROC PlayerOwnProc;
static Step Sending;
static LRESULT Tagged(const Step& s) {
  return static_cast<LRESULT>(0x10000000 + s.message * 0x101 + s.wParam * 7 + s.lParam * 3);
}
static LRESULT CALLBACK Below(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = CallWindowProcA(PlayerOwnProc, window, message, wParam, lParam);
  if (message == Sending.message && wParam == Sending.wParam && lParam == Sending.lParam)
    return Tagged(Sending);
  return result;
}

using HookPassOn = HookTest;

TEST_F(HookPassOn, EveryMessageReachesThePlayerOnceUnchangedAndItsAnswerComesBack) {
  PlayerOwnProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Below)));
  Start();
  Player.declineClose = true;
  Seen.f12Held = true;
  HMENU menu = CreatePopupMenu();
  for (int i = 0; i < 10; ++i) AppendMenuA(menu, MF_STRING, 500 + i, "item");
  const Step messages[] = {
      Msg(WM_NULL),
      Msg(WM_APP + 7, 0xDEADBEEF, 0x12345678),
      Msg(WM_TIMER, 77, 0),
      Ipc(0, 124),
      Ipc(-666, 122),
      Msg(IpcMessage, 0x55, 135),
      Msg(IpcMessage, 0x66, 617),
      Msg(TrackEndNotice, 5, 6),
      Msg(WM_COMMAND, 1025, 0),
      Msg(WM_COMMAND, 40999, 0x1234),
      Msg(WM_KEYDOWN, VK_F12, 0x00580001),
      Msg(WM_KEYDOWN, 'Q', 0x00100001),
      Msg(WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0),
      Msg(WM_EXITMENULOOP, 1, 0),
      Msg(WM_CLOSE, 0x11, 0x22),
  };
  RecordEverything = true;
  for (const Step& m : messages) {
    Sequence.clear();
    Sending = m;
    LRESULT result = SendMessageA(main, m.message, m.wParam, m.lParam);
    EXPECT_EQ(Tagged(m), result) << Describe(m);
    size_t seen = 0;
    for (const Step& s : Sequence) seen += s.message == m.message && s.wParam == m.wParam && s.lParam == m.lParam;
    EXPECT_EQ(1u, seen) << Describe(m);
  }
  Sending = Step{};
  EXPECT_EQ(0, ForeignWindows);
  DestroyMenu(menu);
  // Close declined: the player is still there and still hooked through us.
  EXPECT_TRUE(IsWindow(main));
}

// ---------------------------------------------------------------- end of track
using HookTrackEnd = HookTest;

TEST_F(HookTrackEnd, WaitForTheEndIsCompletedByTheNotice) {
  ArmStop(0, 1);
  Start();
  Playing(4);
  ASSERT_TRUE(ReachStopTime());
  EXPECT_SEQUENCE("stop event", Ipc(0, 104), Command(40157));
  Sequence.clear();
  PlayerEndTrack();
  EXPECT_SEQUENCE("track end", Command(40047), EndOfTrack);
  EXPECT_EQ(PlayerStopped, Player.status);
}

// The user stops the player and plays again within the second: the wait was for the track
// the user stopped, and the next track's end is only that. From the keyboard, the Stop
// carries 1 above the command's id.
TEST_F(HookTrackEnd, AStopPressedDuringTheWaitEndsIt) {
  ArmStop(0, 1);
  Start();
  Playing(4);
  ASSERT_TRUE(ReachStopTime());
  SendMessageA(main, WM_COMMAND, MAKEWPARAM(40047, 1), 0);
  SendMessageA(main, WM_COMMAND, 40045, 0);
  Sequence.clear();
  PlayerEndTrack();
  EXPECT_SEQUENCE("track end", EndOfTrack);
}

TEST_F(HookTrackEnd, TheEndOfTheTrackCutsAFadeOutShortAndRestoresTheVolume) {
  ArmStop(1, 1);
  Start();
  Playing(4);
  ASSERT_TRUE(ReachStopTime());
  EXPECT_SEQUENCE("stop event", Ipc(0, 104), Command(40157), KillTimerCall(2), Ipc(-666, 122),
                  SetFadeTimer());
  ASSERT_TRUE(PumpUntil(2000, [] { return Player.volume < 196; }));
  Sequence.clear();
  PlayerEndTrack();
  EXPECT_SEQUENCE("track end", KillTimerCall(2), Ipc(200, 122), Command(40047), EndOfTrack);
  Pump(300);
  EXPECT_EQ(200, Player.volume);
  EXPECT_EQ(PlayerStopped, Player.status);
}

TEST_F(HookTrackEnd, AFadeOutAloneIsNotCutShortByTheEndOfATrack) {
  ArmStop(1, 0);
  Start();
  Playing(4);
  ASSERT_TRUE(ReachStopTime());
  Sequence.clear();
  PlayerEndTrack();
  EXPECT_SEQUENCE("track end", EndOfTrack);
  int volume = Player.volume;
  EXPECT_TRUE(PumpUntil(2000, [&] { return Player.volume < volume; }));
}

// "Stop after end of last track" is set only through the settings dialog.
using HookStopAfterLast = HookTest;

TEST_F(HookStopAfterLast, OnlyTheEndOfTheLastEntryStopsAndThenTheFlagIsGone) {
  WriteDword("UsePause", 1);
  Start();
  ASSERT_NO_FATAL_FAILURE(SetStopAfterLast());
  Playing(3);
  PlayerEndTrack();
  EXPECT_SEQUENCE("entry 4 of 12 ends", Ipc(0, 124), Ipc(0, 125), EndOfTrack);
  EXPECT_EQ(PlayerPlaying, Player.status);

  Sequence.clear();
  Playing(11);
  PlayerEndTrack();
  EXPECT_SEQUENCE("last entry ends", Ipc(0, 124), Ipc(0, 125), Command(40157), Ipc(0, 104),
                  Command(40046), EndOfTrack);
  EXPECT_NE(PlayerPlaying, Player.status);

  Sequence.clear();
  Playing(11);
  PlayerEndTrack();
  EXPECT_SEQUENCE("last entry ends again", EndOfTrack);
}

TEST_F(HookStopAfterLast, ARunningFadeOutGoesOnUntilTheLastEntryEndsIt) {
  ArmStop(1, 0);
  Start();
  ASSERT_NO_FATAL_FAILURE(SetStopAfterLast());
  Playing(10);
  ASSERT_TRUE(ReachStopTime());
  ASSERT_TRUE(PumpUntil(2000, [] { return Player.volume < 197; }));
  Sequence.clear();
  PlayerEndTrack();
  EXPECT_SEQUENCE("entry 11 of 12 ends", Ipc(0, 124), Ipc(0, 125), EndOfTrack);
  int volume = Player.volume;
  EXPECT_TRUE(PumpUntil(2000, [&] { return Player.volume < volume; }));

  Sequence.clear();
  ASSERT_EQ(11, Player.current);
  PlayerEndTrack();
  EXPECT_SEQUENCE("last entry ends", Ipc(0, 124), Ipc(0, 125), Command(40157), KillTimerCall(2),
                  Ipc(200, 122), Command(40047), EndOfTrack);
  Pump(300);
  EXPECT_EQ(200, Player.volume);
  EXPECT_EQ(PlayerStopped, Player.status);
}

TEST_F(HookStopAfterLast, RepeatedStopEventsStillEndInOneFinalStop) {
  ArmStop(1, 1);
  Start();
  ASSERT_NO_FATAL_FAILURE(SetStopAfterLast());
  Playing(11);
  ASSERT_TRUE(ReachStopTime(8));
  ASSERT_TRUE(PumpUntil(2000, [] { return Player.volume < 197; }));
  Sequence.clear();
  // The next day's stop adds its phases to the ones still pending.
  ASSERT_TRUE(ReachStopTime(9));
  StartAtLastCommand(40157);
  EXPECT_SEQUENCE("second stop event", Command(40157), KillTimerCall(2), Ipc(-666, 122),
                  SetFadeTimer());
  Sequence.clear();
  PlayerEndTrack();
  EXPECT_SEQUENCE("last entry ends", Ipc(0, 124), Ipc(0, 125), KillTimerCall(2), SetVolumeAny(),
                  Command(40047), EndOfTrack);
  int volume = Player.volume;
  Pump(400);
  EXPECT_EQ(volume, Player.volume);
  size_t stops = 0;
  for (const LogEntry& e : PlayerLog) stops += e.message == WM_COMMAND && e.wParam == 40047;
  EXPECT_EQ(1u, stops);
}

// ---------------------------------------------------------------- F12 and restart
using HookKeys = HookTest;

TEST_F(HookKeys, F12OpensTheSettingsBeforeThePlayerSeesTheKey) {
  Start();
  SendMessageA(main, WM_KEYDOWN, 'Q', 0);
  SendMessageA(main, WM_KEYDOWN, VK_F12, 0);
  EXPECT_SEQUENCE("keys", Msg(WM_KEYDOWN, 'Q'), DialogCall(), Msg(WM_KEYDOWN, VK_F12));
}

TEST_F(HookKeys, KeyboardNoticeOpensTheSettingsOnlyWhileF12IsHeld) {
  Start();
  SendMessageA(main, IpcMessage, 0, 617);
  Seen.f12Held = true;
  SendMessageA(main, IpcMessage, 0, 617);
  EXPECT_SEQUENCE("keyboard notices", Ipc(0, 617), DialogCall(), Ipc(0, 617));
}

TEST_F(HookKeys, RestartNoticeSavesThePositionAndStopsTheTimers) {
  Start();
  Playing(2, 61234);
  SendMessageA(main, IpcMessage, 0, 135);
  EXPECT_SEQUENCE("restart", Ipc(0, 105), Ipc(1, 105), KillTimerCall(1), KillTimerCall(2),
                  Ipc(0, 135));
  EXPECT_EQ(61234u, Stored("TrackPos"));
  EXPECT_EQ(302u, Stored("TrackLength"));
}

TEST_F(HookKeys, WithoutHotKeyF12AndTheRestartNoticeAreIgnoredButCloseStillSaves) {
  WriteDword("HotKey", 0);
  Start();
  Seen.f12Held = true;
  SendMessageA(main, WM_KEYDOWN, VK_F12, 0);
  SendMessageA(main, IpcMessage, 0, 617);
  SendMessageA(main, IpcMessage, 0, 135);
  EXPECT_SEQUENCE("ignored", Msg(WM_KEYDOWN, VK_F12), Ipc(0, 617), Ipc(0, 135));
  DWORD ignored;
  EXPECT_FALSE(ReadDword("TrackPos", &ignored));

  ClosePlayer();
  EXPECT_EQ(static_cast<DWORD>(-1), Stored("TrackPos"));
  EXPECT_EQ(0u, Stored("HotKey"));
}

// ---------------------------------------------------------------- the settings item
using HookMenu = HookTest;

static HMENU MenuOf(int items) {
  HMENU menu = CreatePopupMenu();
  for (int i = 0; i < items; ++i) AppendMenuA(menu, MF_STRING, 500 + i, "item");
  return menu;
}

static std::string ItemText(HMENU menu, int position) {
  char text[256] = "";
  GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}

TEST_F(HookMenu, SixthItemOfATenItemMenuWhileItIsOpen) {
  WriteValue(PluginKeyPath, "MenuName", REG_SZ, "Alarm clock...", 15);
  WriteDword("MenuPos", 4);
  Start();
  HMENU menu = MenuOf(10);
  SendMessageA(main, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
  ASSERT_EQ(13, GetMenuItemCount(menu));  // and the sleep timer's and the alarm's submenus
  EXPECT_EQ(504u, GetMenuItemID(menu, 4));
  EXPECT_EQ(1025u, GetMenuItemID(menu, 5));
  EXPECT_EQ("Alarm clock...", ItemText(menu, 5));
  EXPECT_EQ(505u, GetMenuItemID(menu, 8));

  SendMessageA(main, WM_EXITMENULOOP, 0, 0);
  EXPECT_EQ(10, GetMenuItemCount(menu));
  EXPECT_EQ(static_cast<UINT>(-1), GetMenuState(menu, 1025, MF_BYCOMMAND));
  DestroyMenu(menu);
}

TEST_F(HookMenu, ANineItemMenuGetsNoItem) {
  Start();
  HMENU small = MenuOf(9);
  SendMessageA(main, WM_INITMENU, reinterpret_cast<WPARAM>(small), 0);
  EXPECT_EQ(9, GetMenuItemCount(small));
  SendMessageA(main, WM_EXITMENULOOP, 0, 0);
  EXPECT_EQ(9, GetMenuItemCount(small));
  DestroyMenu(small);
}

TEST_F(HookMenu, WithoutAddMenuNoMenuGetsTheItem) {
  WriteDword("AddMenu", 0);
  Start();
  HMENU large = MenuOf(10);
  SendMessageA(main, WM_INITMENU, reinterpret_cast<WPARAM>(large), 0);
  EXPECT_EQ(10, GetMenuItemCount(large));
  DestroyMenu(large);
}

// One of our submenus as a line: title, then each item as "id text", checked "*", grayed "-",
// a separator "|".
static std::string SubmenuText(HMENU menu, int position) {
  HMENU sleep = GetSubMenu(menu, position);
  if (!sleep) return "no submenu at " + std::to_string(position);
  std::string text = ItemText(menu, position) + ":";
  for (int i = 0; i < GetMenuItemCount(sleep); ++i) {
    UINT state = GetMenuState(sleep, i, MF_BYPOSITION);
    if (state & MF_SEPARATOR) {
      text += " |";
      continue;
    }
    text += " " + std::to_string(GetMenuItemID(sleep, i)) + " " + ItemText(sleep, i);
    if (state & MF_CHECKED) text += "*";
    if (state & MF_GRAYED) text += "-";
  }
  return text;
}

// Chooses `command` (0 none), opens a ten-item menu and reads our submenu at `position`; the
// menu must have our three items while open, and none of ours after.
static std::string ChosenThenShown(HWND main, WPARAM command, int position) {
  if (command) SendMessageA(main, WM_COMMAND, command, 0);
  HMENU menu = MenuOf(10);
  SendMessageA(main, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
  EXPECT_EQ(13, GetMenuItemCount(menu));
  EXPECT_EQ(1025u, GetMenuItemID(menu, 5));
  EXPECT_EQ(505u, GetMenuItemID(menu, 8));
  std::string text = SubmenuText(menu, position);
  HMENU submenu = GetSubMenu(menu, position);
  SendMessageA(main, WM_EXITMENULOOP, 0, 0);
  EXPECT_EQ(10, GetMenuItemCount(menu));
  EXPECT_FALSE(IsMenu(submenu)) << "the submenu is left behind";
  DestroyMenu(menu);
  return text;
}

static const char SleepItemsOff[] =
    " 1026 15 minutes 1027 30 minutes 1028 45 minutes 1029 60 minutes 1030 90 minutes"
    " 1031 120 minutes | 1032 Off-";

TEST_F(HookMenu, TheSleepTimersSubmenuFollowsTheSettingsItemAndShowsTheCountdown) {
  SetSimulatedClock(23, 10, 20);  // before the load: what rang before it depends on the date
  Start();
  const struct {
    WPARAM command;  // chosen before the menu opens; 0 none
    const char* shown;
  } cases[] = {
      {0, "Sleep timer:"},
      {1027, "Sleep timer (23:40): 1026 15 minutes 1027 30 minutes* 1028 45 minutes 1029 60 minutes"
             " 1030 90 minutes 1031 120 minutes | 1032 Off"},
      {1031, "Sleep timer (01:10): 1026 15 minutes 1027 30 minutes 1028 45 minutes 1029 60 minutes"
             " 1030 90 minutes 1031 120 minutes* | 1032 Off"},
      {1032, "Sleep timer:"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    std::string expected = c.shown;
    if (c.command == 0 || c.command == 1032) expected += SleepItemsOff;
    EXPECT_EQ(expected, ChosenThenShown(main, c.command, 6));
  }
}

// Alarm 1 on weekdays, alarm 2 once on Tuesdays, alarm 3 off at the weekend; on Tuesday
// 8 December at 23:10, each choice made before the menu opens.
TEST_F(HookMenu, TheAlarmSubmenuSwitchesEachAlarmAndSkipsTheNextOne) {
  WriteDword("StartOn", 1);
  WriteDword("StartH", 7);
  WriteDword("StartDays", 0x3E);
  WriteDword("Alarm2", 0x0304061E);
  WriteDword("Alarm4", 0x00410900);
  WriteMusic(2, L"Pills & tea", REG_SZ, ~0u, L"Label");  // its ampersand shown, no mnemonic
  SetSimulatedClock(23, 10, 20);  // before the load: what rang before it depends on the date
  Start();
  const struct {
    WPARAM command;
    const char* shown;
    DWORD onBattery = 1, wakeError = 0;  // "Allow wake timers" on battery; an arming's last error
  } cases[] = {
      {0, "Alarm (Wed 07:00): 1040 07:00  Mon Tue Wed Thu Fri* 1041 06:30  Pills && tea  Tue  once* 1043 09:00  Sat Sun  (off)"
          " | 1048 Skip the next alarm (Wed 07:00)"},
      {0, "Alarm (Wed 07:00, no wake on battery): 1040 07:00  Mon Tue Wed Thu Fri* 1041 06:30  Pills && tea  Tue  once*"
          " 1043 09:00  Sat Sun  (off) | 1048 Skip the next alarm (Wed 07:00)", 0},
      {1048, "Alarm (Thu 07:00): 1040 07:00  Mon Tue Wed Thu Fri* 1041 06:30  Pills && tea  Tue  once* 1043 09:00  Sat Sun  (off)"
             " | 1048 Skip the next alarm (Wed 07:00)*"},
      {1048, "Alarm (Wed 07:00): 1040 07:00  Mon Tue Wed Thu Fri* 1041 06:30  Pills && tea  Tue  once* 1043 09:00  Sat Sun  (off)"
             " | 1048 Skip the next alarm (Wed 07:00)"},
      {1048, "Alarm (Thu 07:00): 1040 07:00  Mon Tue Wed Thu Fri* 1041 06:30  Pills && tea  Tue  once* 1043 09:00  Sat Sun  (off)"
             " | 1048 Skip the next alarm (Wed 07:00)*"},
      // Switching any alarm cancels the skip; the wake set again, on a computer that cannot wake.
      {1043, "Alarm (Wed 07:00, cannot wake): 1040 07:00  Mon Tue Wed Thu Fri* 1041 06:30  Pills && tea  Tue  once*"
             " 1043 09:00  Sat Sun* | 1048 Skip the next alarm (Wed 07:00)", 1, ERROR_NOT_SUPPORTED},
      {1040, "Alarm (Sat 09:00): 1040 07:00  Mon Tue Wed Thu Fri  (off) 1041 06:30  Pills && tea  Tue  once* 1043 09:00  Sat Sun*"
             " | 1048 Skip the next alarm (Sat 09:00)"},
      {1041, "Alarm (Sat 09:00): 1040 07:00  Mon Tue Wed Thu Fri  (off) 1041 06:30  Pills && tea  Tue  once  (off) 1043 09:00  Sat Sun*"
             " | 1048 Skip the next alarm (Sat 09:00)"},
      {1043, "Alarm (off): 1040 07:00  Mon Tue Wed Thu Fri  (off) 1041 06:30  Pills && tea  Tue  once  (off)"
             " 1043 09:00  Sat Sun  (off) | 1048 Skip the next alarm-"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    PowerPlan.onBattery = c.onBattery;
    Seen.wakeError = c.wakeError;
    EXPECT_EQ(c.shown, ChosenThenShown(main, c.command, 7));
  }
  EXPECT_EQ(0x04410900u, Stored("Alarm4"));  // written back with the bit of a present alarm
  EXPECT_EQ(0x0604061Eu, Stored("Alarm2"));
  EXPECT_EQ(0u, Stored("StartOn"));
}

// Skipped on Tuesday evening, kept across the player's restart: Wednesday's 07:00 passes in
// silence, the wake goes to Thursday, and the skip is spent.
TEST_F(HookMenu, ASkipChosenInTheMenuOutlivesARestartAndSilencesTheMorning) {
  WriteDword("StartOn", 1);
  WriteDword("StartH", 7);
  SetSimulatedClock(23, 10, 20);  // before the load: what rang before it depends on the date
  Start();
  SendMessageA(main, WM_COMMAND, 1048, 0);
  ClosePlayer();
  Quit();
  ClosePlugin(&plugin);
  DestroyWindow(main);
  main = CreatePlayerWindow(GetModuleHandleA(NULL), true);
  SetSimulatedClock(6, 59, 50, 9);
  Start();
  Pump(75000);  // to 07:01:05
  EXPECT_EQ(0u, Count(WM_COMMAND, 40045)) << "the skipped alarm rang";
  ASSERT_FALSE(Seen.dueTimes.empty());
  SYSTEMTIME due;
  FILETIME utc = {static_cast<DWORD>(Seen.dueTimes.back()), static_cast<DWORD>(Seen.dueTimes.back() >> 32)};
  FILETIME local;
  FileTimeToLocalFileTime(&utc, &local);
  FileTimeToSystemTime(&local, &due);
  EXPECT_EQ(10, due.wDay);
  EXPECT_EQ(6, due.wHour);
  EXPECT_EQ(58, due.wMinute);
  ClosePlayer();
  EXPECT_EQ(0u, Stored("SkipAlarm"));
}

TEST_F(HookMenu, ThirtyMinutesChosenStopsThePlayerThirtyMinutesLater) {
  SetSimulatedClock(23, 10, 20);  // before the load: what rang before it depends on the date
  Start();
  Playing(4);
  SendMessageA(main, WM_COMMAND, 1027, 0);
  Pump(30 * 60 * 1000 - 1500);
  EXPECT_EQ(0u, Count(WM_COMMAND, 40047)) << "stopped early";
  // Setting the clock back an hour moves the countdown's end not at all.
  SetSimulatedClock(22, 40, 19);
  EXPECT_TRUE(PumpUntil(2000, [] { return Count(WM_COMMAND, 40047) > 0; }));
  EXPECT_EQ(PlayerStopped, Player.status);
}

TEST_F(HookMenu, AQuitWithTheMenuOpenLeavesNothingOfOursInIt) {
  Start();
  HMENU menu = MenuOf(10);
  SendMessageA(main, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
  HMENU sleep = GetSubMenu(menu, 6);
  ASSERT_TRUE(sleep != NULL);
  Quit();
  EXPECT_EQ(10, GetMenuItemCount(menu));
  EXPECT_FALSE(IsMenu(sleep));
  DestroyMenu(menu);
}

// The player's real context menu: the item shows, and choosing it opens the settings.
static HMENU OpenMenu;
static int OpenMenuCount;
static UINT OpenMenuSixth;
static void MenuSpy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITMENU) OpenMenu = reinterpret_cast<HMENU>(wParam);
  Spy(window, message, wParam, lParam);
}
static void CALLBACK ChooseSixthItem(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(NULL, timer);
  OpenMenuCount = GetMenuItemCount(OpenMenu);
  OpenMenuSixth = GetMenuItemID(OpenMenu, 5);
  HWND popup = FindWindowA("#32768", NULL);
  for (int i = 0; i < 6; ++i) PostMessageA(popup, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(popup, WM_KEYDOWN, VK_RETURN, 0);
}

TEST_F(HookMenu, ChoosingTheItemInThePlayersMenuOpensTheSettings) {
  Start();
  OpenMenu = NULL;
  OpenMenuCount = 0;
  Player.spy = MenuSpy;
  SetForegroundWindow(main);
  SetTimer(NULL, 0, 200, ChooseSixthItem);
  ShowPlayerMenu(main, 100, 100);
  Pump(100);
  EXPECT_EQ(PlayerMenuCount + 3, OpenMenuCount);
  EXPECT_EQ(1025u, OpenMenuSixth);
  EXPECT_SEQUENCE("menu", Msg(WM_INITMENU, reinterpret_cast<WPARAM>(OpenMenu)),
                  Step{WM_EXITMENULOOP, 0, 0, AnyWParam}, DialogCall(), Command(1025));
}

TEST_F(HookMenu, CommandOpensTheSettingsFromThePluginsOwnTemplate) {
  Start();
  SendMessageA(main, WM_COMMAND, 1025, 0);
  // The whole value counts: an accelerator's notification code makes it another command.
  SendMessageA(main, WM_COMMAND, MAKEWPARAM(1025, 1), 0);
  EXPECT_SEQUENCE("commands", DialogCall(), Command(1025), Command(MAKEWPARAM(1025, 1)));
  ASSERT_EQ(1u, Dialogs.size());
  EXPECT_EQ(plugin.module, Dialogs[0].instance);
  EXPECT_EQ(MAKEINTRESOURCEA(1), Dialogs[0].name);
  EXPECT_TRUE(Dialogs[0].owner == NULL);
  EXPECT_EQ(0, Dialogs[0].param);
}

// ---------------------------------------------------------------- closing
using HookClose = HookTest;

TEST_F(HookClose, IdlePlayerStoresMinusOneAndTheTimersStopBeforeItCloses) {
  WriteDword("TrackPos", 5000);
  WriteDword("TrackLength", 214);
  Start();
  ClosePlayer();
  EXPECT_FALSE(IsWindow(main));
  EXPECT_SEQUENCE("close", Ipc(0, 105), Ipc(1, 105), KillTimerCall(1), KillTimerCall(2),
                  Msg(WM_CLOSE));
  EXPECT_EQ(static_cast<DWORD>(-1), Stored("TrackPos"));
  EXPECT_EQ(static_cast<DWORD>(-1), Stored("TrackLength"));
}

TEST_F(HookClose, PlayingPlayerStoresPositionAndLength) {
  Start();
  Playing(2, 61234);
  ClosePlayer();
  EXPECT_EQ(61234u, Stored("TrackPos"));
  EXPECT_EQ(302u, Stored("TrackLength"));
}

TEST_F(HookClose, ADeclinedCloseKeepsTheFadeAndTheAlarm) {
  WriteDword("StartOn", 1);
  WriteDword("StartH", 7);
  WriteDword("StartM", 1);
  WriteDword("VolUp", 1);
  WriteDword("VolStart", 100);
  WriteDword("TimeOut", 50);
  // Loaded on the simulated morning: loaded later in the day, the plug-in would count that
  // day's 07:01 as rung already.
  SetSimulatedClock(7, 0, 57);
  Start();
  ASSERT_TRUE(PumpUntil(6000, [] { return Player.status == PlayerPlaying && Player.volume > 102; }));

  Player.declineClose = true;
  Sequence.clear();
  ClosePlayer();
  EXPECT_SEQUENCE("declined close", Ipc(0, 105), Ipc(1, 105), KillTimerCall(1), KillTimerCall(2),
                  Msg(WM_CLOSE), SetTimerCall(1, 1000), SetFadeTimer());
  int volume = Player.volume;
  Pump(300);
  EXPECT_GT(Player.volume, volume) << "the fade-in stopped part-way";

  // Next morning the alarm goes off again.
  Player.status = PlayerStopped;
  Sequence.clear();
  SetSimulatedClock(7, 0, 59, 9);
  EXPECT_TRUE(PumpUntil(3000, [] { return Count(WM_COMMAND, 40045) > 0; }));
}

TEST_F(HookClose, ClosingMidFadeOutLeavesThePlayerAtTheVolumeTheFadeBeganAt) {
  ArmStop(1, 0);
  Start();
  Playing(4);
  ASSERT_TRUE(ReachStopTime());
  ASSERT_TRUE(PumpUntil(2000, [] { return Player.volume < 196; }));
  Sequence.clear();
  ClosePlayer();
  EXPECT_SEQUENCE("close", Ipc(200, 122), Ipc(0, 105), Ipc(1, 105), KillTimerCall(1), KillTimerCall(2),
                  Msg(WM_CLOSE));
  EXPECT_EQ(200, Player.volume);
}

// With the F12 key off the hook lets the restart notice pass, and the host quits us without
// a close: the quit puts the volume back.
TEST_F(HookClose, RestartingMidFadeOutWithF12OffLeavesThePlayerAtTheVolumeTheFadeBeganAt) {
  ArmStop(1, 0);
  WriteDword("HotKey", 0);
  Start();
  Playing(4);
  ASSERT_TRUE(ReachStopTime());
  ASSERT_TRUE(PumpUntil(2000, [] { return Player.volume < 196; }));
  SendMessageA(main, IpcMessage, 0, 135);
  Quit();
  EXPECT_EQ(200, Player.volume);
}

// A host that quits its plug-ins inside its close and takes its window down a while later.
static LoadedPlugin* Closing;
static void QuitInsideTheClose() { QuitPlugin(Closing); }

TEST_F(HookClose, AQuitInsideTheCloseLeavesNoClockOnTheLingeringWindow) {
  WriteDword("StartOn", 1);
  WriteDword("StartH", 7);
  WriteDword("StartM", 1);
  Start();
  Closing = &plugin;
  Player.onClose = QuitInsideTheClose;
  Player.closeDelayMs = 3000;
  SetSimulatedClock(7, 0, 59);
  ClosePlayer();
  Pump(2000);  // past 07:01, the window still there
  ASSERT_TRUE(IsWindow(main));
  EXPECT_EQ(0u, Count(WM_COMMAND, 40045)) << "the alarm went off after the quit";
  EXPECT_FALSE(TimerLeft(main, 1)) << "a clock is left on the window";
  ClosePlugin(&plugin);  // the host unloads us before its window goes
  EXPECT_TRUE(PumpUntil(3000, [&] { return !IsWindow(main); }));
}
