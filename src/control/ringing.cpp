#include "control.h"

#include "../seam/host_player.h"
#include "../settings/settings.h"

enum : int32_t { Paused = 3 };  // the player's answer to the playing query while paused
enum : uint32_t { SilenceLimitMs = 30000 };  // an alarm may stay unheard this long before the tone

// Spans are counted on the elapsed count: a clock set back, even by a second, or forward,
// neither ends nor prolongs them.
static uint32_t Milliseconds(int32_t minutes) {
  return static_cast<uint32_t>(CappedMinutes(minutes)) * 60000u;
}

static uint32_t SinceRing() { return ElapsedMilliseconds() - Ringing.Since; }

// The hold follows the alarm: the display too while it rings with Activate, the system
// alone while it snoozes.
static void HoldFor(int32_t state) {
  if (!WakeUp) return;
  AwakeWaiting = 0;
  Hold(state == RingSnoozed ? AwakeSystem : AwakeSystem | (Activate ? AwakeDisplay : 0));
}

// A snooze's end is woken for as an alarm is: the wake follows it in and out.
static void SnoozeWake() {
  if (WakeUp) RefreshWake();
}

static void Ring(int32_t state) {
  bool snoozeChanges = (Ringing.State == RingSnoozed) != (state == RingSnoozed);
  Ringing.State = state;
  Ringing.Since = ElapsedMilliseconds();
  Ringing.LastPos = -1;
  Ringing.Heard = 0;
  if (snoozeChanges) SnoozeWake();
  HoldFor(state);
}

// The ringing window is told of a change of state or alarm, and only then: a tick that
// changes nothing stays cheap.
static void Follow() {
  int32_t shown = Ringing.State + 4 * Ringing.At;
  if (shown == Ringing.Shown) return;
  Ringing.Shown = shown;
  ShowRinging();
}

static void SoundTone() {
  PlayTone(1);
  Ringing.State = RingTone;
}

void BeginRinging(int32_t started, int32_t at, const char16_t* label) {
  if (started == Started || (started == CannotStart && SilentTone)) RaiseSystemVolume();
  if (started == Started) {
    if (Ringing.State == RingTone) PlayTone(0);
    // Its own volume, or read at the first tick: the start itself asks nothing more.
    Ringing.Volume = OwnLevel ? OwnLevel : -1;
    Ring(RingOn);
  } else if (started == CannotStart && SilentTone) {
    Ring(RingOn);
    SoundTone();
  } else {
    // Over music already playing nobody sleeps: no ringing, no hold. Unless that music is
    // another alarm's, ringing on: then this one changes nothing.
    if (!Ringing.State) ReleaseAwake();
    return;
  }
  Ringing.At = at;
  Ringing.Label = label;
  Follow();
  if (Activate) FrontRinging();  // the player was just raised over a window open already
}

void EndRinging() {
  if (!Ringing.State) return;
  if (Ringing.State == RingTone) PlayTone(0);
  bool snoozed = Ringing.State == RingSnoozed;
  Ringing.State = Ringing.Test = RingOff;
  if (snoozed) SnoozeWake();
  MusicAlarmOver();
  PutBackSystemVolume();
  ReleaseAwake();
  Follow();
}

// After the snooze: the player resumes where it paused, fading in again when asked.
static void Resume() {
  PlayerCommand(CmdPause);
  StartVolume();
  Ring(RingOn);
}

// Playing with its position advancing since the last tick: the sleeper can hear it.
static bool Heard(int32_t playing) {
  if (playing != 1) return false;
  int32_t position = PlayerIpc(0, IpcGetOutputTime);
  bool advanced = Ringing.LastPos >= 0 && position > Ringing.LastPos;
  Ringing.LastPos = position;
  if (advanced) Ringing.Heard = 1;
  return advanced;
}

static bool LimitReached() { return RingLimit != 0 && SinceRing() >= Milliseconds(RingLimit); }

// The lid closed over the ringing alarm: opened at the office, it must not ring on there.
static bool SleptThrough() { return ElapsedMilliseconds() - LastTick.Elapsed > CatchUpSeconds * 1000u; }

static void GiveUp(int32_t playing) {
  StopFadeTimer();
  if (playing == 1 || playing == Paused) SendStop();
  EndRinging();
}

// The tick after a sleep over the ringing alarm gives it up first, an alarm due on it or not:
// that one starts from silence, and nothing rings on from before the sleep.
void GiveUpSleptThrough() {
  if ((Ringing.State == RingOn || Ringing.State == RingTone) && SleptThrough()) GiveUp(PlayerIpc(0, IpcIsPlaying));
}

static void RingingTick(int32_t playing) {
  if (playing == Paused) {
    StopFadeTimer();
    if (Milliseconds(Snooze)) Ring(RingSnoozed);
    else EndRinging();
    return;
  }
  if (playing != 1) {  // stopped: answered
    EndRinging();
    return;
  }
  // With a fade-in, the level it last set is what the player should report.
  int32_t volume = QueryVolume();
  if (!VolUp && Ringing.Volume < 0) Ringing.Volume = volume;
  if (volume != (VolUp ? FadeLevel : Ringing.Volume)) {  // someone moved it: the sleeper is up
    StopFadeTimer();
    LeaveSystemVolume();
    EndRinging();
    return;
  }
  if (LimitReached() || SleptThrough()) {
    GiveUp(playing);
    return;
  }
  if (!Ringing.Heard) Heard(playing);  // once heard, a tick asks no more than it must
  if (!Ringing.Heard && SinceRing() >= SilenceLimitMs) {
    // The alarm's own music gives way to the user's list first, heard or not in its turn.
    if (FallBackToUsersList()) Ring(RingOn);
    else if (SilentTone) SoundTone();
  }
  SetAwakeState(AwakeHeld);
}

static void StepRinging() {
  int32_t playing = PlayerIpc(0, IpcIsPlaying);
  switch (Ringing.State) {
    case RingSnoozed:
      if (playing == 1) LeaveSystemVolume();  // resumed by the user: their music plays on
      if (playing != Paused) EndRinging();  // resumed, stopped or moved on by the user
      else if (SinceRing() < Milliseconds(Snooze)) SetAwakeState(AwakeHeld);
      // Slept through, the snooze is over as an unanswered alarm is: no music hours later.
      else if (SinceRing() - Milliseconds(Snooze) > CatchUpSeconds * 1000u) EndRinging();
      else Resume();
      return;
    case RingTone:
      if (LimitReached() || SleptThrough()) {
        GiveUp(playing);
      } else if (Heard(playing)) {  // the player found its voice after all
        PlayTone(0);
        Ringing.State = RingOn;
      } else {
        SetAwakeState(AwakeHeld);
      }
      return;
    default: RingingTick(playing);
  }
}

bool SnoozeLeft(uint32_t* ms) {
  if (Ringing.State != RingSnoozed || SinceRing() >= Milliseconds(Snooze)) return false;
  *ms = Milliseconds(Snooze) - SinceRing();
  return true;
}

void RingTick() {
  StepRinging();
  Follow();
}

// Any command reaching the player, and the settings opening, answer the tone.
void CommandReached() {
  if (Ringing.State == RingTone) EndRinging();
}
