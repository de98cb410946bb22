#include "settings_item.h"

#include "alarm_menu.h"
#include "submenu.h"

#include "../control/control.h"
#include "../seam/host_player.h"
#include "../settings/settings.h"

enum { SleepChoices = 6 };
static const int32_t SleepMinutes[SleepChoices] = {15, 30, 45, 60, 90, 120};

static HMENU SleepMenu;  // while inserted; ours to destroy

// Its title tells the stop time while a countdown runs; the chosen duration is checked.
static void InsertSleepMenu(HMENU menu, UINT position) {
  SleepMenu = CreatePopupMenu();
  if (!SleepMenu) return;
  ReadLocalTime();
  LocalTimeRecord at;
  int32_t minutes;
  bool running = SleepTimerEnd(LocalTime, &at, &minutes);  // one just over counts as off
  char text[40];
  for (int i = 0; i < SleepChoices; ++i) {
    wsprintfA(text, "%d minutes", SleepMinutes[i]);
    UINT checked = running && SleepCountdown.Minutes == SleepMinutes[i] ? MF_CHECKED : MF_UNCHECKED;
    AppendMenuA(SleepMenu, MF_STRING | checked, SleepFirstId + i, text);
  }
  AppendMenuA(SleepMenu, MF_SEPARATOR, 0, NULL);
  AppendMenuA(SleepMenu, MF_STRING | (running ? MF_ENABLED : MF_GRAYED), SleepOffId, "Off");
  if (running) wsprintfA(text, "Sleep timer (%02u:%02u)", at.Hour, at.Minute);
  else lstrcpyA(text, "Sleep timer");
  InsertMenuA(menu, position, MF_BYPOSITION | MF_POPUP | MF_STRING,
              reinterpret_cast<UINT_PTR>(SleepMenu), text);
}

void InsertSettingsItem(HMENU menu) {
  // Small menus (submenus, the system menu) are not the player's main context menu.
  int count = GetMenuItemCount(menu);
  if (count < SmallestHookedMenu) return;
  if (SleepMenu) RemoveSettingsItem();  // opened again without a close: one of each
  HookedMenu = menu;
  // Unsigned: a stored MenuPos of the largest number must not overflow; past the end appends.
  UINT position = static_cast<UINT>(MenuPos) + 1u;
  InsertMenuA(menu, position, MF_BYPOSITION | MF_STRING, SettingsItemId, MenuText);
  UINT end = static_cast<UINT>(count);
  if (position > end) position = end;
  InsertSleepMenu(menu, position + 1u);
  InsertAlarmMenu(menu, position + 2u);
}

void RemoveSettingsItem() {
  HMENU menu = static_cast<HMENU>(HookedMenu);
  DeleteMenu(menu, SettingsItemId, MF_BYCOMMAND);
  RemoveSubmenu(menu, &SleepMenu);
  RemoveAlarmMenu(menu);
}

void SleepItemChosen(WPARAM id) {
  if (id == SleepOffId) SleepTimerOff();
  else SleepTimerChoose(SleepMinutes[id - SleepFirstId]);
}
