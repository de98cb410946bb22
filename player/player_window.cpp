// The player's main window: status at the top, transport buttons, volume, the log below.
#include "player_internal.h"

#include <commctrl.h>
#include <stdio.h>
#include <windowsx.h>

#include "sim_clock.h"
#include "virtual_timers.h"

const char PlayerClassName[] = "DawnbellStandInPlayer";
HWND PlayerMain;

enum : UINT_PTR { AdvanceTimer = 100, LogTimer = 101, CloseTimer = 102 };
enum { StatusHeight = 84, ButtonTop = 90, VolumeTop = 122, LogTop = 154, LogLimit = 4000 };
enum { VolumeBarId = 201, LogBoxId = 202, PlaylistBoxId = 203, PlaylistRows = 500 };

static DWORD LastAdvance;
static HWND LogBox, VolumeBar, PlaylistBox;
static unsigned ListShown = ~0u;  // the playlist change the box shows
static size_t ListCountShown;
static bool DraggingVolume;

static size_t LogShown;  // entries of PlayerLog already in the log box

// The log box catches up a few times a second rather than per entry: a plug-in may ask a
// million questions in one go (the start-up wait), and a list box row each would stall us.
static void FlushLogBox() {
  if (!LogBox) return;
  if (LogShown > PlayerLog.size()) LogShown = 0;  // the log was cleared
  if (LogShown == PlayerLog.size()) return;
  if (PlayerLog.size() - LogShown > LogLimit) LogShown = PlayerLog.size() - LogLimit;
  SendMessageA(LogBox, WM_SETREDRAW, FALSE, 0);
  LRESULT index = 0;
  for (; LogShown < PlayerLog.size(); ++LogShown) {
    if (SendMessageA(LogBox, LB_GETCOUNT, 0, 0) >= LogLimit) SendMessageA(LogBox, LB_DELETESTRING, 0, 0);
    index = SendMessageA(LogBox, LB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(FormatLogLine(PlayerLog[LogShown]).c_str()));
  }
  SendMessageA(LogBox, LB_SETTOPINDEX, index, 0);
  SendMessageA(LogBox, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(LogBox, NULL, TRUE);
}

// The playlist box follows the list a few times a second too; a long list shows its start.
static void FlushPlaylistBox() {
  if (!PlaylistBox) return;
  size_t count = Player.lengthsMs.size();
  if (ListShown != Player.listChanges || ListCountShown != count) {
    ListShown = Player.listChanges;
    ListCountShown = count;
    SendMessageW(PlaylistBox, WM_SETREDRAW, FALSE, 0);
    SendMessageW(PlaylistBox, LB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < count && i < PlaylistRows; ++i)
      SendMessageW(PlaylistBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(EntryTitle(static_cast<int>(i)).c_str()));
    if (count > PlaylistRows)
      SendMessageW(PlaylistBox, LB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>((L"... " + std::to_wstring(count - PlaylistRows) + L" more").c_str()));
    SendMessageW(PlaylistBox, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(PlaylistBox, NULL, TRUE);
  }
  if (SendMessageW(PlaylistBox, LB_GETCURSEL, 0, 0) != Player.current)
    SendMessageW(PlaylistBox, LB_SETCURSEL, Player.current < PlaylistRows ? Player.current : -1, 0);
}

static HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y,
                  int w, int h, int id) {
  HWND child = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleA(NULL), NULL);
  SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  return child;
}

static void CreateControls(HWND window) {
  struct { const char* text; int id; int width; } const buttons[] = {
      {"|<", PlayerPreviousCommand, 30}, {"Play", 40045, 50}, {"Pause", 40046, 50},
      {"Stop", 40047, 50}, {">|", PlayerNextCommand, 30}, {"Stop after current", 40157, 110},
      {"Plug-in settings...", PlayerConfigCommand, 110}};
  int x = 8;
  for (const auto& b : buttons) {
    Child(window, "BUTTON", b.text, BS_PUSHBUTTON, x, ButtonTop, b.width, 26, b.id);
    x += b.width + 4;
  }
  Child(window, "STATIC", "Volume", 0, 8, VolumeTop + 6, 50, 16, -1);
  VolumeBar = Child(window, TRACKBAR_CLASSA, "", TBS_HORZ | TBS_NOTICKS | WS_TABSTOP, 60,
                    VolumeTop, 260, 28, VolumeBarId);
  SendMessageA(VolumeBar, TBM_SETRANGE, FALSE, MAKELPARAM(0, 255));
  SendMessageA(VolumeBar, TBM_SETPOS, TRUE, Player.volume);
  LogBox = Child(window, "LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 8, LogTop,
                 100, 100, LogBoxId);
  SendMessageA(LogBox, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), 0);
  PlaylistBox = CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL |
                                LBS_NOINTEGRALHEIGHT, 8, LogTop, 100, 100, window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(PlaylistBoxId)),
                                GetModuleHandleA(NULL), NULL);
  SendMessageW(PlaylistBox, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  ListShown = ~0u;
}

static void Layout(HWND window) {
  RECT area;
  GetClientRect(window, &area);
  int logWidth = (area.right - 20) * 3 / 5;
  MoveWindow(LogBox, 8, LogTop, logWidth, area.bottom - LogTop - 8, TRUE);
  MoveWindow(PlaylistBox, 12 + logWidth, LogTop, area.right - 20 - logWidth, area.bottom - LogTop - 8, TRUE);
}

