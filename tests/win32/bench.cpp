#include "bench.h"
#include "plugin_guard.h"
#include "stand_in_power.h"

#include <commctrl.h>
#include <shellapi.h>
#include <commdlg.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <stdio.h>
#include <string.h>

const char PluginKeyPath[] = "Software\\Brindlow Software\\Dawnbell Winamp Plug-in";
const char RunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

Intercepts Seen;

// ---------------------------------------------------------------- intercepted imports
static HMODULE const FakePowrprof = reinterpret_cast<HMODULE>(0x7e570000);
static HMODULE const FakeWinmm = reinterpret_cast<HMODULE>(0x7e580000);
static HANDLE const FakeWakeTimer = reinterpret_cast<HANDLE>(0x7e5a);

static void RecordPower(const std::string& call) {
  Seen.power.push_back(call);
  Seen.powerAt.push_back(PlayerLog.size());
}

static void WINAPI FakeGetLocalTime(SYSTEMTIME* time) {
  if (!Seen.clockSet) {
    GetLocalTime(time);
    return;
  }
  FILETIME file;
  SystemTimeToFileTime(&Seen.clockBase, &file);
  ULARGE_INTEGER value{{file.dwLowDateTime, file.dwHighDateTime}};
  value.QuadPart += static_cast<ULONGLONG>(NowTick() - Seen.clockTick) * 10000;
  file = {value.LowPart, value.HighPart};
  FileTimeToSystemTime(&file, time);
}

// The UTC clock runs with the simulated local one, converted as Windows converts today.
static void WINAPI FakeGetSystemTimeAsFileTime(FILETIME* utc) {
  if (!Seen.clockSet) {
    GetSystemTimeAsFileTime(utc);
    return;
  }
  SYSTEMTIME local;
  FakeGetLocalTime(&local);
  FILETIME file;
  SystemTimeToFileTime(&local, &file);
  LocalFileTimeToFileTime(&file, utc);
}

// Time passing, virtual or real: setting the simulated clock does not move it.
static DWORD WINAPI FakeGetTickCount() { return NowTick() + Seen.tickSkew; }

void SetSimulatedClock(int hour, int minute, int second, int day, int month, int year) {
  SYSTEMTIME t{};
  t.wYear = static_cast<WORD>(year);
  t.wMonth = static_cast<WORD>(month);
  t.wDay = static_cast<WORD>(day);
  t.wHour = static_cast<WORD>(hour);
  t.wMinute = static_cast<WORD>(minute);
  t.wSecond = static_cast<WORD>(second);
  FILETIME file;  // normalises the day of the week
  SystemTimeToFileTime(&t, &file);
  FileTimeToSystemTime(&file, &t);
  Seen.clockBase = t;
  Seen.clockTick = NowTick();
  Seen.clockSet = true;
}

static BOOL WINAPI FakeOpenProcessToken(HANDLE, DWORD access, HANDLE* token) {
  RecordPower("OpenProcessToken " + std::to_string(access));
  *token = NULL;
  return TRUE;
}

static BOOL WINAPI FakeLookupPrivilegeValueA(LPCSTR system, LPCSTR name, LUID* luid) {
  RecordPower(std::string("LookupPrivilegeValueA ") + (system ? system : "") + name);
  luid->LowPart = 19;
  luid->HighPart = 0;
  return TRUE;
}

static BOOL WINAPI FakeAdjustTokenPrivileges(HANDLE, BOOL disableAll, TOKEN_PRIVILEGES* state,
                                             DWORD, TOKEN_PRIVILEGES*, DWORD*) {
  char text[96];
  snprintf(text, sizeof text, "AdjustTokenPrivileges %d count %lu luid %lu attributes %lu",
           disableAll, static_cast<unsigned long>(state->PrivilegeCount),
           static_cast<unsigned long>(state->Privileges[0].Luid.LowPart),
           static_cast<unsigned long>(state->Privileges[0].Attributes));
  RecordPower(text);
  return TRUE;
}

static BOOL WINAPI FakeCloseHandle(HANDLE handle) {
  if (handle == FakeWakeTimer) Seen.wake.push_back("CloseHandle timer");
  return handle && handle != FakeWakeTimer ? CloseHandle(handle) : TRUE;
}

static BOOL WINAPI FakeExitWindowsEx(UINT flags, DWORD reason) {
  RecordPower("ExitWindowsEx " + std::to_string(flags) + " " + std::to_string(reason));
  return TRUE;
}

