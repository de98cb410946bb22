#include "host_window.h"

#include "../control/control.h"
#include "../seam/host_player.h"
#include "../seam/own_command.h"
#include "../seam/window_timers.h"
#include "../frame/plugin.h"
#include "../settings/settings.h"
#include "alarm_menu.h"
#include "settings_item.h"

// Remember where the track was and save everything; no event may fire while closing.
void SaveOnExit() {
  MusicBeforeClose();  // the player saves its list as it closes: the user's, back first
  PutBackFadedVolume();
  TrackPos = PlayerIpc(0, IpcGetOutputTime);
  TrackLength = PlayerIpc(1, IpcGetOutputTime);
  SaveSettings();
  StopTimer(ClockTimer);
  StopTimer(FadeTimer);
}

static LRESULT PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(reinterpret_cast<WNDPROC>(PrevHostProc), window, message, wParam, lParam);
}

static void HostNotice(LPARAM code) {
  if (code == IpcRestartPlayer) SaveOnExit();
  else if (code == IpcKeyboardInput && GetAsyncKeyState(VK_F12) < 0) ShowSettings();
}

// The clock or the time zone changed, or the computer sleeps or is back: the wake follows the
// alarm.
static void PowerNotice(WPARAM event) {
  if (event == PBT_APMSUSPEND) ComputerSuspending();
  if (event != PBT_APMRESUMEAUTOMATIC && event != PBT_APMRESUMESUSPEND) return;
  // A stop still in progress is no longer tonight's: not even a fade step may run first.
  CancelStop();
  if (event == PBT_APMRESUMEAUTOMATIC) ResumedAutomatically();
  else RefreshWake();
}

static bool HookActive;

void SetHookActive(bool active) { HookActive = active; }

static LRESULT CloseRequest(HWND window, WPARAM wParam, LPARAM lParam) {
  TimerProc fade = RunningTimer(FadeTimer);
  SaveOnExit();
  LRESULT result = PassOn(window, WM_CLOSE, wParam, lParam);
  // Someone declined the close: the alarm must keep working for the rest of the run, and a
  // fade finish what it began. A host that quit us inside the close may keep its window a
  // while, then unload us: no timer then.
  if (HookActive && IsWindow(window)) {
    StartTimer(ClockTimer, 1000, ClockTick);
    if (fade) StartTimer(FadeTimer, static_cast<uint32_t>(TimeOut), fade);
  }
  return result;
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (!HookActive) return PassOn(window, message, wParam, lParam);
  switch (message) {
    case WM_APPCOMMAND: CommandReached(); break;  // media keys on current Windows
    case WM_COMMAND:
      // Buttons, keys, menus, media keys: someone answered the tone. Not our own Stop and Play.
      if (!OwnCommandSent()) CommandReached();
      // The id alone: a command from the keyboard carries 1 above it.
      if (LOWORD(wParam) == CmdStop) StopCommandSeen();
      if (wParam == SettingsItemId) ShowSettings();
      else if (wParam >= SleepFirstId && wParam <= SleepOffId) SleepItemChosen(wParam);
      else if (wParam >= AlarmFirstId && wParam <= SkipAlarmId) AlarmItemChosen(wParam);
      break;
    case HostTrackEndMessage: TrackEnded(); break;
    case HostIpcMessage:
      if (HotKey) HostNotice(lParam);
      break;
    case WM_KEYDOWN:
      if (HotKey && wParam == VK_F12) ShowSettings();
      break;
    case WM_CLOSE: return CloseRequest(window, wParam, lParam);
    case WM_INITMENU:
      if (AddMenu) InsertSettingsItem(reinterpret_cast<HMENU>(wParam));
      break;
    case WM_EXITMENULOOP:
      if (AddMenu) RemoveSettingsItem();
      break;
    case WM_TIMECHANGE: RefreshWake(); break;
    case WM_POWERBROADCAST: PowerNotice(wParam); break;
  }
  return PassOn(window, message, wParam, lParam);
}
