// The Wine test bench: the real DLL, freshly loaded into the stand-in player for every test,
// with the calls that must not really happen (or need control) intercepted in its imports.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "player.h"
#include "plugin_host.h"
#include "stand_in_audio.h"
#include "virtual_timers.h"

extern const char PluginKeyPath[];
enum { StoredValueCount = 57 };  // what a save writes: every number, and MenuName
extern const char RunKeyPath[];

// ---- what the intercepted imports saw and answer ----
struct Intercepts {
  std::vector<std::string> power;  // token, privilege, shutdown and suspend calls in order
  std::vector<size_t> powerAt;     // the player's log length at each of them, for ordering
  std::vector<std::string> shell;  // ShellExecuteA calls
  bool powrprofMissing = false;    // loading powrprof.dll fails
  std::string powrprofPath;        // what the plug-in asked the loader for
  bool suspendEntryMissing = false;
  bool f12Held = false;            // GetAsyncKeyState(VK_F12)
  SYSTEMTIME clockBase{};          // the simulated local time at clockTick
  DWORD clockTick = 0;
  bool clockSet = false;           // otherwise the real clock
  DWORD tickSkew = 0;              // added to the tick count the plug-in reads
  // The wake timer and the keep-awake state: never real here.
  std::vector<std::string> wake;   // "CreateWaitableTimerA", "SetWaitableTimer resume 1",
                                   // "CancelWaitableTimer", "CloseHandle timer",
                                   // "SetThreadExecutionState 0x80000001", in order
  std::vector<ULONGLONG> dueTimes;  // each SetWaitableTimer's due time, as handed over
  DWORD wakeError = 0;              // the last error SetWaitableTimer leaves behind
  bool localRulesMissing = false;   // no TzSpecificLocalTimeToSystemTime, as on Windows 2000
  // The tone: never played here. "LoadLibraryA <path>", "PlaySoundA wave flags 0xf",
  // "PlaySoundA stop", "FreeLibrary winmm.dll", in order.
  std::vector<std::string> tone;
  // The computer's volume: Audio (stand_in_audio.h) stands in for the output. ole32's
  // "LoadLibraryA <path>", "FreeLibrary ole32.dll"; winmm's go with the tone's.
  std::vector<std::string> volume;
  // The user's application-data folder as SHGetFolderPathW answers it; empty: the real one.
  std::wstring appData;
  // The file and folder pickers: what they answer (empty: cancelled), and the calls made,
  // "LoadLibraryA <path>", "GetOpenFileNameW", "SHBrowseForFolderW", in order.
  std::wstring picked;
  std::vector<std::string> pickers;
};
extern Intercepts Seen;

// The module's debug output to the player's log, its application-data folder to Seen.appData.
void RouteSeamCalls(HMODULE module);

// The plug-in sees this local time, advancing with the tick count (virtual or real).
void SetSimulatedClock(int hour, int minute, int second, int day = 8, int month = 12,
                       int year = 2026);

// ---- registry ----
void DeleteKey(const char* path);
bool ReadDword(const char* name, DWORD* value);
bool ReadText(const char* key, const char* name, std::string* text);
void WriteDword(const char* name, DWORD value);
void WriteValue(const char* key, const char* name, DWORD type, const void* data, DWORD size);
int CountValues(const char* key);
// Alarm n's music (1 to 8) in the store, or its `kind` of string (L"Label"): written as given, by
// default a terminated REG_SZ; read back as a REG_SZ's text, "-" when there is no value, "?" when
// it has another type.
void WriteMusic(int alarm, const std::wstring& text, DWORD type = REG_SZ, DWORD bytes = ~0u, const wchar_t* kind = L"Music");
std::wstring StoredMusic(int alarm, const wchar_t* kind = L"Music");

// ---- message loop ----
// With virtual time on (every test, unless it asks for real timers), the plug-in's timers
// run as the time given here passes, at once; otherwise, and for the *Real forms, the
// loop waits in real time.
void DrainMessages();  // dispatches what is queued, without waiting
void PumpReal(DWORD ms);
void Pump(DWORD ms);
// Pumps until the condition holds or the time is up; returns the condition.
template <class Condition>
bool PumpUntilReal(DWORD ms, Condition done) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    PumpReal(10);
  }
  return true;
}
template <class Condition>
bool PumpUntil(DWORD ms, Condition done) {
  if (!VirtualTime()) return PumpUntilReal(ms, done);
  return VirtualAdvance(ms, [&] {
    DrainMessages();
    return static_cast<bool>(done());
  });
}

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Loads a fresh copy of the DLL into the player and patches its imports; no init.
  void Load();
  void Init();  // the host's init call
  void Quit();  // the host's quit call
  // Set before Load for a test of the real path: the plug-in's timers on Windows' own.
  bool realTimers = false;
  // WM_CLOSE to the player, as the user closing it.
  void ClosePlayer();
  std::string LogText() const;  // the player's log, one entry a line

  HWND main = NULL;
  LoadedPlugin plugin;
  std::string copyPath;
};
