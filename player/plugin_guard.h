// What the player program puts between a loaded plug-in and the machine: the plug-in reads
// the player's (possibly simulated) clock, and every power action it tries, like every change
// of the computer's volume, is written to the player's log instead of being carried out.
#pragma once
#include <windows.h>

void GuardPlugin(HMODULE module);
// True for the power library asked for by name or by a path into any folder: such a load
// must never reach the real loader.
bool IsPowerLibrary(const char* name);
// The same for the sound library the alarm's tone would play through.
bool IsToneLibrary(const char* name);
