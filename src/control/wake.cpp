#include "control.h"

#include "../seam/host_player.h"
#include "../settings/settings.h"
#include "calendar.h"

enum : int32_t {
  WakeLead = 2,           // minutes: the computer is up and settled when the alarm comes
  ResumeHoldMinutes = 5,  // an automatic resume this close to the alarm is held awake for it
};

// Minutes from the minute `now` is in to the alarm's next minute on one of its days, strictly
// later (or this very minute too, when `thisMinute`), that has not rung (the clock may have
// gone back over it) and is not skipped (when `skips`); -1 when there is none.
static int32_t MinutesTo(int32_t slot, const AlarmRecord& alarm, const LocalTimeRecord& now,
                         bool thisMinute, bool skips = true) {
  if (!AlarmCanRing(alarm)) return -1;
  int32_t today = alarm.Hour * 60 + alarm.Minute - (now.Hour * 60 + now.Minute);
  // A week on is the same day again: with one alarm day, that is the next one; a week more
  // for each of the two it may pass over, one skipped and one that rang before the clock went
  // back (maybe over midnight: tomorrow's).
  for (int32_t day = 0; day <= 21; ++day) {
    int32_t minutes = day * MinutesPerDay + today;
    if (!AlarmDay(alarm, now.DayOfWeek + day) || minutes < 0 || (minutes == 0 && !thisMinute))
      continue;
    LocalTimeRecord at = MinutesLater(now, minutes);
    if (!SameMinute(AlarmFired[slot], at) && !(skips && Skipped(at))) return minutes;
  }
  return -1;
}

// Saved as it stands, a changed alarm cancels the skip pending (AlarmsEdited); one unchanged
// keeps it.
int32_t MinutesToRing(int32_t slot, const AlarmRecord& alarm, const LocalTimeRecord& now) {
  AlarmRecord stored;
  bool unchanged = ReadAlarm(slot, &stored) && SameAlarm(stored, alarm);
  return MinutesTo(slot, alarm, now, false, unchanged);
}

// The earliest of every alarm's next occurrence; -1 when none will ring. `first` gets the first
// slot of the alarms then.
static int32_t MinutesToAlarm(const LocalTimeRecord& now, bool thisMinute, int32_t* first = nullptr) {
  int32_t best = -1;
  AlarmRecord alarm;
  for (int32_t slot = 0; slot < AlarmCount; ++slot) {
    if (!ReadAlarm(slot, &alarm)) continue;
    int32_t minutes = MinutesTo(slot, alarm, now, thisMinute);
    if (minutes < 0 || (best >= 0 && minutes >= best)) continue;
    best = minutes;
    if (first) *first = slot;
  }
  return best;
}

bool NextAlarm(const LocalTimeRecord& now, LocalTimeRecord* at, int32_t* minutes, int32_t* slot) {
  int32_t m = MinutesToAlarm(now, false, slot);
  if (m < 0) return false;
  *at = MinutesLater(now, m);
  *minutes = m;
  return true;
}

// The UTC seconds of the alarm `minutes` after the minute LocalTime is in; false for none.
static bool AlarmUtc(int32_t minutes, uint32_t* utc) {
  if (minutes < 0 || !UtcOf(MinutesLater(LocalTime, minutes), utc)) return false;
  // A minute of the hour summer time repeats whose first pass has gone comes again: by the
  // offset of the moment. A wake in the past would fire at once and wake nothing.
  uint32_t now = UtcSeconds();
  if (static_cast<int32_t>(*utc - now) <= 0) *utc = now - LocalTime.Second + static_cast<uint32_t>(minutes) * 60u;
  return true;
}

// `other` in place of `*utc` when none is there yet or it comes first.
static bool Earlier(bool have, uint32_t* utc, uint32_t other) {
  if (!have || static_cast<int32_t>(other - *utc) < 0) *utc = other;
  return true;
}

