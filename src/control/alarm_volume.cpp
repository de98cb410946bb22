// Each alarm's own volume: where its fade-in ends, or what it sets as it starts.
#include "control.h"

#include "../seam/host_player.h"
#include "../settings/settings.h"

// The least level the settings dialog shows as this percent: it rounds down.
int32_t PercentLevel(int32_t percent) { return (percent * 255 + 99) / 100; }

int32_t LevelOf(int32_t slot) { return PercentLevel(OwnVolumePercent(slot)); }

// An own volume at or below the fade's start has nothing to fade: it is set at once.
void StartVolume() {
  if (VolUp && (!OwnLevel || OwnLevel > VolStart)) {
    StartFadeIn();
  } else if (OwnLevel) {
    FadeLevel = OwnLevel;
    SetVolume();
    StopFadeTimer();
  }
}
