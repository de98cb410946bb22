#include "player.h"

#include <stdio.h>

PlayerState Player;
std::vector<LogEntry> PlayerLog;
const char PlayerClassName[] = "DawnbellStandInPlayer";

enum : UINT { IpcMessage = WM_USER, TrackEndNotice = WM_USER + 2 };
enum : UINT_PTR { AdvanceTimer = 100 };

static HWND Main;
static DWORD LastAdvance;

static int CurrentLengthMs() {
  if (Player.lengthsMs.empty()) return 0;
  return Player.lengthsMs[Player.current];
}

static void Log(UINT message, WPARAM wParam, LPARAM lParam, LRESULT result) {
  PlayerLog.push_back({GetTickCount(), message, wParam, lParam, result});
}

static LRESULT AnswerIpc(WPARAM data, LPARAM code) {
  int value = static_cast<int>(data);
  bool idle = Player.status == PlayerStopped || Player.lengthsMs.empty();
  switch (code) {
    case 104: return Player.status;
    case 105:
      if (value == 0) return idle ? -1 : static_cast<LRESULT>(Player.positionMs);
      if (Player.lengthUnknownTicks > 0) { --Player.lengthUnknownTicks; return -1; }
      return idle ? -1 : CurrentLengthMs() / 1000;
    case 106:
      if (!idle) Player.positionMs = value;
      return 0;
    case 121:
      if (value >= 0 && value < static_cast<int>(Player.lengthsMs.size())) Player.current = value;
      return 0;
    case 122:
      if (value == -666) return Player.volume;
      Player.volume = value < 0 ? 0 : value > 255 ? 255 : value;
      return 0;
    case 124: return static_cast<LRESULT>(Player.lengthsMs.size());
    case 125: return Player.current;
  }
  return 0;
}

static void Command(HWND window, WPARAM id) {
  switch (id) {
    case 40001: PostMessageA(window, WM_CLOSE, 0, 0); break;
    case 40045:
      if (Player.lengthsMs.empty()) break;
      if (Player.status != PlayerPaused) Player.positionMs = 0;
      Player.status = PlayerPlaying;
      break;
    case 40046:
      if (Player.status == PlayerPlaying) Player.status = PlayerPaused;
      else if (Player.status == PlayerPaused) Player.status = PlayerPlaying;
      break;
    case 40047:
      Player.status = PlayerStopped;
      Player.positionMs = 0;
      Player.stopAfterCurrent = false;
      break;
    case 40157: Player.stopAfterCurrent = true; break;
  }
}

// The player's own reaction to the end of a track, after any hook has seen the notice.
static void TrackEnded() {
  if (Player.stopAfterCurrent || Player.current + 1 >= static_cast<int>(Player.lengthsMs.size())) {
    Player.stopAfterCurrent = false;
    Player.status = PlayerStopped;
    Player.positionMs = 0;
    return;
  }
  ++Player.current;
  Player.positionMs = 0;
}

void AdvancePlayer(double ms) {
  if (Player.status != PlayerPlaying) return;
  Player.positionMs += ms * Player.speed;
  if (Player.positionMs >= CurrentLengthMs()) PlayerEndTrack();
}

void PlayerEndTrack() {
  Player.positionMs = CurrentLengthMs();
  SendMessageA(Main, TrackEndNotice, 0, 0);
}

void StartPlayerClock() {
  LastAdvance = GetTickCount();
  SetTimer(Main, AdvanceTimer, 50, NULL);
}

void ShowPlayerMenu(HWND main, int x, int y) {
  static const char* const items[PlayerMenuCount] = {
      "Play", "Pause", "Stop", "Next track", "Stop after current", "Volume up", "Volume down",
      "Plug-in settings...", "Add tracks...", "Clear playlist", "About player...", "Exit"};
  static const WPARAM ids[PlayerMenuCount] = {40045, 40046, 40047, 40048, 40157, 40058,
                                              40059, PlayerConfigCommand, 40501, 40502,
                                              40503, 40001};
  HMENU menu = CreatePopupMenu();
  for (int i = 0; i < PlayerMenuCount; ++i) AppendMenuA(menu, MF_STRING, ids[i], items[i]);
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, x, y, 0, main, NULL);
  DestroyMenu(menu);
}

