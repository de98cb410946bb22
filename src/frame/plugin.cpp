#include "plugin.h"

#include "../control/control.h"
#include "../hook/host_window.h"
#include "../hook/settings_item.h"
#include "../res/resource.h"
#include "../seam/host_player.h"
#include "../seam/system_volume.h"
#include "../seam/tone.h"
#include "../seam/wake_timer.h"
#include "../seam/window_timers.h"
#include "../settings/settings.h"
#include "../settings/store.h"
#include "../ui/settings_dialog.h"

PluginDescriptor Plugin;

// Our own module, wherever the host loaded it from (the linker's symbol for the image).
extern "C" IMAGE_DOS_HEADER __ImageBase;

static const char Description[] = "Brindlow Software Dawnbell Winamp Plug-in v2.3.2";

extern "C" __declspec(dllexport) PluginDescriptor* winampGetGeneralPurposePlugin() {
  // The host owns the window and instance fields; only the first five are ours.
  Plugin.version = 0x10;
  Plugin.description = Description;
  Plugin.init = PluginInit;
  Plugin.config = ShowSettings;
  Plugin.quit = PluginQuit;
  return &Plugin;
}

int PluginInit() {
  lstrcpyA(MenuText, DefaultMenuText);
  LoadSettings();
  RestoreLeftList();  // before anything plays, the start-up's play included
  PutBackLeftVolume();
  SetHookActive(true);
  PrevHostProc = reinterpret_cast<void*>(SetWindowLongPtrA(
      Plugin.hwndParent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HostWindowProc)));
  MarkMinuteSeen();
  StartTimer(ClockTimer, 1000, ClockTick);
  OpenWakeTimer();
  RefreshWake();
  if (PlayAtStart) StartupPlay();
  return 0;
}

int ShowSettings() {
  CommandReached();  // the settings opening answers the tone
  if (!SettingsDialog)
    DialogBoxParamA(Plugin.hDllInstance, MAKEINTRESOURCEA(IDD_SETTINGS), NULL, SettingsDialogProc, 0);
  // A second request while the dialog is open only raises it.
  if (SettingsDialog) SetForegroundWindow(static_cast<HWND>(SettingsDialog));
  return 0;
}

int PluginQuit() {
  HWND main = Plugin.hwndParent;
  SetHookActive(false);
  // A restart the hook let pass (F12 off) leaves a fade-out running, and the player would keep
  // its faded level. After a close the fade's timer is stopped and its volume back already.
  if (RunningTimer(FadeTimer)) PutBackFadedVolume();
  StopTimer(ClockTimer);
  StopTimer(FadeTimer);
  KeepSeen();  // the next load rings or tells what comes while the player is closed
  MissedSeen();  // the window goes with the module, missed alarms told or not
  EndRinging();
  MusicBeforeClose();
  ReleaseAwake();
  RemoveSettingsItem();  // quit with the menu open: its submenu is ours
  CloseTone();
  CloseSystemVolume();
  CloseWakeTimer();
  if (PrevHostProc && IsWindow(main)) {
    LONG_PTR ours = reinterpret_cast<LONG_PTR>(HostWindowProc);
    if (GetWindowLongPtrA(main, GWLP_WNDPROC) == ours) {
      SetWindowLongPtrA(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PrevHostProc));
    } else {
      // Someone subclassed on top of us and still calls into us: stay loaded. Loading our
      // own file again holds a reference the host's FreeLibrary cannot take back.
      char self[MAX_PATH];
      DWORD length = GetModuleFileNameA(reinterpret_cast<HMODULE>(&__ImageBase), self, MAX_PATH);
      if (length && length < MAX_PATH) LoadLibraryA(self);
    }
  }
  return 0;
}
