// The list of alarms: alarm 1 is the settings dialog's own values, alarms 2 to 8 packed words.
// Everything that schedules asks this list, alarm 1 like the others.
#include "../seam/host_player.h"
#include "../settings/settings.h"
#include "calendar.h"
#include "control.h"

bool ReadAlarm(int32_t slot, AlarmRecord* alarm) {
  if (slot == 0) {
    *alarm = AlarmRecord{StartH, StartM, StartDays & EveryDay, StartOn != 0, StartOff != 0};
    return true;
  }
  uint32_t word = PackedAlarm(slot);
  *alarm = AlarmRecord{static_cast<int32_t>(word >> 8 & 0xFF), static_cast<int32_t>(word & 0xFF),
                       static_cast<int32_t>(word >> 16 & EveryDay), (word & PackedOn) != 0,
                       (word & PackedOnce) != 0};
  // A word the dialog cannot have written (a time out of range) is no alarm at all.
  return word && alarm->Hour < 24 && alarm->Minute < 60;
}

void WriteAlarm(int32_t slot, const AlarmRecord& alarm) {
  if (slot == 0) {
    StartH = alarm.Hour;
    StartM = alarm.Minute;
    StartDays = alarm.Days & EveryDay;
    StartOn = alarm.On != 0;
    StartOff = alarm.Once != 0;
    return;
  }
  uint32_t word = static_cast<uint32_t>(alarm.Minute) | static_cast<uint32_t>(alarm.Hour) << 8 |
                  static_cast<uint32_t>(alarm.Days & EveryDay) << 16 |
                  (alarm.On ? uint32_t{PackedOn} : 0u) | (alarm.Once ? uint32_t{PackedOnce} : 0u) | PackedPresent;
  SettingValues[FirstPackedAlarm + slot - 1] = static_cast<int32_t>(word);
}

void RemoveAlarm(int32_t slot) {
  if (slot > 0) SettingValues[FirstPackedAlarm + slot - 1] = 0;
}

bool SameAlarm(const AlarmRecord& a, const AlarmRecord& b) {
  return a.Hour == b.Hour && a.Minute == b.Minute && a.Days == b.Days && a.On == b.On &&
         a.Once == b.Once;
}

bool AlarmCanRing(const AlarmRecord& alarm) {
  return alarm.On && alarm.Hour >= 0 && alarm.Hour < 24 && alarm.Minute >= 0 && alarm.Minute < 60 &&
         alarm.Days;
}

bool AlarmDay(const AlarmRecord& alarm, int32_t dayOfWeek) {
  return (alarm.Days >> (dayOfWeek % 7)) & 1;
}

// A once alarm has rung: it switches itself off, as "Disable after start" does alarm 1.
void AlarmsRang(int32_t slots) {
  bool changed = false;
  AlarmRecord alarm;
  for (int32_t slot = 0; slot < AlarmCount; ++slot) {
    if (!(slots >> slot & 1) || !ReadAlarm(slot, &alarm) || !alarm.Once) continue;
    alarm.On = 0;
    WriteAlarm(slot, alarm);
    changed = true;
  }
  if (!changed) return;
  SaveSettings();
  SettingsChanged();
}

// The user switched, added, edited or removed an alarm: a skip pending is cancelled. An alarm
// that unexpectedly rings is better than one that unexpectedly does not.
void AlarmsEdited() {
  SkipAlarm = 0;
  KeepSeen();  // an alarm set to a minute just past is not one the player was closed over
}

// On or off from the player's menu; saved, and the wake follows.
void SwitchAlarm(int32_t slot) {
  AlarmRecord alarm;
  if (!ReadAlarm(slot, &alarm)) return;
  alarm.On = !alarm.On;
  WriteAlarm(slot, alarm);
  AlarmsEdited();
  SaveSettings();
  SettingsChanged();
  RefreshWake();
}

// ---- skipping one occurrence ------------------------------------------------------

bool Skipped(const LocalTimeRecord& at) { return SkipAlarm && MinuteNumber(at) == SkipAlarm; }

// Skips the next alarm, or cancels the skip pending; saved, and the wake follows.
void ToggleSkip() {
  ReadLocalTime();
  LocalTimeRecord at;
  int32_t minutes;
  if (SkipAlarm) SkipAlarm = 0;
  else if (NextAlarm(LocalTime, &at, &minutes)) SkipAlarm = MinuteNumber(at);
  else return;
  SaveSettings();
  SettingsChanged();
  RefreshWake();
}

// Once its minute has passed, a skip is spent: a clock set back later must not find it again.
// A once alarm it skipped is spent with it, as if it had rung; the wake may have been set for
// that alarm's next.
void SpendSkipTick() {
  if (!SkipAlarm || MinuteNumber(LocalTime) <= SkipAlarm) return;
  LocalTimeRecord at = MinutesLater(LocalTime, SkipAlarm - MinuteNumber(LocalTime));
  int32_t once = 0;
  AlarmRecord alarm;
  for (int32_t slot = 0; slot < AlarmCount; ++slot)
    if (ReadAlarm(slot, &alarm) && alarm.Once && AlarmCanRing(alarm) && alarm.Hour == at.Hour &&
        alarm.Minute == at.Minute && AlarmDay(alarm, at.DayOfWeek))
      once |= 1 << slot;
  SkipAlarm = 0;
  if (!once) {
    SaveSettings();
    return;
  }
  AlarmsRang(once);  // saves
  RefreshWake();
}
