// Windows' power plan and the computer's power capabilities as a plug-in with patched imports
// sees them: powrprof's entries for them answer from PowerPlan, never from the machine.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct StandInPowerPlan {
  bool plan = true;          // the plan's entries exist (Vista on)
  DWORD pluggedIn = 1;       // "Allow wake timers": 0 disabled, 1 enabled, 2 important ones only
  DWORD onBattery = 1;
  bool hibernation = true;   // GetPwrCapabilities: S4 and the hibernation file
  bool batteries = true;
  int schemesHeld = 0;       // active schemes handed out and not given back to LocalFree
  std::vector<std::string> faults;  // a setting other than "Allow wake timers" asked for, ...
};
extern StandInPowerPlan PowerPlan;

// The stand-in's entry for one of powrprof's names; null for any other, and for the plan's
// while it has none.
FARPROC StandInPowerEntry(const char* name);
// The plug-in's LocalFree: counts the schemes given back.
HLOCAL WINAPI StandInLocalFree(HLOCAL memory);
