// Settings in the registry, and the player's Windows start-up entry. Win32 side.
#pragma once
#include <stdint.h>

int32_t OpenSettingsKey(void** key);  // 0 on success
void LoadSettings();
// SaveSettings is declared in frame/host_player.h: the playback logic calls it too.

int32_t QueryAutorun();  // 0 when the player is registered; leaves the Run key open
void WriteAutorun(int32_t registered);  // after QueryAutorun: set or delete, then close
void CloseAutorun();
