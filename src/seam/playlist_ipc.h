// The player's playlist by path, for the saved list and an alarm's music. Win32 side.
#pragma once
#include <stdint.h>
#include <windows.h>

// Entry `index`'s path, in UTF-16 (an older player's ANSI answer converted); null when the
// player names none.
const WCHAR* ListEntryPath(int32_t index);
// Appends a path: in UTF-16, or in the ANSI code page to a player older than the wide codes
// where the path converts without loss; false when the player could not be given it.
bool AppendPath(const WCHAR* path);
// Asks the player whether it answers the wide codes, where its list has an entry to ask of.
void AskWideCodes();
// Could the path be given to the player: always in UTF-16; to an older player when the ANSI
// code page holds every character.
bool PathFits(const WCHAR* path);
// A line for the log, as the plug-in's debug output: "Dawnbell: " and the texts joined.
void NoteInLog(const WCHAR* text, const WCHAR* more = nullptr, const WCHAR* last = nullptr);
