// The lines that tell when the alarm rings next and when the sleep timer stops. Portable: no
// <windows.h> here.
#pragma once
#include <stdint.h>

#include "../settings/settings.h"

// Writes the next alarm after `now`, by the settings in memory, into `text` (TextSize
// bytes), e.g. "Next alarm: Monday 14 December, 07:00 (in 2 d 12 h 0 min)", or why
// there is none. Answers where its label goes, after the time; `slot` gets the alarm's, the
// first of those then, or -1.
int32_t NextAlarmText(const LocalTimeRecord& now, char* text, int32_t* slot);
// An alarm's row in the list and the menu: "07:00  Mon Tue Wed Thu Fri", "06:30  every day
// once", "09:00  Sat Sun  (off)".
void AlarmRowText(const AlarmRecord& alarm, char* text);
// "Mon 07:00", for the menu.
void ShortAlarmText(const LocalTimeRecord& at, char* text);
// "Sleep timer: stops at 23:45 (in 27 min)" while a countdown runs, or "Sleep timer: off".
void SleepTimerText(const LocalTimeRecord& now, char* text);
// When the alarm as the alarm dialog shows it, for slot `slot`, would ring next after `now`:
// "Rings Mon 07:00, in 7 h 12 min", "Off", "Never rings: no day ticked".
void RingsText(int32_t slot, const AlarmRecord& alarm, const LocalTimeRecord& now, char* text);
