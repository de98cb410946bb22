// The item that opens the settings from the player's large context menus.
#pragma once
#include <windows.h>

enum { SettingsItemId = 1025, SmallestHookedMenu = 10 };

void InsertSettingsItem(HMENU menu);
void RemoveSettingsItem();
