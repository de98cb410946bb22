#include "showcase.h"

#include <stdio.h>

#include "player.h"
#include "screen_capture.h"
#include "sim_clock.h"

const char ShowcaseLengths[] = "4:12,4:20,4:08,4:16,4:22,4:10,4:18,4:14,4:09,4:21,4:15,4:11";

static const char PluginKey[] = "Software\\Brindlow Software\\Dawnbell Winamp Plug-in";

void ClearShowcaseSettings() { RegDeleteTreeA(HKEY_CURRENT_USER, PluginKey); }

void WriteShowcaseSettings() {
  ClearShowcaseSettings();
  struct { const char* name; DWORD value; } const settings[] = {
      {"StartOn", 1}, {"StartH", 7}, {"StartM", 0}, {"Random", 1}, {"VolUp", 1},
      {"VolStart", ShowcaseVolStart}, {"VolEnd", ShowcaseVolEnd}, {"TimeOut", ShowcaseStep},
      {"StopOn", 1}, {"StopH", 7}, {"StopM", 1}, {"VolDown", 1}, {"WaitEnd", 1},
      {"Suspend", 1}};
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, PluginKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL))
    return;
  for (const auto& s : settings)
    RegSetValueExA(key, s.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&s.value), sizeof s.value);
  RegCloseKey(key);
}

static void Pump(DWORD ms) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchPlayerMessage(NULL, &msg);
    MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
  }
}

template <class Condition>
static bool PumpUntil(DWORD ms, Condition done) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    Pump(20);
  }
  return true;
}

static bool Logged(const char* text) {
  for (const LogEntry& e : PlayerLog)
    if (DescribeLogEntry(e).find(text) != std::string::npos) return true;
  return false;
}

static const DWORD Seven = 7 * 3600 * 1000u;

// Puts the plug-in's clock ticks in the middle of the simulated seconds, at `msOfDay` for
// the tick that has just been: a late timer then cannot miss an event's second 0.
static void AlignClock(DWORD msOfDay) { SimClockAlign(SimClockReadTick, msOfDay); }

// The playing, the fade-in, the quiet minute skipped, the stop. False when a step never came.
static bool RunScript(HWND main, const std::string& screens, std::string* report) {
  int reads = SimClockReads;
  if (!PumpUntil(3000, [reads] { return SimClockReads > reads; })) {
    *report += "the plug-in's clock does not run\n";
    return false;
  }
  AlignClock(SimClockMsOfDay() / 1000 * 1000 + 500);
  if (!PumpUntil(20000, [] { return Player.status == PlayerPlaying && Player.volume == ShowcaseVolEnd; })) {
    *report += "the start with its fade-in did not come\n";
    return false;
  }
  Pump(400);
  // Nothing happens until the stop: the clock and the track move on at once.
  DWORD before = SimClockMsOfDay();
  AlignClock(Seven + 56500);
  AdvancePlayer(SimClockMsOfDay() - before);
  PlayerNote("the showcase skips ahead to " + FormatClock(SimClockMsOfDay()) + ", the player too");
  if (!PumpUntil(10000, [] { return Logged("stop after current"); })) {
    *report += "the stop did not come\n";
    return false;
  }
  PumpUntil(3000, [] { return SimClockMsOfDay() >= Seven + 61500; });
  if (!screens.empty() && !SaveWindowImage(main, NULL, screens + "\\player.bmp"))
    *report += "player: not captured\n";
  if (!PumpUntil(20000, [] { return Logged("SetSuspendState"); })) {
    *report += "standby was not asked for\n";
    return false;
  }
  Pump(1500);  // anything after the standby would show in the timeline
  return true;
}

static bool TakeScreens(HWND main, LoadedPlugin* plugin, const std::string& dir, std::string* report) {
  if (dir.empty()) return true;
  bool ok = CaptureMenu(main, dir + "\\menu.bmp", report);
  if (!FindResourceA(plugin->module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(5) /* RT_DIALOG */)) {
    *report += "settings dialog and about box: this build of the plug-in has none yet\n";
    return ok;
  }
  return CaptureDialogs(plugin, dir + "\\settings.bmp", dir + "\\about.bmp", report) && ok;
}

int RunShowcase(HWND main, LoadedPlugin* plugin, const std::string& screens) {
  printf("\nShowcase on a simulated clock from %s: at 07:00 the plug-in starts a random track\n"
         "with a fade-in (volume %d to %d, %d ms a step); at 07:01 it fades out, waits for the\n"
         "end of the track, stops and asks for standby (shown in the log, never done).\n",
         FormatClock(ShowcaseClock * 1000u).c_str(), ShowcaseVolStart, ShowcaseVolEnd, ShowcaseStep);
  std::string report;
  bool ran = RunScript(main, screens, &report);
  bool shot = ran && TakeScreens(main, plugin, screens, &report);
  SendMessageA(main, WM_CLOSE, 0, 0);
  ClearShowcaseSettings();

  std::vector<TimelineEvent> events = BuildTimeline(PlayerLog);
  printf("\nTimeline of what the plug-in did (simulated clock):\n%s", FormatTimeline(events).c_str());
  std::string why;
  bool expected = ran && CheckShowcaseTimeline(events, &why);
  printf("\n%s", report.c_str());
  printf("timeline: %s%s\n", expected ? "as expected" : "NOT as expected: ", why.c_str());
  return expected && shot ? 0 : 1;
}
