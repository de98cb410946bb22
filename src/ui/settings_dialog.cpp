#include "settings_dialog.h"

#include <shlwapi.h>

#include "../control/control.h"
#include "../seam/host_player.h"
#include "../seam/descriptor.h"
#include "../res/resource.h"
#include "../settings/settings.h"
#include "../settings/store.h"
#include "about_box.h"
#include "alarm_boxes.h"
#include "alarm_dialog.h"
#include "volume_sliders.h"

// The four time boxes and the settings they show, in the same order.
static const int TimeBoxes[4] = {IDC_START_HOUR, IDC_START_MINUTE, IDC_STOP_HOUR, IDC_STOP_MINUTE};
static int32_t* const TimeSettings[4] = {&StartH, &StartM, &StopH, &StopM};

// The three number fields show the stored value + 1. Any number can come from the
// registry, so the step is taken in unsigned arithmetic: the largest wraps, and back.
static const int NumberEdits[3] = {IDC_RANGE_FIRST, IDC_RANGE_LAST, IDC_MENU_POS};
static int32_t* const NumberSettings[3] = {&First, &Last, &MenuPos};

// Alarm 1's controls.
static const AlarmBoxes FirstAlarm = {IDC_START_HOUR, IDC_DAY_SUNDAY, IDC_START_ENABLE};

// The flags' boxes as bits by index, and "stop after end of last track" above them.
enum : uint32_t { StopAfterLastBit = 1u << FlagCount };

// What the plug-in itself may change while the dialog is open (the player's menu, an alarm
// ringing, the sleep timer), as the dialog last showed it from memory. A box that still shows
// that follows the plug-in; a box that shows otherwise holds the user's change, and only those
// are written.
static AlarmRecord ShownAlarm;
static uint32_t ShownFlags;

static void Uncheck(HWND dialog, int id) { CheckDlgButton(dialog, id, BST_UNCHECKED); }

static void EnableControls(HWND dialog, int box, const int* ids, int count) {
  BOOL on = IsChecked(dialog, box);
  for (int i = 0; i < count; ++i) EnableWindow(GetDlgItem(dialog, ids[i]), on);
}

void UpdateEnables(HWND dialog) {
  static const int range[] = {IDC_RANGE_FROM_LABEL, IDC_RANGE_TO_LABEL, IDC_RANGE_FIRST,
                              IDC_RANGE_LAST};
  static const int startup[] = {IDC_SAVE_POS, IDC_USE_PLAY};
  static const int menu[] = {IDC_MENU_TEXT_LABEL, IDC_MENU_TEXT, IDC_MENU_POS_LABEL,
                             IDC_MENU_POS};
  EnableControls(dialog, IDC_FROM_RANGE, range, 4);
  EnableControls(dialog, IDC_PLAY_AT_START, startup, 2);
  EnableControls(dialog, IDC_ADD_MENU, menu, 4);
}

static void FillTimeBoxes(HWND dialog) {
  for (int i = 0; i < 4; ++i) {
    FillTimeList(dialog, TimeBoxes[i], i & 1 ? 60 : 24);
    // An index outside the list leaves the box empty, which is what we want for it.
    SendDlgItemMessageA(dialog, TimeBoxes[i], CB_SETCURSEL, *TimeSettings[i], 0);
  }
}

static uint32_t StoredFlags() {
  uint32_t flags = StopAfterLast ? StopAfterLastBit : 0u;
  for (int i = 0; i < FlagCount; ++i) flags |= (SettingValues[i] ? 1u : 0u) << i;
  return flags;
}

static uint32_t BoxFlags(HWND dialog) {
  uint32_t flags = IsChecked(dialog, IDC_STOP_AFTER_LAST) ? StopAfterLastBit : 0u;
  for (int i = 0; i < FlagCount; ++i) flags |= static_cast<uint32_t>(IsChecked(dialog, IDC_START_ENABLE + i)) << i;
  return flags;
}

