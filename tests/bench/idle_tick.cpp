// Measures one ClockTick on which nothing is due, one while the alarm rings, or one fade step,
// under callgrind:
//   valgrind --tool=callgrind --toggle-collect='ClockTick*' ./tick_bench [off|other|eight|fired|ringing|sleep]
//   valgrind --tool=callgrind --toggle-collect='FadeInTick*' ./tick_bench fade
// A minimal seam of its own: the clock reads a fixed time and any player call but the
// volume ones aborts, since an idle tick must not reach the player.
#include <stdlib.h>
#include <string.h>

#include "control/control.h"
#include "seam/host_player.h"
#include "settings/settings.h"

static const LocalTimeRecord Now = {2026, 12, 2, 8, 12, 0, 30, 0};

static bool Fading, Ringing_;

int32_t PlayerIpc(int32_t data, int32_t code) {
  if (Ringing_ && code == IpcIsPlaying) return 1;  // a ringing tick asks how the player is
  if (!(Fading || Ringing_) || code != IpcSetVolume) abort();
  return data == QueryVolumeData ? FadeLevel : 0;
}
void PlayerCommand(int32_t) { abort(); }
void ActivatePlayer() { abort(); }
void FrontRinging() { abort(); }
void StartTimer(int32_t, uint32_t, TimerProc) { abort(); }
void StopTimer(int32_t) { abort(); }
void ReadLocalTime() { LocalTime = Now; }
void SaveSettings() { abort(); }
void ForcePowerOff() { abort(); }
bool SuspendComputer(int32_t) { abort(); }
int32_t SetWakeTimer(uint32_t) { abort(); }
bool UtcOf(const LocalTimeRecord&, uint32_t*) { abort(); }
bool LocalOffsetAt(uint32_t, int32_t*) { abort(); }
void CancelWakeTimer() { abort(); }
void ReadPowerFacts(PowerFactsRecord*) { abort(); }
void SetAwakeState(int32_t) {
  if (!Ringing_) abort();
}
uint32_t UtcSeconds() { return 100; }  // within the first quarter hour: the last tick is not kept yet
void PlayTone(int32_t) { abort(); }
bool ReadSystemVolume(SystemVolumeRecord*) { abort(); }
void WriteSystemVolume(const SystemVolumeRecord&) { abort(); }
void KeepRaisedVolume(const RaisedVolumeRecord&) { abort(); }
bool ReadKeptRaisedVolume(RaisedVolumeRecord*) { abort(); }
void KeepLastSeen(uint32_t) { abort(); }
uint32_t ReadLastSeen() { abort(); }
bool SavePlaylist() { abort(); }
int32_t RestorePlaylist() { abort(); }
int32_t EnqueueMusic(const char16_t*) { abort(); }
static bool Measuring;
void ShowRinging() {
  if (Measuring) abort();  // the window's text is as the tick before left it
}
void SettingsChanged() { abort(); }  // an idle tick changes no setting
static bool Counting;
uint32_t ElapsedMilliseconds() {
  if (!Counting) abort();
  return 2000000;
}

int main(int argc, char** argv) {
  ResetSettings();  // as the module's load does
  const char* mode = argc > 1 ? argv[1] : "other";
  if (strcmp(mode, "fade") == 0) {
    // A step in the middle of a fade-in: the player still holds the level we set.
    Fading = true;
    VolUp = 1;
    FadeLevel = 100;
    VolEnd = 255;
    FadeInTick();
    return 0;
  }
  if (strcmp(mode, "ringing") == 0) {
    // Playing at the level the fade-in reached, heard already, well inside its limit.
    Ringing_ = Counting = true;
    VolUp = 1;
    FadeLevel = 160;
    Ringing = RingRecord{RingOn, 2000000 - 10000, -1, 5000, 1, 7 * 60, nullptr, 0, 0};
    LastTick.Elapsed = 2000000 - 1000;  // the computer did not sleep over it
    RingTick();  // the tick before: the window shows the alarm already
  }
  if (strcmp(mode, "sleep") == 0) {
    // A sleep timer's countdown with ten minutes to go.
    Counting = true;
    SleepCountdown = SleepRecord{30, 2000000 - 20 * 60000};
  }
  if (strcmp(mode, "off") != 0) {
    StartOn = StopOn = 1;
    StartH = 7;   // another time of day
    StopH = 23;
    // With an alarm on, the wake is set for it (WakeUp is on by default); not come yet.
    WakeArmed = 1;
    WakeDue = 100 + 3600;
    WakeFiresBy = 2000000 + 3600000;
  }
  if (strcmp(mode, "eight") == 0) {
    // Every alarm on, each at another time of day, on every day.
    for (int32_t slot = 1; slot < AlarmCount; ++slot)
      SettingValues[FirstPackedAlarm + slot - 1] = static_cast<int32_t>(0x017F0000u | (5u + slot) << 8 | 30u);
  }
  if (strcmp(mode, "fired") == 0) {
    // Both events match the clock but already fired in this minute.
    StartH = StopH = 12;
    StartM = StopM = 0;
    AlarmFired[0] = StopFired = FiredRecord{2026, 12, 8, 12, 0};
  }
  // The tick before came a second earlier, as ticks do.
  Counting = true;  // every tick reads the elapsed count
  LastTick = TickRecord{Now, 99, 2000000 - 1000};
  LastTick.Local.Second = 29;
  Measuring = true;
  ClockTick();
  return 0;
}