static BOOLEAN WINAPI FakeSetSuspendState(BOOLEAN hibernate, BOOLEAN force, BOOLEAN wake) {
  RecordPower("SetSuspendState " + std::to_string(hibernate) + " " +
                       std::to_string(force) + " " + std::to_string(wake));
  return TRUE;
}

// A wave file in memory: what the system would be asked to loop.
static bool IsWave(LPCSTR sound) {
  const BYTE* b = reinterpret_cast<const BYTE*>(sound);
  return memcmp(b, "RIFF", 4) == 0 && memcmp(b + 8, "WAVEfmt ", 8) == 0 && b[22] == 1 &&
         *reinterpret_cast<const DWORD*>(b + 24) == 8000 && b[34] == 8;
}

static BOOL WINAPI FakePlaySoundA(LPCSTR sound, HMODULE, DWORD flags) {
  char text[64];
  snprintf(text, sizeof text, "PlaySoundA %s flags 0x%lx",
           !sound ? "stop" : IsWave(sound) ? "wave" : "?", static_cast<unsigned long>(flags));
  Seen.tone.push_back(text);
  return TRUE;
}

static BOOL WINAPI FakeGetOpenFileNameW(OPENFILENAMEW* open) {
  Seen.pickers.push_back("GetOpenFileNameW");
  if (Seen.picked.empty() || Seen.picked.size() >= open->nMaxFile) return FALSE;
  lstrcpyW(open->lpstrFile, Seen.picked.c_str());
  return TRUE;
}

// A real item list of the folder picked, as the shell's allocator makes it.
static LPITEMIDLIST WINAPI FakeSHBrowseForFolderW(BROWSEINFOW*) {
  Seen.pickers.push_back("SHBrowseForFolderW");
  return Seen.picked.empty() ? NULL : ILCreateFromPathW(Seen.picked.c_str());
}

static HMODULE WINAPI FakeLoadLibraryA(LPCSTR name) {
  if (StrStrIA(name, "comdlg32")) Seen.pickers.push_back(std::string("LoadLibraryA ") + name);
  if (IsToneLibrary(name)) {
    Seen.tone.push_back(std::string("LoadLibraryA ") + name);
    return FakeWinmm;
  }
  if (IsComLibrary(name)) {
    Seen.volume.push_back(std::string("LoadLibraryA ") + name);
    return StandInOle32;
  }
  if (!IsPowerLibrary(name)) return LoadLibraryA(name);
  RecordPower("LoadLibraryA powrprof.dll");
  Seen.powrprofPath = name;
  return Seen.powrprofMissing ? NULL : FakePowrprof;
}

// Windows refuses a date that does not exist, 29 February 2027 say, where Wine's
// conversions roll it over into March: the plug-in must never hand one over.
static bool RealDate(const SYSTEMTIME* t) {
  static const WORD days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (t->wMonth < 1 || t->wMonth > 12 || t->wDay < 1 || t->wHour > 23 || t->wMinute > 59 ||
      t->wSecond > 59 || t->wMilliseconds > 999)
    return false;
  bool leap = (t->wYear % 4 == 0 && t->wYear % 100 != 0) || t->wYear % 400 == 0;
  return t->wDay <= days[t->wMonth - 1] + (t->wMonth == 2 && leap ? 1 : 0);
}

static BOOL WINAPI StrictLocalToSystem(const TIME_ZONE_INFORMATION* zone, const SYSTEMTIME* local,
                                       SYSTEMTIME* utc) {
  if (!RealDate(local)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TzSpecificLocalTimeToSystemTime(zone, local, utc);
}

static BOOL WINAPI StrictSystemTimeToFileTime(const SYSTEMTIME* time, FILETIME* file) {
  if (!RealDate(time)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return SystemTimeToFileTime(time, file);
}

static FARPROC WINAPI FakeGetProcAddress(HMODULE module, LPCSTR name) {
  if (HIWORD(name) && lstrcmpA(name, "GetOpenFileNameW") == 0)
    return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(FakeGetOpenFileNameW));
  if (HIWORD(name) && lstrcmpA(name, "TzSpecificLocalTimeToSystemTime") == 0)
    return Seen.localRulesMissing ? NULL : reinterpret_cast<FARPROC>(reinterpret_cast<void*>(StrictLocalToSystem));
  if (module == FakeWinmm)
    return lstrcmpA(name, "PlaySoundA") ? StandInMixerEntry(name) : reinterpret_cast<FARPROC>(reinterpret_cast<void*>(FakePlaySoundA));
  if (module == StandInOle32) return StandInComEntry(name);
  if (ReachesRealAudio(name)) {
    Audio.faults.push_back(std::string("the real ") + name + " asked for");
    return NULL;
  }
  if (module != FakePowrprof) return GetProcAddress(module, name);
  RecordPower(std::string("GetProcAddress ") + name);
  if (lstrcmpA(name, "SetSuspendState") != 0) return StandInPowerEntry(name);
  if (Seen.suspendEntryMissing) return NULL;
  return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(FakeSetSuspendState));
}

