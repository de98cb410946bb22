// Keyboard input reaches the main window two ways, as with the host: typed into the main
// window itself it arrives as WM_KEYDOWN; typed into any of the player's other windows,
// the main window is first told with the keyboard IPC notice (617).
#include "player_internal.h"

void DispatchPlayerMessage(HWND main, MSG* msg) {
  bool key = msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN;
  if (key && msg->hwnd != main && IsWindow(main)) SendMessageA(main, IpcMessage, 0, 617);
  TranslateMessage(msg);
  DispatchMessageA(msg);
}
