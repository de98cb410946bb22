#include "submenu.h"

void RemoveSubmenu(HMENU menu, HMENU* submenu) {
  if (!*submenu) return;
  // Deleting the submenu's item destroys the submenu; if someone took the item out, or the
  // menu is gone, destroying it is still up to us.
  for (int i = GetMenuItemCount(menu); i-- > 0;) {
    if (GetSubMenu(menu, i) == *submenu) {
      DeleteMenu(menu, i, MF_BYPOSITION);
      *submenu = NULL;
      return;
    }
  }
  DestroyMenu(*submenu);
  *submenu = NULL;
}
