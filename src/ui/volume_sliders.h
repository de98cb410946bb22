// The fade-in start and end volumes and the fade step time, set on three trackbars.
#pragma once
#include <windows.h>

// Ranges and positions from the settings, then one sync with no slider moved.
void SetupVolumeSliders(HWND dialog);
// Reads all three sliders into the settings and labels, then pushes the slider that was
// not moved until the start is below the end again. source: the moved slider, or null.
void SyncVolumeSliders(HWND dialog, HWND source);
