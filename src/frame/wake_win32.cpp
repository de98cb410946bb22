// The wake timer and the keep-awake state, for real. Windows 2000 lacks the time-zone
// conversion by local rules, so that one is found by name.
#include <windows.h>

#include "../settings/settings.h"
#include "host_player.h"
#include "wake_timer.h"

enum : DWORD { TimerResumeIgnored = 722 };  // ERROR_TIMER_RESUME_IGNORED, newer headers only

static HANDLE WakeTimer;

void OpenWakeTimer() {
  if (!WakeTimer) WakeTimer = CreateWaitableTimerA(NULL, FALSE, NULL);
}

void CloseWakeTimer() {
  if (!WakeTimer) return;
  CancelWaitableTimer(WakeTimer);
  CloseHandle(WakeTimer);
  WakeTimer = NULL;
}

typedef BOOL(WINAPI* LocalToSystemProc)(const TIME_ZONE_INFORMATION*, const SYSTEMTIME*, SYSTEMTIME*);

// By the rules in force on that date, so a change to or from summer time during the night
// does not move the wake by an hour; without them, by today's offset.
static bool LocalToUtc(const LocalTimeRecord& local, FILETIME* utc) {
  const SYSTEMTIME* time = reinterpret_cast<const SYSTEMTIME*>(&local);
  LocalToSystemProc toSystem = reinterpret_cast<LocalToSystemProc>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "TzSpecificLocalTimeToSystemTime")));
  SYSTEMTIME system;
  if (toSystem && toSystem(NULL, time, &system)) return SystemTimeToFileTime(&system, utc);
  FILETIME localFile;
  return SystemTimeToFileTime(time, &localFile) && LocalFileTimeToFileTime(&localFile, utc);
}

int32_t SetWakeTimer(const LocalTimeRecord& local) {
  FILETIME utc;
  if (!WakeTimer || !LocalToUtc(local, &utc)) return WakeFailed;
  LARGE_INTEGER due;  // positive: an absolute time
  due.LowPart = utc.dwLowDateTime;
  due.HighPart = static_cast<LONG>(utc.dwHighDateTime);
  // The timer is set even where the computer cannot wake; only the last error says so.
  SetLastError(0);
  if (!SetWaitableTimer(WakeTimer, &due, 0, NULL, NULL, TRUE)) return WakeFailed;
  DWORD error = GetLastError();
  return error == ERROR_NOT_SUPPORTED || error == TimerResumeIgnored ? WakeSetCannotWake : WakeSet;
}

void CancelWakeTimer() {
  if (WakeTimer) CancelWaitableTimer(WakeTimer);
}

void SetAwakeState(int32_t state) {
  EXECUTION_STATE flags = ES_CONTINUOUS;
  if (state & AwakeSystem) flags |= ES_SYSTEM_REQUIRED;
  if (state & AwakeDisplay) flags |= ES_DISPLAY_REQUIRED;
  SetThreadExecutionState(flags);
}
