// The about box: name, version, and a link that opens the homepage.
#pragma once
#include <windows.h>

// Runs the about box modally, owned by the given window.
void ShowAbout(HWND owner);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The link control's procedure: a hand cursor, and a press opens the homepage.
LRESULT CALLBACK LinkProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
