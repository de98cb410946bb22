#include "slider_rule.h"

#include "../settings/settings.h"

int32_t BalanceVolumes(int32_t startMoved) {
  if (VolStart < VolEnd) return 0;
  if (startMoved)
    ++VolEnd;
  else
    --VolStart;
  return 1;
}

int32_t VolumePercent(int32_t level) { return level * 100 / 255; }
