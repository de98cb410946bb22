#include "host_window.h"

#include "../settings/settings.h"

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(reinterpret_cast<WNDPROC>(PrevHostProc), window, message, wParam, lParam);
}
