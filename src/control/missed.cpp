// Alarms given up after a gap between ticks are told, never sounded late: once someone is back,
// the ringing window says which and why, while nothing rings.
#include "../seam/host_player.h"
#include "../settings/settings.h"
#include "calendar.h"
#include "control.h"

MissedRecord Missed;
int32_t SleepSeen;
bool Reopened;

// Why the ticks stopped: the player was closed; UTC ran on further than the elapsed count, which only a clock set
// forward does; else a suspend or resume notice came; else the player itself stood still.
static int32_t Why(const TickRecord& tick) {
  if (Reopened) return MissedClosed;
  int32_t passed = static_cast<int32_t>(tick.Utc - LastTick.Utc);
  if (passed - static_cast<int32_t>((tick.Elapsed - LastTick.Elapsed) / 1000u) > 60) return MissedClockSet;
  return SleepSeen ? MissedAsleep : MissedStalled;
}

void TellMissed(const TickRecord& tick, const int32_t* at, int32_t count) {
  if (!RingWindow) return;
  if (Missed.Gap != tick.Elapsed) Missed.Count = 0;  // a gap of its own: the window tells it alone
  Missed.Gap = tick.Elapsed;
  Missed.Why = Why(tick);
  Missed.Until = MinuteNumber(tick.Local);
  while (count-- > 0 && Missed.Count <= AlarmCount) {
    int32_t i = Missed.Count++;
    for (; i > 0 && Missed.At[i - 1] > at[count]; --i) Missed.At[i] = Missed.At[i - 1];
    Missed.At[i] = at[count];
  }
  if (!Ringing.State) ShowRinging();  // a ringing alarm keeps the window; the rest shows after it
}

// The clock set back before the ticks came back: an alarm whose minute lies ahead again was not
// missed after all. It rings then, or is told again if the clock steps over it again.
void MissedClockBack(const TickRecord& tick) {
  int32_t now = MinuteNumber(tick.Local), kept = 0;
  if (now >= Missed.Until) return;
  for (int32_t i = 0; i < Missed.Count; ++i)
    if (Missed.At[i] < now) Missed.At[kept++] = Missed.At[i];
  if (kept == Missed.Count) return;
  Missed.Count = kept;
  if (!Ringing.State) ShowRinging();  // what is left, or the window goes
}

void MissedSeen() {
  Missed.Count = 0;
  ShowRinging();
}
