#include "one_alarm_dialog.h"

#include "../res/resource.h"
#include "../seam/descriptor.h"
#include "alarm_boxes.h"

static const AlarmBoxes Boxes = {IDC_ALARM_HOUR, IDC_ALARM_SUNDAY, IDC_ALARM_ON};

static AlarmRecord* Editing;  // the alarm the open dialog shows; modal, so one at a time

bool EditAlarm(HWND owner, AlarmRecord* alarm) {
  Editing = alarm;
  return DialogBoxParamA(Plugin.hDllInstance, MAKEINTRESOURCEA(IDD_ALARM), owner, OneAlarmProc, 0) > 0;
}

static INT_PTR InitOneAlarm(HWND dialog) {
  FillTimeList(dialog, IDC_ALARM_HOUR, 24);
  FillTimeList(dialog, IDC_ALARM_MINUTE, 60);
  ShowAlarm(dialog, Boxes, *Editing);
  return TRUE;
}

// The dialog manager turns the close box and Escape into IDCANCEL.
static INT_PTR OneAlarmCommand(HWND dialog, WPARAM command) {
  switch (command) {
    case IDOK: ReadAlarmBoxes(dialog, Boxes, Editing); break;
    case IDCANCEL: break;
    default: return FALSE;
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
