// Quitting and unloading while another party has subclassed the player's window too, above
// or below us, and an alarm rings with its window: every subclass keeps getting every
// message, and the player runs on for 3 s of messages and timer ticks without the
// plug-in doing anything more.
#include <stdio.h>

#include "dialog_driver.h"

namespace {

enum : UINT { IpcMessage = WM_USER };
enum : LPARAM { MarkerCode = 124 };  // the playlist length query: answered, logged, harmless

// The other party: forwards everything to what it found, and counts the markers.
WNDPROC TheirPrevious;
int TheirMarkers;
LRESULT CALLBACK TheirProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == IpcMessage && lp == MarkerCode) ++TheirMarkers;
  return CallWindowProcA(TheirPrevious, w, m, wp, lp);
}

void InstallTheirs(HWND main) {
  TheirMarkers = 0;
  TheirPrevious = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TheirProc)));
}

// They leave as a well-behaved party does: putting back what they found.
void RemoveTheirs(HWND main) {
  ASSERT_EQ(reinterpret_cast<LONG_PTR>(TheirProc), GetWindowLongPtrA(main, GWLP_WNDPROC));
  SetWindowLongPtrA(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TheirPrevious));
}

int PlayerMarkers;
void CountAtPlayer(HWND, UINT m, WPARAM, LPARAM lp) {
  if (m == IpcMessage && lp == MarkerCode) ++PlayerMarkers;
}

HMENU LargeMenu() {
  HMENU menu = CreatePopupMenu();
  for (int i = 0; i < PlayerMenuCount; ++i) AppendMenuA(menu, MF_STRING, 40000 + i, "Item");
  return menu;
}

// True when a menu opening through the window gets the plug-in's item.
bool MenuGetsItem(HWND main) {
  HMENU menu = LargeMenu();
  SendMessageA(main, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
  bool item = GetMenuState(menu, 1025, MF_BYCOMMAND) != UINT(-1);
  SendMessageA(main, WM_EXITMENULOOP, FALSE, 0);
  DestroyMenu(menu);
  return item;
}

// A settings dialog that opens after the quit is closed at once and counted.
int LateDialogs;
void CALLBACK CloseLateDialog(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = FindWindowA("#32770", SettingsCaption);
  if (!dialog) return;
  ++LateDialogs;
  PostMessageA(dialog, WM_CLOSE, 0, 0);
}

struct StormResult {
  int markers = 0;          // marker messages sent
  int playerTicks = 0;      // the player's own timer ticks
  int pluginTicks = 0;      // ticks of a timer with a procedure on the player's window
  int menuItems = 0;        // menu openings that got the plug-in's item
  int trackEnds = 0;
};

// For the given time the player gets what a running player gets: its queries, F12 both
// ways, the restart notice, menus, the settings command, a declined close, ends of tracks,
// and timer ticks, its own and on the ids the plug-in used. Closes and restarts come in the
// first half only, so a clock they wrongly restarted has the second half to tick.
StormResult Storm(HWND main, DWORD ms) {
  StormResult r;
  PlayerMarkers = 0;
  TheirMarkers = 0;
  LateDialogs = 0;
  Player.speed = 400;  // a track ends every half second or so
  Player.declineClose = true;
  Seen.f12Held = true;
  SendMessageA(main, WM_COMMAND, 40045, 0);
  StartPlayerClock();
  SetTimer(main, 1, 20, NULL);
  SetTimer(main, 2, 20, NULL);
  UINT_PTR guard = SetTimer(NULL, 0, 50, CloseLateDialog);
  DWORD start = GetTickCount();
  for (int i = 0; GetTickCount() - start < ms; ++i) {
    SendMessageA(main, IpcMessage, 0, MarkerCode);
    ++r.markers;
    switch (i % 8) {
      case 0: SendMessageA(main, WM_KEYDOWN, VK_F12, 0); break;
      case 1: SendMessageA(main, IpcMessage, 0, 617); break;  // keyboard input, F12 held
      case 2:
        if (GetTickCount() - start < ms / 2) SendMessageA(main, IpcMessage, 0, 135);  // restart
        break;
      case 3: r.menuItems += MenuGetsItem(main); break;
      case 4: SendMessageA(main, WM_COMMAND, 1025, 0); break;
      case 5:
        if (GetTickCount() - start < ms / 2) SendMessageA(main, WM_CLOSE, 0, 0);
        break;
      case 6:
        PlayerEndTrack();
        ++r.trackEnds;
        break;
    }
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_TIMER && msg.hwnd == main) {
        if (msg.lParam) ++r.pluginTicks;
        else ++r.playerTicks;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, NULL, FALSE, 2, QS_ALLINPUT);
  }
  KillTimer(NULL, guard);
  KillTimer(main, 1);
  KillTimer(main, 2);
  Seen.f12Held = false;
  return r;
}

