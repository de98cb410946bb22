// Measures one ClockTick on which nothing is due, under callgrind:
//   valgrind --tool=callgrind --toggle-collect='ClockTick*' ./idle_tick [off|other|fired]
// A minimal seam of its own: the clock reads a fixed time and any player call aborts,
// since an idle tick must not reach the player.
#include <stdlib.h>
#include <string.h>

#include "control/control.h"
#include "frame/host_player.h"
#include "settings/settings.h"

static const LocalTimeRecord Now = {2026, 12, 2, 8, 12, 0, 30, 0};

int32_t PlayerIpc(int32_t, int32_t) { abort(); }
void PlayerCommand(int32_t) { abort(); }
void ActivatePlayer() { abort(); }
void StartTimer(int32_t, uint32_t, TimerProc) { abort(); }
void StopTimer(int32_t) { abort(); }
void ReadLocalTime() { LocalTime = Now; }
void SaveSettings() { abort(); }
void ForcePowerOff() { abort(); }
void SuspendComputer(int32_t) { abort(); }

int main(int argc, char** argv) {
  const char* mode = argc > 1 ? argv[1] : "other";
  if (strcmp(mode, "off") != 0) {
    StartOn = StopOn = 1;
    StartH = 7;   // another time of day
    StopH = 23;
  }
  if (strcmp(mode, "fired") == 0) {
    // Both events match the clock but already fired in this minute.
    StartH = StopH = 12;
    StartM = StopM = 0;
    StartFired = StopFired = FiredRecord{2026, 12, 8, 12, 0};
  }
  ClockTick();
  return 0;
}
