#include "calendar.h"

static bool Leap(int32_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

static int32_t DaysInMonth(int32_t year, int32_t month) {
  static const uint8_t days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && Leap(year) ? 29 : days[(month - 1) % 12];
}

static void NextDay(LocalTimeRecord& t) {
  t.DayOfWeek = static_cast<uint16_t>((t.DayOfWeek + 1) % 7);
  if (++t.Day <= DaysInMonth(t.Year, t.Month)) return;
  t.Day = 1;
  if (++t.Month <= 12) return;
  t.Month = 1;
  ++t.Year;
}

static void PreviousDay(LocalTimeRecord& t) {
  t.DayOfWeek = static_cast<uint16_t>((t.DayOfWeek + 6) % 7);
  if (--t.Day >= 1) return;
  if (--t.Month < 1) {
    t.Month = 12;
    --t.Year;
  }
  t.Day = static_cast<uint16_t>(DaysInMonth(t.Year, t.Month));
}

LocalTimeRecord MinutesLater(const LocalTimeRecord& now, int32_t minutes) {
  LocalTimeRecord t = now;
  t.Second = t.Milliseconds = 0;
  int32_t of = now.Hour * 60 + now.Minute + minutes;
  for (; of >= MinutesPerDay; of -= MinutesPerDay) NextDay(t);
  for (; of < 0; of += MinutesPerDay) PreviousDay(t);
  t.Hour = static_cast<uint16_t>(of / 60);
  t.Minute = static_cast<uint16_t>(of % 60);
  return t;
}

// Days counted from 1 March of year 0, so that the leap day ends each counted year.
static int32_t DayNumber(int32_t year, int32_t month, int32_t day) {
  if (month <= 2) --year;
  int32_t era = year / 400, ofEra = year - era * 400;
  int32_t ofYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  return era * 146097 + ofEra * 365 + ofEra / 4 - ofEra / 100 + ofYear - 719468;
}

int32_t MinuteNumber(const LocalTimeRecord& t) {
  return DayNumber(t.Year, t.Month, t.Day) * MinutesPerDay + t.Hour * 60 + t.Minute;
}

bool SameMinute(const FiredRecord& fired, const LocalTimeRecord& t) {
  return fired.Year == t.Year && fired.Month == t.Month && fired.Day == t.Day &&
         fired.Hour == t.Hour && fired.Minute == t.Minute;
}
