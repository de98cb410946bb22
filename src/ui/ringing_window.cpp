#include "ringing_window.h"

#include "../control/control.h"
#include "../res/resource.h"
#include "../seam/descriptor.h"
#include "../seam/host_player.h"
#include "../settings/settings.h"
#include "ringing_text.h"

static HWND Window;
static HFONT TimeFont;  // made with the window, deleted with it
static HHOOK KeyHook;   // set while Window is, never without it

// The player's own loop knows nothing of our window: its keys go through the dialog manager
// here, so that Enter is Snooze, Escape is Stop and Tab moves between them.
static LRESULT CALLBACK DialogKeys(int code, WPARAM removed, LPARAM lParam) {
  MSG* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && removed == PM_REMOVE && IsDialogMessageA(Window, msg))
    msg->message = WM_NULL;
  return CallNextHookEx(NULL, code, removed, lParam);
}

static void MakeTimeFont(HWND window) {
  LOGFONTA font;
  HGDIOBJ dialogFont = reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0));
  if (GetObjectA(dialogFont, sizeof font, &font) != sizeof font) return;
  font.lfHeight *= 3;
  font.lfWidth = 0;
  font.lfWeight = FW_BOLD;
  lstrcpyA(font.lfFaceName, "Tahoma");  // the dialog's face has bitmaps only: stretched, they blur
  TimeFont = CreateFontIndirectA(&font);
  if (TimeFont) SendDlgItemMessageA(window, IDC_RING_TIME, WM_SETFONT, reinterpret_cast<WPARAM>(TimeFont), FALSE);
}

static void Forget() {
  UnhookWindowsHookEx(KeyHook);
  DeleteObject(TimeFont);
  TimeFont = NULL;  // a window whose font cannot be made must not delete this one again
  Window = NULL;
}

// Where an owned window would be: in the middle of the work area of the player's monitor
// (of where it was before it was minimised).
static void CentreOnPlayer(HWND window) {
  MONITORINFO monitor;
  monitor.cbSize = sizeof monitor;
  RECT r;
  if (!GetMonitorInfoA(MonitorFromWindow(Plugin.hwndParent, MONITOR_DEFAULTTONEAREST), &monitor) ||
      !GetWindowRect(window, &r))
    return;
  const RECT& work = monitor.rcWork;
  SetWindowPos(window, NULL, (work.left + work.right - (r.right - r.left)) / 2,
               (work.top + work.bottom - (r.bottom - r.top)) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Greyed while there is no snooze to take. The keyboard goes with it, to the next button:
// a greyed Snooze must not keep it, and Enter snoozes again once Snooze is back.
static void FollowSnooze(HWND window) {
  BOOL can = CanSnooze();
  HWND snooze = GetDlgItem(window, IDC_RING_SNOOZE);
  if (can) EnableWindow(snooze, TRUE);
  if (GetFocus() == (can ? GetDlgItem(window, IDC_RING_STOP) : snooze))
    SendMessageA(window, WM_NEXTDLGCTL, 0, FALSE);
  EnableWindow(snooze, can);
}

// The alarms missed have OK alone: Stop, named so and in the middle, Snooze hidden.
static void FollowMissed(HWND window) {
  bool missed = !Ringing.State;
  HWND stop = GetDlgItem(window, IDC_RING_STOP);
  RECT place = {missed ? 65 : 95, 61, 0, 0};  // the template's dialog units
  MapDialogRect(window, &place);
  SetWindowPos(stop, NULL, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowTextA(stop, missed ? "OK" : "Stop");
  ShowWindow(GetDlgItem(window, IDC_RING_SNOOZE), missed ? SW_HIDE : SW_SHOW);
}

void ShowRinging() {
  HWND window = Window;
  if ((!Ringing.State && !Missed.Count) || !RingWindow) {
    if (window) DestroyWindow(window);
    return;
  }
  if (!window) {
    // Owned by no window: Windows hides what a window owns while it is minimised, and a
    // player in the tray is hidden itself. The taskbar shows a button of its own for it.
    // Wide, so that the label shows as typed.
    window = CreateDialogParamW(Plugin.hDllInstance, MAKEINTRESOURCEW(IDD_RINGING), NULL, RingingProc, 0);
    if (!window) return;
    CentreOnPlayer(window);
  }
  char time[16];
  RingingText(time, Scratch);
  SetDlgItemTextA(window, IDC_RING_TIME, time);
  SetDlgItemTextA(window, IDC_RING_STATE, Scratch);
  // The label is the ringing alarm's; the alarms missed have none of their own.
  SetDlgItemTextW(window, IDC_RING_LABEL,
                  reinterpret_cast<const WCHAR*>(Ringing.State && Ringing.Label ? Ringing.Label : u""));
  FollowMissed(window);
  FollowSnooze(window);
  if (Window) return;
  Window = window;
  KeyHook = SetWindowsHookExA(WH_GETMESSAGE, DialogKeys, NULL, GetCurrentThreadId());
  // With Activate the player has just been brought to the foreground, and ours takes it over.
  // Without, the sleeper's other window keeps the keyboard; ours is on top all the same.
  ShowWindow(window, Activate ? SW_SHOW : SW_SHOWNOACTIVATE);
}

// A window shown afresh takes the foreground itself. Activated, the dialog gives the keyboard
// back to the button that had it, OK while it told the missed alarms: on to Snooze, as when shown.
void FrontRinging() {
  if (!Window) return;
  SetForegroundWindow(Window);
  FollowSnooze(Window);
}

// IDCANCEL is Escape, and the close box and Alt+F4 as the dialog manager turns a close.
static void RingingCommand(WPARAM command) {
  if (!Ringing.State) return MissedSeen();  // OK, Escape, the close box: the alarms missed are seen
  switch (command) {
    case IDC_RING_SNOOZE: AnswerRinging(CmdPause); break;
    case IDC_RING_STOP:
    case IDCANCEL: AnswerRinging(CmdStop); break;
  }
}

// No focus is set at the start: shown without activation, the window must take none.
INT_PTR CALLBACK RingingProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: MakeTimeFont(window); break;
    case WM_COMMAND: RingingCommand(wParam); break;
    case WM_DESTROY: Forget(); break;
  }
  return FALSE;
}
