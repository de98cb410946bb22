#include "system_library.h"

HMODULE LoadSystemLibrary(const char* name) {
  char path[MAX_PATH + 16];
  UINT length = GetSystemDirectoryA(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH || lstrlenA(name) >= 16) return NULL;
  lstrcatA(path, name);
  return LoadLibraryA(path);
}
