// Loads general-purpose plug-ins the way the host does.
#pragma once
#include <windows.h>

// The host's record for a general-purpose plug-in, field for field.
struct GeneralPlugin {
  int version;
  const char* description;
  int (*init)();
  int (*config)();
  int (*quit)();
  HWND hwndParent;
  HINSTANCE hDllInstance;
};

struct LoadedPlugin {
  HMODULE module = NULL;
  GeneralPlugin* plugin = nullptr;
};

enum { GeneralPluginVersion = 0x10 };

// LoadLibrary, the exported function, the version check, the two host fields. No init yet,
// so a caller can patch the module's imports first.
bool OpenPlugin(HWND main, const char* path, LoadedPlugin* out);
void InitPlugin(LoadedPlugin* loaded);
void QuitPlugin(LoadedPlugin* loaded);   // the quit entry
void ClosePlugin(LoadedPlugin* loaded);  // FreeLibrary

// Replaces one imported function of a loaded module; returns the previous address, or
// null when the module does not import it.
void* PatchImport(HMODULE module, const char* dll, const char* function, void* replacement);
