#include "settings_item.h"

#include "../settings/settings.h"

void InsertSettingsItem(HMENU menu) {
  // Small menus (submenus, the system menu) are not the player's main context menu.
  if (GetMenuItemCount(menu) < SmallestHookedMenu) return;
  HookedMenu = menu;
  // Unsigned: a stored MenuPos of the largest number must not overflow; past the end appends.
  InsertMenuA(menu, static_cast<UINT>(MenuPos) + 1u, MF_BYPOSITION | MF_STRING, SettingsItemId, MenuText);
}

void RemoveSettingsItem() {
  DeleteMenu(static_cast<HMENU>(HookedMenu), SettingsItemId, MF_BYCOMMAND);
}
