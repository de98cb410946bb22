// The ringing window: the alarm's time, its state, Snooze and Stop. It follows Ringing
// through ShowRinging (seam/host_player.h) and lives no longer than the alarm.
#pragma once
#include <windows.h>

INT_PTR CALLBACK RingingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
