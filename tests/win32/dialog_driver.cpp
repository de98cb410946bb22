#include "dialog_driver.h"

#include <commctrl.h>
#include <stdio.h>

const char SettingsCaption[] = "Dawnbell Winamp Plug-in: Settings";
const char AboutCaption[] = "About";
const char AlarmClockCaption[] = "Dawnbell: Alarm clock";
const char AlarmCaption[] = "Dawnbell: Alarm";

// ---------------------------------------------------------------- scripts in modal loops
static void DrainDialog(HWND dialog) {
  MSG msg;
  while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
    if (IsDialogMessageA(dialog, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool PumpDialog(HWND dialog, DWORD ms, std::function<bool()> done) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    DrainDialog(dialog);
    MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

bool TickInDialog(HWND dialog, DWORD ms, std::function<bool()> done) {
  if (!VirtualTime()) return PumpDialog(dialog, ms, done);
  return VirtualAdvance(ms, [&] {
    DrainDialog(dialog);
    return done();
  });
}

static DialogScript PendingScript;
static const char* PendingCaption;
static int PendingTries;

static void CALLBACK RunPending(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = FindWindowA("#32770", PendingCaption);
  // The dialog shows itself once its loop first goes idle; wait for that.
  if ((!dialog || !IsWindowVisible(dialog)) && ++PendingTries < 300) return;
  KillTimer(NULL, timer);
  if (!dialog) {
    ADD_FAILURE() << "no dialog \"" << PendingCaption << "\" appeared";
    return;
  }
  DialogScript script = std::move(PendingScript);
  script(dialog);
  // A script may close by input it posted; give the dialog's own loop time to act on it.
  PumpDialog(dialog, 2000, [dialog] { return !IsWindowVisible(dialog); });
  if (IsWindowVisible(dialog)) {
    ADD_FAILURE() << "the script left \"" << PendingCaption << "\" open";
    PostMessageA(dialog, WM_CLOSE, 0, 0);
  }
}

static void Arm(const char* caption, DialogScript script) {
  PendingScript = std::move(script);
  PendingCaption = caption;
  PendingTries = 0;
  SetTimer(NULL, 0, 10, RunPending);
}

void RunSettings(LoadedPlugin& plugin, DialogScript script) {
  Arm(SettingsCaption, std::move(script));
  plugin.plugin->config();
}

void RunAbout(HWND settings, DialogScript script) {
  Arm(AboutCaption, std::move(script));
  Click(settings, 40);
}

void RunAlarmClock(HWND settings, DialogScript script) {
  Arm(AlarmClockCaption, std::move(script));
  Click(settings, 55);
}

void RunAlarm(std::function<void()> open, DialogScript script) {
  Arm(AlarmCaption, std::move(script));
  open();
}

// ---------------------------------------------------------------- closing
void CloseBy(HWND dialog, int okId, Way way) {
  switch (way) {
    case ByOk: Click(dialog, okId); break;
    case ByEscape: {
      HWND focus = GetFocus();
      PostMessageA(focus && IsChild(dialog, focus) ? focus : dialog, WM_KEYDOWN, VK_ESCAPE, 0);
      break;
    }
    case ByTitleBarClose: SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); break;
  }
}

DWORD Stored(const char* name) {
  DWORD value = 0xDEADBEEF;
  EXPECT_TRUE(ReadDword(name, &value)) << name;
  return value;
}

// ---------------------------------------------------------------- controls
void Click(HWND dialog, int id) { SendDlgItemMessageA(dialog, id, BM_CLICK, 0, 0); }

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }

std::string Text(HWND dialog, int id) {
  char text[256];
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

int Selection(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

int SliderPos(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageA(dialog, id, TBM_GETPOS, 0, 0));
}

std::vector<std::string> Rows(HWND dialog, int id) {
  std::vector<std::string> rows;
  int count = static_cast<int>(SendDlgItemMessageA(dialog, id, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[256] = "";
    if (SendDlgItemMessageA(dialog, id, LB_GETTEXTLEN, i, 0) < LRESULT(sizeof text))
      SendDlgItemMessageA(dialog, id, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    rows.push_back(text);
  }
  return rows;
}

int SelectedRow(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageA(dialog, id, LB_GETCURSEL, 0, 0));
}

// The mouse on the middle of the row, in the list's own coordinates.
static void MouseOnRow(HWND dialog, int id, int row, std::initializer_list<UINT> messages) {
  HWND list = GetDlgItem(dialog, id);
  RECT r = {};
  EXPECT_NE(LB_ERR, SendMessageA(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r))) << row;
  LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  for (UINT message : messages)
    SendMessageA(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
}

void ClickRow(HWND dialog, int id, int row) {
  MouseOnRow(dialog, id, row, {WM_LBUTTONDOWN, WM_LBUTTONUP});
}

void DoubleClickRow(HWND dialog, int id, int row) {
  MouseOnRow(dialog, id, row, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP});
}

void Slide(HWND dialog, int id, int position) {
  HWND slider = GetDlgItem(dialog, id);
  SendMessageA(slider, TBM_SETPOS, TRUE, position);
  SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position),
               reinterpret_cast<LPARAM>(slider));
}