static BOOL WINAPI FakeFreeLibrary(HMODULE module) {
  if (module == FakeWinmm) {
    Seen.tone.push_back("FreeLibrary winmm.dll");
    return TRUE;
  }
  if (module == StandInOle32) {
    Seen.volume.push_back("FreeLibrary ole32.dll");
    return TRUE;
  }
  if (module != FakePowrprof) return FreeLibrary(module);
  RecordPower("FreeLibrary powrprof.dll");
  return TRUE;
}

static HANDLE WINAPI FakeCreateWaitableTimerA(SECURITY_ATTRIBUTES*, BOOL, LPCSTR name) {
  Seen.wake.push_back(std::string("CreateWaitableTimerA") + (name ? name : ""));
  return FakeWakeTimer;
}

static BOOL WINAPI FakeSetWaitableTimer(HANDLE timer, const LARGE_INTEGER* due, LONG period,
                                        PTIMERAPCROUTINE routine, void*, BOOL resume) {
  if (timer != FakeWakeTimer || period || routine) Seen.wake.push_back("SetWaitableTimer unexpected");
  Seen.wake.push_back("SetWaitableTimer resume " + std::to_string(resume));
  Seen.dueTimes.push_back(static_cast<ULONGLONG>(due->QuadPart));
  SetLastError(Seen.wakeError);
  return TRUE;
}

static BOOL WINAPI FakeCancelWaitableTimer(HANDLE timer) {
  Seen.wake.push_back(timer == FakeWakeTimer ? "CancelWaitableTimer" : "CancelWaitableTimer ?");
  return TRUE;
}

static EXECUTION_STATE WINAPI FakeSetThreadExecutionState(EXECUTION_STATE state) {
  char text[48];
  snprintf(text, sizeof text, "SetThreadExecutionState 0x%08lx", static_cast<unsigned long>(state));
  Seen.wake.push_back(text);
  return ES_CONTINUOUS;
}

static SHORT WINAPI FakeGetAsyncKeyState(int key) {
  return key == VK_F12 && Seen.f12Held ? static_cast<SHORT>(0x8000) : 0;
}

static HINSTANCE WINAPI FakeShellExecuteA(HWND window, LPCSTR verb, LPCSTR file, LPCSTR params,
                                          LPCSTR dir, INT show) {
  char text[400];
  snprintf(text, sizeof text, "%p|%s|%s|%s|%s|%d", static_cast<void*>(window),
           verb ? verb : "(null)", file ? file : "(null)", params ? params : "(null)",
           dir ? dir : "(null)", show);
  Seen.shell.push_back(text);
  return reinterpret_cast<HINSTANCE>(42);
}

static HRESULT WINAPI FakeSHGetFolderPathW(HWND window, int folder, HANDLE token, DWORD flags, LPWSTR path) {
  if (Seen.appData.empty()) {
    static auto real = reinterpret_cast<decltype(&SHGetFolderPathW)>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("shell32.dll"), "SHGetFolderPathW")));
    return real(window, folder, token, flags, path);
  }
  lstrcpynW(path, Seen.appData.c_str(), MAX_PATH);
  return S_OK;
}

void RouteSeamCalls(HMODULE module) {
  PatchImport(module, "kernel32.dll", "OutputDebugStringW", reinterpret_cast<void*>(PluginDebugString));
  PatchImport(module, "shell32.dll", "SHGetFolderPathW", reinterpret_cast<void*>(FakeSHGetFolderPathW));
}

