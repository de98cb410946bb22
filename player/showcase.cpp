#include "showcase.h"

#include <stdio.h>
#include <string.h>

#include "options.h"
#include "player.h"
#include "player_internal.h"
#include "screen_capture.h"
#include "sim_clock.h"

const char ShowcaseLengths[] = "4:12,4:20,4:08,4:16,4:22,4:10,4:18,4:14,4:09,4:21,4:15,4:11";

static const char PluginKey[] = "Software\\Brindlow Software\\Dawnbell Winamp Plug-in";

void ClearShowcaseSettings() { RegDeleteTreeA(HKEY_CURRENT_USER, PluginKey); }

void WriteShowcaseSettings() {
  ClearShowcaseSettings();
  struct { const char* name; DWORD value; } const settings[] = {
      {"StartOn", 1}, {"StartH", 7}, {"StartM", 0}, {"StartDays", ShowcaseWeekdays},
      {"Random", 1}, {"VolUp", 1}, {"Activate", 1}, {"VolStart", ShowcaseVolStart},
      {"VolEnd", ShowcaseVolEnd}, {"TimeOut", ShowcaseStep}, {"WakeUp", 1},
      // The sleep timer's boxes serve the countdown from the menu and the daily stop at
      // 23:50, which the nights the showcase skips step over until Wednesday's.
      {"VolDown", 1}, {"Suspend", 1}, {"Close", 1}, {"StopOn", 1}, {"StopH", 23}, {"StopM", 50},
      {"Alarm2", ShowcaseWeekend}};
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, PluginKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL))
    return;
  for (const auto& s : settings)
    RegSetValueExA(key, s.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&s.value), sizeof s.value);
  RegSetValueExW(key, L"Alarm1Label", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"Work"), sizeof L"Work");
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

// Logged at or after entry `from` of the log.
static bool Logged(const char* text, size_t from = 0) {
  for (size_t i = from; i < PlayerLog.size(); ++i)
    if (DescribeLogEntry(PlayerLog[i]).find(text) != std::string::npos) return true;
  return false;
}

static const DWORD Seven = 7 * 3600 * 1000u;
static const DWORD TenPastEleven = (23 * 60 + 10) * 60 * 1000u;
static const DWORD FortyPastEleven = TenPastEleven + 30 * 60 * 1000u;
static const DWORD TenToMidnight = FortyPastEleven + 10 * 60 * 1000u;
static const DWORD TenPm = 22 * 3600 * 1000u;

// Puts the plug-in's clock ticks in the middle of the simulated seconds, at `msOfDay` for
// the tick that has just been: a late timer then cannot miss an event's second 0.
static void AlignClock(DWORD msOfDay) { SimClockAlign(SimClockReadTick, msOfDay); }

// Moves the simulated clock to another day and time at once, and says so in the log.
static void SkipTo(int day, const char* dayName, DWORD msOfDay, const char* why) {
  // Aligned on a tick's own reading of the clock, not on one a notice made between ticks.
  int reads = SimClockReads;
  PumpUntil(1500, [reads] { return SimClockReads > reads; });
  SimClockSetDate(ShowcaseYear, ShowcaseMonth, day);
  AlignClock(msOfDay + 500);
  PlayerNote(std::string("the showcase skips ahead to ") + dayName + " " + std::to_string(day) +
             " December, " + FormatClock(msOfDay) + why);
}

// The alarm at its full volume after the fade-in; `missing` says what did not come.
static bool AlarmPlays(const char* missing, std::string* report) {
  if (PumpUntil(20000, [] { return Player.status == PlayerPlaying && Player.volume == ShowcaseVolEnd; }))
    return true;
  *report += std::string(missing) + "\n";
  return false;
}

// The user, awake, stops the alarm a moment later; the hold must end with it.
static bool UserStops(HWND main, const char* unreleased, std::string* report) {
  Pump(700);
  PlayerNote("the user, awake, presses stop");
  size_t stopped = PlayerLog.size();
  SendMessageA(main, WM_COMMAND, 40047, 0);
  if (PumpUntil(3000, [stopped] { return Logged("): released", stopped); })) return true;
  *report += std::string(unreleased) + "\n";
  return false;
}

