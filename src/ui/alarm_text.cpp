#include "alarm_text.h"

#include "../control/calendar.h"
#include "../control/control.h"
#include "format.h"

static const char* const DayNames[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                        "Thursday", "Friday", "Saturday"};
static const char* const MonthNames[12] = {"January", "February", "March",     "April",
                                           "May",     "June",     "July",      "August",
                                           "September", "October", "November", "December"};

static const char ShortDays[7][4] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};

void AlarmRowText(const AlarmRecord& alarm, char* text) {
  // Alarm 1's boxes may have been left empty: no time at all.
  bool valid = alarm.Hour >= 0 && alarm.Hour < 24 && alarm.Minute >= 0 && alarm.Minute < 60;
  char* end = text + (valid ? Format(text, "%02d:%02d ", alarm.Hour, alarm.Minute)
                            : Format(text, "--:-- "));
  if (alarm.Days == EveryDay) end += Format(end, " every day");
  else if (!alarm.Days) end += Format(end, " no day");
  // Monday first, as the settings dialog shows the week.
  for (int32_t d = 1; d <= 7 && alarm.Days != EveryDay; ++d)
    if (alarm.Days >> (d % 7) & 1) end += Format(end, " %s", ShortDays[d % 7]);
  if (alarm.Once) end += Format(end, "  once");
  if (!alarm.On) Format(end, "  (off)");
}

void ShortAlarmText(const LocalTimeRecord& at, char* text) {
  Format(text, "%s %02u:%02u", ShortDays[at.DayOfWeek % 7], at.Hour, at.Minute);
}

// "in 2 d 3 h 5 min", leaving out the larger units while they are zero; answers the end.
static char* Wait(char* text, int32_t minutes) {
  int32_t days = minutes / (24 * 60), hours = minutes / 60 % 24, rest = minutes % 60;
  if (days) return text + Format(text, "in %d d %d h %d min", days, hours, rest);
  if (hours) return text + Format(text, "in %d h %d min", hours, rest);
  return text + Format(text, "in %d min", rest);
}

static char* End(char* text) {
  while (*text) ++text;
  return text;
}

// " (in 2 d 3 h 5 min)" after the text.
static void AppendWait(char* text, int32_t minutes) {
  char* end = End(text);
  Format(Wait(end + Format(end, " ("), minutes), ")");
}

int32_t NextAlarmText(const LocalTimeRecord& now, char* text, int32_t* slot) {
  LocalTimeRecord at;
  int32_t minutes;
  *slot = -1;
  if (!NextAlarm(now, &at, &minutes, slot)) {
    // An alarm on with a day ticked that still never rings has no valid time: as good as off.
    bool noDay = false;
    AlarmRecord alarm;
    for (int32_t slot = 0; slot < AlarmCount; ++slot)
      if (ReadAlarm(slot, &alarm) && alarm.On && !alarm.Days) noDay = true;
    return Format(text, noDay ? "No alarm: no day is ticked" : "No alarm: it is off");
  }
  // The record comes from the calendar arithmetic, so its fields are in range.
  int32_t length = Format(text, "Next alarm: %s %u %s, %02u:%02u", DayNames[at.DayOfWeek % 7], at.Day,
                          MonthNames[(at.Month + 11) % 12], at.Hour, at.Minute);
  AppendWait(text, minutes);
  return length;
}

void SleepTimerText(const LocalTimeRecord& now, char* text) {
  LocalTimeRecord at;
  int32_t minutes;
  if (!SleepTimerEnd(now, &at, &minutes)) {
    Format(text, "Sleep timer: off");
    return;
  }
  Format(text, "Sleep timer: stops at %02u:%02u", at.Hour, at.Minute);
  AppendWait(text, minutes);
}

void RingsText(int32_t slot, const AlarmRecord& alarm, const LocalTimeRecord& now, char* text) {
  int32_t minutes = MinutesToRing(slot, alarm, now);
  if (minutes >= 0) {
    char* end = text + Format(text, "Rings ");
    ShortAlarmText(MinutesLater(now, minutes), end);
    end = End(end);
    Wait(end + Format(end, ", "), minutes);
  } else {
    Format(text, !alarm.On ? "Off" : !alarm.Days ? "Never rings: no day ticked" : "Never rings: no time set");
  }
}
