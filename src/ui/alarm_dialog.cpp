#include "alarm_dialog.h"

#include <shlwapi.h>

#include "../control/control.h"
#include "../seam/host_player.h"
#include "../seam/descriptor.h"
#include "../res/resource.h"
#include "../settings/settings.h"
#include "alarm_boxes.h"
#include "alarm_text.h"
#include "label_text.h"
#include "one_alarm_dialog.h"
#include "warning_text.h"

// The number edits, their settings and the most each holds, in the same order.
enum { NumberCount = 3 };
static const int NumberEdits[NumberCount] = {IDC_SNOOZE, IDC_RING_LIMIT, IDC_SYS_VOLUME};
// Indices, not addresses: a table of addresses would need a writable section for itself.
static const int32_t NumberSettings[NumberCount] = {static_cast<int32_t>(&Snooze - SettingValues),
                                                    static_cast<int32_t>(&RingLimit - SettingValues),
                                                    static_cast<int32_t>(&SysVolume - SettingValues)};
static const int32_t NumberMost[NumberCount] = {MostMinutes, MostMinutes, MostPercent};

void ShowAlarmClock(HWND owner) {
  // Wide, so that the rows show the music's names as they are.
  DialogBoxParamW(Plugin.hDllInstance, MAKEINTRESOURCEW(IDD_ALARM_CLOCK), owner, AlarmDialogProc, 0);
}

// As the alarm counts it: above the most (or negative, read unsigned) it is the most.
static int32_t Stored(int i) {
  uint32_t n = static_cast<uint32_t>(SettingValues[NumberSettings[i]]);
  return n > static_cast<uint32_t>(NumberMost[i]) ? NumberMost[i] : static_cast<int32_t>(n);
}

// The list's rows keep their slots: alarm 1 first, then the packed slots in use.
static int32_t SelectedSlot(HWND dialog) {
  LRESULT row = SendDlgItemMessageA(dialog, IDC_ALARMS, LB_GETCURSEL, 0, 0);
  // No selection (-1) asks for the data of no row, which answers -1 too.
  return static_cast<int32_t>(SendDlgItemMessageA(dialog, IDC_ALARMS, LB_GETITEMDATA, row, 0));
}

// The first empty packed slot, -1 when all are in use.
static int32_t FreeSlot() {
  AlarmRecord alarm;
  for (int32_t slot = 1; slot < AlarmCount; ++slot)
    if (!ReadAlarm(slot, &alarm)) return slot;
  return -1;
}

// Add, Edit and Remove, in that order of ids. Alarm 1 can be switched off, not removed.
static void EnableAlarmButtons(HWND dialog) {
  int32_t slot = SelectedSlot(dialog);
  const bool on[3] = {FreeSlot() > 0, slot >= 0, slot > 0};
  for (int i = 0; i < 3; ++i) EnableWindow(GetDlgItem(dialog, IDC_ADD_ALARM + i), on[i]);
}

// What a row shows of an alarm's music after its days: the file's or folder's name, or the
// stream's host.
static void AppendMusicName(const WCHAR* music, WCHAR* row) {
  if (!*music) return;
  int start = 0, end = lstrlenW(music);
  for (int i = 0; i + 2 < end; ++i)
    if (music[i] == L':' && music[i + 1] == L'/' && music[i + 2] == L'/') {
      start = i + 3;
      for (int j = end; j-- > start;)
        if (music[j] == L'/' || music[j] == L':' || music[j] == L'?') end = j;
      break;
    }
  if (!start) {
    while (end > 1 && (music[end - 1] == L'\\' || music[end - 1] == L'/')) --end;
    for (int i = 0; i < end; ++i)
      if (music[i] == L'\\' || music[i] == L'/') start = i + 1;
  }
  int length = lstrlenW(row);
  row[length++] = L' ';
  row[length++] = L' ';
  lstrcpynW(row + length, music + start, end - start + 1 < MAX_PATH ? end - start + 1 : MAX_PATH);
}

