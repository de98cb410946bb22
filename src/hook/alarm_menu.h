// The alarm's submenu in the player's large context menus: each alarm switched on or off, and
// the next one skipped.
#pragma once
#include <windows.h>

#include "settings_item.h"

void InsertAlarmMenu(HMENU menu, UINT position);
void RemoveAlarmMenu(HMENU menu);  // harmless when none is inserted
void AlarmItemChosen(WPARAM id);   // one of the submenu's ids
