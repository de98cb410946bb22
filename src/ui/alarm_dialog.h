// The alarm clock dialog: the list of alarms and when the next rings, snooze and ring limit,
// the silent tone, the computer's volume.
#pragma once
#include <windows.h>

// Runs the dialog modally, owned by the given window; every way of closing saves.
void ShowAlarmClock(HWND owner);
// The open dialog's list and next alarm show the alarms as they now are.
void FollowAlarmClock();
INT_PTR CALLBACK AlarmDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
