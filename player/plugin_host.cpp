#include "plugin_host.h"

typedef GeneralPlugin* (*GetPluginProc)();

bool OpenPlugin(HWND main, const char* path, LoadedPlugin* out) {
  *out = LoadedPlugin{};
  HMODULE module = LoadLibraryA(path);
  if (!module) return false;
  GetPluginProc get = reinterpret_cast<GetPluginProc>(
      reinterpret_cast<void*>(GetProcAddress(module, "winampGetGeneralPurposePlugin")));
  GeneralPlugin* plugin = get ? get() : nullptr;
  if (!plugin || plugin->version != GeneralPluginVersion) {
    FreeLibrary(module);
    return false;
  }
  plugin->hwndParent = main;
  plugin->hDllInstance = module;
  out->module = module;
  out->plugin = plugin;
  return true;
}

void InitPlugin(LoadedPlugin* loaded) {
  if (loaded->plugin) loaded->plugin->init();
}

void QuitPlugin(LoadedPlugin* loaded) {
  if (loaded->plugin) loaded->plugin->quit();
  loaded->plugin = nullptr;
}

void ClosePlugin(LoadedPlugin* loaded) {
  if (loaded->module) FreeLibrary(loaded->module);
  *loaded = LoadedPlugin{};
}

void* PatchImport(HMODULE module, const char* dll, const char* function, void* replacement) {
  BYTE* base = reinterpret_cast<BYTE*>(module);
  IMAGE_NT_HEADERS* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!dir.VirtualAddress) return nullptr;
  for (IMAGE_IMPORT_DESCRIPTOR* d =
           reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
       d->Name; ++d) {
    if (lstrcmpiA(reinterpret_cast<char*>(base + d->Name), dll) != 0) continue;
    IMAGE_THUNK_DATA* names = reinterpret_cast<IMAGE_THUNK_DATA*>(
        base + (d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk));
    IMAGE_THUNK_DATA* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      IMAGE_IMPORT_BY_NAME* byName =
          reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (lstrcmpA(reinterpret_cast<char*>(byName->Name), function) != 0) continue;
      DWORD old;
      VirtualProtect(&slots->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
      void* previous = reinterpret_cast<void*>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof(void*), old, &old);
      return previous;
    }
  }
  return nullptr;
}
