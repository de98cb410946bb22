// The log of everything the player is asked or told, stamped with the plug-in's clock.
#include <stdio.h>

#include "player_internal.h"
#include "sim_clock.h"
#include "virtual_timers.h"

std::vector<LogEntry> PlayerLog;
bool NoticeLogged;

void Log(UINT message, WPARAM wParam, LPARAM lParam, LRESULT result) {
  PlayerLog.push_back({NowTick(), message, wParam, lParam, result, SimClockMsOfDay()});
}

void WINAPI PluginDebugString(LPCWSTR text) { PlayerNote("plug-in: " + Utf8(text)); }

void PlayerNote(const std::string& text) {
  PlayerLog.push_back({NowTick(), 0, 0, 0, 0, SimClockMsOfDay(), text});
}

static const char* IpcName(const LogEntry& e) {
  switch (e.lParam) {
    case 0: return "version";
    case 101: return "empty playlist";
    case 211: return "entry path";
    case 214: return "entry path wide";
    case 104: return "is playing";
    case 105: return e.wParam ? "track length" : "track position";
    case 106: return "jump to time";
    case 121: return "set playlist position";
    case 122: return static_cast<int>(e.wParam) == -666 ? "query volume" : "set volume";
    case 124: return "playlist length";
    case 125: return "playlist position";
    case 135: return "restart notice";
    case 617: return "keyboard input";
  }
  return "";
}

const char* PluginCommandName(WPARAM id) {
  switch (id) {
    case 40001: return "close";
    case 40045: return "play";
    case 40046: return "pause";
    case 40047: return "stop";
    case 40157: return "stop after current";
  }
  return nullptr;
}

static const char* CommandName(WPARAM id) {
  if (const char* name = PluginCommandName(id)) return name;
  switch (id) {
    case PlayerNextCommand: return "next track";
    case PlayerPreviousCommand: return "previous track";
    case 40058: return "volume up";
    case 40059: return "volume down";
    case PlayerConfigCommand: return "plug-in settings";
    case PlayerForwardCommand: return "forward 10 seconds";
    case PlayerAboutCommand: return "about the player";
  }
  return "";
}

std::string DescribeLogEntry(const LogEntry& e) {
  char text[160];
  if (e.message == 0) return e.note;
  if (e.message == IpcMessage && (e.lParam == 211 || e.lParam == 214)) {
    snprintf(text, sizeof text, "ipc %ld(%d) %s -> ", static_cast<long>(e.lParam),
             static_cast<int>(e.wParam), IpcName(e));
    return text + (e.result ? e.note : std::string("0"));
  } else if (e.message == WM_COPYDATA) {
    snprintf(text, sizeof text, "enqueue %s -> %ld: ", e.wParam == 1100 ? "wide" : "ansi",
             static_cast<long>(e.result));
    return text + e.note;
  } else if (e.message == IpcMessage) {
    snprintf(text, sizeof text, "ipc %ld(%d) %s -> %ld", static_cast<long>(e.lParam),
             static_cast<int>(e.wParam), IpcName(e), static_cast<long>(e.result));
  } else if (e.message == WM_COMMAND) {
    // A command from one of the player's own buttons carries the button in lParam.
    snprintf(text, sizeof text, "%scommand %u %s", e.lParam ? "button: " : "",
             static_cast<unsigned>(e.wParam), CommandName(e.wParam));
  } else {
    snprintf(text, sizeof text, "end of track");
  }
  return text;
}

std::string FormatClock(DWORD ms) {
  char text[16];
  DWORD s = ms / 1000 % 86400;
  snprintf(text, sizeof text, "%02lu:%02lu:%02lu", static_cast<unsigned long>(s / 3600),
           static_cast<unsigned long>(s / 60 % 60), static_cast<unsigned long>(s % 60));
  return text;
}

std::string FormatLogLine(const LogEntry& e) {
  char millis[8];
  snprintf(millis, sizeof millis, ".%03lu", static_cast<unsigned long>(e.clockMs % 1000));
  return FormatClock(e.clockMs) + millis + "  " + DescribeLogEntry(e);
}
