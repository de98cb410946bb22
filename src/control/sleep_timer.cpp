#include "control.h"

#include "../seam/host_player.h"
#include "../settings/settings.h"
#include "calendar.h"

enum : uint32_t {
  MinuteMs = 60000u,
  // A tick later than this after the end means the computer slept through it: acting then
  // would stop, close or power off a computer someone has just woken. The daily stop minute
  // is given as long.
  LateLimitMs = MinuteMs,
};

void SleepTimerChoose(int32_t minutes) {
  SleepCountdown.Minutes = minutes;
  SleepCountdown.Since = ElapsedMilliseconds();
}

void SleepTimerOff() { SleepCountdown.Minutes = 0; }

// Milliseconds since the countdown's end; "negative" (huge) while it still runs.
static uint32_t PastEnd() {
  return ElapsedMilliseconds() - SleepCountdown.Since -
         static_cast<uint32_t>(SleepCountdown.Minutes) * MinuteMs;
}

static bool Ended(uint32_t pastEnd) { return pastEnd < 0x80000000u; }

void SleepTimerTick() {
  if (!SleepCountdown.Minutes) return;  // the idle tick: one load, one branch
  uint32_t pastEnd = PastEnd();
  if (!Ended(pastEnd)) return;
  SleepCountdown.Minutes = 0;  // once, whatever follows
  if (pastEnd <= LateLimitMs) RunStopFor(CountdownStop);
}

bool SleepTimerEnd(const LocalTimeRecord& now, LocalTimeRecord* at, int32_t* minutes) {
  if (!SleepCountdown.Minutes) return false;
  uint32_t pastEnd = PastEnd();
  if (Ended(pastEnd)) return false;  // over; the next tick acts or drops it
  uint32_t fromMinute = (now.Second * 1000u + now.Milliseconds) + (0u - pastEnd);
  *minutes = static_cast<int32_t>(fromMinute / MinuteMs);
  *at = MinutesLater(now, *minutes);
  return true;
}
