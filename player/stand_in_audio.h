// The computer's audio output as a plug-in with patched imports sees it: Core Audio's objects
// behind a stand-in ole32, the mixer behind winmm's entries. The machine's real volume is never
// reached from here; the state lives in Audio.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct StandInAudio {
  bool coreAudio = true;      // the device enumerator's class is registered (Vista on)
  bool device = true;         // there is an output to find, on either path
  HRESULT comAnswer = S_OK;   // CoInitializeEx's: S_FALSE when the thread had COM already
  DWORD mixerMost = 65535;    // the mixer's volume control runs from 0 to this
  bool muted = true;
  float level = 0.12f;
  int comDepth = 0;           // initialisations not yet balanced
  int comCalls = 0;           // CoInitializeEx calls
  int references = 0;         // held on the stand-in's objects
  std::vector<std::string> faults;  // calls out of turn: "CoUninitialize unbalanced", ...
  // Each Core Audio session or mixer setting that changed the output: "muted at 12% ->
  // unmuted at 30%".
  void (*changed)(const std::string& change) = nullptr;
};
extern StandInAudio Audio;

extern HMODULE const StandInOle32;
bool IsComLibrary(const char* name);  // ole32.dll by name or path
// The stand-in's entries: ole32's COM calls, winmm's mixer calls; null for any other name.
FARPROC StandInComEntry(const char* name);
FARPROC StandInMixerEntry(const char* name);
// An entry that would reach the machine's real output from a real library.
bool ReachesRealAudio(const char* name);
std::string AudioState();  // "muted at 12%"
