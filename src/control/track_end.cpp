#include "control.h"

#include "../seam/host_player.h"
#include "../settings/settings.h"

static bool LastEntryEnded() {
  int32_t count = ListLength();
  return count == PlayerIpc(0, IpcGetListPos) + 1;
}

void TrackEnded() {
  if (StopAfterLast && LastEntryEnded()) {
    StopAfterLast = 0;
    SettingsChanged();
    // The player itself sees this notice only after us, and would move to the next entry.
    if (StopPhase < 2) AskStopAfterCurrent();
    // A fade-out pending is running: left going, it would end in a second final stop.
    if (StopPhase & 1) CancelFadeOut();
    StopPhase = 0;
    StopPlayback();
    return;
  }
  if (StopPhase < 2) return;
  if (StopPhase >= 3) CancelFadeOut();
  StopPhase = 0;
  StopPlayback();
}