// The rows afresh, with `selected` selected (-1 none), and the next alarm they make.
static void ShowAlarms(HWND dialog, int32_t selected) {
  HWND list = GetDlgItem(dialog, IDC_ALARMS);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  AlarmRecord alarm;
  WCHAR text[LabelledSize + MAX_PATH + 2];
  for (int32_t slot = 0; slot < AlarmCount; ++slot) {
    if (!ReadAlarm(slot, &alarm)) continue;
    LabelledRow(slot, alarm, false, text);
    AppendMusicName(reinterpret_cast<const WCHAR*>(AlarmMusic[slot]), text);
    LRESULT row = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendMessageA(list, LB_SETITEMDATA, row, slot);
    if (slot == selected) SendMessageA(list, LB_SETCURSEL, row, 0);
  }
  EnableAlarmButtons(dialog);
  ReadLocalTime();
  ShowNextAlarm(dialog, IDC_NEXT_ALARM);
  LocalTimeRecord at;
  WarningText(AlarmWarning(LocalTime, &at), at, Scratch);
  SetDlgItemTextA(dialog, IDC_WARNING, Scratch);
}

static HWND AlarmClock;  // while it is open

void FollowAlarmClock() {
  if (AlarmClock) ShowAlarms(AlarmClock, SelectedSlot(AlarmClock));
}

// A button just pressed may have gone grey: the list takes the focus, or the keyboard has none.
static void AlarmsChanged(HWND dialog, int32_t selected) {
  AlarmsEdited();
  ShowAlarms(dialog, selected);
  SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_ALARMS)), TRUE);
}

// Add and Edit: the alarm dialog on the slot's alarm, or on a new one for an empty slot, which
// its OK fills. An edit counts only when it changes the alarm.
static void EditSlot(HWND dialog, int32_t slot) {
  AlarmRecord alarm, before;
  if (slot < 0) return;
  bool fresh = !ReadAlarm(slot, &before);
  if (fresh) {  // 07:00, Monday to Friday, on; set field by field, costing no table of its own
    alarm.Hour = 7;
    alarm.Minute = alarm.Once = 0;
    alarm.Days = 0x3E;
    alarm.On = 1;
  } else {
    alarm = before;
  }
  static char16_t music[MusicSize], label[LabelSize];
  WCHAR* own = reinterpret_cast<WCHAR*>(AlarmMusic[slot]);
  WCHAR* ownLabel = reinterpret_cast<WCHAR*>(AlarmLabel[slot]);
  int32_t& ownVolume = SettingValues[FirstAlarmVolume + slot];
  int32_t volume = OwnVolumePercent(slot);
  lstrcpyW(reinterpret_cast<WCHAR*>(music), own);
  lstrcpyW(reinterpret_cast<WCHAR*>(label), ownLabel);
  if (!EditAlarm(dialog, slot, &alarm, music, label, &volume) ||
      (!fresh && SameAlarm(alarm, before) && !lstrcmpW(reinterpret_cast<WCHAR*>(music), own) &&
       !lstrcmpW(reinterpret_cast<WCHAR*>(label), ownLabel) && volume == OwnVolumePercent(slot)))
    return;
  lstrcpyW(own, reinterpret_cast<WCHAR*>(music));
  lstrcpyW(ownLabel, reinterpret_cast<WCHAR*>(label));
  ownVolume = volume;
  // The player's menu, or the alarm's ringing, may have switched it meanwhile: that stays, and
  // only what the user changed goes in.
  AlarmRecord now;
  if (!fresh && ReadAlarm(slot, &now)) {
    MergeAlarm(before, alarm, &now);
    alarm = now;
  }
  WriteAlarm(slot, alarm);
  AlarmsChanged(dialog, slot);
}

static void RemoveSelected(HWND dialog) {
  int32_t slot = SelectedSlot(dialog);
  if (slot <= 0) return;
  RemoveAlarm(slot);
  // A new alarm in the slot starts on the player's playlist, with no label, at the end volume.
  AlarmMusic[slot][0] = AlarmLabel[slot][0] = 0;
  SettingValues[FirstAlarmVolume + slot] = 0;
  AlarmsChanged(dialog, -1);
}

