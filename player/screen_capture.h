// Screenshots: a part of the screen, as the user sees it, into a .bmp file.
#pragma once
#include <windows.h>

#include <string>

bool SaveScreenArea(const RECT& area, const std::string& path);
// The window with its frame; with `also`, the smallest area holding both.
bool SaveWindowImage(HWND window, HWND also, const std::string& path);