// ---------------------------------------------------------------- text that fits
// What the control's text leaves room for, and how its text is laid out; false for a control
// with no text to measure (an icon, an edit, a list, a slider). What the system draws beside
// the text grows with the screen's dots per inch, `dpi`.
static bool TextRoom(HWND control, int* room, UINT* format, HDC dc, int dpi) {
  char name[32];
  GetClassNameA(control, name, sizeof name);
  DWORD style = GetWindowLongA(control, GWL_STYLE);
  RECT client;
  GetClientRect(control, &client);
  *room = client.right;
  *format = DT_CALCRECT | DT_SINGLELINE;
  SIZE zero;
  GetTextExtentPoint32A(dc, "0", 1, &zero);
  if (lstrcmpiA(name, "Static") == 0) {
    DWORD type = style & SS_TYPEMASK;
    if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT) *format = DT_CALCRECT | DT_WORDBREAK;
    else if (type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE) return false;
    return true;
  }
  if (lstrcmpiA(name, "Button") != 0) return false;
  switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_3STATE: case BS_AUTO3STATE:
    case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON:
      // The box, then a gap of half a digit before the text.
      *room -= MulDiv(GetSystemMetrics(SM_CXMENUCHECK), dpi, 96) + (zero.cx + 1) / 2;
      break;
    case BS_GROUPBOX: *room -= 2 * zero.cx; break;  // the frame's corner before the title, and after
    default: *room -= 2 * MulDiv(GetSystemMetrics(SM_CXEDGE) + 1, dpi, 96);  // a push button's edges and focus frame
  }
  return true;
}

std::string ClippedTexts(HWND dialog, int dpi, int* leastSpare) {
  std::string clipped;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char text[256];
    if (!GetWindowTextA(c, text, sizeof text)) continue;
    HDC dc = GetDC(c);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(c, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(SYSTEM_FONT));
    int room;
    UINT format;
    if (TextRoom(c, &room, &format, dc, dpi)) {
      // Laid out in the room less the spare: a text that must wrap there fails on its height.
      RECT client, needed = {0, 0, room - TextSpare, 0};
      GetClientRect(c, &client);
      DrawTextA(dc, text, -1, &needed, format);
      if (leastSpare && room - needed.right < *leastSpare) *leastSpare = room - needed.right;
      if (needed.right > room - TextSpare || needed.bottom > client.bottom)
        clipped += "control " + std::to_string(GetDlgCtrlID(c)) + " \"" + text + "\": needs " +
                   std::to_string(needed.right) + "+" + std::to_string(TextSpare) + "x" +
                   std::to_string(needed.bottom) + " px, has " + std::to_string(room) + "x" +
                   std::to_string(client.bottom) + "\n";
    }
    SelectObject(dc, old);
    ReleaseDC(c, dc);
  }
  return clipped;
}

