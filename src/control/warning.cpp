// Telling, before the night, what would keep an alarm from ringing: the causes the plug-in
// cannot mend itself.
#include "../seam/host_player.h"
#include "../settings/settings.h"
#include "calendar.h"
#include "control.h"

// Minutes from the minute `now` is in to the sleep timer's next stop, the countdown's or the
// daily one, whichever comes first; -1 when neither is set.
static int32_t MinutesToStop(const LocalTimeRecord& now) {
  LocalTimeRecord end;
  int32_t minutes;
  if (!SleepTimerEnd(now, &end, &minutes)) minutes = -1;
  if (StopOn && StopH >= 0 && StopH < 24 && StopM >= 0 && StopM < 60) {
    int32_t daily = (StopH * 60 + StopM - (now.Hour * 60 + now.Minute) + MinutesPerDay) % MinutesPerDay;
    if (minutes < 0 || daily < minutes) minutes = daily;
  }
  return minutes;
}

// The first alarm after the sleep timer's next stop and within a day of it, before the next
// day's stop: the computer is as the stop's actions left it when that alarm comes.
static bool AlarmAfterStop(const LocalTimeRecord& now, LocalTimeRecord* at) {
  int32_t stop = MinutesToStop(now), minutes;
  return stop >= 0 && NextAlarm(MinutesLater(now, stop), at, &minutes) && minutes < MinutesPerDay;
}

int32_t AlarmWarning(const LocalTimeRecord& now, LocalTimeRecord* at) {
  int32_t minutes;
  *at = now;  // some time, whatever the warning
  if (!NextAlarm(now, at, &minutes)) return WarnNone;
  LocalTimeRecord after;
  bool stopFirst = AlarmAfterStop(now, &after);
  // The sleep timer's power action, as StopPlayback takes it: shutdown wins, and standby and
  // hibernate together cancel out.
  if (stopFirst && (ShutDown || (Suspend != Hibernate && !WakeUp))) {
    *at = after;
    return ShutDown ? WarnShutDown : WarnWakeOff;
  }
  if (WakeUp && WakeUnsupported) return WarnCannotWake;
  bool hibernates = stopFirst && Hibernate && !Suspend;
  if (!WakeUp && !hibernates) return WarnNone;  // no need to ask Windows
  PowerFactsRecord power;
  ReadPowerFacts(&power);
  if (WakeUp && (power.WakeOnMains == PowerNo || power.WakeOnBattery == PowerNo))
    return power.WakeOnBattery != PowerNo ? WarnNoWakeOnMains
           : power.WakeOnMains != PowerNo ? WarnNoWakeOnBattery
                                          : WarnNoWakeTimers;
  if (hibernates && power.Hibernation == PowerNo) return WarnNoHibernation;
  return WarnNone;
}
