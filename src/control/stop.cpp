#include "control.h"

#include "../seam/host_player.h"
#include "../settings/settings.h"

// A fade-out phase pending is a fade-out running: one given up is no longer pending.
enum { FadePhase = 1, WaitEndPhase = 2 };

void StopEvent() {
  if (!EventDue(StopOn, StopH, StopM, StopFired)) return;
  if (StopOff) {
    StopOn = 0;
    SaveSettings();
    SettingsChanged();
  }
  RunStopFor(DailyStop);
}

static bool PlayerPlaying() { return PlayerIpc(0, IpcIsPlaying) == 1; }

// The volume a fade-out began at, back.
static void RestoreFadedVolume() {
  FadeLevel = SavedVolume;
  SetVolume();
}

// Ends a fade-out early, leaving the volume where it was before the fade began.
void CancelFadeOut() {
  StopFadeTimer();
  RestoreFadedVolume();
}

// What we ask of the player's stop after the current track is ours to take back: only a stop
// ends it.
void AskStopAfterCurrent() {
  PlayerCommand(CmdStopAfterCurrent);
  StopAfterSent = 1;
}

void SendStop() {
  PlayerCommand(CmdStop);
  StopAfterSent = 0;
}

static void StartFadeOut() {
  StopFadeTimer();
  FadeLevel = SavedVolume = QueryVolume();
  StartTimer(FadeTimer, static_cast<uint32_t>(TimeOut), FadeOutTick);
}

// The daily stop and a countdown ending within a minute of each other are one night's stop: the
// second would send a computer just woken from the first's standby back to sleep.
void RunStopFor(int32_t source) {
  uint32_t now = ElapsedMilliseconds();
  if (StopRan && StopRan != source && now - StopRanAt < 60000u) return;
  StopRan = source;
  StopRanAt = now;
  RunStop();
}

void RunStop() {
  // The sleep timer ends the alarm as it ends playback; its fade-in must not go on raising the
  // volume of a player stopped, or fading out.
  if (Ringing.State) StopFadeTimer();
  EndRinging();
  // Joined, not set: a stop still pending from an earlier one keeps its phases. Not added
  // either: two fades pending must not read as a wait for the end of the track.
  int32_t pending = StopPhase;
  int32_t phases = pending | (VolDown ? FadePhase : 0) | (WaitEnd ? WaitEndPhase : 0);
  // Paused or stopped, there is no track to wait for and nothing to fade: left pending, the
  // stop would end whatever plays next, the morning's alarm included.
  if (phases && !PlayerPlaying()) {
    CancelStop();
    phases = pending = 0;
  }
  StopPhase = phases;
  if (!phases) {
    StopPlayback();
    return;
  }
  // Only what is new begins: the player knows of a wait already, and a fade-out running goes
  // on, to put back the volume it began at.
  if ((phases & WaitEndPhase) && !(pending & WaitEndPhase)) AskStopAfterCurrent();
  if ((phases & FadePhase) && !(pending & FadePhase)) StartFadeOut();
}

// Our stop after the current track, taken back from music that plays on: only a stop ends it,
// so the player stops and plays on from where it was.
static void TakeBackStopAfter() {
  int32_t position = PlayerIpc(0, IpcGetOutputTime);
  SendStop();
  PlayerCommand(CmdPlay);
  PlayerIpc(position, IpcJumpToTime);
}

// The alarm outranks the sleep timer: whatever it plays is not faded out or stopped by a stop
// still in progress. So does a long gap between ticks: a stop carried out after a sleep or a
// stall would surprise whoever is there when the computer is back.
void CancelStop() {
  if (!StopPhase) return;
  if (StopPhase & FadePhase) CancelFadeOut();
  StopPhase = 0;
}

// The alarm's minute ends a wait for the end of the track over music that plays on: the music
// would stop there all the same, so the player's stop after it is taken back. (A paused player
// is stopped by the alarm's start, which takes it back too.)
void AlarmCancelsStop() {
  bool waited = (StopPhase & WaitEndPhase) && StopAfterSent;
  CancelStop();
  if (waited && PlayerPlaying()) TakeBackStopAfter();
}

// Closing, or restarting, in the middle of a fade-out: the player keeps the volume it closes
// with, and the morning's alarm would play at the faded level.
void PutBackFadedVolume() {
  if (StopPhase & FadePhase) RestoreFadedVolume();
}

// The player's Stop, pressed or sent: a wait for the end of the track is over, though the user
// may play again before a tick can see the player stopped.
void StopCommandSeen() { StopPhase &= ~WaitEndPhase; }

// Each tick while a stop waits for the end of a track: a player the user paused or stopped
// has no track left to end tonight, and the next one to end would be tomorrow's.
void WaitingStopTick() {
  if (!(StopPhase & WaitEndPhase) || PlayerPlaying()) return;
  StopPhase &= ~WaitEndPhase;
}

// The final stop: stop or pause, then the power action and the close asked for.
void StopPlayback() {
  // Pause toggles: sent to a paused player it would start it playing again.
  if (!UsePause) SendStop();
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

void FadeOutTick() {
  // Someone moved the volume, even at the last step: leave the music playing at their level,
  // for good.
  if (QueryVolume() != FadeLevel) {
    StopFadeTimer();
    StopPhase &= ~FadePhase;
    return;
  }
  if (FadeLevel != 0) {
    --FadeLevel;
    SetVolume();
    return;
  }
  // Silent: put the volume back first so the player is left stopped at its old level.
  StopFadeTimer();
  StopPhase = 0;
  RestoreFadedVolume();
  StopPlayback();
}
