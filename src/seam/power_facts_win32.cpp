// What Windows' power plan and the computer say of waking and hibernating, for real.
#include <windows.h>

#include "host_player.h"
#include "system_library.h"

// The power plan's entries are Vista's: looked up by name, declared here as they are called.
typedef DWORD(WINAPI* ActiveSchemeProc)(HKEY, GUID**);
typedef DWORD(WINAPI* ReadIndexProc)(HKEY, const GUID*, const GUID*, const GUID*, DWORD*);
typedef BOOLEAN(WINAPI* CapabilitiesProc)(SYSTEM_POWER_CAPABILITIES*);

// The plan's Sleep subgroup, and its "Allow wake timers".
static const GUID SleepGroup = {0x238C9FA8, 0x0AAD, 0x41ED, {0x83, 0xF4, 0x97, 0xBE, 0x24, 0x2C, 0x8F, 0x20}};
static const GUID AllowWakeTimers = {0xBD3B718A, 0x0680, 0x4D9D, {0x8A, 0xB2, 0xE1, 0xD2, 0xB4, 0xAC, 0x80, 0x6D}};

// 1 allows every wake timer; 0 none, and 2 only those Windows counts as important, which a
// program's own timer never is.
static int32_t WakeFact(ReadIndexProc read, const GUID* scheme) {
  DWORD value;
  if (read(NULL, scheme, &SleepGroup, &AllowWakeTimers, &value) != ERROR_SUCCESS || value > 2) return PowerUnknown;
  return value == 1 ? PowerYes : PowerNo;
}

void ReadPowerFacts(PowerFactsRecord* facts) {
  facts->WakeOnMains = facts->WakeOnBattery = facts->Hibernation = PowerUnknown;
  HMODULE power = LoadSystemLibrary("\\powrprof.dll");
  if (!power) return;
  CapabilitiesProc capabilities;
  SYSTEM_POWER_CAPABILITIES can;
  bool battery = true;  // unless the computer says it has none
  if (FindEntry(power, "GetPwrCapabilities", &capabilities) && capabilities(&can)) {
    // Switched off (powercfg /hibernate off), the hibernation file is gone though S4 remains.
    facts->Hibernation = can.SystemS4 && can.HiberFilePresent ? PowerYes : PowerNo;
    battery = can.SystemBatteriesPresent;
  }
  ActiveSchemeProc activeScheme;
  ReadIndexProc readPluggedIn, readOnBattery;
  GUID* scheme;
  if (FindEntry(power, "PowerGetActiveScheme", &activeScheme) &&
      FindEntry(power, "PowerReadACValueIndex", &readPluggedIn) &&
      FindEntry(power, "PowerReadDCValueIndex", &readOnBattery) && activeScheme(NULL, &scheme) == ERROR_SUCCESS) {
    facts->WakeOnMains = WakeFact(readPluggedIn, scheme);
    if (battery) facts->WakeOnBattery = WakeFact(readOnBattery, scheme);
    LocalFree(scheme);  // the plan's GUID is ours to free
  }
  FreeLibrary(power);
}
