#include "alarm_text.h"

#include "../control/control.h"

static const char* const DayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                        "Thursday", "Friday", "Saturday"};
static const char* const MonthNames[12] = {"January", "February", "March",     "April",
                                           "May",     "June",     "July",      "August",
                                           "September", "October", "November", "December"};

static const char ShortDays[7][4] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

void AlarmRowText(const AlarmRecord& alarm, char* text) {
  // Alarm 1's boxes may have been left empty: no time at all.
  bool valid = alarm.Hour >= 0 && alarm.Hour < 24 && alarm.Minute >= 0 && alarm.Minute < 60;
  char* end = text + (valid ? wsprintfA(text, "%02d:%02d ", alarm.Hour, alarm.Minute)
                            : wsprintfA(text, "--:-- "));
  if (alarm.Days == EveryDay) end += wsprintfA(end, " every day");
  else if (!alarm.Days) end += wsprintfA(end, " no day");
  // Monday first, as the settings dialog shows the week.
  for (int32_t d = 1; d <= 7 && alarm.Days != EveryDay; ++d)
    if (alarm.Days >> (d % 7) & 1) end += wsprintfA(end, " %s", ShortDays[d % 7]);
  if (alarm.Once) end += wsprintfA(end, "  once");
  if (!alarm.On) wsprintfA(end, "  (off)");
}

void ShortAlarmText(const LocalTimeRecord& at, char* text) {
  wsprintfA(text, "%s %02u:%02u", ShortDays[at.DayOfWeek % 7], at.Hour, at.Minute);
}

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
