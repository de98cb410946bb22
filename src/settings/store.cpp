#include "store.h"

#include <windows.h>

#include "../seam/host_player.h"
#include "settings.h"

static_assert(sizeof(WCHAR) == sizeof(char16_t), "the music and labels are kept as the registry's UTF-16");

static const char SettingsKeyPath[] = "Software\\Brindlow Software\\Dawnbell Winamp Plug-in";

int32_t OpenSettingsKey(void** key) {
  return RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKeyPath, 0, KEY_ALL_ACCESS,
                       reinterpret_cast<HKEY*>(key));
}

// A number counts only as a 4-byte REG_DWORD; anything else leaves the setting alone.
static bool QueryDword(HKEY key, const char* name, DWORD* value) {
  DWORD type = 0, size = sizeof *value;
  return RegQueryValueExA(key, name, NULL, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
         type == REG_DWORD && size == sizeof *value;
}

static void LoadNumber(HKEY key, int index) {
  DWORD value;
  if (QueryDword(key, SettingNames[index], &value)) SettingValues[index] = static_cast<int32_t>(value);
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

// "Alarm1Music" .. "Alarm8Music", "Alarm1Label" ..: the pattern's digit is the slot's.
static void ValueName(const WCHAR* pattern, int slot, WCHAR* name) {
  for (int i = 0; i < 12; ++i) name[i] = pattern[i];
  name[5] = static_cast<WCHAR>(L'1' + slot);
}

// Only a string of at most size - 1 characters counts; anything else reads as empty, never
// as a cut path that names some other file.
static void LoadText(HKEY key, const WCHAR* pattern, int slot, char16_t* into, DWORD size) {
  WCHAR name[12];
  ValueName(pattern, slot, name);
  WCHAR* text = reinterpret_cast<WCHAR*>(into);
  DWORD type = 0, bytes = size * sizeof(WCHAR);
  LONG status = RegQueryValueExW(key, name, NULL, &type, reinterpret_cast<BYTE*>(text), &bytes);
  // A value too long for the buffer answers the size it would need: never read that far.
  DWORD n = status == ERROR_SUCCESS && type == REG_SZ ? bytes / sizeof(WCHAR) : 0;
  if (n && text[n - 1] == 0) --n;
  if (n >= size) n = 0;
  text[n] = 0;
}

// An empty text leaves no value behind.
static void SaveText(HKEY key, const WCHAR* pattern, int slot, const char16_t* from) {
  WCHAR name[12];
  ValueName(pattern, slot, name);
  const WCHAR* text = reinterpret_cast<const WCHAR*>(from);
  if (!text[0]) {
    RegDeleteValueW(key, name);
    return;
  }
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                 (lstrlenW(text) + 1) * sizeof(WCHAR));
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

// Not a setting either: when the plug-in last ran a tick (see KeepLastSeen).
static const char LastSeenName[] = "LastSeen";

void KeepLastSeen(uint32_t utc) {
  HKEY key;
  if (!CreateSettingsKey(&key)) return;
  DWORD value = utc;
  RegSetValueExA(key, LastSeenName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(key);
}

uint32_t ReadLastSeen() {
  HKEY key;
  if (OpenSettingsKey(reinterpret_cast<void**>(&key)) != ERROR_SUCCESS) return 0;
  DWORD value;
  if (!QueryDword(key, LastSeenName, &value)) value = 0;
  RegCloseKey(key);
  return value;
}

static const WCHAR MusicPattern[] = L"Alarm1Music", LabelPattern[] = L"Alarm1Label";

void LoadSettings() {
  HKEY key;
  if (OpenSettingsKey(reinterpret_cast<void**>(&key)) != ERROR_SUCCESS) return;
  for (int i = 0; i < SettingCount; ++i) LoadNumber(key, i);
  LoadMenuText(key);
  for (int i = 0; i < AlarmCount; ++i) {
    LoadText(key, MusicPattern, i, AlarmMusic[i], MusicSize);
    LoadText(key, LabelPattern, i, AlarmLabel[i], LabelSize);
  }
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
  for (int i = 0; i < AlarmCount; ++i) {
    SaveText(key, MusicPattern, i, AlarmMusic[i]);
    SaveText(key, LabelPattern, i, AlarmLabel[i]);
  }
  RegCloseKey(key);
}