// The night, the quiet Saturday, the Monday alarm. False when a step never came.
static bool RunScript(HWND main, const std::string& screens, std::string* report) {
  int reads = SimClockReads;
  if (!PumpUntil(3000, [reads] { return SimClockReads > reads; })) {
    *report += "the plug-in's clock does not run\n";
    return false;
  }
  AlignClock(SimClockMsOfDay() / 1000 * 1000 + 500);
  Player.volume = ShowcaseNightVolume;
  RunCommand(main, 40045);  // by hand, as the user would: not a command of the plug-in's
  PlayerNote("Friday night: the user plays music to fall asleep to");
  PumpUntil(12000, [] { return SimClockMsOfDay() >= TenPastEleven; });
  if (!UseSubmenu(main, SleepMenuPosition, 2, true, "")) {
    *report += "the sleep timer's submenu did not open\n";
    return false;
  }
  PlayerNote("the user chooses Sleep timer > 30 minutes in the player's menu");
  Pump(1000);
  // Open again, as it now reads: the countdown's end in its title, 30 minutes checked.
  if (!screens.empty() && !UseSubmenu(main, SleepMenuPosition, 2, false, screens + "\\sleep_menu.bmp"))
    *report += "sleep timer menu: not captured\n";
  SkipTo(ShowcaseFriday, "Friday", FortyPastEleven - 2000, ": half an hour passes");
  if (!PumpUntil(20000, [] { return Logged("SetSuspendState"); })) {
    *report += "the sleep timer did not ask for standby\n";
    return false;
  }
  Pump(1000);  // a close of the player would show here
  PlayerNote("the player stays open: closing it would cancel the wake timer");

  SkipTo(ShowcaseFriday + 1, "Saturday", Seven - 2000, "");
  PumpUntil(12000, [] { return SimClockMsOfDay() >= Seven + 1200; });
  PlayerNote("07:00 passes in silence: Saturday is not an alarm day");
  SkipTo(ShowcaseFriday + 1, "Saturday", Seven + 2 * 3600000 - 2000, ": the weekend's alarm is at 09:00");
  if (!AlarmPlays("the weekend's 09:00 alarm did not come", report)) return false;
  if (!UserStops(main, "the computer was not released when Saturday's alarm stopped", report)) return false;

  SkipTo(ShowcaseFriday + 3, "Monday", Seven - 2 * 60000, ": the wake timer wakes the computer");
  SendMessageA(main, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);  // as Windows tells it
  if (!PumpUntil(3000, [] { return Logged("held awake"); })) {
    *report += "the computer was not held awake after the wake\n";
    return false;
  }
  SkipTo(ShowcaseFriday + 3, "Monday", Seven - 2000, ", still held awake");
  if (!AlarmPlays("the alarm with its fade-in did not come", report)) return false;
  Pump(1200);
  if (!screens.empty() && !SaveWindowImage(main, NULL, screens + "\\player.bmp"))
    *report += "player: not captured\n";
  HWND ringing = FindWindowA("#32770", "Dawnbell");
  if (!ringing) {
    *report += "the alarm's window did not open\n";
    return false;
  }
  // With Activate it has the keyboard, over the player brought forward, also where it told
  // Sunday's alarm missed first. Without a window manager, Wine raises the foreground window
  // over every other on screen, topmost ones too: the screenshot would show the player.
  if (GetForegroundWindow() != ringing) {
    *report += "the alarm's window does not have the keyboard\n";
    return false;
  }
  if (!screens.empty() && !SaveWindowImage(ringing, NULL, screens + "\\ringing.bmp"))
    *report += "ringing window: not captured\n";
  PlayerNote("the user presses Snooze on the alarm's window: the alarm snoozes for 9 minutes");
  size_t paused = PlayerLog.size();
  SendDlgItemMessageA(ringing, 102, BM_CLICK, 0, 0);  // as a click on Snooze
  if (!PumpUntil(3000, [paused] { return Logged("ES_SYSTEM_REQUIRED): held awake", paused); })) {
    *report += "the snooze did not hold the computer awake\n";
    return false;
  }
  SkipTo(ShowcaseFriday + 3, "Monday", Seven + 9 * 60000, ": the snooze is over");
  if (!AlarmPlays("the alarm did not resume after the snooze", report)) return false;
  if (!UserStops(main, "the computer was not released when playback stopped", report)) return false;
  // The window goes back to Sunday's 09:00, given up while the computer slept, until OK.
  char told[64] = "";
  GetDlgItemTextA(ringing, 101, told, sizeof told);
  if (strncmp(told, "Missed: the computer slept", 26) != 0) {
    *report += "after Monday's alarm the window did not tell Sunday's alarm missed\n";
    return false;
  }
  PlayerNote("the user presses OK on the alarm's window: Sunday's 09:00 was missed while the computer slept");
  SendDlgItemMessageA(ringing, 103, BM_CLICK, 0, 0);

  SkipTo(ShowcaseFriday + 4, "Tuesday", Seven - 2000, ": the playlist is empty");
  Player.lengthsMs.clear();
  Player.current = 0;
  size_t tuesday = PlayerLog.size();
  if (!PumpUntil(20000, [tuesday] { return Logged("tone: PlaySoundA(tone", tuesday); })) {
    *report += "the tone did not sound for the silent player\n";
    return false;
  }
  Pump(700);
  PlayerNote("the user, awake, presses stop");
  SendMessageA(main, WM_COMMAND, 40047, 0);
  if (!PumpUntil(3000, [tuesday] { return Logged("tone: PlaySoundA(NULL", tuesday); })) {
    *report += "the user's stop did not end the tone\n";
    return false;
  }

  // The computer, back from standby, ticks again four minutes after the alarm's minute.
  ParseLengths(ShowcaseLengths, &Player.lengthsMs);
  SkipTo(ShowcaseFriday + 5, "Wednesday", Seven + 4 * 60000, ": the computer was slow to resume");
  SendMessageA(main, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  if (!AlarmPlays("the alarm minute stepped over did not ring on the next tick", report)) return false;
  if (!UserStops(main, "the computer was not released when the caught-up alarm stopped", report)) return false;

  // A holiday tomorrow: the alarm's submenu, its first two rows the alarms, the third the skip.
  SkipTo(ShowcaseFriday + 5, "Wednesday", TenPm - 2000, ": Thursday is a holiday");
  Pump(1200);  // the first tick after the skip has set the wake again
  if (!screens.empty() && !UseSubmenu(main, AlarmMenuPosition, 3, false, screens + "\\alarm_menu.bmp"))
    *report += "alarm menu: not captured\n";
  size_t skipped = PlayerLog.size();
  if (!UseSubmenu(main, AlarmMenuPosition, 3, true, "") ||
      !PumpUntil(3000, [skipped] { return Logged("SetWaitableTimer(2026-12-18 06:58", skipped); })) {
    *report += "skipping the next alarm from the menu did not move the wake to Friday\n";
    return false;
  }
  PlayerNote("the user chooses Alarm > Skip the next alarm (Thu 07:00) in the player's menu");

  SkipTo(ShowcaseFriday + 5, "Wednesday", TenToMidnight - 2000, ": the daily sleep timer is at 23:50");
  Player.volume = ShowcaseQuietVolume;
  RunCommand(main, 40045);
  PlayerNote("Wednesday night: the user plays music to fall asleep to");
  size_t night = PlayerLog.size();
  if (!PumpUntil(20000, [night] { return Logged("SetSuspendState", night); })) {
    *report += "the daily sleep timer did not ask for standby\n";
    return false;
  }
  Pump(1000);  // a close of the player would show here
  PlayerNote("the player stays open for Friday's alarm");

  SkipTo(ShowcaseFriday + 6, "Thursday", Seven - 2000, ": the alarm is skipped");
  size_t thursday = PlayerLog.size();
  PumpUntil(12000, [] { return SimClockMsOfDay() >= Seven + 1200; });
  if (Logged("command 40045", thursday)) {
    *report += "the skipped alarm rang\n";
    return false;
  }
  PlayerNote("07:00 passes in silence: the alarm was skipped, the wake is set for Friday");
  return true;
}

// The settings dialog opened and closed with OK at once: the plug-in reads the store afresh, as
// after the Alarm dialog gave its alarms music.
static void CALLBACK CloseSettings(HWND, UINT, UINT_PTR, DWORD) {
  HWND settings = FindWindowA("#32770", "Dawnbell Winamp Plug-in: Settings");
  if (settings) PostMessageA(settings, WM_COMMAND, 2, 0);
}

static void GiveMusic(LoadedPlugin* plugin, const std::wstring& folder) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, PluginKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL)) return;
  const std::wstring stream = L"http://offline.invalid/morning";
  RegSetValueExW(key, L"Alarm1Music", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                 static_cast<DWORD>((folder.size() + 1) * 2));
  RegSetValueExW(key, L"Alarm2Music", 0, REG_SZ, reinterpret_cast<const BYTE*>(stream.c_str()),
                 static_cast<DWORD>((stream.size() + 1) * 2));
  RegCloseKey(key);
  UINT_PTR timer = SetTimer(NULL, 0, 300, CloseSettings);
  plugin->plugin->config();
  KillTimer(NULL, timer);
}

