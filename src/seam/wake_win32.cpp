// The wake timer and the keep-awake state, for real. Windows 2000 lacks the time-zone
// conversion by local rules, so that one is found by name.
#include <windows.h>

#include "../settings/settings.h"
#include "file_time.h"
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
// does not move the wake by an hour; without them (Windows 2000), by today's offset.
static bool LocalToUtc(const LocalTimeRecord& local, FILETIME* utc) {
  const SYSTEMTIME* time = reinterpret_cast<const SYSTEMTIME*>(&local);
  LocalToSystemProc toSystem = reinterpret_cast<LocalToSystemProc>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "TzSpecificLocalTimeToSystemTime")));
  SYSTEMTIME system;
  if (toSystem && toSystem(NULL, time, &system)) return SystemTimeToFileTime(&system, utc);
  FILETIME localFile;
  return SystemTimeToFileTime(time, &localFile) && LocalFileTimeToFileTime(&localFile, utc);
}

bool UtcOf(const LocalTimeRecord& local, uint32_t* utc) {
  FILETIME file;
  if (!LocalToUtc(local, &file)) return false;
  *utc = static_cast<uint32_t>(FileSeconds(file));
  return true;
}

int32_t SetWakeTimer(uint32_t utc) {
  if (!WakeTimer) return WakeFailed;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  // Back to the full count: the due time lies days from now, not decades.
  uint64_t seconds = FileSeconds(now);
  seconds += static_cast<int32_t>(utc - static_cast<uint32_t>(seconds));
  LARGE_INTEGER due;  // positive: an absolute time
  due.QuadPart = static_cast<LONGLONG>(seconds * 10000000u);
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