bool ModuleLoaded(const std::string& path) {
  HMODULE module;
  return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, path.c_str(), &module) != 0;
}

class Unloading : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    realTimers = true;  // the storm counts real timer ticks
    Player.spy = CountAtPlayer;
    playerProc = GetWindowLongPtrA(main, GWLP_WNDPROC);
    // An alarm rings as the host quits us: its window, and its hold on the thread's
    // messages, must go before the module does.
    WriteDword("StartOn", 1);
    WriteDword("StartH", 7);
    SetSimulatedClock(6, 59, 59);
  }
  void TearDown() override {
    PluginTest::TearDown();
    Player.spy = nullptr;
  }
  // Quit, then FreeLibrary, as the host does at its end.
  void QuitAndUnload() {
    EXPECT_TRUE(PumpUntilReal(3000, [] { return FindWindowA("#32770", "Dawnbell") != NULL; }))
        << "no alarm ringing";
    Quit();
    EXPECT_TRUE(FindWindowA("#32770", "Dawnbell") == NULL);
    ClosePlugin(&plugin);
  }
  // The storm, and what every order must show after it.
  StormResult StormAfterUnload(bool theirsInChain) {
    StormResult r = Storm(main, 1500);  // some two hundred ticks and thirty ends of tracks
    EXPECT_TRUE(IsWindow(main));
    EXPECT_EQ(r.markers, PlayerMarkers) << "the player missed messages";
    if (theirsInChain) {
      EXPECT_EQ(r.markers, TheirMarkers) << "the other subclass missed messages";
    }
    EXPECT_EQ(0, LateDialogs) << "the settings dialog opened after the quit";
    EXPECT_EQ(0, r.menuItems) << "the menu item came after the quit";
    EXPECT_EQ(0, r.pluginTicks) << "a timer with a procedure ran after the quit";
    EXPECT_GT(r.playerTicks, 50);
    EXPECT_GT(r.trackEnds, 10);
    EXPECT_EQ(12, SendMessageA(main, IpcMessage, 0, 124));
    printf("unloading: %d messages, %d timer ticks, %d ends of tracks in 1.5 s\n", r.markers,
           r.playerTicks, r.trackEnds);
    return r;
  }
  void ExpectBothInTheChain() {
    EXPECT_TRUE(MenuGetsItem(main));  // ours
    PlayerMarkers = 0;
    SendMessageA(main, IpcMessage, 0, MarkerCode);
    EXPECT_EQ(1, TheirMarkers);
    EXPECT_EQ(1, PlayerMarkers);
  }
  LONG_PTR playerProc = 0;
};

}  // namespace

TEST_F(Unloading, TheirsAboveOursStaysWholeAndPinsTheModule) {
  Init();
  InstallTheirs(main);
  ExpectBothInTheChain();
  QuitAndUnload();
  // They still call into us, so we must stay loaded.
  EXPECT_TRUE(ModuleLoaded(copyPath));
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(TheirProc), GetWindowLongPtrA(main, GWLP_WNDPROC));
  StormAfterUnload(true);
  copyPath.clear();  // pinned for the rest of the process: cannot be deleted
}

TEST_F(Unloading, TheirsAboveOursLeavingAfterTheQuitKeepsThePlayerWhole) {
  Init();
  InstallTheirs(main);
  QuitAndUnload();
  RemoveTheirs(main);  // puts back our procedure, in the pinned module
  EXPECT_TRUE(ModuleLoaded(copyPath));
  StormAfterUnload(false);
  copyPath.clear();
}

TEST_F(Unloading, TheirsAboveOursLeavingBeforeTheQuitLetsTheModuleGo) {
  Init();
  InstallTheirs(main);
  RemoveTheirs(main);
  QuitAndUnload();
  EXPECT_FALSE(ModuleLoaded(copyPath));
  EXPECT_EQ(playerProc, GetWindowLongPtrA(main, GWLP_WNDPROC));
  StormAfterUnload(false);
}

TEST_F(Unloading, TheirsBelowOursIsPutBackAndTheModuleGoes) {
  InstallTheirs(main);
  Init();
  ExpectBothInTheChain();
  QuitAndUnload();
  EXPECT_FALSE(ModuleLoaded(copyPath));
  EXPECT_EQ(reinterpret_cast<LONG_PTR>(TheirProc), GetWindowLongPtrA(main, GWLP_WNDPROC));
  StormAfterUnload(true);
}
