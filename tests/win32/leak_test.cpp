// A long run's worth of the plug-in's repeated work: a thousand settings dialogs, menu
// openings and saves. Whatever it opens or creates along the way must be closed again.
#include <stdio.h>

#include "counters.h"
#include "dialog_driver.h"

namespace {

enum { Rounds = 1000 };

void ExpectNoKeyOpen() {
  EXPECT_TRUE(Keys.open.empty()) << Keys.open.size() << " registry keys left open";
  EXPECT_EQ(Keys.opens, Keys.closes);
  EXPECT_EQ(0, Keys.strayCloses);
}

// The key the saves leave must still load: every setting a 4-byte DWORD, the text terminated.
void ExpectKeyReadable() {
  EXPECT_EQ(StoredValueCount, CountValues(PluginKeyPath));
  DWORD value;
  for (const char* name : {"StartOn", "HotKey", "VolEnd", "MenuPos", "TrackLength"})
    EXPECT_TRUE(ReadDword(name, &value)) << name;
  std::string text;
  EXPECT_TRUE(ReadText(PluginKeyPath, "MenuName", &text));
}

LARGE_INTEGER Counter() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

double SecondsSince(LARGE_INTEGER start) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(Counter().QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

using Leaks = PluginTest;
using SoakLeaks = PluginTest;  // minutes of dialogs: run after the test run, not in it

TEST_F(SoakLeaks, AThousandSettingsDialogsLeaveNoKeyGdiObjectOrWindowBehind) {
  Init();
  CountResources(plugin.module);
  CountGdi(plugin.module);
  int windows = ThreadWindowCount();
  LARGE_INTEGER start = Counter();
  int abouts = 0;
  for (int i = 0; i < Rounds && !HasFailure(); ++i) {
    bool about = i % 10 == 0;  // the about box holds the plug-in's only GDI object
    abouts += about;
    RunSettingsUnseen(plugin.plugin, [i, about](HWND d) {
      if (about) RunAbout(d, [](HWND box) { Click(box, 7); });
      switch (i % 3) {  // every way of closing saves
        case 0: Click(d, 2); break;
        case 1: SendMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        default: SendMessageA(d, WM_COMMAND, IDCANCEL, 0); break;
      }
    });
  }
  double seconds = SecondsSince(start);
  ExpectNoKeyOpen();
  EXPECT_EQ(Rounds + abouts, Dialogs.opened);
  EXPECT_EQ(Dialogs.opened, Dialogs.returned);
  EXPECT_TRUE(Gdi.live.empty()) << Gdi.live.size() << " GDI objects alive";
  EXPECT_EQ(abouts, Gdi.created);
  EXPECT_EQ(windows, ThreadWindowCount());
  // Each opening loads and asks for the start-up entry; each closing asks again and saves;
  // the first save found no key and created it.
  EXPECT_EQ(4 * Rounds + 1, Keys.opens + Keys.failedOpens);
  ExpectKeyReadable();
  printf("leaks: %d settings dialogs (%d with the about box) in %.1f s; %d GDI objects made, %zu alive; "
         "windows %d before, %d after\n",
         Rounds, abouts, seconds, Gdi.created, Gdi.live.size(), windows, ThreadWindowCount());
  PrintCounts("leaks, dialogs");
}

TEST_F(Leaks, AThousandMenuOpeningsInsertAndRemoveTheItemEachTime) {
  Init();
  CountResources(plugin.module);
  HMENU menu = CreatePopupMenu();
  for (int i = 0; i < PlayerMenuCount; ++i) AppendMenuA(menu, MF_STRING, 40000 + i, "Item");
  HMENU small = CreatePopupMenu();  // a submenu: never gets the item
  for (int i = 0; i < 9; ++i) AppendMenuA(small, MF_STRING, 41000 + i, "Sub");
  LARGE_INTEGER start = Counter();
  int wrong = 0, submenusLeft = 0;
  for (int i = 0; i < Rounds; ++i) {
    SendMessageA(main, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    HMENU sleep = GetSubMenu(menu, 6), alarms = GetSubMenu(menu, 7);
    bool inserted = GetMenuItemCount(menu) == PlayerMenuCount + 3 && GetMenuItemID(menu, 5) == 1025 && sleep &&
                    alarms;
    SendMessageA(main, WM_INITMENU, reinterpret_cast<WPARAM>(small), 0);
    SendMessageA(main, WM_EXITMENULOOP, FALSE, 0);
    bool removed = GetMenuItemCount(menu) == PlayerMenuCount && GetMenuItemCount(small) == 9;
    wrong += !inserted || !removed;
    submenusLeft += (sleep && IsMenu(sleep)) + (alarms && IsMenu(alarms));
  }
  double seconds = SecondsSince(start);
  EXPECT_EQ(0, wrong) << "rounds without exactly the item and the submenus while open and none after";
  EXPECT_EQ(0, submenusLeft) << "submenus not destroyed";
  // The settings item, the sleep timer's and the alarm's submenus, each time.
  EXPECT_EQ(3 * Rounds, MenuItems.inserts);
  EXPECT_EQ(3 * Rounds, MenuItems.removals);
  for (int i = 0; i < PlayerMenuCount; ++i) EXPECT_EQ(UINT(40000 + i), GetMenuItemID(menu, i));
  ExpectNoKeyOpen();
  DestroyMenu(small);
  DestroyMenu(menu);
  printf("leaks: %d menu openings in %.3f s\n", Rounds, seconds);
  PrintCounts("leaks, menus");
}

TEST_F(Leaks, AThousandSavesLeaveNoKeyOpen) {
  Init();
  CountResources(plugin.module);
  Player.declineClose = true;  // the close message saves, and the player stays
  LARGE_INTEGER start = Counter();
  for (int i = 0; i < Rounds; ++i) {
    if (i % 100 == 0) DeleteKey(PluginKeyPath);  // the save that has to create the key
    if (i % 2) SendMessageA(main, WM_USER, 0, 135);  // the restart notice, HotKey being set
    else SendMessageA(main, WM_CLOSE, 0, 0);
  }
  double seconds = SecondsSince(start);
  ExpectNoKeyOpen();
  // One open a save, or a failed open and a create where the key was gone.
  EXPECT_EQ(Rounds, Keys.opens);
  EXPECT_EQ(Rounds / 100, Keys.failedOpens);
  ExpectKeyReadable();
  Player.declineClose = false;
  printf("leaks: %d saves in %.2f s\n", Rounds, seconds);
  PrintCounts("leaks, saves");
}
