// An alarm minute the clock stepped over (a slow resume, a stalled player, summer time) still
// rings on the first tick after it, while that is only minutes late in real time.
#include "../settings/settings.h"
#include "calendar.h"
#include "control.h"

enum : int32_t { CatchUpSeconds = 10 * 60 };

bool MissedAlarm(const TickRecord& tick, LocalTimeRecord* at) {
  const LocalTimeRecord& now = tick.Local;
  const LocalTimeRecord& last = LastTick.Local;
  // The usual tick, a second after the last one in the same or the next minute, ends here.
  if (!StartOn || !last.Year) return false;
  if (now.Day == last.Day && now.Hour == last.Hour && now.Minute - last.Minute < 2) return false;
  int32_t stepped = MinuteNumber(now) - MinuteNumber(last);
  if (stepped < 2 || !AlarmCanRing()) return false;
  // The latest alarm minute on an alarm day strictly between the two ticks' minutes; the
  // current minute is the on-time check's.
  int32_t back = now.Hour * 60 + now.Minute - (StartH * 60 + StartM);
  if (back <= 0) back += MinutesPerDay;
  for (;; back += MinutesPerDay) {
    if (back >= stepped || back > 7 * MinutesPerDay) return false;
    *at = MinutesLater(now, -back);
    if (AlarmDay(at->DayOfWeek)) break;
  }
  if (SameMinute(StartFired, *at)) return false;  // rang already, before the clock went back
  // When the alarm's minute came, in real seconds after the last tick: as long before now as
  // the local clock says, when that falls between the ticks. Otherwise the local clock jumped
  // over it (summer time, a zone change), and it came with the jump: no later than now.
  int64_t passed = static_cast<int32_t>(tick.Utc - LastTick.Utc);
  if (passed < 0) passed = 0;
  int64_t came = passed - (static_cast<int64_t>(back) * 60 + now.Second);
  if (came < 0 || came > passed) {
    int64_t untilAlarm = static_cast<int64_t>(stepped - back) * 60 - last.Second;
    came = untilAlarm < passed ? untilAlarm : passed;
  }
  return passed - came <= CatchUpSeconds;
}
