#include "plugin_guard.h"

#include <shlwapi.h>
#include <stdio.h>

#include "player.h"
#include "plugin_host.h"
#include "sim_clock.h"
#include "stand_in_audio.h"
#include "stand_in_power.h"
#include "virtual_timers.h"

// Stands for powrprof.dll: the real one is never loaded for the plug-in.
static HMODULE const FakePowrprof = reinterpret_cast<HMODULE>(0x7e570000);
static HMODULE const FakeWinmm = reinterpret_cast<HMODULE>(0x7e580000);
static HANDLE const FakeToken = reinterpret_cast<HANDLE>(0x7e57);
static HANDLE const FakeWakeTimer = reinterpret_cast<HANDLE>(0x7e5a);

static void Power(const char* text) { PlayerNote(std::string("power: ") + text + " (shown, not done)"); }

static void WINAPI GuardGetLocalTime(SYSTEMTIME* time) {
  SimClockReadTick = NowTick();
  ++SimClockReads;
  SimClockNow(time);
}

// UTC runs with the simulated local time, converted by today's offset.
static void WINAPI GuardGetSystemTimeAsFileTime(FILETIME* utc) {
  SYSTEMTIME local;
  SimClockNow(&local);
  FILETIME file;
  SystemTimeToFileTime(&local, &file);
  LocalFileTimeToFileTime(&file, utc);
}

static DWORD WINAPI GuardGetTickCount() { return SimClockElapsed(); }

static BOOL WINAPI GuardPlaySoundA(LPCSTR sound, HMODULE, DWORD flags) {
  char text[80];
  snprintf(text, sizeof text, "tone: PlaySoundA(%s, 0x%lx)%s", sound ? "tone" : "NULL",
           static_cast<unsigned long>(flags), sound ? ": sounds, looped (shown, not played)" : ": ends");
  PlayerNote(text);
  return TRUE;
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
  return handle == FakeToken || handle == FakeWakeTimer ? TRUE : CloseHandle(handle);
}

// The wake timer is shown with its due time in local time, as the plug-in meant it.
static HANDLE WINAPI GuardCreateWaitableTimerA(SECURITY_ATTRIBUTES*, BOOL, LPCSTR) {
  return FakeWakeTimer;
}

static BOOL WINAPI GuardSetWaitableTimer(HANDLE, const LARGE_INTEGER* due, LONG, PTIMERAPCROUTINE,
                                         void*, BOOL resume) {
  FILETIME utc = {due->LowPart, static_cast<DWORD>(due->HighPart)}, local;
  SYSTEMTIME t{};
  FileTimeToLocalFileTime(&utc, &local);
  FileTimeToSystemTime(&local, &t);
  char text[96];
  snprintf(text, sizeof text, "SetWaitableTimer(%04d-%02d-%02d %02d:%02d%s): wake timer armed",
           t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, resume ? ", resume" : "");
  Power(text);
  SetLastError(0);
  return TRUE;
}

static BOOL WINAPI GuardCancelWaitableTimer(HANDLE) {
  Power("CancelWaitableTimer: no wake timer");
  return TRUE;
}

// The plug-in asserts its state again every second while it holds it: changes only are shown.
static EXECUTION_STATE LastState = ES_CONTINUOUS;

