#include "stand_in_power.h"

StandInPowerPlan PowerPlan;

static const GUID SleepGroup = {0x238C9FA8, 0x0AAD, 0x41ED, {0x83, 0xF4, 0x97, 0xBE, 0x24, 0x2C, 0x8F, 0x20}};
static const GUID AllowWakeTimers = {0xBD3B718A, 0x0680, 0x4D9D, {0x8A, 0xB2, 0xE1, 0xD2, 0xB4, 0xAC, 0x80, 0x6D}};
static GUID* Scheme;  // the active scheme last handed out

static DWORD WINAPI ActiveScheme(HKEY root, GUID** scheme) {
  if (root) PowerPlan.faults.push_back("PowerGetActiveScheme with a root key");
  Scheme = *scheme = static_cast<GUID*>(LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, sizeof(GUID)));
  ++PowerPlan.schemesHeld;
  return ERROR_SUCCESS;
}

static DWORD ReadIndex(const GUID* scheme, const GUID* group, const GUID* setting, DWORD value, DWORD* index) {
  if (scheme != Scheme || !IsEqualGUID(*group, SleepGroup) || !IsEqualGUID(*setting, AllowWakeTimers)) {
    PowerPlan.faults.push_back("a setting other than Allow wake timers asked for");
    return ERROR_FILE_NOT_FOUND;
  }
  *index = value;
  return ERROR_SUCCESS;
}

static DWORD WINAPI ReadPluggedIn(HKEY, const GUID* scheme, const GUID* group, const GUID* setting, DWORD* index) {
  return ReadIndex(scheme, group, setting, PowerPlan.pluggedIn, index);
}

static DWORD WINAPI ReadOnBattery(HKEY, const GUID* scheme, const GUID* group, const GUID* setting, DWORD* index) {
  return ReadIndex(scheme, group, setting, PowerPlan.onBattery, index);
}

static BOOLEAN WINAPI Capabilities(SYSTEM_POWER_CAPABILITIES* can) {
  ZeroMemory(can, sizeof *can);
  can->SystemS3 = TRUE;
  can->SystemS4 = can->HiberFilePresent = PowerPlan.hibernation;
  can->SystemBatteriesPresent = PowerPlan.batteries;
  return TRUE;
}

FARPROC StandInPowerEntry(const char* name) {
  static const struct {
    const char* name;
    void* entry;
    bool plan;
  } entries[] = {
      {"PowerGetActiveScheme", reinterpret_cast<void*>(ActiveScheme), true},
      {"PowerReadACValueIndex", reinterpret_cast<void*>(ReadPluggedIn), true},
      {"PowerReadDCValueIndex", reinterpret_cast<void*>(ReadOnBattery), true},
      {"GetPwrCapabilities", reinterpret_cast<void*>(Capabilities), false},
  };
  for (const auto& e : entries)
    if (HIWORD(name) && lstrcmpA(name, e.name) == 0 && (PowerPlan.plan || !e.plan))
      return reinterpret_cast<FARPROC>(e.entry);
  return NULL;
}

HLOCAL WINAPI StandInLocalFree(HLOCAL memory) {
  if (memory && memory == Scheme) {
    --PowerPlan.schemesHeld;
    Scheme = NULL;
  }
  return LocalFree(memory);
}
