// The rule that keeps the fade-in start volume strictly below the end volume.
#pragma once
#include <stdint.h>

// One balancing step: returns 0 when VolStart < VolEnd already; otherwise moves the
// other setting one step (the end up when the start was the slider moved, else the
// start down) and returns 1.
int32_t BalanceVolumes(int32_t startMoved);
