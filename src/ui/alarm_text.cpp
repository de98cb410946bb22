#include "alarm_text.h"

#include "../control/control.h"

static const char* const DayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                        "Thursday", "Friday", "Saturday"};
static const char* const MonthNames[12] = {"January", "February", "March",     "April",
                                           "May",     "June",     "July",      "August",
                                           "September", "October", "November", "December"};

// "(in 2 d 3 h 5 min)", leaving out the larger units while they are zero.
static void AppendWait(char* text, int32_t minutes) {
  char* end = text + lstrlenA(text);
  int32_t days = minutes / (24 * 60), hours = minutes / 60 % 24, rest = minutes % 60;
  if (days) wsprintfA(end, " (in %d d %d h %d min)", days, hours, rest);
  else if (hours) wsprintfA(end, " (in %d h %d min)", hours, rest);
  else wsprintfA(end, " (in %d min)", rest);
}

void NextAlarmText(const LocalTimeRecord& now, char* text) {
  LocalTimeRecord at;
  int32_t minutes;
  if (!NextAlarm(now, &at, &minutes)) {
    // An alarm on with a day ticked that still never rings has no valid time: as good as off.
    bool noDay = false;
    AlarmRecord alarm;
    for (int32_t slot = 0; slot < AlarmCount; ++slot)
      if (ReadAlarm(slot, &alarm) && alarm.On && !alarm.Days) noDay = true;
    lstrcpyA(text, noDay ? "No alarm: no day is ticked" : "No alarm: it is off");
    return;
  }
  // The record comes from the calendar arithmetic, so its fields are in range.
  wsprintfA(text, "Next alarm: %s %u %s, %02u:%02u", DayNames[at.DayOfWeek % 7], at.Day,
            MonthNames[(at.Month + 11) % 12], at.Hour, at.Minute);
  AppendWait(text, minutes);
}

void SleepTimerText(const LocalTimeRecord& now, char* text) {
  LocalTimeRecord at;
  int32_t minutes;
  if (!SleepTimerEnd(now, &at, &minutes)) {
    lstrcpyA(text, "Sleep timer: off");
    return;
  }
  wsprintfA(text, "Sleep timer: stops at %02u:%02u", at.Hour, at.Minute);
  AppendWait(text, minutes);
}
