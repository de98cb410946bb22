// The timeline the showcase must produce, event by event.
#include <stdio.h>

#include "showcase.h"

enum : DWORD { Seven = 7 * 3600 * 1000u, Minute = 60 * 1000u, Second = 1000u };

static bool Within(DWORD ms, DWORD from, DWORD to) { return ms >= from && ms < to; }

bool CheckShowcaseTimeline(const std::vector<TimelineEvent>& events, std::string* why) {
  static const char* const kinds[] = {"pick", "stop", "play", "fade-in", "note",
                                      "stop after current", "fade-out", "end of track",
                                      "volume", "stop", "standby"};
  const size_t count = sizeof kinds / sizeof *kinds;
  std::string seen;
  for (const TimelineEvent& e : events) seen += (seen.empty() ? "" : ", ") + e.kind;
  bool sequence = events.size() == count;
  for (size_t i = 0; sequence && i < count; ++i) sequence = events[i].kind == kinds[i];
  if (!sequence) {
    *why = "events were: " + seen;
    return false;
  }
  const TimelineEvent &pick = events[0], &fadeIn = events[3], &stopAfter = events[5],
                      &fadeOut = events[6], &end = events[7], &restore = events[8],
                      &standby = events[10];
  struct { bool holds; const char* what; } const checks[] = {
      {pick.from >= 0 && pick.from < 12, "a track of the playlist is picked"},
      {Within(pick.clockMs, Seven, Seven + Second) && Within(fadeIn.clockMs, Seven, Seven + Second),
       "the start happens in second 0 of 07:00"},
      {fadeIn.from == ShowcaseVolStart && fadeIn.to == ShowcaseVolEnd,
       "the fade-in goes from the start to the end volume"},
      {Within(stopAfter.clockMs, Seven + Minute, Seven + Minute + Second) &&
           fadeOut.clockMs - stopAfter.clockMs < Second,
       "the stop begins in second 0 of 07:01 with the fade-out"},
      {fadeOut.from == ShowcaseVolEnd && fadeOut.to > 0 && fadeOut.to < ShowcaseVolEnd,
       "the fade-out is still under way when the track ends"},
      {Within(end.clockMs, Seven + Minute, Seven + Minute + 15 * Second),
       "the track ends soon after 07:01"},
      {restore.from == ShowcaseVolEnd && standby.clockMs - end.clockMs < Second,
       "at the end of the track the volume comes back and standby follows"},
  };
  for (const auto& c : checks) {
    if (!c.holds) {
      *why = std::string("not so: ") + c.what;
      return false;
    }
  }
  return true;
}
