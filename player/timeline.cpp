#include "timeline.h"

#include <stdio.h>

#include "player_internal.h"

static bool IsQuery(const LogEntry& e) {
  if (e.message != IpcMessage) return false;
  switch (e.lParam) {
    case 0: case 104: case 105: case 124: case 125: case 135: case 211: case 214: case 617: return true;
    case 122: return static_cast<int>(e.wParam) == -666;
  }
  return false;
}

// A power note's action; token and library calls lead up to one and are left out.
static const char* PowerKind(const std::string& note) {
  if (note.find("SetSuspendState(1") != std::string::npos) return "hibernate";
  if (note.find("SetSuspendState(0") != std::string::npos) return "standby";
  if (note.find("ExitWindowsEx") != std::string::npos) return "power off";
  if (note.find("SetWaitableTimer") != std::string::npos) return "wake timer";
  if (note.find("CancelWaitableTimer") != std::string::npos) return "no wake timer";
  if (note.find("): held awake") != std::string::npos) return "held awake";
  if (note.find("): released") != std::string::npos) return "released";
  return nullptr;
}

// Wake timer, keep-awake and computer volume events come between a fade's steps without
// ending its run.
static bool Aside(const TimelineEvent& e) {
  return e.kind == "wake timer" || e.kind == "no wake timer" || e.kind == "held awake" ||
         e.kind == "released" || e.kind == "system volume";
}

// One set-volume entry: a step of the fade being built, or a new event.
static void AddVolume(std::vector<TimelineEvent>* events, const LogEntry& e, bool follows,
                      int before) {
  int level = static_cast<int>(e.wParam);
  TimelineEvent* last = nullptr;
  for (size_t i = events->size(); i-- > 0 && !last;)
    if (!Aside((*events)[i])) last = &(*events)[i];
  if (follows && last) {
    bool fading = last->kind == "fade-in" || last->kind == "fade-out";
    int direction = last->kind == "fade-in" ? 1 : -1;
    if (fading && level == last->to + direction) {
      last->to = level;
      ++last->steps;
      last->endMs = e.clockMs;
      return;
    }
    if (last->kind == "volume" && (level == last->to + 1 || level == last->to - 1)) {
      int direction = level > last->to ? 1 : -1;
      last->kind = direction > 0 ? "fade-in" : "fade-out";
      last->steps = 1;
      // The first step already came from the volume the player had.
      if (last->before == last->from - direction) {
        last->from = last->before;
        ++last->steps;
      }
      last->to = level;
      last->endMs = e.clockMs;
      return;
    }
  }
  TimelineEvent v{e.clockMs, e.clockMs, "volume", level, level};
  v.before = before;
  events->push_back(v);
}

std::vector<TimelineEvent> BuildTimeline(const std::vector<LogEntry>& log) {
  std::vector<TimelineEvent> events;
  bool follows = false;  // the previous event was a volume change, with only queries since
  int known = -1;        // the player's volume as last heard or set
  for (const LogEntry& e : log) {
    bool volume = e.message == IpcMessage && e.lParam == 122;
    if (IsQuery(e)) {
      if (volume) known = static_cast<int>(e.result);
      continue;
    }
    if (volume) {
      AddVolume(&events, e, follows, known);
      known = static_cast<int>(e.wParam);
    } else if (e.message == IpcMessage && e.lParam == 121) {
      events.push_back({e.clockMs, e.clockMs, "pick", static_cast<int>(e.wParam)});
    } else if (e.message == IpcMessage && e.lParam == 106) {
      events.push_back({e.clockMs, e.clockMs, "jump", static_cast<int>(e.wParam)});
    } else if (e.message == WM_COMMAND) {
      const char* kind = PluginCommandName(e.wParam);
      if (e.lParam) events.push_back({e.clockMs, e.clockMs, "note", 0, 0, 0, DescribeLogEntry(e)});
      else if (kind) events.push_back({e.clockMs, e.clockMs, kind});
    } else if (e.message == IpcMessage && e.lParam == 101) {
      events.push_back({e.clockMs, e.clockMs, "empty playlist"});
    } else if (e.message == WM_COPYDATA) {  // a run of entries enqueued is one event
      if (!events.empty() && events.back().kind == "enqueue") ++events.back().steps, events.back().endMs = e.clockMs;
      else events.push_back({e.clockMs, e.clockMs, "enqueue", 0, 0, 1, e.note});
    } else if (e.message == TrackEndNotice) {
      events.push_back({e.clockMs, e.clockMs, "end of track"});
    } else if (e.message == 0 && e.note.compare(0, 6, "power:") == 0) {
      if (const char* kind = PowerKind(e.note)) events.push_back({e.clockMs, e.clockMs, kind, 0, 0, 0, e.note});
      continue;  // leading calls do not end a fade's run
    } else if (e.message == 0 && e.note.compare(0, 14, "system volume:") == 0) {
      events.push_back({e.clockMs, e.clockMs, "system volume", 0, 0, 0, e.note});
      continue;
    } else if (e.message == 0) {
      events.push_back({e.clockMs, e.clockMs, "note", 0, 0, 0, e.note});
    }
    follows = volume;
  }
  return events;
}

static std::string Describe(const TimelineEvent& e) {
  char text[200];
  if (e.kind == "fade-in" || e.kind == "fade-out")
    snprintf(text, sizeof text, "%s: volume %d -> %d in %d steps, until %s", e.kind.c_str(),
             e.from, e.to, e.steps, FormatClock(e.endMs).c_str());
  else if (e.kind == "volume") snprintf(text, sizeof text, "volume set to %d", e.from);
  else if (e.kind == "pick") snprintf(text, sizeof text, "selects track %d", e.from + 1);
  else if (e.kind == "jump") snprintf(text, sizeof text, "jumps to %d ms", e.from);
  else if (e.kind == "enqueue")
    snprintf(text, sizeof text, "enqueues %d entr%s, the first %s", e.steps, e.steps == 1 ? "y" : "ies", e.text.c_str());
  else if (e.kind == "end of track") snprintf(text, sizeof text, "the track ends (notice to the main window)");
  else if (!e.text.empty()) snprintf(text, sizeof text, "%s", e.text.c_str());
  else snprintf(text, sizeof text, "%s", e.kind.c_str());
  return text;
}

std::string FormatTimeline(const std::vector<TimelineEvent>& events) {
  std::string text;
  for (const TimelineEvent& e : events) text += "  " + FormatClock(e.clockMs) + "  " + Describe(e) + "\n";
  return text;
}