static INT_PTR InitAlarmClock(HWND dialog) {
  AlarmClock = dialog;
  ShowAlarms(dialog, -1);
  SleepTimerText(LocalTime, Scratch);
  SetDlgItemTextA(dialog, IDC_SLEEP_TIMER, Scratch);
  for (int i = 0; i < NumberCount; ++i) {
    wsprintfA(Scratch, "%d", Stored(i));
    SetDlgItemTextA(dialog, NumberEdits[i], Scratch);
  }
  Check(dialog, IDC_SILENT_TONE, SilentTone);
  Check(dialog, IDC_RING_WINDOW, RingWindow);
  return TRUE;  // the list takes the focus
}

// Pasting gets past the digits-only style, so a sign or any size can still arrive.
static int32_t ReadNumber(HWND dialog, int i) {
  GetDlgItemTextA(dialog, NumberEdits[i], Scratch, TextSize);
  int32_t n = StrToIntA(Scratch);
  return n < 0 ? 0 : n > NumberMost[i] ? NumberMost[i] : n;
}

// There is no cancel: every way of closing keeps what the dialog shows. The settings
// dialog saves the record from memory later, so this must write memory, not just the store.
static void KeepShown(HWND dialog) {
  for (int i = 0; i < NumberCount; ++i) SettingValues[NumberSettings[i]] = ReadNumber(dialog, i);
  SilentTone = IsChecked(dialog, IDC_SILENT_TONE);
  RingWindow = IsChecked(dialog, IDC_RING_WINDOW);
  SaveSettings();
  RefreshWake();  // for the alarms as they now are
}

// By what SleepAndWake found, from WakeTestOff on.
static const char* const WakeTestFailures[] = {
    "\"Wake computer for alarm\" is off in the settings: no alarm wakes the computer.",
    "Windows refused the wake timer: no alarm can wake this computer.",
    "Windows says this computer cannot wake itself: an alarm rings only once someone wakes it.",
    "The computer could not go on standby."};

// The selected alarm, or with none selected the first that is on, rings as a test at a wake two
// minutes from now, as the dialog has set things; the computer on standby till then.
static void SleepAndWakeTest(HWND dialog) {
  KeepShown(dialog);
  int32_t slot = SelectedSlot(dialog);
  AlarmRecord alarm;
  for (int32_t s = 0; slot < 0 && s < AlarmCount; ++s)
    if (ReadAlarm(s, &alarm) && alarm.On) slot = s;
  int32_t result = SleepAndWake(slot < 0 ? 0 : slot);
  if (result != WakeTestSleeps) MessageBoxA(dialog, WakeTestFailures[result - 1], "Dawnbell", MB_OK | MB_ICONWARNING);
}

static INT_PTR CloseAlarmSaving(HWND dialog) {
  KeepShown(dialog);
  EndDialog(dialog, 0);
  AlarmClock = NULL;
  return TRUE;
}

static INT_PTR AlarmCommand(HWND dialog, WPARAM command) {
  switch (command) {
    case IDC_ALARM_OK:
    case IDCANCEL: return CloseAlarmSaving(dialog);
    case IDC_ADD_ALARM: EditSlot(dialog, FreeSlot()); break;
    case MAKEWPARAM(IDC_ALARMS, LBN_DBLCLK):
    case IDC_EDIT_ALARM: EditSlot(dialog, SelectedSlot(dialog)); break;
    case IDC_REMOVE_ALARM: RemoveSelected(dialog); break;
    case IDC_SLEEP_AND_WAKE: SleepAndWakeTest(dialog); break;
    case MAKEWPARAM(IDC_ALARMS, LBN_SELCHANGE): EnableAlarmButtons(dialog); break;
    default: return FALSE;
  }
  return TRUE;
}

INT_PTR CALLBACK AlarmDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: return InitAlarmClock(dialog);
    case WM_COMMAND: return AlarmCommand(dialog, wParam);
    case WM_CLOSE: return CloseAlarmSaving(dialog);
  }
  return FALSE;
}
