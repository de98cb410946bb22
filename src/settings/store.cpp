#include "store.h"

#include <windows.h>

#include "../seam/host_player.h"
#include "settings.h"

static_assert(sizeof(WCHAR) == sizeof(char16_t), "the music is kept as the registry's UTF-16");

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

// "Alarm1Music" .. "Alarm8Music".
static void MusicName(int slot, WCHAR* name) {
  static const WCHAR Pattern[] = L"Alarm1Music";
  for (int i = 0; i < 12; ++i) name[i] = Pattern[i];
  name[5] = static_cast<WCHAR>(L'1' + slot);
}

// Only a string of at most MusicSize - 1 characters counts; anything else reads as empty,
// never as a cut path that names some other file.
static void LoadMusic(HKEY key, int slot) {
  WCHAR name[12];
  MusicName(slot, name);
  WCHAR* music = reinterpret_cast<WCHAR*>(AlarmMusic[slot]);
  DWORD type = 0, size = MusicSize * sizeof(WCHAR);
  LONG status = RegQueryValueExW(key, name, NULL, &type, reinterpret_cast<BYTE*>(music), &size);
  DWORD n = size / sizeof(WCHAR);
  if (n && music[n - 1] == 0) --n;
  if (status != ERROR_SUCCESS || type != REG_SZ || n >= MusicSize) n = 0;
  music[n] = 0;
}

// An alarm without music leaves no value behind.
static void SaveMusic(HKEY key, int slot) {
  WCHAR name[12];
  MusicName(slot, name);
  const WCHAR* music = reinterpret_cast<const WCHAR*>(AlarmMusic[slot]);
  if (!music[0]) {
    RegDeleteValueW(key, name);
    return;
  }
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(music),
                 (lstrlenW(music) + 1) * sizeof(WCHAR));
}

static bool CreateSettingsKey(HKEY* key) {
  return OpenSettingsKey(reinterpret_cast<void**>(key)) == ERROR_SUCCESS ||
         RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                         NULL, key, NULL) == ERROR_SUCCESS;
}

// Not a setting: the state of a ringing alarm, there only while it holds the computer's volume.
static const char RaisedVolumeName[] = "RaisedVolume";

void KeepRaisedVolume(const RaisedVolumeRecord& raised) {
  HKEY key;
  if (!CreateSettingsKey(&key)) return;
  if (raised.Held)
    RegSetValueExA(key, RaisedVolumeName, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&raised), sizeof raised);
  else
    RegDeleteValueA(key, RaisedVolumeName);
  RegCloseKey(key);
}

static bool Level(const SystemVolumeRecord& v) {
  return (v.Muted == 0 || v.Muted == 1) && v.Level >= 0 && v.Level <= FullLevel;
}

bool ReadKeptRaisedVolume(RaisedVolumeRecord* raised) {
  HKEY key;
  if (OpenSettingsKey(reinterpret_cast<void**>(&key)) != ERROR_SUCCESS) return false;
  RaisedVolumeRecord kept = {};
  DWORD type = 0, size = sizeof kept;
  bool whole = RegQueryValueExA(key, RaisedVolumeName, NULL, &type, reinterpret_cast<BYTE*>(&kept), &size) ==
                   ERROR_SUCCESS &&
               type == REG_BINARY && size == sizeof kept && kept.Held == 1 && Level(kept.Found) && Level(kept.Left);
  RegDeleteValueA(key, RaisedVolumeName);  // read once, whole or not: never put back twice
  RegCloseKey(key);
  if (whole) *raised = kept;
  return whole;
}

void LoadSettings() {
  HKEY key;
  if (OpenSettingsKey(reinterpret_cast<void**>(&key)) != ERROR_SUCCESS) return;
  for (int i = 0; i < SettingCount; ++i) LoadNumber(key, i);
  LoadMenuText(key);
  for (int i = 0; i < AlarmCount; ++i) LoadMusic(key, i);
  RegCloseKey(key);
}

void SaveSettings() {
  HKEY key;
  if (!CreateSettingsKey(&key)) return;
  for (int i = 0; i < SettingCount; ++i)
    RegSetValueExA(key, SettingNames[i], 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(&SettingValues[i]), sizeof(int32_t));
  RegSetValueExA(key, MenuValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(MenuText),
                 lstrlenA(MenuText) + 1);
  for (int i = 0; i < AlarmCount; ++i) SaveMusic(key, i);
  RegCloseKey(key);
}
