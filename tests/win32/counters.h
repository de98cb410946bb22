// Counts what the plug-in opens and later must close, by intercepting its own imports:
// registry keys, its context-menu item and its dialogs. GDI objects: CountGdi in
// dialog_driver.h. Wine has no GetGuiResources, so counting at the calls is what we have.
#pragma once
#include <windows.h>

#include <functional>
#include <set>

#include "plugin_host.h"

struct KeyCount {
  std::set<HKEY> open;   // keys the plug-in opened or created and has not closed
  int opens = 0;         // successful RegOpenKeyExA and RegCreateKeyExA
  int failedOpens = 0;
  int closes = 0;
  int strayCloses = 0;   // RegCloseKey of a key it never opened (or closed twice)
};

struct MenuItemCount {
  int inserts = 0;   // successful InsertMenuA
  int removals = 0;  // successful DeleteMenu
};

struct DialogCount {
  int opened = 0;    // DialogBoxParamA calls
  int returned = 0;  // of which came back: the modal loop ended
};

extern KeyCount Keys;
extern MenuItemCount MenuItems;
extern DialogCount Dialogs;

// Patches the module's registry, menu and dialog imports; resets the counts.
void CountResources(HMODULE module);

// Opens the settings dialog through the host's config entry and runs the script from a
// message posted during its init, so the dialog's own modal loop runs it before the dialog
// is first shown: the plug-in's code runs as always, without the screen's cost. Needs
// CountResources on the module. The script closes the dialog; one left open fails the test.
void RunSettingsUnseen(GeneralPlugin* plugin, const std::function<void(HWND)>& script);

// Windows of this thread, top-level and children: what a dialog could leave behind.
int ThreadWindowCount();

// The counts, one line each, every line starting with the prefix.
void PrintCounts(const char* prefix);
