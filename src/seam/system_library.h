// Libraries loaded by name at run time, from the system folder only: the player's own folder
// is often writable by any program, and a library planted there would run inside the player.
#pragma once
#include <windows.h>

HMODULE LoadSystemLibrary(const char* name);  // the file's name behind a backslash: "\\winmm.dll"
// An entry of a loaded library, as the procedure type it is called through.
template <class Proc>
bool FindEntry(HMODULE library, const char* name, Proc* entry) {
  *entry = reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(library, name)));
  return *entry != NULL;
}
