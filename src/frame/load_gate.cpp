#include <windows.h>

// The module's entry point (no C runtime). Windows before 2000/XP lacks what we call.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  return LOBYTE(LOWORD(GetVersion())) >= 5;
}