static void PatchAll(HMODULE module) {
  struct {
    const char* dll;
    const char* function;
    void* replacement;
  } const patches[] = {
      {"kernel32.dll", "GetLocalTime", reinterpret_cast<void*>(FakeGetLocalTime)},
      {"kernel32.dll", "SystemTimeToFileTime", reinterpret_cast<void*>(StrictSystemTimeToFileTime)},
      {"kernel32.dll", "GetSystemTimeAsFileTime", reinterpret_cast<void*>(FakeGetSystemTimeAsFileTime)},
      {"kernel32.dll", "GetTickCount", reinterpret_cast<void*>(FakeGetTickCount)},
      {"kernel32.dll", "LoadLibraryA", reinterpret_cast<void*>(FakeLoadLibraryA)},
      {"kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(FakeGetProcAddress)},
      {"kernel32.dll", "FreeLibrary", reinterpret_cast<void*>(FakeFreeLibrary)},
      {"kernel32.dll", "LocalFree", reinterpret_cast<void*>(StandInLocalFree)},
      {"kernel32.dll", "CloseHandle", reinterpret_cast<void*>(FakeCloseHandle)},
      {"advapi32.dll", "OpenProcessToken", reinterpret_cast<void*>(FakeOpenProcessToken)},
      {"advapi32.dll", "LookupPrivilegeValueA", reinterpret_cast<void*>(FakeLookupPrivilegeValueA)},
      {"advapi32.dll", "AdjustTokenPrivileges", reinterpret_cast<void*>(FakeAdjustTokenPrivileges)},
      {"user32.dll", "ExitWindowsEx", reinterpret_cast<void*>(FakeExitWindowsEx)},
      {"user32.dll", "GetAsyncKeyState", reinterpret_cast<void*>(FakeGetAsyncKeyState)},
      {"shell32.dll", "ShellExecuteA", reinterpret_cast<void*>(FakeShellExecuteA)},
      {"shell32.dll", "SHBrowseForFolderW", reinterpret_cast<void*>(FakeSHBrowseForFolderW)},
      {"kernel32.dll", "CreateWaitableTimerA", reinterpret_cast<void*>(FakeCreateWaitableTimerA)},
      {"kernel32.dll", "SetWaitableTimer", reinterpret_cast<void*>(FakeSetWaitableTimer)},
      {"kernel32.dll", "CancelWaitableTimer", reinterpret_cast<void*>(FakeCancelWaitableTimer)},
      {"kernel32.dll", "SetThreadExecutionState", reinterpret_cast<void*>(FakeSetThreadExecutionState)},
  };
  for (const auto& p : patches) PatchImport(module, p.dll, p.function, p.replacement);
  RouteSeamCalls(module);
  GuardTimers(module);
}

// A guard for the machine, not a test: no slot of the module's import table may still hold
// a real power call or the real library loader once patched.
static bool PowerCallsIntercepted(HMODULE module) {
  const void* real[] = {
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "ExitWindowsEx")),
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32.dll"), "AdjustTokenPrivileges")),
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA")),
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetProcAddress")),
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetWaitableTimer")),
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetThreadExecutionState")),
  };
  BYTE* base = reinterpret_cast<BYTE*>(module);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!dir.VirtualAddress) return true;
  for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d)
    for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk); slot->u1.Function; ++slot)
      for (const void* r : real)
        if (r && reinterpret_cast<const void*>(slot->u1.Function) == r) return false;
  return true;
}

// ---------------------------------------------------------------- registry
void DeleteKey(const char* path) { RegDeleteTreeA(HKEY_CURRENT_USER, path); RegDeleteKeyA(HKEY_CURRENT_USER, path); }

static std::wstring MusicName(int alarm, const wchar_t* kind) { return L"Alarm" + std::to_wstring(alarm) + kind; }

void WriteMusic(int alarm, const std::wstring& text, DWORD type, DWORD bytes, const wchar_t* kind) {
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, PluginKeyPath, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL));
  RegSetValueExW(key, MusicName(alarm, kind).c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                 bytes == ~0u ? static_cast<DWORD>((text.size() + 1) * 2) : bytes);
  RegCloseKey(key);
}

std::wstring StoredMusic(int alarm, const wchar_t* kind) {
  static WCHAR text[4096];
  DWORD type = 0, size = sizeof text;
  std::wstring key(PluginKeyPath, PluginKeyPath + lstrlenA(PluginKeyPath));
  if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), MusicName(alarm, kind).c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, text,
                   &size) != ERROR_SUCCESS)
    return L"-";
  return type == REG_SZ ? text : L"?";
}

