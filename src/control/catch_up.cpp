// An alarm minute the clock stepped over (a slow resume, a stalled player, summer time) still
// rings on the first tick after it, while that is only minutes late in real time.
#include "../seam/host_player.h"
#include "../settings/settings.h"
#include "calendar.h"
#include "control.h"

// The two clocks are read one after the other: a step smaller than this is that, not a change
// of the zone's offset (those come in quarter hours).
enum : int32_t { LeastJump = 60 };

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

// How long ago, in real seconds, the local clock first showed a minute it showed `ago` seconds
// ago by its own reading: across a change of the zone's offset, that is not the same.
struct RealTime {
  int32_t Passed;  // real seconds between the two ticks
  int32_t Jump;    // the change of offset between them, new less old; 0 for none
  int32_t Change;  // seconds ago the change came
};

static RealTime Between(const TickRecord& tick, int32_t stepped) {
  RealTime real = {static_cast<int32_t>(tick.Utc - LastTick.Utc), 0, 0};
  // UTC gone back: the clock was set back. The elapsed count tells the time that passed; read
  // as none, the whole step would count as a change of the offset, and ring what it stepped over
  // however late.
  if (real.Passed < 0) real.Passed = static_cast<int32_t>((tick.Elapsed - LastTick.Elapsed) / 1000u);
  int32_t jump = (stepped * 60 + tick.Local.Second - LastTick.Local.Second) - real.Passed;
  if (jump >= LeastJump || jump <= -LeastJump) {
    real.Jump = jump;
    real.Change = JumpAgo(tick.Utc, real.Passed, jump);
  }
  return real;
}

static int32_t RealAgo(const RealTime& real, int32_t ago) {
  // The latest time the local clock showed the minute: under the new offset, after the
  // change; else under the old one, `ago - jump` seconds ago, before it; else (a minute
  // summer time skips) it came with the change.
  if (real.Jump && ago > real.Change) ago = ago - real.Jump > real.Change ? ago - real.Jump : real.Change;
  return ago;
}

int32_t LatestMinute(const AlarmRecord& alarm, const LocalTimeRecord& now, int32_t from, int32_t before,
                     LocalTimeRecord* at) {
  int32_t back = now.Hour * 60 + now.Minute - (alarm.Hour * 60 + alarm.Minute);
  while (back < from) back += MinutesPerDay;
  for (; back < before && back <= 7 * MinutesPerDay; back += MinutesPerDay) {
    *at = MinutesLater(now, -back);
    if (AlarmDay(alarm, at->DayOfWeek)) return back;
  }
  return -1;
}

int32_t MissedAlarms(const TickRecord& tick, LocalTimeRecord* at, int32_t* skipped, int32_t* lost) {
  const LocalTimeRecord& now = tick.Local;
  const LocalTimeRecord& last = LastTick.Local;
  // The usual tick, a second after the last one in the same or the next minute, ends here.
  if (!last.Year) return 0;
  if (now.Day == last.Day && now.Hour == last.Hour && now.Minute - last.Minute < 2) return 0;
  int32_t stepped = MinuteNumber(now) - MinuteNumber(last);
  if (stepped < 2) return 0;
  int32_t due = 0;
  bool known = false;
  RealTime real;
  AlarmRecord alarm;
  for (int32_t slot = 0; slot < AlarmCount; ++slot) {
    LocalTimeRecord when;
    if (!ReadAlarm(slot, &alarm) || !AlarmCanRing(alarm)) continue;
    // The latest strictly between the two ticks' minutes: the current one is the on-time check's.
    int32_t back = LatestMinute(alarm, now, 1, stepped, &when);
    if (back < 0 || SameMinute(AlarmFired[slot], when)) continue;  // rang, before the clock went back
    if (Skipped(when)) {
      if (skipped) *skipped |= 1 << slot;
      if (at) at[slot] = when;
      continue;
    }
    if (!known) real = Between(tick, stepped);
    known = true;
    if (at) at[slot] = when;
    if (RealAgo(real, back * 60 + now.Second) <= CatchUpSeconds) due |= 1 << slot;
    else if (lost) *lost |= 1 << slot;
  }
  return due;
}