static void ShowFlags(HWND dialog, uint32_t flags) {
  Check(dialog, IDC_STOP_AFTER_LAST, (flags & StopAfterLastBit) != 0);
  for (int i = 0; i < FlagCount; ++i) Check(dialog, IDC_START_ENABLE + i, flags >> i & 1);
}

// Alarm 1 as its boxes show it: a time outside the lists shows as none.
static AlarmRecord StoredAlarm() {
  AlarmRecord alarm;
  ReadAlarm(0, &alarm);
  if (static_cast<uint32_t>(alarm.Hour) >= 24) alarm.Hour = -1;
  if (static_cast<uint32_t>(alarm.Minute) >= 60) alarm.Minute = -1;
  return alarm;
}

static void Remember() {
  ShownAlarm = StoredAlarm();
  ShownFlags = StoredFlags();
}

// The boxes take what the plug-in changed since they were shown, and keep what the user did.
static void Follow(HWND dialog) {
  AlarmRecord boxes, alarm = StoredAlarm();
  ReadAlarmBoxes(dialog, FirstAlarm, &boxes);
  MergeAlarm(ShownAlarm, boxes, &alarm);
  uint32_t box = BoxFlags(dialog), flags = StoredFlags();
  flags ^= (flags ^ box) & (box ^ ShownFlags);
  Remember();
  ShowFlags(dialog, flags);
  ShowAlarm(dialog, FirstAlarm, alarm);
  UpdateEnables(dialog);
}

// The seam's notice, for real: the settings dialog and the Alarm clock dialog over it follow.
void SettingsChanged() {
  if (SettingsDialog) Follow(static_cast<HWND>(SettingsDialog));
  FollowAlarmClock();
}

static void ShowFields(HWND dialog) {
  SetDlgItemTextA(dialog, IDC_MENU_TEXT, MenuText);
  for (int i = 0; i < 3; ++i) {
    wsprintfA(Scratch, "%d", static_cast<int32_t>(static_cast<uint32_t>(*NumberSettings[i]) + 1u));
    SetDlgItemTextA(dialog, NumberEdits[i], Scratch);
  }
  ShowFlags(dialog, StoredFlags());
}

// Box 45 + d is day d of the week, Sunday 0, shown and read with the rest of alarm 1. Bits
// above Saturday mean nothing: they are not shown, and the dialog saves only the seven it shows.
static void ShowFirstAlarm(HWND dialog) {
  AlarmRecord alarm;
  ReadAlarm(0, &alarm);
  ShowAlarm(dialog, FirstAlarm, alarm);
}

static void ShowWake(HWND dialog) {
  Check(dialog, IDC_WAKE_UP, WakeUp);
  if (WakeUnsupported) ShowWindow(GetDlgItem(dialog, IDC_WAKE_NOTE), SW_SHOW);
}

static void InitSettingsDialog(HWND dialog) {
  SettingsDialog = dialog;
  LoadSettings();
  FillTimeBoxes(dialog);
  ShowFields(dialog);
  ShowFirstAlarm(dialog);
  ShowWake(dialog);
  UpdateEnables(dialog);
  if (QueryAutorun() == 0) CheckDlgButton(dialog, IDC_AUTORUN, BST_CHECKED);
  CloseAutorun();
  SetupVolumeSliders(dialog);
  Remember();
}

// 0 and 1 both mean the first entry; anything else is shown one above what we keep.
static int32_t ReadNumber(HWND dialog, int id) {
  GetDlgItemTextA(dialog, id, Scratch, TextSize);
  int32_t n = StrToIntA(Scratch);
  return n ? static_cast<int32_t>(static_cast<uint32_t>(n) - 1u) : 0;
}

// Alarm 1 as the boxes show it, into the list. Changed here, it cancels a skip pending, as any
// alarm edited does.
static void TakeFirstAlarm(HWND dialog) {
  Follow(dialog);
  AlarmRecord alarm;
  ReadAlarmBoxes(dialog, FirstAlarm, &alarm);
  if (!SameAlarm(alarm, ShownAlarm)) AlarmsEdited();
  WriteAlarm(0, alarm);
  Remember();
}

