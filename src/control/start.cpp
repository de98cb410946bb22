#include "control.h"

#include "../seam/host_player.h"
#include "../settings/settings.h"

// Picks the entry to start on; false when the player should start where it is.
static bool ChooseEntry(int32_t count, int32_t& position) {
  if (FromRange && OwnMusicState != MusicOwn) {  // a range of the player's own list only
    if (Last > First) {
      // Unsigned arithmetic: the span may exceed the signed range, and wraps by design.
      uint32_t span = static_cast<uint32_t>(Last) - static_cast<uint32_t>(First) + 1;
      position = static_cast<int32_t>(static_cast<uint32_t>(First) + PickRandom(span));
    } else {
      position = First;
    }
    return true;
  }
  if (Random) {
    position = static_cast<int32_t>(PickRandom(static_cast<uint32_t>(count)));
    return true;
  }
  return false;
}

int32_t StartPlayback(int32_t level) {
  // Paused counts as not playing: the alarm goes off over a paused player too.
  int32_t result = PlayerIpc(0, IpcIsPlaying) == 1 ? AlreadyPlaying : CannotStart;
  if (result == CannotStart) {
    int32_t count = ListLength();
    if (count != 0) {
      result = Started;
      OwnLevel = level;
      bool options = StartupPending == 0 || UsePlay != 0;
      int32_t position = 0;
      bool chosen = options && ChooseEntry(count, position);
      if (chosen) PlayerIpc(position, IpcSetPlaylistPos);
      // Stopping also takes back a stop after the current track that we asked for, and that
      // a pause or a dropped wait left armed: the alarm must not end with its first track.
      if (chosen || StopAfterSent) SendStop();
      PlayerCommand(CmdPlay);
      if (options) {
        if (One) AskStopAfterCurrent();
        StartVolume();
      }
    }
  }
  StartupPending = 0;
  return result;
}

void StartFadeIn() {
  FadeLevel = VolStart;
  SetVolume();
  StopFadeTimer();
  StartTimer(FadeTimer, static_cast<uint32_t>(TimeOut), FadeInTick);
}

// One stateless step of the minimal standard generator, seeded from the clock.
uint32_t PickRandom(uint32_t n) {
  ReadLocalTime();
  uint32_t seed = static_cast<uint32_t>(LocalTime.Milliseconds) + LocalTime.Minute +
                  LocalTime.Hour + LocalTime.Day + LocalTime.DayOfWeek;
  uint32_t q = seed / 127773u;
  uint32_t r = seed % 127773u;
  uint32_t x = 16807u * r - 2836u * q;
  // A range spanning all 2^32 positions arrives as 0: every value is then in range.
  return n ? x % n : x;
}

void FadeInTick() {
  // Stop as soon as someone else has touched the volume: the user's choice wins. Switched off
  // since it began (at the player's start, say), it goes no further: an alarm starting without a
  // fade keeps the level it found, and a step would read as the sleeper's answer.
  if (VolUp && FadeLevel < (OwnLevel ? OwnLevel : VolEnd) && QueryVolume() == FadeLevel) {
    ++FadeLevel;
    SetVolume();
    return;
  }
  StopFadeTimer();
}
