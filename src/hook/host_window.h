// The replacement procedure of the player's main window.
#pragma once
#include <windows.h>

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void SaveOnExit();
// Init turns the hook on, quit off: a hook left in the chain under someone else's subclass
// (the module then stays pinned) must not open dialogs, insert items or restart the clock
// for a plug-in the host has quit.
void SetHookActive(bool active);
