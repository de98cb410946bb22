#include "store.h"

#include <windows.h>

#include "../seam/host_player.h"
#include "settings.h"

static const char SettingsKeyPath[] = "Software\\Brindlow Software\\Dawnbell Winamp Plug-in";

int32_t OpenSettingsKey(void** key) {
  return RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, KEY_ALL_ACCESS,
                       reinterpret_cast<HKEY*>(key));
}

// A number counts only as a 4-byte REG_DWORD; anything else leaves the setting alone.
static void LoadNumber(HKEY key, int index) {
  DWORD type = 0, value = 0, size = sizeof value;
  if (RegQueryValueExA(key, SettingNames[index], NULL, &type, reinterpret_cast<BYTE*>(&value),
                       &size) == ERROR_SUCCESS &&
      type == REG_DWORD && size == sizeof value)
    SettingValues[index] = static_cast<int32_t>(value);
}

// The menu text counts only as a string; a long one is cut to fit, always terminated.
// Larger than the read buffer (no sane text is), it leaves the text as it was.
static void LoadMenuText(HKEY key) {
  char text[2048];
  DWORD type = 0, size = sizeof text;
  if (RegQueryValueExA(key, MenuValueName, NULL, &type, reinterpret_cast<BYTE*>(text), &size) !=
          ERROR_SUCCESS ||
      type != REG_SZ)
    return;
  DWORD n = size < TextSize ? size : TextSize - 1;
  lstrcpynA(MenuText, text, static_cast<int>(n) + 1);  // copies n bytes at most, then a zero
}

void LoadSettings() {
  HKEY key;
  if (OpenSettingsKey(reinterpret_cast<void**>(&key)) != ERROR_SUCCESS) return;
  for (int i = 0; i < SettingCount; ++i) LoadNumber(key, i);
  LoadMenuText(key);
  RegCloseKey(key);
}

void SaveSettings() {
  HKEY key;
  if (OpenSettingsKey(reinterpret_cast<void**>(&key)) != ERROR_SUCCESS &&
      RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, NULL, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, NULL, &key, NULL) != ERROR_SUCCESS)
    return;
  for (int i = 0; i < SettingCount; ++i)
    RegSetValueExA(key, SettingNames[i], 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(&SettingValues[i]), sizeof(int32_t));
  RegSetValueExA(key, MenuValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(MenuText),
                 lstrlenA(MenuText) + 1);
  RegCloseKey(key);
}
