// The items the player's large context menus get from us: one that opens the settings, and
// the sleep timer's submenu right after it.
#pragma once
#include <windows.h>

enum {
  SettingsItemId = 1025,
  SleepFirstId = 1026,  // the durations, shortest first
  SleepOffId = 1032,
  AlarmFirstId = 1040,  // alarm 1 .. alarm 8
  SkipAlarmId = 1048,
  SmallestHookedMenu = 10,
};

void InsertSettingsItem(HMENU menu);
void RemoveSettingsItem();  // harmless when nothing is inserted
void SleepItemChosen(WPARAM id);  // one of the submenu's ids
// Takes one of our submenus out of the menu and destroys it; forgets it either way.
void RemoveSubmenu(HMENU menu, HMENU* submenu);
