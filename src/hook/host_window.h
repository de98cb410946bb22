// The replacement procedure of the player's main window.
#pragma once
#include <windows.h>

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void SaveOnExit();
