// The host's view of the plug-in: its descriptor and the three entries. Win32 side only.
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

int PluginInit();
int ShowSettings();
int PluginQuit();

extern "C" __declspec(dllexport) PluginDescriptor* winampGetGeneralPurposePlugin();
