// Screenshots of windows as the user sees them, into .bmp files.
#pragma once
#include <windows.h>

#include <string>


// The window with its frame; with `also`, the smallest area holding both.
bool SaveWindowImage(HWND window, HWND also, const std::string& path);
