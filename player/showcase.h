// The scripted showcase: the plug-in wakes the player at 07:00 on a simulated clock, puts it
// to sleep at 07:01, and the player shows what the plug-in did.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "plugin_host.h"
#include "timeline.h"

enum {
  ShowcaseVolStart = 100, ShowcaseVolEnd = 160, ShowcaseStep = 60,  // fade: ms a step
  ShowcaseSpeed = 4,
  ShowcaseClock = (6 * 60 + 59) * 60 + 55,  // 06:59:55
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
bool CaptureDialogs(LoadedPlugin* plugin, const std::string& settingsPath,
                    const std::string& aboutPath, std::string* report);
