#include "plugin_guard.h"

#include <shlwapi.h>
#include <stdio.h>

#include "player.h"
#include "plugin_host.h"
#include "sim_clock.h"

// Stands for powrprof.dll: the real one is never loaded for the plug-in.
static HMODULE const FakePowrprof = reinterpret_cast<HMODULE>(0x7e570000);
static HANDLE const FakeToken = reinterpret_cast<HANDLE>(0x7e57);

static void Power(const char* text) { PlayerNote(std::string("power: ") + text + " (shown, not done)"); }

static void WINAPI GuardGetLocalTime(SYSTEMTIME* time) {
  SimClockReadTick = GetTickCount();
  ++SimClockReads;
  SimClockNow(time);
}

static BOOL WINAPI GuardOpenProcessToken(HANDLE, DWORD access, HANDLE* token) {
  char text[64];
  snprintf(text, sizeof text, "OpenProcessToken(access %lu)", static_cast<unsigned long>(access));
  Power(text);
  *token = FakeToken;
  return TRUE;
}

static BOOL WINAPI GuardLookupPrivilegeValueA(LPCSTR, LPCSTR name, LUID* luid) {
  Power((std::string("LookupPrivilegeValueA(") + (name ? name : "") + ")").c_str());
  luid->LowPart = 19;
  luid->HighPart = 0;
  return TRUE;
}

static BOOL WINAPI GuardAdjustTokenPrivileges(HANDLE, BOOL, TOKEN_PRIVILEGES*, DWORD,
                                              TOKEN_PRIVILEGES*, DWORD*) {
  Power("AdjustTokenPrivileges");
  return TRUE;
}

static BOOL WINAPI GuardCloseHandle(HANDLE handle) {
  return handle == FakeToken ? TRUE : CloseHandle(handle);
}

static BOOL WINAPI GuardExitWindowsEx(UINT flags, DWORD reason) {
  char text[64];
  snprintf(text, sizeof text, "ExitWindowsEx(%u, %lu)%s", flags, static_cast<unsigned long>(reason),
           flags & EWX_POWEROFF ? ": power off" : "");
  Power(text);
  return TRUE;
}

static BOOLEAN WINAPI GuardSetSuspendState(BOOLEAN hibernate, BOOLEAN force, BOOLEAN wake) {
  char text[80];
  snprintf(text, sizeof text, "SetSuspendState(%d, %d, %d): %s", hibernate, force, wake,
           hibernate ? "hibernate" : "standby");
  Power(text);
  return TRUE;
}

bool IsPowerLibrary(const char* name) {
  if (!name) return false;
  const char* file = PathFindFileNameA(name);
  return lstrcmpiA(file, "powrprof.dll") == 0 || lstrcmpiA(file, "powrprof") == 0;
}

static HMODULE WINAPI GuardLoadLibraryA(LPCSTR name) {
  if (!IsPowerLibrary(name)) return LoadLibraryA(name);
  Power((std::string("LoadLibraryA(") + name + ")").c_str());
  return FakePowrprof;
}

static FARPROC WINAPI GuardGetProcAddress(HMODULE module, LPCSTR name) {
  if (module != FakePowrprof) return GetProcAddress(module, name);
  // Only the one entry exists in the stand-in; anything else is "not found".
  if (HIWORD(name) == 0 || lstrcmpA(name, "SetSuspendState") != 0) return NULL;
  return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(GuardSetSuspendState));
}

static BOOL WINAPI GuardFreeLibrary(HMODULE module) {
  return module == FakePowrprof ? TRUE : FreeLibrary(module);
}

void GuardPlugin(HMODULE module) {
  struct {
    const char* dll;
    const char* function;
    void* replacement;
  } const patches[] = {
      {"kernel32.dll", "GetLocalTime", reinterpret_cast<void*>(GuardGetLocalTime)},
      {"kernel32.dll", "LoadLibraryA", reinterpret_cast<void*>(GuardLoadLibraryA)},
      {"kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(GuardGetProcAddress)},
      {"kernel32.dll", "FreeLibrary", reinterpret_cast<void*>(GuardFreeLibrary)},
      {"kernel32.dll", "CloseHandle", reinterpret_cast<void*>(GuardCloseHandle)},
      {"advapi32.dll", "OpenProcessToken", reinterpret_cast<void*>(GuardOpenProcessToken)},
      {"advapi32.dll", "LookupPrivilegeValueA", reinterpret_cast<void*>(GuardLookupPrivilegeValueA)},
      {"advapi32.dll", "AdjustTokenPrivileges", reinterpret_cast<void*>(GuardAdjustTokenPrivileges)},
      {"user32.dll", "ExitWindowsEx", reinterpret_cast<void*>(GuardExitWindowsEx)},
      // Bound at load time instead of looked up: caught all the same.
      {"powrprof.dll", "SetSuspendState", reinterpret_cast<void*>(GuardSetSuspendState)},
  };
  for (const auto& p : patches) PatchImport(module, p.dll, p.function, p.replacement);
}
