#include "control.h"

#include "../seam/host_player.h"
#include "../settings/settings.h"
#include "calendar.h"

static void NoteMinute(FiredRecord& fired, const LocalTimeRecord& t) {
  fired.Year = t.Year;
  fired.Month = t.Month;
  fired.Day = t.Day;
  fired.Hour = t.Hour;
  fired.Minute = t.Minute;
}

// Any tick in the minute will do (timer messages arrive late when the player is busy),
// but only the first: a second tick, or the dialog re-enabling the event, must not repeat it.
bool EventDue(int32_t on, int32_t hour, int32_t minute, FiredRecord& fired) {
  if (!on || LocalTime.Hour != hour || LocalTime.Minute != minute || SameMinute(fired, LocalTime))
    return false;
  NoteMinute(fired, LocalTime);
  return true;
}

// The minute the player starts in began without us: the stop that just closed the player,
// or the alarm the user silenced by closing it, must not run again when it is reopened.
// Nothing before it is made up either: the catch-up counts from here.
void MarkMinuteSeen() {
  ReadLocalTime();
  NoteMinute(StartFired, LocalTime);
  NoteMinute(StopFired, LocalTime);
  LastTick = TickRecord{LocalTime, UtcSeconds()};
}

// An alarm caught up on a late tick rings as the one it was, and guards that occurrence.
static bool AlarmCaughtUp(const TickRecord& tick) {
  LocalTimeRecord at;
  if (!MissedAlarm(tick, &at)) return false;
  NoteMinute(StartFired, at);
  return true;
}

void ClockTick() {
  ReadLocalTime();
  TickRecord tick = {LocalTime, UtcSeconds()};
  // Only on the alarm's days (asked last: an idle tick stays as cheap as it was); the sleep
  // timer runs every day.
  if ((EventDue(StartOn, StartH, StartM, StartFired) && AlarmDay(LocalTime.DayOfWeek)) ||
      AlarmCaughtUp(tick)) {
    if (Activate) ActivatePlayer();
    int32_t started = StartPlayback();
    if (StartOff) {
      StartOn = 0;
      SaveSettings();
    }
    AlarmRan(started);
  } else if (Ringing.State) {
    RingTick();
  } else if (AwakeHeld) {
    KeepAwakeTick();
  }
  WaitingStopTick();
  // Sees the clock as the random pick may have re-read it. Not caught up: a stop, close or
  // power-off carried out late would surprise whoever just woke the computer.
  StopEvent();
  SleepTimerTick();
  LastTick = tick;
}