bool ReadDword(const char* name, DWORD* value) {
  DWORD size = sizeof *value, type = 0;
  LONG status = RegGetValueA(HKEY_CURRENT_USER, PluginKeyPath, name, RRF_RT_ANY, &type, value, &size);
  return status == ERROR_SUCCESS && type == REG_DWORD && size == 4;
}

bool ReadText(const char* key, const char* name, std::string* text) {
  char buffer[1024];
  DWORD size = sizeof buffer, type = 0;
  if (RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_ANY | RRF_NOEXPAND, &type, buffer, &size) !=
      ERROR_SUCCESS)
    return false;
  text->assign(buffer, size && buffer[size - 1] == 0 ? size - 1 : size);
  return type == REG_SZ;
}

void WriteValue(const char* key, const char* name, DWORD type, const void* data, DWORD size) {
  HKEY handle;
  RegCreateKeyExA(HKEY_CURRENT_USER, key, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &handle, NULL);
  RegSetValueExA(handle, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(handle);
}

void WriteDword(const char* name, DWORD value) {
  WriteValue(PluginKeyPath, name, REG_DWORD, &value, sizeof value);
}

int CountValues(const char* key) {
  HKEY handle;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) != ERROR_SUCCESS) return -1;
  DWORD count = 0;
  RegQueryInfoKeyA(handle, NULL, NULL, NULL, NULL, NULL, NULL, &count, NULL, NULL, NULL, NULL);
  RegCloseKey(handle);
  return static_cast<int>(count);
}

// ---------------------------------------------------------------- loop and fixture
void DrainMessages() {
  MSG msg;
  while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void PumpReal(DWORD ms) {
  DWORD start = GetTickCount();
  do {
    DrainMessages();
    if (GetTickCount() - start >= ms) break;
    MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
  } while (GetTickCount() - start < ms);
}

void Pump(DWORD ms) {
  if (!VirtualTime()) return PumpReal(ms);
  VirtualAdvance(ms, [] {
    DrainMessages();
    return false;
  });
}

void PluginTest::SetUp() {
  static bool controls = false;
  if (!controls) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    controls = true;
  }
  Seen = Intercepts{};
  Audio = StandInAudio{};
  PowerPlan = StandInPowerPlan{};
  Player = PlayerState{};
  PlayerLog.clear();
  DeleteKey(PluginKeyPath);
  RegDeleteKeyValueA(HKEY_CURRENT_USER, RunKeyPath, "Winamp");
  main = CreatePlayerWindow(GetModuleHandleA(NULL), true);
}

void PluginTest::Load() {
  static int copies = 0;
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  copyPath = std::string(temp) + "gen_dawnbell_" + std::to_string(GetCurrentProcessId()) + "_" +
             std::to_string(++copies) + ".dll";
  ASSERT_TRUE(CopyFileA("gen_dawnbell.dll", copyPath.c_str(), FALSE)) << copyPath;
  ASSERT_TRUE(OpenPlugin(main, copyPath.c_str(), &plugin));
  PatchAll(plugin.module);
  if (!realTimers) VirtualTimeOn();
  if (!PowerCallsIntercepted(plugin.module)) {
    ClosePlugin(&plugin);
    FAIL() << "a power call is not intercepted; refusing to run the plug-in";
  }
}

void PluginTest::Init() {
  if (!plugin.module) Load();
  InitPlugin(&plugin);
}

void PluginTest::Quit() { QuitPlugin(&plugin); }

void PluginTest::ClosePlayer() { SendMessageA(main, WM_CLOSE, 0, 0); }

void PluginTest::TearDown() {
  if (plugin.plugin) Quit();
  // Whatever the test did, the computer's volume was asked for in turn and nothing held on.
  EXPECT_EQ(0, Audio.comDepth) << "COM initialised and not uninitialised";
  EXPECT_EQ(0, Audio.references) << "audio objects not released";
  EXPECT_EQ(std::vector<std::string>{}, Audio.faults);
  EXPECT_EQ(0, PowerPlan.schemesHeld) << "the power plan's scheme not given back to LocalFree";
  EXPECT_EQ(std::vector<std::string>{}, PowerPlan.faults);
  if (IsWindow(main)) DestroyWindow(main);
  Pump(0);
  ClosePlugin(&plugin);
  VirtualTimeOff();
  if (!copyPath.empty()) DeleteFileA(copyPath.c_str());
}

std::string PluginTest::LogText() const {
  std::string text;
  for (const LogEntry& e : PlayerLog) text += DescribeLogEntry(e) + "\n";
  return text;
}