static EXECUTION_STATE WINAPI GuardSetThreadExecutionState(EXECUTION_STATE state) {
  EXECUTION_STATE previous = LastState;
  LastState = state;
  if (state == previous) return previous;
  std::string text = "SetThreadExecutionState(ES_CONTINUOUS";
  if (state & ES_SYSTEM_REQUIRED) text += " | ES_SYSTEM_REQUIRED";
  if (state & ES_DISPLAY_REQUIRED) text += " | ES_DISPLAY_REQUIRED";
  text += state & (ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED) ? "): held awake" : "): released";
  Power(text.c_str());
  return previous;
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

bool IsToneLibrary(const char* name) {
  return name && lstrcmpiA(PathFindFileNameA(name), "winmm.dll") == 0;
}

// The computer's volume: a stand-in output, muted at 12% until the plug-in changes it.
static void ShowVolume(const std::string& change) {
  PlayerNote("system volume: " + change + " (shown, not done)");
}

static HMODULE WINAPI GuardLoadLibraryA(LPCSTR name) {
  if (IsToneLibrary(name)) return FakeWinmm;
  if (IsComLibrary(name)) return StandInOle32;
  if (!IsPowerLibrary(name)) return LoadLibraryA(name);
  Power((std::string("LoadLibraryA(") + name + ")").c_str());
  return FakePowrprof;
}

static FARPROC WINAPI GuardGetProcAddress(HMODULE module, LPCSTR name) {
  if (module == FakeWinmm)
    return HIWORD(name) && lstrcmpA(name, "PlaySoundA") == 0
               ? reinterpret_cast<FARPROC>(reinterpret_cast<void*>(GuardPlaySoundA))
               : StandInMixerEntry(name);
  if (module == StandInOle32) return StandInComEntry(name);
  if (ReachesRealAudio(name)) return NULL;
  if (module != FakePowrprof) return GetProcAddress(module, name);
  // The suspend, and the stand-in's power plan and capabilities; anything else is "not found".
  if (HIWORD(name) == 0 || lstrcmpA(name, "SetSuspendState") != 0) return StandInPowerEntry(name);
  return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(GuardSetSuspendState));
}

static BOOL WINAPI GuardFreeLibrary(HMODULE module) {
  return module == FakePowrprof || module == FakeWinmm || module == StandInOle32 ? TRUE : FreeLibrary(module);
}

void GuardPlugin(HMODULE module) {
  struct {
    const char* dll;
    const char* function;
    void* replacement;
  } const patches[] = {
      {"kernel32.dll", "GetLocalTime", reinterpret_cast<void*>(GuardGetLocalTime)},
      {"kernel32.dll", "GetSystemTimeAsFileTime", reinterpret_cast<void*>(GuardGetSystemTimeAsFileTime)},
      {"kernel32.dll", "GetTickCount", reinterpret_cast<void*>(GuardGetTickCount)},
      {"kernel32.dll", "LoadLibraryA", reinterpret_cast<void*>(GuardLoadLibraryA)},
      {"kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(GuardGetProcAddress)},
      {"kernel32.dll", "FreeLibrary", reinterpret_cast<void*>(GuardFreeLibrary)},
      {"kernel32.dll", "LocalFree", reinterpret_cast<void*>(StandInLocalFree)},
      {"kernel32.dll", "CloseHandle", reinterpret_cast<void*>(GuardCloseHandle)},
      {"advapi32.dll", "OpenProcessToken", reinterpret_cast<void*>(GuardOpenProcessToken)},
      {"advapi32.dll", "LookupPrivilegeValueA", reinterpret_cast<void*>(GuardLookupPrivilegeValueA)},
      {"advapi32.dll", "AdjustTokenPrivileges", reinterpret_cast<void*>(GuardAdjustTokenPrivileges)},
      {"user32.dll", "ExitWindowsEx", reinterpret_cast<void*>(GuardExitWindowsEx)},
      {"kernel32.dll", "CreateWaitableTimerA", reinterpret_cast<void*>(GuardCreateWaitableTimerA)},
      {"kernel32.dll", "SetWaitableTimer", reinterpret_cast<void*>(GuardSetWaitableTimer)},
      {"kernel32.dll", "CancelWaitableTimer", reinterpret_cast<void*>(GuardCancelWaitableTimer)},
      {"kernel32.dll", "SetThreadExecutionState", reinterpret_cast<void*>(GuardSetThreadExecutionState)},
      {"kernel32.dll", "OutputDebugStringW", reinterpret_cast<void*>(PluginDebugString)},
      // Bound at load time instead of looked up: caught all the same.
      {"powrprof.dll", "SetSuspendState", reinterpret_cast<void*>(GuardSetSuspendState)},
  };
  for (const auto& p : patches) PatchImport(module, p.dll, p.function, p.replacement);
  GuardTimers(module);  // real timers, unless virtual time is on
  Audio.changed = ShowVolume;
}
