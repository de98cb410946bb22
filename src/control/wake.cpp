#include "control.h"

#include "../frame/host_player.h"
#include "../settings/settings.h"

enum : int32_t {
  MinutesPerDay = 24 * 60,
  WakeLead = 2,           // minutes: the computer is up and settled when the alarm comes
  ResumeHoldMinutes = 5,  // an automatic resume this close to the alarm is held awake for it
};

bool AlarmDay(int32_t dayOfWeek) { return (StartDays >> (dayOfWeek % 7)) & 1; }

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

static bool StartTimeValid() { return StartH >= 0 && StartH < 24 && StartM >= 0 && StartM < 60; }

// Minutes from the minute `now` is in to the next start minute on an alarm day, strictly
// later (or this very minute too, when `thisMinute`); -1 when there is none.
static int32_t MinutesToAlarm(const LocalTimeRecord& now, bool thisMinute) {
  if (!StartTimeValid() || !(StartDays & EveryDay)) return -1;
  int32_t today = StartH * 60 + StartM - (now.Hour * 60 + now.Minute);
  // A week on is the same day again: with one alarm day, that is the next one.
  for (int32_t day = 0; day <= 7; ++day) {
    int32_t minutes = day * MinutesPerDay + today;
    if (AlarmDay(now.DayOfWeek + day) && (minutes > 0 || (thisMinute && minutes == 0)))
      return minutes;
  }
  return -1;
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

bool NextAlarm(const LocalTimeRecord& now, LocalTimeRecord* at, int32_t* minutes) {
  int32_t m = StartOn ? MinutesToAlarm(now, false) : -1;
  if (m < 0) return false;
  *at = MinutesLater(now, m);
  *minutes = m;
  return true;
}

// Two minutes before the next start minute on an alarm day after the minute `now` is in;
// false when the alarm has no valid time or no day.
static bool NextWake(const LocalTimeRecord& now, LocalTimeRecord* wake) {
  int32_t minutes = MinutesToAlarm(now, false);
  if (minutes < 0) return false;
  *wake = MinutesLater(now, minutes - WakeLead);
  return true;
}

// Arms or cancels the wake timer for the time in LocalTime.
static void UpdateWake() {
  LocalTimeRecord wake;
  if (StartOn && WakeUp && NextWake(LocalTime, &wake)) {
    int32_t result = SetWakeTimer(wake);
    WakeArmed = result == WakeSet;
    WakeUnsupported = result == WakeSetCannotWake;
    return;
  }
  CancelWakeTimer();
  WakeArmed = 0;
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
// through the alarm's minute when the alarm is that close.
void ResumedAutomatically() {
  RefreshWake();
  if (!StartOn || !WakeUp) return;
  int32_t minutes = MinutesToAlarm(LocalTime, !FiredThisMinute(StartFired));
  if (minutes < 0 || minutes > ResumeHoldMinutes) return;
  if (Ringing.State) return;  // already held while the alarm rings
  AwakeTicksLeft = (minutes + 2) * 60;  // through the alarm's minute, and one to spare
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
