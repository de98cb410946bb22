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

bool LocalOffsetAt(uint32_t utc, int32_t* offset) {
  FILETIME file = FileOfUtc(utc), localFile;
  SYSTEMTIME system, local;
  if (!FileTimeToSystemTime(&file, &system) || !SystemTimeToTzSpecificLocalTime(NULL, &system, &local) ||
      !SystemTimeToFileTime(&local, &localFile))
    return false;
  *offset = static_cast<int32_t>(FileSeconds(localFile) - FileSeconds(file));
  return true;
}

enum : int32_t { ChangeReach = 2 * 3600 };  // seconds: no change of offset moves the clock more

// A local time summer time skips does not exist: whichever offset the conversion read it by,
// the clock then shows another time. It comes with the change, found by the rules nearby.
static uint32_t CameWithTheChange(uint32_t utc, uint32_t local) {
  int32_t offset, early, late, at;
  if (!LocalOffsetAt(utc, &offset) || utc + static_cast<uint32_t>(offset) == local ||
      !LocalOffsetAt(utc - ChangeReach, &early) || !LocalOffsetAt(utc + ChangeReach, &late) || early == late)
    return utc;
  uint32_t from = utc - ChangeReach, to = utc + ChangeReach;  // the old offset held at `from`
  while (to - from > 1) {
    uint32_t middle = from + (to - from) / 2;
    if (!LocalOffsetAt(middle, &at)) return utc;
    (at == early ? from : to) = middle;
  }
  return to;
}

bool UtcOf(const LocalTimeRecord& local, uint32_t* utc) {
  FILETIME file, localFile;
  if (!LocalToUtc(local, &file) ||
      !SystemTimeToFileTime(reinterpret_cast<const SYSTEMTIME*>(&local), &localFile))
    return false;
  *utc = CameWithTheChange(static_cast<uint32_t>(FileSeconds(file)),
                           static_cast<uint32_t>(FileSeconds(localFile)));
  return true;
}