// The second Friday's alarm plays a folder of its own and leaves the user's playlist as it was;
// on Saturday the weekend alarm's radio station is down, and the user's own music plays instead.
static bool RunMusicMornings(HWND main, LoadedPlugin* plugin, const std::string& screens, std::string* report) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + L"Morning music";
  CreateDirectoryW(folder.c_str(), NULL);
  for (const wchar_t* name : {L"\\03 Coffee.flac", L"\\01 Birdsong.mp3", L"\\02 Sunrise.ogg", L"\\notes.txt"})
    CloseHandle(CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
  GiveMusic(plugin, folder);
  PlayerNote("the user gives the weekday alarm the folder Morning music, the weekend alarm a radio station");
  std::vector<std::wstring> users;
  for (size_t i = 0; i < Player.lengthsMs.size(); ++i) users.push_back(EntryPath(static_cast<int>(i)));
  auto usersBack = [&users] {
    if (Player.lengthsMs.size() != users.size()) return false;
    for (size_t i = 0; i < users.size(); ++i)
      if (EntryPath(static_cast<int>(i)) != users[i]) return false;
    return true;
  };

  SkipTo(ShowcaseFriday + 7, "Friday", Seven - 2000, ": the alarm plays its folder");
  if (!AlarmPlays("Friday's alarm did not play its folder", report)) return false;
  if (Player.lengthsMs.size() != 3 || EntryPath(0) != folder + L"\\01 Birdsong.mp3") {
    *report += "Friday's alarm did not enqueue its folder's three audio files in order\n";
    return false;
  }
  Pump(1200);
  if (!screens.empty() && !SaveWindowImage(main, NULL, screens + "\\player_music.bmp"))
    *report += "player with the alarm's music: not captured\n";
  if (!UserStops(main, "the computer was not released when Friday's alarm stopped", report)) return false;
  if (!PumpUntil(3000, usersBack)) {
    *report += "the user's playlist did not come back after Friday's alarm\n";
    return false;
  }
  PlayerNote("the user's playlist is back as it was, its entry selected, not playing");

  SkipTo(ShowcaseFriday + 8, "Saturday", 9 * 3600000 - 2000, ": the radio station is down");
  if (!PumpUntil(20000, [] { return Player.status == PlayerPlaying && IsStream(EntryPath(0)); })) {
    *report += "Saturday's alarm did not start its stream\n";
    return false;
  }
  // Most of the half minute of silence passes at once, as time passing for the plug-in too.
  SimClockSkip(27000);
  if (!PumpUntil(40000, [&usersBack] { return usersBack() && Player.status == PlayerPlaying; })) {
    *report += "the user's own music did not take over from the silent stream\n";
    return false;
  }
  if (!AlarmPlays("the user's music did not fade in after the stream", report)) return false;
  PlayerNote("after 30 seconds of silence the user's own playlist plays instead");
  if (!UserStops(main, "the computer was not released when Saturday's alarm stopped", report)) return false;
  for (const wchar_t* name : {L"\\03 Coffee.flac", L"\\01 Birdsong.mp3", L"\\02 Sunrise.ogg", L"\\notes.txt"})
    DeleteFileW((folder + name).c_str());
  RemoveDirectoryW(folder.c_str());
  return true;
}

