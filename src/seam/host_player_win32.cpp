// The seam, for real: messages to the player's main window, window timers, the system clock
// and the power actions.
#include <windows.h>

#include "../settings/settings.h"
#include "descriptor.h"
#include "file_time.h"
#include "host_player.h"
#include "own_command.h"
#include "window_timers.h"
#include "system_library.h"

static_assert(sizeof(LocalTimeRecord) == sizeof(SYSTEMTIME), "LocalTime mirrors SYSTEMTIME");

int32_t PlayerIpc(int32_t data, int32_t code) {
  return static_cast<int32_t>(SendMessageA(Plugin.hwndParent, HostIpcMessage, data, code));
}

// A count: one of our commands may go out while another is still on its way.
static int32_t OwnCommands;

void PlayerCommand(int32_t id) {
  ++OwnCommands;
  SendMessageA(Plugin.hwndParent, WM_COMMAND, id, 0);
  --OwnCommands;
}

bool OwnCommandSent() { return OwnCommands != 0; }

void ActivatePlayer() {
  SendMessageA(Plugin.hwndParent, WM_SYSCOMMAND, SC_RESTORE, 0);
  SetForegroundWindow(Plugin.hwndParent);
}

// Window timers call back with their id; each id runs the procedure it was last started with.
static TimerProc TimerProcs[3];

static void CALLBACK TimerThunk(HWND, UINT, UINT_PTR id, DWORD) {
  if (id < 3 && TimerProcs[id]) TimerProcs[id]();
}

void StartTimer(int32_t id, uint32_t interval, TimerProc proc) {
  TimerProcs[id] = proc;
  SetTimer(Plugin.hwndParent, id, interval, TimerThunk);
}

// Forgotten, so that a tick already queued for it runs nothing.
void StopTimer(int32_t id) {
  KillTimer(Plugin.hwndParent, id);
  TimerProcs[id] = NULL;
}

TimerProc RunningTimer(int32_t id) { return TimerProcs[id]; }

void ReadLocalTime() { GetLocalTime(reinterpret_cast<SYSTEMTIME*>(&LocalTime)); }

uint32_t UtcSeconds() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return static_cast<uint32_t>(FileSeconds(now));
}

uint32_t ElapsedMilliseconds() { return GetTickCount(); }

void ForcePowerOff() {
  HANDLE token = NULL;
  TOKEN_PRIVILEGES privileges;
  OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token);
  LookupPrivilegeValueA(NULL, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  AdjustTokenPrivileges(token, FALSE, &privileges, 0, NULL, NULL);
  if (token) CloseHandle(token);
  ExitWindowsEx(EWX_POWEROFF | EWX_FORCE, 0);
}

typedef BOOLEAN(WINAPI* SetSuspendStateProc)(BOOLEAN, BOOLEAN, BOOLEAN);

// Without the library or the entry there is simply no standby.
bool SuspendComputer(int32_t hibernate) {
  HMODULE power = LoadSystemLibrary("\\powrprof.dll");
  if (!power) return false;
  SetSuspendStateProc setSuspendState;
  bool slept = FindEntry(power, "SetSuspendState", &setSuspendState) && setSuspendState(hibernate != 0, FALSE, FALSE);
  FreeLibrary(power);
  return slept;
}
