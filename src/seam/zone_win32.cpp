// Local time and UTC by the zone's rules, for real. Windows 2000 lacks the conversion of a
// local time by the rules of its date, so that one is found by name.
#include <windows.h>

#include "../settings/settings.h"
#include "file_time.h"
#include "host_player.h"

typedef BOOL(WINAPI* LocalToSystemProc)(const TIME_ZONE_INFORMATION*, const SYSTEMTIME*, SYSTEMTIME*);

// By the rules in force on that date, so a change to or from summer time during the night
// does not move the wake by an hour; without them (Windows 2000), by today's offset.
static bool LocalToUtc(const LocalTimeRecord& local, FILETIME* utc) {
  const SYSTEMTIME* time = reinterpret_cast<const SYSTEMTIME*>(&local);
  LocalToSystemProc toSystem = reinterpret_cast<LocalToSystemProc>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "TzSpecificLocalTimeToSystemTime")));
  SYSTEMTIME system;
  if (toSystem && toSystem(NULL, time, &system)) return SystemTimeToFileTime(&system, utc);
  FILETIME localFile;
  return SystemTimeToFileTime(time, &localFile) && LocalFileTimeToFileTime(&localFile, utc);
}

bool UtcOf(const LocalTimeRecord& local, uint32_t* utc) {
  FILETIME file;
  if (!LocalToUtc(local, &file)) return false;
  *utc = static_cast<uint32_t>(FileSeconds(file));
  return true;
}

bool LocalOffsetAt(uint32_t utc, int32_t* offset) {
  FILETIME file = FileOfUtc(utc), localFile;
  SYSTEMTIME system, local;
  if (!FileTimeToSystemTime(&file, &system) || !SystemTimeToTzSpecificLocalTime(NULL, &system, &local) ||
      !SystemTimeToFileTime(&local, &localFile))
    return false;
  *offset = static_cast<int32_t>(FileSeconds(localFile) - FileSeconds(file));
  return true;
}
