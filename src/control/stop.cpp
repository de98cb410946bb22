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

static bool PlayerPlaying() { return PlayerIpc(0, IpcIsPlaying) == 1; }

// Ends a fade-out early, leaving the volume where it was before the fade began.
void CancelFadeOut() {
  StopFadeTimer();
  FadeLevel = SavedVolume;
  SetVolume();
}

void RunStop() {
  EndRinging();  // the sleep timer ends the alarm as it ends playback
  // Joined, not set: a stop still pending from an earlier one keeps its phases. Not added
  // either: two fades pending must not read as a wait for the end of the track.
  int32_t phases = StopPhase | (VolDown ? FadePhase : 0) | (WaitEnd ? WaitEndPhase : 0);
  // Paused or stopped, there is no track to wait for and nothing to fade: left pending, the
  // stop would end whatever plays next, the morning's alarm included.
  if (phases && !PlayerPlaying()) {
    CancelStop();
    phases = 0;
  }
  StopPhase = phases;
  StopPlayback();
}

// The alarm outranks the sleep timer: playback it starts is not faded out or stopped by a
// stop still in progress.
void CancelStop() {
  if (!StopPhase) return;
  if (StopPhase != WaitEndPhase) CancelFadeOut();
  StopPhase = 0;
}

// Each tick while a stop waits for the end of a track: a player the user stopped has no track
// left to end, and the next one to end would be tomorrow's.
void WaitingStopTick() {
  if (!(StopPhase & WaitEndPhase) || PlayerIpc(0, IpcIsPlaying) != 0) return;
  StopPhase &= ~WaitEndPhase;
}

static void FinalStop() {
  // Pause toggles: sent to a paused player it would start it playing again.
  if (!UsePause) PlayerCommand(CmdStop);
  else if (PlayerPlaying()) PlayerCommand(CmdPause);
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
