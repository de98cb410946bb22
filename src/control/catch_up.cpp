// An alarm minute the clock stepped over (a slow resume, a stalled player, summer time) still
// rings on the first tick after it, while that is only minutes late in real time.
#include "../seam/host_player.h"
#include "../settings/settings.h"
#include "calendar.h"
#include "control.h"

enum : int32_t {
  CatchUpSeconds = 10 * 60,
  // The two clocks are read one after the other: a step smaller than this is that, not a
  // change of the zone's offset (those come in quarter hours).
  LeastJump = 60,
};

// Seconds before now that the zone's offset changed by `jump`, found by its rules between the
// two ticks; 0 (now, the latest it can have been) when the rules cannot tell or disagree with
// what the ticks saw.
static int32_t JumpAgo(uint32_t nowUtc, int32_t passed, int32_t jump) {
  int32_t before, after, at;
  if (!LocalOffsetAt(nowUtc - static_cast<uint32_t>(passed), &before) ||
      !LocalOffsetAt(nowUtc, &after) || after - before != jump)
    return 0;
  int32_t early = passed, late = 0;  // the old offset held `early` seconds ago, the new `late`
  while (early - late > 1) {
    int32_t mid = late + (early - late) / 2;
    if (!LocalOffsetAt(nowUtc - static_cast<uint32_t>(mid), &at)) return 0;
    if (at == after) late = mid;
    else early = mid;
  }
  return late;
}

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
  // How long ago, in real seconds, the local clock first showed the alarm's minute. Without a
  // change of the zone's offset between the ticks, as long ago as the local clock says.
  int32_t passed = static_cast<int32_t>(tick.Utc - LastTick.Utc);
  if (passed < 0) passed = 0;
  int32_t ago = back * 60 + now.Second;
  int32_t jump = (stepped * 60 + now.Second - last.Second) - passed;  // new offset less old
  if (jump >= LeastJump || jump <= -LeastJump) {
    // The latest time the local clock showed the minute: under the new offset, after the
    // change; else under the old one, `ago - jump` seconds ago, before it; else (a minute
    // summer time skips) it came with the change.
    int32_t change = JumpAgo(tick.Utc, passed, jump);
    if (ago > change) ago = ago - jump > change ? ago - jump : change;
  }
  return ago <= CatchUpSeconds;
}
