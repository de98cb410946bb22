// The stand-in player as a program: loads the plug-in and runs until closed, or runs the
// scripted showcase. See PlayerUsage for the options.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>

#include "options.h"
#include "player.h"
#include "plugin_guard.h"
#include "plugin_host.h"
#include "showcase.h"
#include "sim_clock.h"

static LoadedPlugin Plugin;

static void QuitPlugins() { QuitPlugin(&Plugin); }
static void ConfigPlugin() {
  if (Plugin.plugin) Plugin.plugin->config();
}

static void PrintLog() {
  printf("player: %u messages logged:\n", static_cast<unsigned>(PlayerLog.size()));
  for (const LogEntry& e : PlayerLog) printf("  %s\n", FormatLogLine(e).c_str());
}

static int RunLoop(HWND main, double quitAfter) {
  if (quitAfter > 0) SetTimer(NULL, 0, static_cast<UINT>(quitAfter * 1000), NULL);
  MSG msg;
  while (GetMessageA(&msg, NULL, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == NULL && !msg.lParam) {
      PostMessageA(main, WM_COMMAND, 40001, 0);
      continue;
    }
    DispatchPlayerMessage(main, &msg);
  }
  return 0;
}

int main(int argc, char** argv) {
  setvbuf(stdout, NULL, _IONBF, 0);
  PlayerOptions options;
  std::string error;
  if (!ParseOptions(argc, argv, &options, &error)) {
    printf("player: %s\n%s", error.c_str(), PlayerUsage);
    return 2;
  }
  if (options.showcase) {
    WriteShowcaseSettings();
    ParseLengths(ShowcaseLengths, &options.lengthsMs);
    options.speed = ShowcaseSpeed;
    options.clock = ShowcaseClock;
    SimClockSetDate(ShowcaseYear, ShowcaseMonth, ShowcaseFriday);
  }
  if (!options.lengthsMs.empty()) Player.lengthsMs = options.lengthsMs;
  Player.speed = options.speed;
  if (options.clock >= 0) SimClockSet(options.clock / 3600, options.clock / 60 % 60, options.clock % 60);

  // Plug-in dialogs use trackbars: the host registers the common controls for them.
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);

  HWND main = CreatePlayerWindow(GetModuleHandleA(NULL), true);
  Player.quitOnDestroy = true;
  Player.onClose = QuitPlugins;
  Player.onConfig = ConfigPlugin;
  StartPlayerClock();
  if (!OpenPlugin(main, options.plugin.c_str(), &Plugin)) {
    printf("player: could not load %s\n", options.plugin.c_str());
    DestroyWindow(main);
    return 1;
  }
  GuardPlugin(Plugin.module);  // before init: the clock and the power calls go through us
  SetWindowTextA(main, ("Dawnbell stand-in player - " + options.plugin).c_str());
  printf("player: loaded %s: %s\n", options.plugin.c_str(), Plugin.plugin->description);
  InitPlugin(&Plugin);
  printf("player: plug-in initialised\n");

  int status = options.showcase ? RunShowcase(main, &Plugin, options.screens)
                                : RunLoop(main, options.quitAfter);
  ClosePlugin(&Plugin);
  printf("player: plug-in unloaded\n");
  if (!options.showcase) PrintLog();
  return status;
}
