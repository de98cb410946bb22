#include "alarm_boxes.h"

int32_t IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void Check(HWND dialog, int id, int32_t on) {
  CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED);
}

void FillTimeList(HWND dialog, int id, int count) {
  for (int i = 0; i < count; ++i) {
    wsprintfA(Scratch, "%d", i);
    SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Scratch));
  }
}

void ShowAlarm(HWND dialog, const AlarmBoxes& boxes, const AlarmRecord& alarm) {
  SendDlgItemMessageA(dialog, boxes.Hour, CB_SETCURSEL, alarm.Hour, 0);
  SendDlgItemMessageA(dialog, boxes.Hour + 1, CB_SETCURSEL, alarm.Minute, 0);
  for (int d = 0; d < 7; ++d) Check(dialog, boxes.Sunday + d, alarm.Days >> d & 1);
  Check(dialog, boxes.On, alarm.On);
  Check(dialog, boxes.On + 1, alarm.Once);
}

void ReadAlarmBoxes(HWND dialog, const AlarmBoxes& boxes, AlarmRecord* alarm) {
  alarm->Hour = static_cast<int32_t>(SendDlgItemMessageA(dialog, boxes.Hour, CB_GETCURSEL, 0, 0));
  alarm->Minute = static_cast<int32_t>(SendDlgItemMessageA(dialog, boxes.Hour + 1, CB_GETCURSEL, 0, 0));
  alarm->Days = 0;
  for (int d = 0; d < 7; ++d) alarm->Days |= IsChecked(dialog, boxes.Sunday + d) << d;
  alarm->On = IsChecked(dialog, boxes.On);
  alarm->Once = IsChecked(dialog, boxes.On + 1);
}

static void Merge(int32_t shown, int32_t box, int32_t* now) {
  if (box != shown) *now = box;
}

void MergeAlarm(const AlarmRecord& shown, const AlarmRecord& boxes, AlarmRecord* now) {
  Merge(shown.Hour, boxes.Hour, &now->Hour);
  Merge(shown.Minute, boxes.Minute, &now->Minute);
  now->Days ^= (now->Days ^ boxes.Days) & (boxes.Days ^ shown.Days);
  Merge(shown.On, boxes.On, &now->On);
  Merge(shown.Once, boxes.Once, &now->Once);
}