// The boxes and times, into memory, once the dialog has followed what the plug-in changed: the
// closing keeps them, and the Alarm clock dialog warns by them as they stand.
static void TakeBoxes(HWND dialog) {
  TakeFirstAlarm(dialog);
  StopAfterLast = IsChecked(dialog, IDC_STOP_AFTER_LAST);
  for (int i = 0; i < FlagCount; ++i) SettingValues[i] = IsChecked(dialog, IDC_START_ENABLE + i);
  WakeUp = IsChecked(dialog, IDC_WAKE_UP);
  for (int i = 0; i < 4; ++i)
    *TimeSettings[i] = static_cast<int32_t>(SendDlgItemMessageA(dialog, TimeBoxes[i], CB_GETCURSEL, 0, 0));
  Remember();
}

// There is no cancel: every way of closing keeps what the dialog shows.
static void CloseSaving(HWND dialog) {
  TakeBoxes(dialog);
  QueryAutorun();
  WriteAutorun(IsChecked(dialog, IDC_AUTORUN));
  GetDlgItemTextA(dialog, IDC_MENU_TEXT, MenuText, TextSize);
  for (int i = 0; i < 3; ++i) *NumberSettings[i] = ReadNumber(dialog, NumberEdits[i]);
  SaveSettings();
  RefreshWake();  // the alarm's time, days or wake option may have changed
  EndDialog(dialog, 0);
  SettingsDialog = nullptr;
}

// The Alarm clock dialog lists alarm 1 too: it takes the boxes as they stand, and they show
// whatever it made of alarm 1.
static void ShowAlarmClockOnFirstAlarm(HWND dialog) {
  TakeBoxes(dialog);
  ShowAlarmClock(dialog);
  Follow(dialog);
}

// Checking one box of an exclusive group clears the others; clearing one touches nothing.
static void Exclude(HWND dialog, int box, int other, int third) {
  if (!IsChecked(dialog, box)) return;
  Uncheck(dialog, other);
  if (third) Uncheck(dialog, third);
}

static void SettingsCommand(HWND dialog, WPARAM command) {
  switch (command) {
    case IDC_RANDOM: Exclude(dialog, IDC_RANDOM, IDC_FROM_RANGE, 0); UpdateEnables(dialog); break;
    case IDC_PLAY_AT_START:
    case IDC_ADD_MENU:
    case IDC_FROM_RANGE: Exclude(dialog, IDC_FROM_RANGE, IDC_RANDOM, 0); UpdateEnables(dialog); break;
    case IDC_SUSPEND: Exclude(dialog, IDC_SUSPEND, IDC_SHUTDOWN, IDC_HIBERNATE); break;
    case IDC_SHUTDOWN: Exclude(dialog, IDC_SHUTDOWN, IDC_SUSPEND, IDC_HIBERNATE); break;
    case IDC_HIBERNATE: Exclude(dialog, IDC_HIBERNATE, IDC_SUSPEND, IDC_SHUTDOWN); break;
    case IDC_WAIT_END: Exclude(dialog, IDC_WAIT_END, IDC_USE_PAUSE, 0); break;
    case IDC_USE_PAUSE: Exclude(dialog, IDC_USE_PAUSE, IDC_WAIT_END, 0); break;
    case IDC_SHOW_ABOUT: ShowAbout(dialog); break;
    case IDC_SHOW_ALARM_CLOCK: ShowAlarmClockOnFirstAlarm(dialog); break;
    case IDC_SETTINGS_OK: CloseSaving(dialog); break;
  }
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: InitSettingsDialog(dialog); break;
    case WM_COMMAND: SettingsCommand(dialog, wParam); break;
    case WM_HSCROLL: SyncVolumeSliders(dialog, reinterpret_cast<HWND>(lParam)); break;
    case WM_CLOSE: CloseSaving(dialog); break;
  }
  return 0;
}