// A display panel: the track and its time large, a position bar, volume, state and clock.
static void DrawStatus(HDC dc, const RECT& area) {
  static HFONT big = CreateFontA(-16, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma");
  FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));
  RECT panel = {8, 6, area.right - 8, area.bottom - 2};
  FillRect(dc, &panel, GetSysColorBrush(COLOR_WINDOW));
  DrawEdge(dc, &panel, EDGE_SUNKEN, BF_RECT);
  SetBkMode(dc, TRANSPARENT);
  std::string status = DescribePlayer();
  size_t cut = status.find('\n');
  SelectObject(dc, big);
  RECT line = {16, 10, panel.right - 8, 32};
  DrawTextA(dc, status.substr(0, cut).c_str(), -1, &line, DT_LEFT | DT_SINGLELINE);
  // Position bar: how far into the current track.
  RECT bar = {16, 34, panel.right - 8, 42};
  FrameRect(dc, &bar, GetSysColorBrush(COLOR_BTNSHADOW));
  int length = CurrentLengthMs();
  if (length > 0) {
    RECT done = bar;
    InflateRect(&done, -1, -1);
    double part = Player.positionMs < length ? Player.positionMs / length : 1.0;
    done.right = done.left + static_cast<int>((done.right - done.left) * part);
    FillRect(dc, &done, GetSysColorBrush(COLOR_HIGHLIGHT));
  }
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  char clock[120];
  snprintf(clock, sizeof clock, "%s\nClock %s%s     Speed x%g", status.substr(cut + 1).c_str(),
           FormatClock(SimClockMsOfDay()).c_str(), SimClockOn() ? " (simulated)" : "", Player.speed);
  RECT rest = {16, 46, panel.right - 8, panel.bottom - 2};
  DrawTextA(dc, clock, -1, &rest, DT_LEFT);
}

// Drawn off screen first: the status changes twenty times a second.
static void Paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  RECT area;
  GetClientRect(window, &area);
  area.bottom = StatusHeight;
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, area.right, area.bottom);
  HGDIOBJ old = SelectObject(memory, bitmap);
  DrawStatus(memory, area);
  BitBlt(dc, 0, 0, area.right, area.bottom, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  EndPaint(window, &ps);
}

static void Refresh(HWND window) {
  RECT status = {0, 0, 4000, StatusHeight};
  InvalidateRect(window, &status, FALSE);
  if (VolumeBar && !DraggingVolume &&
      SendMessageA(VolumeBar, TBM_GETPOS, 0, 0) != Player.volume)
    SendMessageA(VolumeBar, TBM_SETPOS, TRUE, Player.volume);
}

static void VolumeMoved(WPARAM code) {
  DraggingVolume = LOWORD(code) == TB_THUMBTRACK;
  Player.volume = static_cast<int>(SendMessageA(VolumeBar, TBM_GETPOS, 0, 0));
  if (LOWORD(code) == TB_ENDTRACK) PlayerNote("you set the volume to " + std::to_string(Player.volume));
}

static void Tick(HWND window) {
  DWORD now = GetTickCount();
  AdvancePlayer(now - LastAdvance);
  LastAdvance = now;
  Refresh(window);
}

static LRESULT CALLBACK PlayerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (Player.spy) Player.spy(window, message, wParam, lParam);
  switch (message) {
    case IpcMessage: {
      LRESULT result = AnswerIpc(wParam, lParam);
      Log(message, wParam, lParam, result);
      if (result && (lParam == 211 || lParam == 214)) PlayerLog.back().note = Utf8(EntryPath(static_cast<int>(wParam)));
      return result;
    }
    case WM_COPYDATA: {
      LRESULT result = AnswerCopyData(reinterpret_cast<COPYDATASTRUCT*>(lParam));
      Refresh(window);
      return result;
    }
    case WM_COMMAND:
      Log(message, wParam, lParam, 0);
      RunCommand(window, LOWORD(wParam));  // the id: the keyboard's commands carry 1 above it
      Refresh(window);
      if (lParam) SetFocus(window);  // keys go back to the main window after a button
      return 0;
    case TrackEndNotice:
      if (!NoticeLogged) Log(message, wParam, lParam, 0);
      TrackEnded();
      return 0;
    case WM_TIMER:
      if (wParam == LogTimer) FlushLogBox(), FlushPlaylistBox();
      if (wParam == CloseTimer) {
        DestroyWindow(window);
        return 0;
      }
      if (wParam != AdvanceTimer) break;
      Tick(window);
      return 0;
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) == VolumeBar) VolumeMoved(wParam);
      return 0;
    case WM_CONTEXTMENU:
      ShowPlayerMenu(window, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case WM_LBUTTONDOWN: SetFocus(window); return 0;
    case WM_CREATE:
      // Only a top-level player shows controls; the tests' message-only ones need none.
      if (!reinterpret_cast<CREATESTRUCTA*>(lParam)->hwndParent) CreateControls(window);
      LogShown = 0;
      SetTimer(window, LogTimer, 100, NULL);
      return 0;
    case WM_SIZE: Layout(window); return 0;
    case WM_PAINT: Paint(window); return 0;
    case WM_CLOSE:
      if (Player.declineClose) return 0;
      if (Player.onClose) Player.onClose();
      if (Player.closeDelayMs) VirtualSetTimer(window, CloseTimer, Player.closeDelayMs, NULL);
      else DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      LogBox = VolumeBar = PlaylistBox = NULL;
      if (Player.quitOnDestroy) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreatePlayerWindow(HINSTANCE instance, bool visible) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = PlayerProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = PlayerClassName;
    RegisterClassA(&wc);
    registered = true;
  }
  PlayerMain = CreateWindowExA(0, PlayerClassName, "Dawnbell stand-in player",
                               WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40, 640, 480, NULL,
                               NULL, instance, NULL);
  if (visible) ShowWindow(PlayerMain, SW_SHOWNORMAL);
  return PlayerMain;
}

void StartPlayerClock() {
  LastAdvance = GetTickCount();
  SetTimer(PlayerMain, AdvanceTimer, 50, NULL);
}