// What the wake is for: the alarm, or a snooze's end when that comes first, which resumes the
// music as an alarm starts it, or the wake test's time. In UTC seconds; false for none.
static bool WakeTarget(int32_t minutes, uint32_t* utc) {
  bool alarm = AlarmUtc(minutes, utc);
  uint32_t left;
  if (SnoozeLeft(&left)) alarm = Earlier(alarm, utc, UtcSeconds() + (left + 999u) / 1000u);
  return WakeTest.Pending ? Earlier(alarm, utc, WakeTest.Due) : alarm;
}

// Arms or cancels the wake timer for the time in LocalTime. Counted in UTC from the alarm's
// own minute: two minutes before a local time may not exist on the night summer time starts.
static void UpdateWake() {
  uint32_t due;
  if (!WakeUp || !WakeTarget(MinutesToAlarm(LocalTime, false), &due)) {
    CancelWakeTimer();
    WakeArmed = 0;
    return;
  }
  uint32_t now = UtcSeconds(), elapsed = ElapsedMilliseconds(), wake = due - WakeLead * 60;
  // Set, or put to sleep, inside the lead: a wake time already past would fire at once, the
  // alarm's own minute still wakes the computer for it.
  if (static_cast<int32_t>(wake - now) <= 0) wake = due;
  // Set so already, and not come: by the clocks now, nor by the UTC the clock would show had nobody
  // set it since the last tick (a stall over the wake, then the clock set back).
  uint32_t unset = LastTick.Utc + (elapsed - LastTick.Elapsed) / 1000u;
  if (WakeArmed && wake == WakeDue && !WakeCame(now, elapsed) && static_cast<int32_t>(unset - WakeDue) < 0) {
    // The timer fires when the clock shows its time: a clock set since moved that in real time.
    WakeFiresBy = elapsed + (wake - now) * 1000u;
    return;
  }
  int32_t result = SetWakeTimer(wake);
  WakeArmed = result == WakeSet;
  WakeDue = wake;
  WakeFiresBy = elapsed + (wake - now) * 1000u;
  WakeUnsupported = result == WakeSetCannotWake;
}

void RefreshWake() {
  ReadLocalTime();
  UpdateWake();
}

// The lid closed, the power button, Windows' idle sleep: whatever the ticks saw, the wake is
// set afresh before the computer sleeps.
void ComputerSuspending() {
  SleepSeen = 1;
  WakeArmed = 0;
  RefreshWake();
}

// ---- keeping the computer awake ----------------------------------------------------

void Hold(int32_t state) {
  AwakeHeld = state;
  SetAwakeState(state);
}

void ReleaseAwake() {
  if (!AwakeHeld) return;
  AwakeHeld = AwakeWaiting = 0;
  SetAwakeState(AwakeNone);
}

// Windows sends a computer that woke on its own back to sleep within minutes: hold it up
// through the alarm's minute when an alarm is that close in real time, or was stepped over
// and rings on the next tick.
void ResumedAutomatically() {
  SleepSeen = 1;
  RefreshWake();
  if (!WakeUp || Ringing.State) return;  // a ringing alarm holds already
  TickRecord now = {LocalTime, UtcSeconds(), ElapsedMilliseconds()};
  int32_t seconds = 0;
  if (!MissedAlarms(now)) {
    int32_t minutes = MinutesToAlarm(LocalTime, true);
    uint32_t alarm;
    if (minutes != 0) {  // not this very minute
      if (!AlarmUtc(minutes, &alarm)) return;
      seconds = static_cast<int32_t>(alarm - now.Utc);
    }
    if (seconds > ResumeHoldMinutes * 60) return;
    if (seconds < 0) seconds = 0;
  }
  // Through the alarm's minute, and one to spare, in real time: ticks may stall.
  AwakeWaiting = 1;
  AwakeUntil = ElapsedMilliseconds() + static_cast<uint32_t>(seconds + 2 * 60) * 1000u;
  Hold(AwakeSystem);
}

void AlarmRan(int32_t started, int32_t at, const char16_t* label) {
  UpdateWake();  // for the next alarm
  BeginRinging(started, at, label);
}

// Re-asserted every tick: the player may set its own state on this same thread.
void KeepAwakeTick() {
  if (AwakeWaiting && static_cast<int32_t>(AwakeUntil - ElapsedMilliseconds()) > 0) SetAwakeState(AwakeHeld);
  else ReleaseAwake();
}
