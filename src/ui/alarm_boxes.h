// The controls that show one alarm, as the settings dialog and the alarm dialog both have them:
// two time lists, seven day boxes, the on and once boxes.
#pragma once
#include <windows.h>

#include "../settings/settings.h"

int32_t IsChecked(HWND dialog, int id);
void Check(HWND dialog, int id, int32_t on);
// "0" to count - 1, no leading zeros; the index is the number.
void FillTimeList(HWND dialog, int id, int count);

// One alarm's controls: the hour list (the minute list's id follows it), the Sunday box
// (Monday .. Saturday follow it), the on box (the once box's id follows it).
struct AlarmBoxes {
  int Hour, Sunday, On;
};
// A time outside the lists leaves its list empty; an empty list reads back as -1.
void ShowAlarm(HWND dialog, const AlarmBoxes& boxes, const AlarmRecord& alarm);
void ReadAlarmBoxes(HWND dialog, const AlarmBoxes& boxes, AlarmRecord* alarm);
// The user's changes made over the alarm as it is now: a field the boxes show as `shown` showed
// it is left as `now` has it, a field they show otherwise is what the user set (a day at a time).
void MergeAlarm(const AlarmRecord& shown, const AlarmRecord& boxes, AlarmRecord* now);