static bool TakeScreens(HWND main, LoadedPlugin* plugin, const std::string& dir, std::string* report) {
  if (dir.empty()) return true;
  bool ok = CaptureMenu(main, dir + "\\menu.bmp", report);
  if (!FindResourceA(plugin->module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(5) /* RT_DIALOG */)) {
    *report += "settings dialog and about box: this build of the plug-in has none yet\n";
    return ok;
  }
  return CaptureDialogs(plugin, dir + "\\showcase_settings.bmp", dir + "\\showcase_about.bmp", report) && ok;
}

int RunShowcase(HWND main, LoadedPlugin* plugin, const std::string& screens) {
  printf("\nShowcase on a simulated clock from Friday 11 December 2026, %s. The alarm is set for\n"
         "07:00 on weekdays, with a random track, a fade-in (volume %d to %d, %d ms a step) and\n"
         "the wake timer; the sleep timer with a fade-out, standby and closing the player. At\n"
         "23:10 the user chooses Sleep timer > 30 minutes in the player's menu; at 23:40 the\n"
         "sleep timer fades out and asks for standby; the player stays for the wake timer.\n"
         "Saturday's 07:00 passes in silence. On Monday the wake timer wakes\n"
         "the computer at 06:58 and the alarm plays at 07:00 held awake; the user snoozes it\n"
         "with Snooze on the alarm's window, it plays again 9 minutes later, and the user's Stop\n"
         "ends it and the hold; the window tells Sunday's alarm missed until the user's OK.\n"
         "On Tuesday the playlist is empty: the alarm sounds its tone until the user's Stop.\n"
         "On Wednesday the computer resumes at 07:04: the alarm it stepped over rings at once.\n"
         "That night the daily sleep timer at 23:50 fades out and asks for standby.\n"
         "The computer is muted at 12%%: Monday's alarm unmutes it at 30%%, the user's Stop mutes\n"
         "it at 12%% again, and each alarm after does the same.\n"
         "The next Friday the alarm plays a folder of its own, and Stop leaves the user's playlist as\n"
         "it was; on Saturday the weekend alarm's radio station is down, and after 30 seconds the\n"
         "user's own playlist plays instead.\n"
         "Power calls, the tone and the computer's volume are shown in the log, never done.\n",
         FormatClock(ShowcaseClock * 1000u).c_str(), ShowcaseVolStart, ShowcaseVolEnd, ShowcaseStep);
  std::string report;
  bool ran = RunScript(main, screens, &report) && RunMusicMornings(main, plugin, screens, &report);
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
