// Our submenus in the player's menus: made by us, so ours to take out and destroy.
#pragma once
#include <windows.h>

// Takes one of our submenus out of the menu and destroys it; forgets it either way.
void RemoveSubmenu(HMENU menu, HMENU* submenu);
