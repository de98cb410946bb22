#include "control.h"

#include "../seam/host_player.h"
#include "../settings/settings.h"
#include "calendar.h"

enum : int32_t { LongestTickGap = 60 };  // seconds

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
  for (FiredRecord& fired : AlarmFired) NoteMinute(fired, LocalTime);
  NoteMinute(StopFired, LocalTime);
  LastTick = TickRecord{LocalTime, UtcSeconds()};
}

// An alarm in its minute rings once, on one of its days, unless skipped; notes its occurrence.
static bool OnTime(int32_t slot) {
  AlarmRecord alarm;
  if (SameMinute(AlarmFired[slot], LocalTime) || !ReadAlarm(slot, &alarm) ||
      !AlarmDay(alarm, LocalTime.DayOfWeek) || Skipped(LocalTime))
    return false;
  NoteMinute(AlarmFired[slot], LocalTime);
  return true;
}

// The alarms that ring on this tick, a bit a slot: in their minute on time, or stepped over
// and caught up. Each notes its occurrence; `at` gets the time of day of the first.
static int32_t AlarmsDue(const TickRecord& tick, int32_t* at) {
  int32_t due = 0;
  // The time first, straight from the packed words: an idle tick stays cheap with every
  // alarm on.
  if (StartOn && StartH == LocalTime.Hour && StartM == LocalTime.Minute && OnTime(0)) due = 1;
  uint32_t now = PackedOn | static_cast<uint32_t>(LocalTime.Hour) << 8 | LocalTime.Minute;
  for (int32_t slot = 1; slot < AlarmCount; ++slot)
    if ((PackedAlarm(slot) & (PackedOn | 0xFFFF)) == now && OnTime(slot)) due |= 1 << slot;
  if (due) {
    *at = LocalTime.Hour * 60 + LocalTime.Minute;
    return due;
  }
  LocalTimeRecord missed[AlarmCount];
  due = MissedAlarms(tick, missed);
  if (!due) return 0;
  for (int32_t slot = AlarmCount; slot-- > 0;) {
    if (!(due >> slot & 1)) continue;
    NoteMinute(AlarmFired[slot], missed[slot]);
    *at = missed[slot].Hour * 60 + missed[slot].Minute;
  }
  return due;
}

void ClockTick() {
  ReadLocalTime();
  TickRecord tick = {LocalTime, UtcSeconds()};
  // Back from a sleep or a stall: a stop still in progress then is no longer tonight's.
  if (StopPhase && static_cast<int32_t>(tick.Utc - LastTick.Utc) > LongestTickGap) CancelStop();
  int32_t at = 0;
  if (int32_t due = AlarmsDue(tick, &at)) {
    // The alarm outranks the sleep timer, whatever the player is doing.
    CancelStop();
    StopAfterLast = 0;
    if (Activate) ActivatePlayer();
    int32_t started = StartPlayback();
    AlarmsRang(due);  // once alarms switch themselves off
    AlarmRan(started, at);
  } else if (Ringing.State) {
    RingTick();
  } else if (AwakeHeld) {
    KeepAwakeTick();
  }
  SpendSkipTick();
  WaitingStopTick();
  // Sees the clock as the random pick may have re-read it. Not caught up: a stop, close or
  // power-off carried out late would surprise whoever just woke the computer.
  StopEvent();
  SleepTimerTick();
  LastTick = tick;
}
