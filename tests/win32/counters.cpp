#include "counters.h"

#include <gtest/gtest.h>
#include <stdio.h>

#include "plugin_host.h"

KeyCount Keys;
MenuItemCount MenuItems;
DialogCount Dialogs;

static void Opened(LONG status, HKEY key) {
  if (status != ERROR_SUCCESS) {
    ++Keys.failedOpens;
    return;
  }
  ++Keys.opens;
  Keys.open.insert(key);
}

static LONG WINAPI CountRegOpenKeyExA(HKEY parent, LPCSTR name, DWORD options, REGSAM access,
                                      PHKEY key) {
  LONG status = RegOpenKeyExA(parent, name, options, access, key);
  Opened(status, status == ERROR_SUCCESS ? *key : NULL);
  return status;
}

static LONG WINAPI CountRegCreateKeyExA(HKEY parent, LPCSTR name, DWORD reserved, LPSTR keyClass,
                                        DWORD options, REGSAM access,
                                        const SECURITY_ATTRIBUTES* security, PHKEY key,
                                        LPDWORD disposition) {
  LONG status = RegCreateKeyExA(parent, name, reserved, keyClass, options, access,
                                const_cast<SECURITY_ATTRIBUTES*>(security), key, disposition);
  Opened(status, status == ERROR_SUCCESS ? *key : NULL);
  return status;
}

static LONG WINAPI CountRegCloseKey(HKEY key) {
  if (Keys.open.erase(key)) ++Keys.closes;
  else ++Keys.strayCloses;
  return RegCloseKey(key);
}

static BOOL WINAPI CountInsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id,
                                    LPCSTR text) {
  BOOL done = InsertMenuA(menu, position, flags, id, text);
  if (done) ++MenuItems.inserts;
  return done;
}

static BOOL WINAPI CountDeleteMenu(HMENU menu, UINT position, UINT flags) {
  BOOL done = DeleteMenu(menu, position, flags);
  if (done) ++MenuItems.removals;
  return done;
}

// ---------------------------------------------------------------- unseen dialogs
enum : UINT { RunScriptMessage = WM_APP + 0x3A1 };
static const std::function<void(HWND)>* UnseenScript;
static DLGPROC WrappedProc;
static bool ScriptRan;

static INT_PTR CALLBACK ScriptedProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == RunScriptMessage) {
    ScriptRan = true;
    (*UnseenScript)(dialog);
    return TRUE;
  }
  INT_PTR result = WrappedProc(dialog, message, wParam, lParam);
  if (message == WM_INITDIALOG) PostMessageA(dialog, RunScriptMessage, 0, 0);
  return result;
}

static INT_PTR WINAPI CountDialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner,
                                           DLGPROC proc, LPARAM param) {
  ++Dialogs.opened;
  INT_PTR result;
  if (UnseenScript && !WrappedProc) {
    WrappedProc = proc;
    result = DialogBoxParamA(instance, name, owner, ScriptedProc, param);
    WrappedProc = nullptr;
  } else {
    result = DialogBoxParamA(instance, name, owner, proc, param);
  }
  ++Dialogs.returned;
  return result;
}

// A dialog the script leaves open is closed by the plug-in's own close message.
static void CALLBACK CloseLeftOpen(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(NULL, timer);
  ADD_FAILURE() << "the script left the settings dialog open";
  HWND dialog = FindWindowA("#32770", NULL);
  if (dialog) PostMessageA(dialog, WM_CLOSE, 0, 0);
}

void RunSettingsUnseen(GeneralPlugin* plugin, const std::function<void(HWND)>& script) {
  UnseenScript = &script;
  ScriptRan = false;
  int opened = Dialogs.opened, returned = Dialogs.returned;
  UINT_PTR guard = SetTimer(NULL, 0, 5000, CloseLeftOpen);
  plugin->config();
  KillTimer(NULL, guard);
  UnseenScript = nullptr;
  EXPECT_TRUE(ScriptRan) << "the settings dialog did not open";
  // The script may have opened the about box from it: everything opened has come back.
  EXPECT_EQ(Dialogs.opened - opened, Dialogs.returned - returned);
}

void CountResources(HMODULE module) {
  Keys = KeyCount{};
  MenuItems = MenuItemCount{};
  Dialogs = DialogCount{};
  struct {
    const char* dll;
    const char* function;
    void* counter;
  } const patches[] = {
      {"advapi32.dll", "RegOpenKeyExA", reinterpret_cast<void*>(CountRegOpenKeyExA)},
      {"advapi32.dll", "RegCreateKeyExA", reinterpret_cast<void*>(CountRegCreateKeyExA)},
      {"advapi32.dll", "RegCloseKey", reinterpret_cast<void*>(CountRegCloseKey)},
      {"user32.dll", "InsertMenuA", reinterpret_cast<void*>(CountInsertMenuA)},
      {"user32.dll", "DeleteMenu", reinterpret_cast<void*>(CountDeleteMenu)},
      {"user32.dll", "DialogBoxParamA", reinterpret_cast<void*>(CountDialogBoxParamA)},
  };
  for (const auto& p : patches) PatchImport(module, p.dll, p.function, p.counter);
}

static BOOL CALLBACK CountChild(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

static BOOL CALLBACK CountTopLevel(HWND window, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  EnumChildWindows(window, CountChild, count);
  return TRUE;
}

int ThreadWindowCount() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), CountTopLevel, reinterpret_cast<LPARAM>(&count));
  return count;
}

void PrintCounts(const char* prefix) {
  printf("%s: registry keys %d opened, %d closed, %zu still open, %d stray closes, %d failed opens\n",
         prefix, Keys.opens, Keys.closes, Keys.open.size(), Keys.strayCloses, Keys.failedOpens);
  printf("%s: menu items %d inserted, %d removed\n", prefix, MenuItems.inserts, MenuItems.removals);
  printf("%s: dialogs (settings and about) %d opened, %d returned\n", prefix, Dialogs.opened,
         Dialogs.returned);
}
