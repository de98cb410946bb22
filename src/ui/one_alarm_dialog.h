// The alarm dialog: one alarm's time, days, on and once, its own music, label and volume, and
// when it rings next as they stand.
#pragma once
#include <windows.h>

#include "../settings/settings.h"

// Runs the dialog modally on `alarm`, the alarm of slot `slot` (or the one to be put there), its
// `music` (MusicSize characters), `label` (LabelSize) and `volume` (percent, 0 for the end
// volume), owned by the given window. OK writes what it shows into them all and answers true;
// Cancel, Escape and the close box leave them alone.
bool EditAlarm(HWND owner, int32_t slot, AlarmRecord* alarm, char16_t* music, char16_t* label, int32_t* volume);
INT_PTR CALLBACK OneAlarmProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
