// The alarm's submenu in the player's large context menus: each alarm switched on or off, and
// the next one skipped.
#pragma once
#include <windows.h>

enum {
  AlarmFirstId = 1040,  // alarm 1 .. alarm 8
  SkipAlarmId = 1048,
};

void InsertAlarmMenu(HMENU menu, UINT position);
void RemoveAlarmMenu(HMENU menu);  // harmless when none is inserted
void AlarmItemChosen(WPARAM id);   // one of the submenu's ids