// ---------------------------------------------------------------- gdi counting
GdiCount Gdi;

static HFONT WINAPI CountCreateFontIndirectA(const LOGFONTA* font) {
  HFONT made = CreateFontIndirectA(font);
  if (made) {
    Gdi.live.insert(made);
    ++Gdi.created;
  }
  return made;
}

static HGDIOBJ Made(HGDIOBJ object) {
  if (object) {
    Gdi.live.insert(object);
    ++Gdi.created;
  }
  return object;
}

static HBRUSH WINAPI CountCreateSolidBrush(COLORREF colour) {
  return static_cast<HBRUSH>(Made(CreateSolidBrush(colour)));
}

static HPEN WINAPI CountCreatePen(int style, int width, COLORREF colour) {
  return static_cast<HPEN>(Made(CreatePen(style, width, colour)));
}

static BOOL WINAPI CountDeleteObject(HGDIOBJ object) {
  Gdi.live.erase(object);
  return DeleteObject(object);
}

static HGDIOBJ WINAPI CountSelectObject(HDC dc, HGDIOBJ object) {
  if (GetObjectType(object) == OBJ_FONT) Gdi.lastSelectedFont = object;
  return SelectObject(dc, object);
}

void CountGdi(HMODULE module) {
  Gdi = GdiCount{};
  PatchImport(module, "gdi32.dll", "CreateFontIndirectA", reinterpret_cast<void*>(CountCreateFontIndirectA));
  PatchImport(module, "gdi32.dll", "CreateSolidBrush", reinterpret_cast<void*>(CountCreateSolidBrush));
  PatchImport(module, "gdi32.dll", "CreatePen", reinterpret_cast<void*>(CountCreatePen));
  PatchImport(module, "gdi32.dll", "DeleteObject", reinterpret_cast<void*>(CountDeleteObject));
  PatchImport(module, "gdi32.dll", "SelectObject", reinterpret_cast<void*>(CountSelectObject));
}

// ---------------------------------------------------------------- screens
// Wine runs Unix programs given by their Unix path; ImageMagick reads the X screen.
static std::string UnixPath(const char* windowsPath) {
  typedef char* (CDECL * ToUnix)(LPCWSTR);
  ToUnix toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  WCHAR wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, windowsPath, -1, wide, MAX_PATH);
  char* unix = toUnix ? toUnix(wide) : nullptr;
  if (!unix) return "";
  std::string path = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return path;
}

std::string SaveScreen(const char* name, HWND window) {
  char directory[MAX_PATH];
  GetFullPathNameA("..\\screens", sizeof directory, directory, NULL);
  CreateDirectoryA(directory, NULL);
  std::string path = std::string(directory) + "\\" + name + ".png";
  std::string unixDirectory = UnixPath(directory);
  if (unixDirectory.empty()) return "";
  std::string target = unixDirectory + "/" + name + ".png";
  std::string temporary = target + ".part";
  DeleteFileA(path.c_str());

  // X draws what Wine hands it a little later: let it settle before the shot.
  RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  PumpReal(300);
  RECT r;
  GetWindowRect(window, &r);
  char crop[96];
  snprintf(crop, sizeof crop, "%ldx%ld+%ld+%ld", r.right - r.left, r.bottom - r.top, r.left, r.top);
  // Written aside and renamed, so the file appearing means the shot is complete.
  std::string command = "/bin/sh -c \"/usr/bin/import -window root -crop " + std::string(crop) +
                        " +repage png:'" + temporary + "' && mv '" + temporary + "' '" + target + "'\"";
  STARTUPINFOA startup = {sizeof startup};
  PROCESS_INFORMATION process;
  std::vector<char> line(command.begin(), command.end());
  line.push_back(0);
  if (!CreateProcessA(NULL, line.data(), NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
    return "";
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  bool done = PumpUntilReal(15000, [&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; });
  return done ? path : "";
}
