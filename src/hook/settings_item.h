// The items the player's large context menus get from us: one that opens the settings, and
// the sleep timer's submenu right after it.
#pragma once
#include <windows.h>

enum {
  SettingsItemId = 1025,
  SleepFirstId = 1026,  // the durations, shortest first
  SleepOffId = 1032,
  SmallestHookedMenu = 10,
};

void InsertSettingsItem(HMENU menu);
void RemoveSettingsItem();  // harmless when nothing is inserted
void SleepItemChosen(WPARAM id);  // one of the submenu's ids
