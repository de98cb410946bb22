#include "readings.h"

#include "control/control.h"
#include "fake_host.h"

std::string TicksAfterLoad(std::initializer_list<Reading> readings) {
  std::string events;
  bool loaded = false;
  for (const Reading& r : readings) {
    Calls.clear();
    Player.playing = 0;
    SetDate(r.year, r.month, r.day, r.hour, r.minute, r.second);
    if (loaded && r.utcOffset != FakeUtcOffset) ZoneChangesAt(r.year, r.month, r.day, 1, FakeUtcOffset, r.utcOffset);
    FakeUtcOffset = r.utcOffset;
    if (r.real > 0) FakeElapsedMs += static_cast<uint32_t>(r.real) * 1000u;
    if (!loaded) {  // as the plug-in's init does
      MarkMinuteSeen();
      RefreshWake();
      loaded = true;
      continue;
    }
    ClockTick();
    std::string calls = ", " + CallList() + ",";
    size_t activate = calls.find(", Activate,");
    bool twice = activate != std::string::npos && calls.find(", Activate,", activate + 1) != std::string::npos;
    events += twice                                          ? '2'
              : calls.find(", Play,") != std::string::npos   ? 'A'
              : calls.find(", Stop,") != std::string::npos ? 'Z'
                                                           : '.';
  }
  return events;
}
