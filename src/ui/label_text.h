// Where an alarm's label shows in a line of text: after the alarm's time, in UTF-16 as typed.
#pragma once
#include <windows.h>

#include "../settings/settings.h"

// A line of text with a label put in, its ampersands doubled.
enum { LabelledSize = TextSize + 2 * LabelSize + 2 };
// An alarm's row in the list and the menu, "07:00  Work  Mon Tue Wed Thu Fri", into `row`
// (LabelledSize characters). For a menu an ampersand in the label is doubled, so it shows.
void LabelledRow(int32_t slot, const AlarmRecord& alarm, bool menu, WCHAR* row);
// The next alarm after LocalTime, "Next alarm: Monday 14 December, 07:00, Work (in 8 h 2 min)",
// into the dialog's control.
void ShowNextAlarm(HWND dialog, int id);
