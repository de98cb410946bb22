// What the plug-in did, read from the player's log: queries left out, the volume steps of a
// fade folded into one event, the power calls reduced to the action asked for.
#pragma once
#include <string>
#include <vector>

#include "player.h"

struct TimelineEvent {
  DWORD clockMs;     // when it began, on the plug-in's clock
  DWORD endMs;       // when it ended (fades), else clockMs
  std::string kind;  // "play", "stop", "fade-in", "fade-out", "volume", "pick", "end of track",
                     // "standby", "hibernate", "power off", "system volume", "note", ...
  int from = 0;      // volume or playlist position
  int to = 0;        // volume at the end of a fade
  int steps = 0;     // volume changes in a fade
  std::string text;  // a note's text
  int before = -1;   // the volume before a volume event, when known
};

std::vector<TimelineEvent> BuildTimeline(const std::vector<LogEntry>& log);
std::string FormatTimeline(const std::vector<TimelineEvent>& events);
