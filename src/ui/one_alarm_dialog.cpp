#include "one_alarm_dialog.h"

#include "../res/resource.h"
#include "../seam/descriptor.h"
#include "../seam/host_player.h"
#include "alarm_boxes.h"
#include "alarm_text.h"

static const AlarmBoxes Boxes = {IDC_ALARM_HOUR, IDC_ALARM_SUNDAY, IDC_ALARM_ON};

// The alarm the open dialog shows, and its slot; modal, so one at a time.
static AlarmRecord* Editing;
static int32_t EditingSlot;

bool EditAlarm(HWND owner, int32_t slot, AlarmRecord* alarm) {
  Editing = alarm;
  EditingSlot = slot;
  return DialogBoxParamA(Plugin.hDllInstance, MAKEINTRESOURCEA(IDD_ALARM), owner, OneAlarmProc, 0) > 0;
}

// When the alarm as the fields stand would ring: a slip of an hour or a day shows before the night.
static void ShowRings(HWND dialog) {
  AlarmRecord alarm;
  ReadAlarmBoxes(dialog, Boxes, &alarm);
  ReadLocalTime();
  RingsText(EditingSlot, alarm, LocalTime, Scratch);
  SetDlgItemTextA(dialog, IDC_RINGS, Scratch);
}

static INT_PTR InitOneAlarm(HWND dialog) {
  FillTimeList(dialog, IDC_ALARM_HOUR, 24);
  FillTimeList(dialog, IDC_ALARM_MINUTE, 60);
  ShowAlarm(dialog, Boxes, *Editing);
  ShowRings(dialog);
  return TRUE;
}

// The dialog manager turns the close box and Escape into IDCANCEL.
static INT_PTR OneAlarmCommand(HWND dialog, WPARAM command) {
  switch (command) {
    case IDOK: ReadAlarmBoxes(dialog, Boxes, Editing); break;
    case IDCANCEL: break;
    default:
      // The time lists, the day boxes, on and once: any change of them.
      if (LOWORD(command) < IDC_ALARM_HOUR || LOWORD(command) > IDC_ALARM_ONCE) return FALSE;
      ShowRings(dialog);
      return TRUE;
  }
  EndDialog(dialog, command == IDOK);
  return TRUE;
}

INT_PTR CALLBACK OneAlarmProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: return InitOneAlarm(dialog);
    case WM_COMMAND: return OneAlarmCommand(dialog, wParam);
  }
  return FALSE;
}
