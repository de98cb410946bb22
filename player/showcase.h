// The scripted showcase on a simulated clock: the sleep timer, chosen from the player's menu
// on a Friday night, puts the computer on standby, Saturday's 07:00 passes in silence, and
// on Monday the wake timer wakes the computer for the 07:00 alarm, held awake while it
// plays. The player shows what the plug-in did.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "plugin_host.h"
#include "timeline.h"

enum {
  ShowcaseVolStart = 100, ShowcaseVolEnd = 160, ShowcaseStep = 40,  // fade: ms a step
  ShowcaseNightVolume = 90,
  ShowcaseQuietVolume = 30,  // Wednesday night's music: a shorter fade
  ShowcaseSpeed = 4,
  ShowcaseClock = (23 * 60 + 9) * 60 + 57,  // 23:09:57 on Friday 11 December 2026
  ShowcaseYear = 2026, ShowcaseMonth = 12, ShowcaseFriday = 11,
  ShowcaseWeekdays = 0x3E,  // Monday to Friday
  ShowcaseWeekend = 0x01410900,  // the second alarm: 09:00 on Saturday and Sunday, on
};
extern const char ShowcaseLengths[];

void WriteShowcaseSettings();  // into the plug-in's registry key, before it loads
void ClearShowcaseSettings();
// Runs the script with the plug-in loaded and initialised; closes the player at the end.
// Returns the program's exit code: 0 when the timeline is the expected one.
int RunShowcase(HWND main, LoadedPlugin* plugin, const std::string& screens);
bool CheckShowcaseTimeline(const std::vector<TimelineEvent>& events, std::string* why);

// Screenshots of the plug-in at work; each returns false with a reason when it fails.
bool CaptureMenu(HWND main, const std::string& path, std::string* report);
// Opens the player's context menu and the submenu at `position` in it, selects the submenu's
// `row` (1 the first), saves both menus when a path is given, then chooses that row or closes
// the menu. False when that could not be done.
enum { SleepMenuPosition = 6, AlarmMenuPosition = 7 };
bool UseSubmenu(HWND main, int position, int row, bool choose, const std::string& path);
bool CaptureDialogs(LoadedPlugin* plugin, const std::string& settingsPath,
                    const std::string& aboutPath, std::string* report);
