// The alarm clock dialog, opened from the settings dialog: what it shows, what every way
// of closing it keeps, and the line that tells when the alarm rings next.
#include "dialog_driver.h"

namespace {

void CloseBy(HWND dialog, Way way) { CloseBy(dialog, 1, way); }

struct Kept {
  DWORD snooze, limit, tone, volume, window;
};

void ExpectStored(const Kept& k) {
  EXPECT_EQ(k.snooze, Stored("Snooze"));
  EXPECT_EQ(k.limit, Stored("RingLimit"));
  EXPECT_EQ(k.tone, Stored("SilentTone"));
  EXPECT_EQ(k.volume, Stored("SysVolume"));
  EXPECT_EQ(k.window, Stored("RingWindow"));
}

}  // namespace

using AlarmClock = PluginTest;

// Closing unchanged writes back what was shown, and the settings dialog closing after it
// keeps that.
TEST_F(AlarmClock, OwnedByTheSettingsDialogShowsWhatIsStoredUpToItsMostAndWritesItBack) {
  struct Case {
    const char* what;
    bool stored;
    DWORD snooze, limit, tone, volume, window;
    const char *shownSnooze, *shownLimit;
    bool shownTone;
    const char* shownVolume;
    bool shownWindow;
    Kept kept;
  } const cases[] = {
      // First: a missing value leaves what the module holds, here still the default.
      {"nothing stored", false, 0, 0, 0, 0, 0, "9", "60", true, "30", true, {9, 60, 1, 30, 1}},
      {"no snooze, no limit, no tone, volume left alone, no window", true, 0, 0, 0, 0, 0, "0", "0", false, "0",
       false, {0, 0, 0, 0, 0}},
      {"the most, and one", true, 240, 1, 1, 100, 1, "240", "1", true, "100", true, {240, 1, 1, 100, 1}},
      {"above the most", true, 500, 241, 2, 101, 7, "240", "240", true, "100", true, {240, 240, 1, 100, 1}},
      {"negative", true, DWORD(-1), DWORD(-60), 0, DWORD(-1), DWORD(-1), "240", "240", false, "100", true,
       {240, 240, 0, 100, 1}},
  };
  Init();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteKey(PluginKeyPath);
    if (c.stored) {
      WriteDword("Snooze", c.snooze);
      WriteDword("RingLimit", c.limit);
      WriteDword("SilentTone", c.tone);
      WriteDword("SysVolume", c.volume);
      WriteDword("RingWindow", c.window);
    }
    RunSettings(plugin, [&c](HWND settings) {
      RunAlarmClock(settings, [&c, settings](HWND alarm) {
        EXPECT_EQ(settings, GetWindow(alarm, GW_OWNER));
        EXPECT_FALSE(IsWindowEnabled(settings));  // modal
        EXPECT_EQ(GetDlgItem(alarm, 61), GetFocus());
        EXPECT_EQ(c.shownSnooze, Text(alarm, 61));
        EXPECT_EQ(c.shownLimit, Text(alarm, 62));
        EXPECT_EQ(c.shownTone, Checked(alarm, 63));
        EXPECT_EQ(c.shownVolume, Text(alarm, 72));
        EXPECT_EQ(c.shownWindow, Checked(alarm, 73));
        Click(alarm, 1);
      });
      EXPECT_TRUE(IsWindowEnabled(settings));
      ExpectStored(c.kept);
      Click(settings, 2);
    });
    ExpectStored(c.kept);
  }
}

TEST_F(AlarmClock, EveryWayOfClosingSavesWhatWasTypedWithinItsMost) {
  struct Case {
    Way way;
    const char *snooze, *limit;
    bool clickTone;
    const char* volume;
    bool clickWindow;
    Kept kept;
  } const cases[] = {
      {ByOk, "25", "90", true, "45", false, {25, 90, 0, 45, 1}},
      {ByEscape, "7", "241", false, "101", true, {7, 240, 1, 100, 0}},
      {ByTitleBarClose, "", "3", true, "", true, {0, 3, 0, 0, 0}},
      // Pasted text gets past the digits-only edits.
      {ByOk, "-5", "12 min", false, "-12", false, {0, 12, 1, 0, 1}},
  };
  Init();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.way << " " << c.snooze << " " << c.limit);
    WriteDword("Snooze", 30);
    WriteDword("RingLimit", 30);
    WriteDword("SilentTone", 1);
    WriteDword("SysVolume", 30);
    WriteDword("RingWindow", 1);
    RunSettings(plugin, [&c](HWND settings) {
      RunAlarmClock(settings, [&c](HWND alarm) {
        SetDlgItemTextA(alarm, 61, c.snooze);
        SetDlgItemTextA(alarm, 62, c.limit);
        SetDlgItemTextA(alarm, 72, c.volume);
        if (c.clickTone) Click(alarm, 63);
        if (c.clickWindow) Click(alarm, 73);
        CloseBy(alarm, c.way);
      });
      ExpectStored(c.kept);
      Click(settings, 2);
    });
    ExpectStored(c.kept);
  }
}

