// Screenshots taken from inside the menu and dialog loops: a thread timer runs in every
// modal loop, finds the window the loop is for, captures it and closes it.
#include <stdio.h>

#include "screen_capture.h"
#include "showcase.h"

enum { TickMs = 250, GiveUpTicks = 40 };

static struct {
  int stage;
  int ticks;
  HWND main, settings, about;
  std::string menuPath, settingsPath, aboutPath, report;
  bool menuSaved, settingsSaved, aboutSaved;
} Shot;

static bool IsClass(HWND window, const char* name) {
  char found[64];
  return GetClassNameA(window, found, sizeof found) && lstrcmpiA(found, name) == 0;
}

struct Search { const char* windowClass; HWND except, found; };

static BOOL CALLBACK Consider(HWND w, LPARAM p) {
  Search* s = reinterpret_cast<Search*>(p);
  if (w == s->except || !IsWindowVisible(w) || !IsClass(w, s->windowClass)) return TRUE;
  s->found = w;
  return FALSE;
}

// A visible window of the class on this thread other than `except`.
static HWND FindOfClass(const char* windowClass, HWND except) {
  Search search = {windowClass, except, NULL};
  EnumThreadWindows(GetCurrentThreadId(), Consider, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// By its caption: the alarm's window, a dialog of this thread too, may be open beside it.
static HWND ShownDialog(const char* caption) {
  HWND dialog = FindWindowA("#32770", caption);
  return dialog && IsWindowVisible(dialog) ? dialog : NULL;
}

static void DescribeMenu(HMENU menu) {
  int count = GetMenuItemCount(menu);
  char text[120];
  snprintf(text, sizeof text, "context menu: %d items", count);
  Shot.report += text;
  for (int i = 0; i < count; ++i) {
    char item[64] = "";
    if (GetMenuItemID(menu, i) != 1025) continue;  // the plug-in's settings item
    GetMenuStringA(menu, i, item, sizeof item, MF_BYPOSITION);
    snprintf(text, sizeof text, ", the plug-in's \"%s\" is item %d", item, i + 1);
    Shot.report += text;
  }
  Shot.report += "\n";
}

static void CALLBACK MenuTick(HWND, UINT, UINT_PTR, DWORD) {
  HWND menu = FindWindowA("#32768", NULL);
  if (menu && IsWindowVisible(menu) && ++Shot.stage == 2) {  // one tick to be painted
    DescribeMenu(reinterpret_cast<HMENU>(SendMessageA(menu, 0x01E1 /* MN_GETHMENU */, 0, 0)));
    Shot.menuSaved = SaveWindowImage(Shot.main, menu, Shot.menuPath);
  }
  if (Shot.stage >= 2 || ++Shot.ticks > GiveUpTicks) EndMenu();
}

bool CaptureMenu(HWND main, const std::string& path, std::string* report) {
  Shot = {};
  Shot.main = main;
  Shot.menuPath = path;
  POINT at = {260, 200};
  ClientToScreen(main, &at);
  UINT_PTR timer = SetTimer(NULL, 0, TickMs, MenuTick);
  SendMessageA(main, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(main), MAKELPARAM(at.x, at.y));
  KillTimer(NULL, timer);
  if (!Shot.menuSaved) Shot.report += "context menu: not captured\n";
  *report += Shot.report;
  return Shot.menuSaved;
}

// One of the plug-in's submenus, opened from the keyboard as a user would: down to it (the
// seventh item with the showcase's settings is the sleep timer's, the eighth the alarm's),
// right to open it, down to the item.

static HWND FindMenuWindow(HWND except) { return FindOfClass("#32768", except); }

static struct {
  int stage, ticks, position, row;
  bool choose, done;
  HWND menu, submenu;
  std::string path;
} SleepShot;

static void Key(HWND window, WPARAM key) { PostMessageA(window, WM_KEYDOWN, key, 0); }

// Stages: 0 the menu to appear, 1 the submenu to appear, 2 painted with its row selected.
static void CALLBACK SleepMenuTick(HWND, UINT, UINT_PTR, DWORD) {
  ++SleepShot.ticks;
  switch (SleepShot.stage) {
    case 0:
      if ((SleepShot.menu = FindMenuWindow(NULL)) == NULL) break;
      for (int i = 0; i <= SleepShot.position; ++i) Key(SleepShot.menu, VK_DOWN);
      Key(SleepShot.menu, VK_RIGHT);
      SleepShot.stage = 1;
      break;
    case 1:
      if ((SleepShot.submenu = FindMenuWindow(SleepShot.menu)) == NULL) break;
      for (int i = 1; i < SleepShot.row; ++i) Key(SleepShot.submenu, VK_DOWN);
      SleepShot.stage = 2;
      break;
    case 2:
      if (!SleepShot.path.empty()) SleepShot.done = SaveWindowImage(SleepShot.menu, SleepShot.submenu, SleepShot.path);
      if (SleepShot.choose) {
        Key(SleepShot.submenu, VK_RETURN);
        SleepShot.done = true;
      } else {
        EndMenu();
      }
      SleepShot.stage = 3;
      break;
  }
  if (SleepShot.ticks > GiveUpTicks) EndMenu();
}

bool UseSubmenu(HWND main, int position, int row, bool choose, const std::string& path) {
  SleepShot = {};
  SleepShot.position = position;
  SleepShot.row = row;
  SleepShot.choose = choose;
  SleepShot.path = path;
  POINT at = {260, 200};
  ClientToScreen(main, &at);
  UINT_PTR timer = SetTimer(NULL, 0, TickMs, SleepMenuTick);
  SendMessageA(main, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(main), MAKELPARAM(at.x, at.y));
  KillTimer(NULL, timer);
  return SleepShot.done;
}

// Stages: 0 settings dialog to appear, 1 captured and About asked for, 2 about box to
// appear, 3 captured and closed, 4 settings closed.
static void CALLBACK DialogTick(HWND, UINT, UINT_PTR, DWORD) {
  ++Shot.ticks;
  switch (Shot.stage) {
    case 0:
      if ((Shot.settings = ShownDialog("Dawnbell Winamp Plug-in: Settings")) != NULL) Shot.stage = 1;
      break;
    case 1:
      Shot.settingsSaved = SaveWindowImage(Shot.settings, NULL, Shot.settingsPath);
      // As a click on "About..." (id 40) tells the dialog.
      PostMessageA(Shot.settings, WM_COMMAND, 40, reinterpret_cast<LPARAM>(GetDlgItem(Shot.settings, 40)));
      Shot.stage = 2;
      break;
    case 2:
      if ((Shot.about = ShownDialog("About")) != NULL) Shot.stage = 3;
      break;
    case 3:
      Shot.aboutSaved = SaveWindowImage(Shot.about, NULL, Shot.aboutPath);
      PostMessageA(Shot.about, WM_CLOSE, 0, 0);
      Shot.stage = 4;
      break;
    case 4:
      if (!IsWindow(Shot.about)) {
        PostMessageA(Shot.settings, WM_CLOSE, 0, 0);
        Shot.stage = 5;
      }
      break;
  }
  if (Shot.ticks > GiveUpTicks) {  // stuck: close whatever is open, the run goes on
    if (Shot.about && IsWindow(Shot.about)) PostMessageA(Shot.about, WM_CLOSE, 0, 0);
    if (Shot.settings && IsWindow(Shot.settings)) PostMessageA(Shot.settings, WM_CLOSE, 0, 0);
  }
}

bool CaptureDialogs(LoadedPlugin* plugin, const std::string& settingsPath,
                    const std::string& aboutPath, std::string* report) {
  Shot = {};
  Shot.settingsPath = settingsPath;
  Shot.aboutPath = aboutPath;
  UINT_PTR timer = SetTimer(NULL, 0, TickMs, DialogTick);
  plugin->plugin->config();  // the host's config entry: runs the settings dialog modally
  KillTimer(NULL, timer);
  *report += Shot.settingsSaved ? "settings dialog: captured\n" : "settings dialog: not captured\n";
  *report += Shot.aboutSaved ? "about box: captured\n" : "about box: not captured\n";
  return Shot.settingsSaved && Shot.aboutSaved;
}
