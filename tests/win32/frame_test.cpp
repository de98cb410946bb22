// The plug-in as the host meets it: the load gate, the descriptor, init, quit and unloading.
#include "bench.h"

static DWORD RunGateProbe(const char* windowsVersion) {
  WriteValue("Software\\Wine\\AppDefaults\\gate_probe.exe", "Version", REG_SZ, windowsVersion,
             lstrlenA(windowsVersion) + 1);
  char command[] = "gate_probe.exe gen_dawnbell.dll";
  STARTUPINFOA startup = {sizeof startup};
  PROCESS_INFORMATION process;
  if (!CreateProcessA(NULL, command, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
    return 99;
  WaitForSingleObject(process.hProcess, 30000);
  DWORD code = 98;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return code;
}

TEST(LoadGate, RefusesWindowsBefore2000AndLoadsOnEveryLaterOne) {
  EXPECT_EQ(1u, RunGateProbe("nt40"));
  EXPECT_EQ(0u, RunGateProbe("win2k"));
  EXPECT_EQ(0u, RunGateProbe("winxp"));
  EXPECT_EQ(0u, RunGateProbe("win7"));
  EXPECT_EQ(0u, RunGateProbe("win10"));
  DeleteKey("Software\\Wine\\AppDefaults\\gate_probe.exe");
}

using Descriptor = PluginTest;

TEST_F(Descriptor, HandsTheHostItsRecordAndLeavesTheHostFieldsAlone) {
  Load();
  GeneralPlugin* record = plugin.plugin;
  EXPECT_EQ(0x10, record->version);
  EXPECT_STREQ("Brindlow Software Dawnbell Winamp Plug-in v2.3.2", record->description);
  EXPECT_TRUE(record->init && record->config && record->quit);
  EXPECT_EQ(main, record->hwndParent);
  EXPECT_EQ(plugin.module, record->hDllInstance);

  auto get = reinterpret_cast<GeneralPlugin* (*)()>(reinterpret_cast<void*>(
      GetProcAddress(plugin.module, "winampGetGeneralPurposePlugin")));
  record->hwndParent = reinterpret_cast<HWND>(0x1234);
  record->hDllInstance = reinterpret_cast<HINSTANCE>(0x5678);
  EXPECT_EQ(record, get());
  EXPECT_EQ(reinterpret_cast<HWND>(0x1234), record->hwndParent);
  EXPECT_EQ(reinterpret_cast<HINSTANCE>(0x5678), record->hDllInstance);
  record->hwndParent = main;
  record->hDllInstance = plugin.module;
}

TEST_F(Descriptor, ModuleExportsOnlyTheOneFunction) {
  Load();
  BYTE* base = reinterpret_cast<BYTE*>(plugin.module);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  EXPECT_EQ(IMAGE_FILE_MACHINE_I386, nt->FileHeader.Machine);
  auto* exports = reinterpret_cast<IMAGE_EXPORT_DIRECTORY*>(
      base + nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress);
  ASSERT_EQ(1u, exports->NumberOfNames);
  ASSERT_EQ(1u, exports->NumberOfFunctions);
  EXPECT_STREQ("winampGetGeneralPurposePlugin",
               reinterpret_cast<char*>(base + *reinterpret_cast<DWORD*>(base + exports->AddressOfNames)));
}

TEST(VersionResource, CarriesTheProductFacts) {
  DWORD ignored;
  DWORD size = GetFileVersionInfoSizeA("gen_dawnbell.dll", &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> data(size);
  ASSERT_TRUE(GetFileVersionInfoA("gen_dawnbell.dll", 0, size, data.data()));
  VS_FIXEDFILEINFO* fixed;
  UINT length;
  ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(0x00020003u, fixed->dwFileVersionMS);
  EXPECT_EQ(0x00020000u, fixed->dwFileVersionLS);
  EXPECT_EQ(0x00020003u, fixed->dwProductVersionMS);
  EXPECT_EQ(0x00020000u, fixed->dwProductVersionLS);
  struct { const char* name; const char* value; } const strings[] = {
      {"CompanyName", "Brindlow Software"},
      {"FileDescription", "Dawnbell Winamp Plug-in"},
      {"ProductName", "Dawnbell Winamp Plug-in"},
      {"FileVersion", "2.3.2"},
      {"ProductVersion", "2.3.2"},
  };
  for (const auto& s : strings) {
    char* text;
    std::string path = std::string("\\StringFileInfo\\040904B0\\") + s.name;
    ASSERT_TRUE(VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&text), &length)) << s.name;
    EXPECT_STREQ(s.value, text);
  }
  char* copyright;
  EXPECT_TRUE(VerQueryValueA(data.data(), "\\StringFileInfo\\040904B0\\LegalCopyright",
                             reinterpret_cast<void**>(&copyright), &length));

  HMODULE module = LoadLibraryExA("gen_dawnbell.dll", NULL, LOAD_LIBRARY_AS_DATAFILE);
  HICON icon = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(1), IMAGE_ICON, 32, 32, 0));
  EXPECT_TRUE(icon != NULL);
  if (icon) DestroyIcon(icon);
  FreeLibrary(module);
}

using Lifecycle = PluginTest;

TEST_F(Lifecycle, QuitPutsThePlayerProcedureBackSoUnloadingIsSafe) {
  Init();
  LONG_PTR hooked = GetWindowLongPtrA(main, GWLP_WNDPROC);
  Quit();
  EXPECT_NE(hooked, GetWindowLongPtrA(main, GWLP_WNDPROC));
  ClosePlugin(&plugin);
  // The player goes on: messages, its own timers and the plug-in's former timer ids.
  SetTimer(main, 1, 10, NULL);
  Pump(1500);
  EXPECT_EQ(12, SendMessageA(main, WM_USER, 0, 124));
  SendMessageA(main, WM_USER + 2, 0, 0);
  SendMessageA(main, WM_KEYDOWN, VK_F12, 0);
  EXPECT_TRUE(IsWindow(main));
}

// Another party that subclasses the player after us and forwards to what it found.
static WNDPROC OuterPrevious;
static int OuterCount;
static LRESULT CALLBACK OuterProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_USER) ++OuterCount;
  return CallWindowProcA(OuterPrevious, w, m, wp, lp);
}

TEST_F(Lifecycle, QuitUnderAnotherSubclassKeepsTheModuleLoadedAndTheChainWhole) {
  Init();
  OuterCount = 0;
  OuterPrevious = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OuterProc)));
  Quit();
  HMODULE module = plugin.module;
  ClosePlugin(&plugin);
  // Pinned: the outer subclass still calls into it.
  HMODULE still;
  EXPECT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                 copyPath.c_str(), &still));
  EXPECT_EQ(module, still);
  Pump(1500);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(12, SendMessageA(main, WM_USER, 0, 124));
  EXPECT_EQ(50, OuterCount);
  EXPECT_EQ(50u, PlayerLog.size());
  copyPath.clear();  // pinned for the rest of the process: cannot be deleted
}
