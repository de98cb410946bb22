#include "alarm_dialog.h"

#include <shlwapi.h>

#include "../seam/host_player.h"
#include "../seam/descriptor.h"
#include "../res/resource.h"
#include "../settings/settings.h"
#include "alarm_text.h"

// The number edits, their settings and the most each holds, in the same order.
enum { NumberCount = 3 };
static const int NumberEdits[NumberCount] = {IDC_SNOOZE, IDC_RING_LIMIT, IDC_SYS_VOLUME};
static int32_t* const NumberSettings[NumberCount] = {&Snooze, &RingLimit, &SysVolume};
static const int32_t NumberMost[NumberCount] = {MostMinutes, MostMinutes, MostPercent};

void ShowAlarmClock(HWND owner) {
  DialogBoxParamA(Plugin.hDllInstance, MAKEINTRESOURCEA(IDD_ALARM_CLOCK), owner, AlarmDialogProc, 0);
}

// As the alarm counts it: above the most (or negative, read unsigned) it is the most.
static int32_t Stored(int i) {
  uint32_t n = static_cast<uint32_t>(*NumberSettings[i]);
  return n > static_cast<uint32_t>(NumberMost[i]) ? NumberMost[i] : static_cast<int32_t>(n);
}

static INT_PTR InitAlarmClock(HWND dialog) {
  ReadLocalTime();
  NextAlarmText(LocalTime, Scratch);
  SetDlgItemTextA(dialog, IDC_NEXT_ALARM, Scratch);
  SleepTimerText(LocalTime, Scratch);
  SetDlgItemTextA(dialog, IDC_SLEEP_TIMER, Scratch);
  for (int i = 0; i < NumberCount; ++i) {
    wsprintfA(Scratch, "%d", Stored(i));
    SetDlgItemTextA(dialog, NumberEdits[i], Scratch);
  }
  CheckDlgButton(dialog, IDC_SILENT_TONE, SilentTone ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_RING_WINDOW, RingWindow ? BST_CHECKED : BST_UNCHECKED);
  return TRUE;  // the first edit takes the focus
}

// Pasting gets past the digits-only style, so a sign or any size can still arrive.
static int32_t ReadNumber(HWND dialog, int i) {
  GetDlgItemTextA(dialog, NumberEdits[i], Scratch, TextSize);
  int32_t n = StrToIntA(Scratch);
  return n < 0 ? 0 : n > NumberMost[i] ? NumberMost[i] : n;
}

// There is no cancel: every way of closing keeps what the dialog shows. The settings
// dialog saves the record from memory later, so this must write memory, not just the store.
static INT_PTR CloseAlarmSaving(HWND dialog) {
  for (int i = 0; i < NumberCount; ++i) *NumberSettings[i] = ReadNumber(dialog, i);
  SilentTone = IsDlgButtonChecked(dialog, IDC_SILENT_TONE) == BST_CHECKED;
  RingWindow = IsDlgButtonChecked(dialog, IDC_RING_WINDOW) == BST_CHECKED;
  SaveSettings();
  EndDialog(dialog, 0);
  return TRUE;
}

static INT_PTR AlarmCommand(HWND dialog, WPARAM command) {
  switch (command) {
    case IDC_ALARM_OK:
    case IDCANCEL: return CloseAlarmSaving(dialog);
  }
  return FALSE;
}

INT_PTR CALLBACK AlarmDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: return InitAlarmClock(dialog);
    case WM_COMMAND: return AlarmCommand(dialog, wParam);
    case WM_CLOSE: return CloseAlarmSaving(dialog);
  }
  return FALSE;
}