static void Paint(HWND window) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  std::string text = DescribePlayer();
  RECT area;
  GetClientRect(window, &area);
  InflateRect(&area, -8, -8);
  DrawTextA(dc, text.c_str(), -1, &area, DT_LEFT | DT_WORDBREAK);
  EndPaint(window, &ps);
}

static LRESULT CALLBACK PlayerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (Player.spy) Player.spy(window, message, wParam, lParam);
  switch (message) {
    case IpcMessage: {
      LRESULT result = AnswerIpc(wParam, lParam);
      Log(message, wParam, lParam, result);
      return result;
    }
    case WM_COMMAND:
      Log(message, wParam, lParam, 0);
      Command(window, wParam);
      InvalidateRect(window, NULL, TRUE);
      return 0;
    case TrackEndNotice:
      Log(message, wParam, lParam, 0);
      TrackEnded();
      return 0;
    case WM_TIMER:
      if (wParam == AdvanceTimer) {
        DWORD now = GetTickCount();
        AdvancePlayer(now - LastAdvance);
        LastAdvance = now;
        InvalidateRect(window, NULL, TRUE);
        return 0;
      }
      break;
    case WM_CONTEXTMENU:
      ShowPlayerMenu(window, LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_PAINT: Paint(window); return 0;
    case WM_CLOSE:
      if (Player.declineClose) return 0;
      if (Player.onClose) Player.onClose();
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
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
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = PlayerClassName;
    RegisterClassA(&wc);
    registered = true;
  }
  Main = CreateWindowExA(0, PlayerClassName, "Dawnbell stand-in player", WS_OVERLAPPEDWINDOW,
                         40, 40, 420, 220, NULL, NULL, instance, NULL);
  if (visible) ShowWindow(Main, SW_SHOWNORMAL);
  return Main;
}

std::string DescribeLogEntry(const LogEntry& e) {
  char text[160];
  const char* name = "";
  if (e.message == IpcMessage) {
    switch (e.lParam) {
      case 104: name = "is playing"; break;
      case 105: name = e.wParam ? "track length" : "track position"; break;
      case 106: name = "jump to time"; break;
      case 121: name = "set playlist position"; break;
      case 122: name = static_cast<int>(e.wParam) == -666 ? "query volume" : "set volume"; break;
      case 124: name = "playlist length"; break;
      case 125: name = "playlist position"; break;
      case 135: name = "restart notice"; break;
      case 617: name = "keyboard input"; break;
    }
    snprintf(text, sizeof text, "ipc %ld(%d) %s -> %ld", static_cast<long>(e.lParam),
             static_cast<int>(e.wParam), name, static_cast<long>(e.result));
  } else if (e.message == WM_COMMAND) {
    switch (e.wParam) {
      case 40001: name = "close"; break;
      case 40045: name = "play"; break;
      case 40046: name = "pause"; break;
      case 40047: name = "stop"; break;
      case 40157: name = "stop after current"; break;
    }
    snprintf(text, sizeof text, "command %u %s", static_cast<unsigned>(e.wParam), name);
  } else {
    snprintf(text, sizeof text, "end of track");
  }
  return text;
}

std::string DescribePlayer() {
  static const char* const states[] = {"stopped", "playing", "?", "paused"};
  char text[200];
  int length = CurrentLengthMs() / 1000;
  int position = static_cast<int>(Player.positionMs) / 1000;
  snprintf(text, sizeof text, "Track %d of %d   %d:%02d / %d:%02d\nVolume %d (%d%%)   %s%s",
           Player.current + 1, static_cast<int>(Player.lengthsMs.size()), position / 60,
           position % 60, length / 60, length % 60, Player.volume, Player.volume * 100 / 255,
           states[Player.status & 3], Player.stopAfterCurrent ? ", stops after this track" : "");
  return text;
}
