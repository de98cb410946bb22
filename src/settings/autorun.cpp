#include <windows.h>

#include "../seam/descriptor.h"
#include "settings.h"
#include "store.h"

static const char RunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
static const char RunValueName[] = "Winamp";

// Open from the dialog's query to its write.
static HKEY RunKey;

int32_t QueryAutorun() {
  RunKey = NULL;
  RegOpenKeyExA(HKEY_CURRENT_USER, RunKeyPath, 0, KEY_ALL_ACCESS, &RunKey);
  // Room for what we write, the longest path we keep in quotes with its zero (257 bytes),
  // and a zero of our own after it.
  char value[TextSize + 3];
  DWORD size = sizeof value - 1;
  if (!RunKey || RegQueryValueExA(RunKey, RunValueName, NULL, NULL,
                                  reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
    size = 0;
  value[size] = 0;
  GetWindowModuleFileNameA(Plugin.hwndParent, ModulePath, TextSize);
  ModulePath[TextSize - 1] = 0;

  // Entries written before we quoted the path still count.
  char* stored = value;
  int length = lstrlenA(stored);
  if (length >= 2 && stored[0] == '"' && stored[length - 1] == '"') {
    stored[length - 1] = 0;
    ++stored;
  }
  return lstrcmpiA(ModulePath, stored) != 0;
}

void WriteAutorun(int32_t registered) {
  if (registered) {
    // Quoted, so a path with spaces cannot start "C:\Program.exe" instead.
    char quoted[TextSize + 2];
    quoted[0] = '"';
    lstrcpyA(quoted + 1, ModulePath);
    lstrcatA(quoted, "\"");
    RegSetValueExA(RunKey, RunValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(quoted),
                   lstrlenA(quoted) + 1);
  } else {
    RegDeleteValueA(RunKey, RunValueName);
  }
  CloseAutorun();
}

void CloseAutorun() {
  if (RunKey) RegCloseKey(RunKey);
  RunKey = NULL;
}
