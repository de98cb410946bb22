// The wake timer and the keep-awake state, for real.
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

int32_t SetWakeTimer(uint32_t utc) {
  if (!WakeTimer) return WakeFailed;
  LARGE_INTEGER due;  // positive: an absolute time
  due.QuadPart = static_cast<LONGLONG>(FullUtcSeconds(utc) * 10000000u);
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
