#include "control.h"

#include "../seam/host_player.h"
#include "../settings/settings.h"
#include "calendar.h"

enum : int32_t {
  WakeLead = 2,           // minutes: the computer is up and settled when the alarm comes
  ResumeHoldMinutes = 5,  // an automatic resume this close to the alarm is held awake for it
};

bool AlarmDay(int32_t dayOfWeek) { return (StartDays >> (dayOfWeek % 7)) & 1; }

bool AlarmCanRing() {
  return StartH >= 0 && StartH < 24 && StartM >= 0 && StartM < 60 && (StartDays & EveryDay);
}

// Minutes from the minute `now` is in to the next start minute on an alarm day, strictly
// later (or this very minute too, when `thisMinute`), that has not rung (the clock may have
// gone back over it); -1 when there is none.
static int32_t MinutesToAlarm(const LocalTimeRecord& now, bool thisMinute) {
  if (!AlarmCanRing()) return -1;
  int32_t today = StartH * 60 + StartM - (now.Hour * 60 + now.Minute);
  // A week on is the same day again: with one alarm day, that is the next one.
  for (int32_t day = 0; day <= 7; ++day) {
    int32_t minutes = day * MinutesPerDay + today;
    if (AlarmDay(now.DayOfWeek + day) && (minutes > 0 || (thisMinute && minutes == 0)) &&
        !SameMinute(StartFired, MinutesLater(now, minutes)))
      return minutes;
  }
  return -1;
}

bool NextAlarm(const LocalTimeRecord& now, LocalTimeRecord* at, int32_t* minutes) {
  int32_t m = StartOn ? MinutesToAlarm(now, false) : -1;
  if (m < 0) return false;
  *at = MinutesLater(now, m);
  *minutes = m;
  return true;
}

// The UTC seconds of the alarm `minutes` after the minute LocalTime is in; false for none.
static bool AlarmUtc(int32_t minutes, uint32_t* utc) {
  return minutes >= 0 && UtcOf(MinutesLater(LocalTime, minutes), utc);
}

// Arms or cancels the wake timer for the time in LocalTime. Counted in UTC from the alarm's
// own minute: two minutes before a local time may not exist on the night summer time starts.
static void UpdateWake() {
  int32_t minutes = StartOn && WakeUp ? MinutesToAlarm(LocalTime, false) : -1;
  uint32_t alarm;
  if (!AlarmUtc(minutes, &alarm)) {
    CancelWakeTimer();
    WakeArmed = 0;
    return;
  }
  uint32_t wake = alarm - WakeLead * 60;
  // Set, or put to sleep, inside the lead: a wake time already past would fire at once, the
  // alarm's own minute still wakes the computer for it.
  if (static_cast<int32_t>(wake - UtcSeconds()) <= 0) wake = alarm;
  int32_t result = SetWakeTimer(wake);
  WakeArmed = result == WakeSet;
  WakeUnsupported = result == WakeSetCannotWake;
}

void RefreshWake() {
  ReadLocalTime();
  UpdateWake();
}

// ---- keeping the computer awake ----------------------------------------------------

void Hold(int32_t state) {
  AwakeHeld = state;
  SetAwakeState(state);
}

void ReleaseAwake() {
  if (!AwakeHeld) return;
  AwakeHeld = AwakeTicksLeft = 0;
  SetAwakeState(AwakeNone);
}

// Windows sends a computer that woke on its own back to sleep within minutes: hold it up
// through the alarm's minute when the alarm is that close in real time, or was stepped over
// and rings on the next tick.
void ResumedAutomatically() {
  RefreshWake();
  if (!StartOn || !WakeUp || Ringing.State) return;  // a ringing alarm holds already
  TickRecord now = {LocalTime, UtcSeconds()};
  LocalTimeRecord at;
  int32_t seconds = 0;
  if (!MissedAlarm(now, &at)) {
    int32_t minutes = MinutesToAlarm(LocalTime, true);
    uint32_t alarm;
    if (minutes != 0) {  // not this very minute
      if (!AlarmUtc(minutes, &alarm)) return;
      seconds = static_cast<int32_t>(alarm - now.Utc);
    }
    if (seconds > ResumeHoldMinutes * 60) return;
    if (seconds < 0) seconds = 0;
  }
  AwakeTicksLeft = seconds + 2 * 60;  // through the alarm's minute, and one to spare
  Hold(AwakeSystem);
}

void AlarmRan(int32_t started) {
  UpdateWake();  // for the next alarm day
  BeginRinging(started);
}

// Re-asserted every tick: the player may set its own state on this same thread.
void KeepAwakeTick() {
  if (AwakeTicksLeft && --AwakeTicksLeft) SetAwakeState(AwakeHeld);
  else ReleaseAwake();
}
