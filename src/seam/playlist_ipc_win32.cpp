#include "playlist_ipc.h"

#include "descriptor.h"
#include "host_player.h"

// 0 not yet known, 1 the player answers the wide codes, -1 it does not. Zero at load, it
// costs the DLL no initialised data.
static int WideCodes;

static LRESULT Ask(WPARAM data, LPARAM code) { return SendMessageW(Plugin.hwndParent, HostIpcMessage, data, code); }

void AskWideCodes() {
  WideCodes = 0;
  if (Ask(0, IpcGetListLength) > 0) ListEntryPath(0);
}

const WCHAR* ListEntryPath(int32_t index) {
  static WCHAR converted[MAX_PATH * 4];
  if (WideCodes >= 0) {
    const WCHAR* wide = reinterpret_cast<const WCHAR*>(Ask(index, IpcGetListFileWide));
    if (wide) {
      WideCodes = 1;
      return wide;
    }
  }
  const char* ansi = reinterpret_cast<const char*>(Ask(index, IpcGetListFile));
  if (!ansi) return nullptr;
  WideCodes = -1;  // a path in ANSI where the wide query answered nothing
  if (!MultiByteToWideChar(CP_ACP, 0, ansi, -1, converted, MAX_PATH * 4)) return nullptr;
  return converted;
}

// In the ANSI code page, only when every character has its own there.
static bool Ansi(const WCHAR* path, char* ansi, int size) {
  BOOL lossy = FALSE;
  return WideCharToMultiByte(CP_ACP, 0, path, -1, ansi, size, NULL, &lossy) > 0 && !lossy;
}

bool PathFits(const WCHAR* path) {
  static char ansi[MAX_PATH * 4];
  return WideCodes >= 0 || Ansi(path, ansi, sizeof ansi);
}

static bool Send(int32_t code, const void* data, DWORD size) {
  COPYDATASTRUCT copy = {static_cast<ULONG_PTR>(code), size, const_cast<void*>(data)};
  return SendMessageW(Plugin.hwndParent, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy)) != 0;
}

bool AppendPath(const WCHAR* path) {
  static char ansi[MAX_PATH * 4];
  if (WideCodes >= 0) {
    if (Send(CopyPlayFileWide, path, (lstrlenW(path) + 1) * sizeof(WCHAR))) {
      WideCodes = 1;
      return true;
    }
    WideCodes = -1;
  }
  return Ansi(path, ansi, sizeof ansi) && Send(CopyPlayFile, ansi, lstrlenA(ansi) + 1);
}
