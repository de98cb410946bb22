// The main window's context menu: big enough (12 items) for plug-ins to add theirs.
#include "player_internal.h"

void ShowPlayerMenu(HWND main, int x, int y) {
  static const char* const items[PlayerMenuCount] = {
      "Play", "Pause", "Stop", "Next track", "Stop after current", "Volume up", "Volume down",
      "Plug-in settings...", "Previous track", "Forward 10 seconds", "About player...", "Exit"};
  static const WPARAM ids[PlayerMenuCount] = {40045, 40046, 40047, PlayerNextCommand, 40157,
                                              40058, 40059, PlayerConfigCommand,
                                              PlayerPreviousCommand, PlayerForwardCommand,
                                              PlayerAboutCommand, 40001};
  if (x == -1 && y == -1) {  // from the keyboard: at the window's corner
    RECT r;
    GetWindowRect(main, &r);
    x = r.left + 40;
    y = r.top + 40;
  }
  HMENU menu = CreatePopupMenu();
  for (int i = 0; i < PlayerMenuCount; ++i) AppendMenuA(menu, MF_STRING, ids[i], items[i]);
  // The choice arrives as WM_COMMAND: through the plug-ins' hooks, like the host's own.
  TrackPopupMenu(menu, TPM_RIGHTBUTTON, x, y, 0, main, NULL);
  DestroyMenu(menu);
}
