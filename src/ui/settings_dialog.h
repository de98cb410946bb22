// The settings dialog: every option, the start-up entry, saved whenever it closes.
#pragma once
#include <windows.h>

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Enables each dependent control exactly when the box it depends on is checked.
void UpdateEnables(HWND dialog);