TEST_F(AlarmClock, TellsWhenTheAlarmRingsNextByTheCalendar) {
  struct Case {
    const char* what;
    int hour, minute, day, month, year;  // now
    DWORD on, startH, startM, days;
    const char* line;
  } const cases[] = {
      {"weekdays, from a Friday evening", 19, 0, 11, 12, 2026, 1, 7, 0, 0x3E,
       "Next alarm: Monday 14 December, 07:00 (in 2 d 12 h 0 min)"},
      // Read backwards the days are Thursday, Friday and Saturday.
      {"Sunday, Monday and Wednesday, from a Tuesday", 6, 30, 8, 12, 2026, 1, 6, 45, 0x0B,
       "Next alarm: Wednesday 9 December, 06:45 (in 1 d 0 h 15 min)"},
      {"later today", 14, 28, 8, 12, 2026, 1, 23, 9, 0x04,
       "Next alarm: Tuesday 8 December, 23:09 (in 8 h 41 min)"},
      {"within the hour", 6, 59, 8, 12, 2026, 1, 7, 5, 127,
       "Next alarm: Tuesday 8 December, 07:05 (in 6 min)"},
      {"past today's: a week on", 8, 0, 8, 12, 2026, 1, 7, 0, 0x04,
       "Next alarm: Tuesday 15 December, 07:00 (in 6 d 23 h 0 min)"},
      {"into the new year", 23, 50, 31, 12, 2026, 1, 0, 5, 0x20,
       "Next alarm: Friday 1 January, 00:05 (in 15 min)"},
      {"off", 19, 0, 11, 12, 2026, 0, 7, 0, 0x3E, "No alarm: it is off"},
      {"off with no day", 19, 0, 11, 12, 2026, 0, 7, 0, 0, "No alarm: it is off"},
      {"no valid time", 19, 0, 11, 12, 2026, 1, 24, 0, 0x3E, "No alarm: it is off"},
      {"no day", 19, 0, 11, 12, 2026, 1, 7, 0, 0, "No alarm: no day is ticked"},
      {"only bits above Saturday", 19, 0, 11, 12, 2026, 1, 7, 0, 0x80, "No alarm: no day is ticked"},
  };
  Init();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetSimulatedClock(c.hour, c.minute, 0, c.day, c.month, c.year);
    WriteDword("StartOn", c.on);
    WriteDword("StartH", c.startH);
    WriteDword("StartM", c.startM);
    WriteDword("StartDays", c.days);
    RunSettings(plugin, [&c](HWND settings) {
      RunAlarmClock(settings, [&c](HWND alarm) {
        EXPECT_EQ(c.line, Text(alarm, 60));
        Click(alarm, 1);
      });
      Click(settings, 2);
    });
  }
}

TEST_F(AlarmClock, TellsWhenTheSleepTimerStops) {
  Init();
  SetSimulatedClock(23, 10, 20);
  struct Case {
    const char* what;
    WPARAM command;   // from the player's menu; 0 none
    DWORD passMs;     // then this much time passes
    int setBack;      // then the clock is set back this many minutes
    const char* line;
  } const cases[] = {
      {"none chosen", 0, 0, 0, "Sleep timer: off"},
      {"30 minutes, 7.5 of them gone", 1027, 450000, 0, "Sleep timer: stops at 23:40 (in 23 min)"},
      {"the clock set back an hour", 0, 0, 60, "Sleep timer: stops at 22:40 (in 23 min)"},
      {"90 minutes from then", 1030, 0, 0, "Sleep timer: stops at 23:47 (in 1 h 30 min)"},
      {"off", 1032, 0, 0, "Sleep timer: off"},
  };
  int clock = (23 * 60 + 10) * 60 + 20;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.command) SendMessageA(main, WM_COMMAND, c.command, 0);
    Pump(c.passMs);
    clock += static_cast<int>(c.passMs / 1000) - c.setBack * 60;
    SetSimulatedClock(clock / 3600, clock / 60 % 60, clock % 60);
    RunSettings(plugin, [&c](HWND settings) {
      RunAlarmClock(settings, [&c](HWND alarm) {
        EXPECT_EQ(c.line, Text(alarm, 67));
        Click(alarm, 1);
      });
      Click(settings, 2);
    });
  }
}
