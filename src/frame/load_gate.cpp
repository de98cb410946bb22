#include <windows.h>

#include "../settings/settings.h"

// The module's entry point (no C runtime). Windows before 2000/XP lacks what we call.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  if (LOBYTE(LOWORD(GetVersion())) < 5) return FALSE;
  ResetSettings();  // the record is made with the module, from its defaults
  return TRUE;
}
