// The alarm dialog: one alarm's time, days, on and once, and its own music.
#pragma once
#include <windows.h>

#include "../settings/settings.h"

// Runs the dialog modally on `alarm` and its `music` (MusicSize characters), owned by the
// given window. OK writes what it shows into both and answers true; Cancel, Escape and the
// close box leave them alone.
bool EditAlarm(HWND owner, AlarmRecord* alarm, char16_t* music);
INT_PTR CALLBACK OneAlarmProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
