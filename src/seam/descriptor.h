// The host's record of the plug-in: its descriptor, with the player's window and our module.
#pragma once
#include <windows.h>

struct PluginDescriptor {
  int version;
  const char* description;
  int (*init)();
  int (*config)();
  int (*quit)();
  HWND hwndParent;         // written by the host before init
  HINSTANCE hDllInstance;  // written by the host before init
};

extern PluginDescriptor Plugin;
