// Testing an alarm before the night: rung now as it would ring, or at a wake two minutes after
// the computer went to standby. A test changes no alarm and no skip, and no minute counts as
// rung by it: the real alarms ring as they would have.
#include "../seam/host_player.h"
#include "../settings/settings.h"
#include "calendar.h"
#include "control.h"

WakeTestRecord WakeTest;

int32_t TestAlarm(const AlarmSound& sound) {
  if (Ringing.State) return TestBusy;  // one ring at a time: the one ringing or snoozing stays
  // An alarm over music playing leaves it alone; a test is for hearing the alarm.
  if (PlayerIpc(0, IpcIsPlaying) == 1) SendStop();
  CancelStop();
  if (Activate) ActivatePlayer();
  Ringing.Test = 1;
  BeginRinging(StartAlarm(sound), sound.Alarm.Hour * 60 + sound.Alarm.Minute, sound.Label);
  if (Ringing.State) return TestRings;
  Ringing.Test = 0;
  return TestSilent;
}

// The real alarm must not be lost in a test that happens to sound: it starts afresh, its own
// music, fade-in and minute.
void EndTest() {
  StopFadeTimer();
  SendStop();
  EndRinging();
}

int32_t SleepAndWake(int32_t slot) {
  if (!WakeUp) return WakeTestOff;
  WakeTest = WakeTestRecord{1, slot, UtcSeconds() + TestWakeSeconds};
  WakeArmed = 0;  // set afresh, for certain
  RefreshWake();
  int32_t result = WakeArmed ? WakeTestSleeps : WakeUnsupported ? WakeTestCannotWake : WakeTestRefused;
  if (result == WakeTestSleeps && !SuspendComputer(0)) result = WakeTestNoStandby;
  if (result == WakeTestSleeps) return result;
  WakeTest.Pending = 0;
  RefreshWake();
  return result;
}

// The wake test's time has come: it rings if the wake came, and is told as missed if the computer
// slept on past it, as an alarm would be. Then the wake is the real alarms' again.
void WakeTestTick(const TickRecord& tick) {
  int32_t late = static_cast<int32_t>(tick.Utc - WakeTest.Due);
  if (late < 0) return;
  WakeTest.Pending = 0;
  AlarmSound sound;
  SlotSound(WakeTest.Slot, &sound);
  int32_t at = MinuteNumber(tick.Local) - (late - tick.Local.Second + 59) / 60;  // late > a minute
  if (late > CatchUpSeconds) TellMissed(tick, &at, 1);
  else TestAlarm(sound);
  RefreshWake();
}
