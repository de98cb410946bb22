// The stand-in player as a program: loads the plug-in and runs until closed.
//   dawnbell_player [--plugin PATH] [--quit-after SECONDS] [--speed FACTOR]
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "player.h"
#include "plugin_host.h"

static LoadedPlugin Plugin;

static void QuitPlugins() { QuitPlugin(&Plugin); }

int main(int argc, char** argv) {
  const char* path = "gen_dawnbell.dll";
  double quitAfter = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (!strcmp(argv[i], "--plugin")) path = argv[i + 1];
    else if (!strcmp(argv[i], "--quit-after")) quitAfter = atof(argv[i + 1]);
    else if (!strcmp(argv[i], "--speed")) Player.speed = atof(argv[i + 1]);
  }
  setvbuf(stdout, NULL, _IONBF, 0);

  // Plug-in dialogs use trackbars: the host registers the common controls for them.
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);

  HWND main = CreatePlayerWindow(GetModuleHandleA(NULL), true);
  Player.quitOnDestroy = true;
  Player.onClose = QuitPlugins;
  StartPlayerClock();
  if (!OpenPlugin(main, path, &Plugin)) {
    printf("player: could not load %s\n", path);
    return 1;
  }
  printf("player: loaded %s: %s\n", path, Plugin.plugin->description);
  InitPlugin(&Plugin);
  printf("player: plug-in initialised\n");
  if (quitAfter > 0) SetTimer(NULL, 0, static_cast<UINT>(quitAfter * 1000), NULL);

  MSG msg;
  while (GetMessageA(&msg, NULL, 0, 0) > 0) {
    if (msg.message == WM_TIMER && msg.hwnd == NULL) {
      PostMessageA(main, WM_COMMAND, 40001, 0);
      continue;
    }
    // Keys typed into the player's other windows reach the main window as an IPC notice.
    if (msg.message == WM_KEYDOWN && msg.hwnd != main) SendMessageA(main, WM_USER, 0, 617);
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  ClosePlugin(&Plugin);
  printf("player: plug-in unloaded; %u messages logged:\n", static_cast<unsigned>(PlayerLog.size()));
  for (const LogEntry& e : PlayerLog) printf("  %s\n", DescribeLogEntry(e).c_str());
  return 0;
}
