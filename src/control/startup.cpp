#include "control.h"

#include "../seam/host_player.h"
#include "../settings/settings.h"

// The player only learns its track's length some time after play; we poll on its own
// thread, so the bound keeps a player that never reports from hanging its start-up.
enum : int32_t { LengthQueryLimit = 0xFFFFF };

static int32_t WaitForLength() {
  for (int32_t left = LengthQueryLimit;; ) {
    int32_t length = PlayerIpc(1, IpcGetOutputTime);
    if (--left == 0) return -1;  // the last permitted answer comes too late to count
    if (length != -1) return length;
  }
}

bool StartupPlayed;

void StartupPlay() {
  StartupPlayed = false;
  if (!PlayAtStart) return;
  ++StartupPending;
  StartupPlayed = StartPlayback() == Started;
  if (!SavePos || ListLength() == 0) return;
  int32_t length = WaitForLength();
  // Same length in seconds is all we can check that it is the track from last time.
  if (length != -1 && length == TrackLength) PlayerIpc(TrackPos, IpcJumpToTime);
}
