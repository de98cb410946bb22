#include "control.h"

#include "../frame/host_player.h"
#include "../settings/settings.h"

bool FiredThisMinute(const FiredRecord& fired) {
  return fired.Year == LocalTime.Year && fired.Month == LocalTime.Month &&
         fired.Day == LocalTime.Day && fired.Hour == LocalTime.Hour &&
         fired.Minute == LocalTime.Minute;
}

static void NoteMinute(FiredRecord& fired) {
  fired.Year = LocalTime.Year;
  fired.Month = LocalTime.Month;
  fired.Day = LocalTime.Day;
  fired.Hour = LocalTime.Hour;
  fired.Minute = LocalTime.Minute;
}

// Any tick in the minute will do (timer messages arrive late when the player is busy),
// but only the first: a second tick, or the dialog re-enabling the event, must not repeat it.
bool EventDue(int32_t on, int32_t hour, int32_t minute, FiredRecord& fired) {
  if (!on || LocalTime.Hour != hour || LocalTime.Minute != minute || FiredThisMinute(fired))
    return false;
  NoteMinute(fired);
  return true;
}

// The minute the player starts in began without us: the stop that just closed the player,
// or the alarm the user silenced by closing it, must not run again when it is reopened.
void MarkMinuteSeen() {
  ReadLocalTime();
  NoteMinute(StartFired);
  NoteMinute(StopFired);
}

void ClockTick() {
  ReadLocalTime();
  // Only on the alarm's days (asked last: an idle tick stays as cheap as it was); the sleep
  // timer runs every day.
  if (EventDue(StartOn, StartH, StartM, StartFired) && AlarmDay(LocalTime.DayOfWeek)) {
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
  // Sees the clock as the random pick may have re-read it.
  StopEvent();
  SleepTimerTick();
}
