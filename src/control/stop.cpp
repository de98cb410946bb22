#include "control.h"

#include "../seam/host_player.h"
#include "../settings/settings.h"

enum { FadePhase = 1, WaitEndPhase = 2 };

void StopEvent() {
  if (!EventDue(StopOn, StopH, StopM, StopFired)) return;
  if (StopOff) {
    StopOn = 0;
    SaveSettings();
  }
  RunStop();
}

void RunStop() {
  EndRinging();  // the sleep timer ends the alarm as it ends playback
  // Joined, not set: a stop still pending from an earlier one keeps its phases. Not added
  // either: two fades pending must not read as a wait for the end of the track.
  if (VolDown) StopPhase |= FadePhase;
  if (WaitEnd) StopPhase |= WaitEndPhase;
  StopPlayback();
}

static void FinalStop() {
  PlayerCommand(UsePause ? CmdPause : CmdStop);
  EndRinging();  // our own pause is no snooze
  ReleaseAwake();
  // Shutdown wins over the power actions; standby and hibernate together cancel out.
  bool slept = false;
  if (ShutDown) {
    ForcePowerOff();
  } else if (Suspend != Hibernate) {
    SuspendComputer(Hibernate);
    slept = true;
  }
  // Runs after resuming from standby too, whatever the power call did; but closing then
  // would take the wake timer, and the alarm it woke us for, with it.
  if (Close && !(slept && WakeArmed)) PlayerCommand(CmdClose);
}

void StopPlayback() {
  if (StopPhase == 0) {
    FinalStop();
    return;
  }
  if (StopPhase != FadePhase) {
    PlayerCommand(CmdStopAfterCurrent);
    if (StopPhase == WaitEndPhase) return;  // the end-of-track notice finishes it
  }
  // Fade-out, alone or racing the end of the track.
  StopFadeTimer();
  FadeLevel = SavedVolume = QueryVolume();
  StartTimer(FadeTimer, static_cast<uint32_t>(TimeOut), FadeOutTick);
}

void FadeOutTick() {
  if (FadeLevel != 0) {
    if (QueryVolume() == FadeLevel) {
      --FadeLevel;
      SetVolume();
    } else {
      // Someone moved the volume: leave the music playing at their level.
      StopFadeTimer();
    }
    return;
  }
  // Silent: put the volume back first so the player is left stopped at its old level.
  StopFadeTimer();
  StopPhase = 0;
  FadeLevel = SavedVolume;
  SetVolume();
  StopPlayback();
}
