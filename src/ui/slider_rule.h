// The rule that keeps the fade-in start volume strictly below the end volume, and how a
// volume is shown. Portable: no <windows.h> here.
#pragma once
#include <stdint.h>

// One balancing step: returns 0 when VolStart < VolEnd already; otherwise moves the
// other setting one step (the end up when the start was the slider moved, else the
// start down) and returns 1.
int32_t BalanceVolumes(int32_t startMoved);

// A player volume 0..255 as the user sees it: whole percent, rounded down.
int32_t VolumePercent(int32_t level);
