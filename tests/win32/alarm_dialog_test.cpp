// The alarm clock dialog, opened from the settings dialog: what it shows, what every way
// of closing it keeps, and the line that tells when the alarm rings next.
#include "dialog_driver.h"
#include "stand_in_power.h"

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

// ---- the list of alarms ----
enum : DWORD { Sun = 1, Mon = 2, Tue = 4, Wed = 8, Thu = 16, Fri = 32, Sat = 64, Weekdays = 0x3E };
enum : DWORD { On = 1, Once = 2 };
enum { List = 68, Add = 69, Edit = 70, Remove = 71 };

// Any alarm as the store packs alarms 2 to 8: minute, hour, days, on and once, and the bit
// that marks a present alarm.
DWORD Word(DWORD hour, DWORD minute, DWORD days, DWORD flags) {
  return minute | hour << 8 | days << 16 | flags << 24 | 1u << 26;
}

const char* const WordNames[7] = {"Alarm2", "Alarm3", "Alarm4", "Alarm5", "Alarm6", "Alarm7", "Alarm8"};

// Alarm 1 in the settings dialog's values, given as a word; then the words of alarms 2 to 8.
void StoreAlarms(DWORD first, const DWORD (&words)[7]) {
  WriteDword("StartH", first >> 8 & 0xFF);
  WriteDword("StartM", first & 0xFF);
  WriteDword("StartDays", first >> 16 & 0x7F);
  WriteDword("StartOn", first >> 24 & 1);
  WriteDword("StartOff", first >> 25 & 1);
  for (int i = 0; i < 7; ++i) WriteDword(WordNames[i], words[i]);
}

DWORD StoredFirst() {
  return Word(Stored("StartH"), Stored("StartM"), Stored("StartDays"), Stored("StartOn") | Stored("StartOff") << 1);
}

void ExpectWords(const DWORD (&words)[7]) {
  for (int i = 0; i < 7; ++i) EXPECT_EQ(words[i], Stored(WordNames[i])) << WordNames[i];
}

// The alarm's boxes in a dialog, from its hour list, Sunday box and on box, read as a word; and
// set as a user does: a time picked, each box that differs clicked.
DWORD Shown(HWND d, int hour, int sunday, int on) {
  DWORD days = 0;
  for (int day = 0; day < 7; ++day) days |= DWORD(Checked(d, sunday + day)) << day;
  return Word(Selection(d, hour), Selection(d, hour + 1), days, Checked(d, on) | Checked(d, on + 1) << 1);
}

void Enter(HWND d, int hour, int sunday, int on, DWORD word) {
  for (int list = 0; list < 2; ++list) {  // picked, and the dialog told so
    SendDlgItemMessageA(d, hour + list, CB_SETCURSEL, list ? word & 0xFF : word >> 8 & 0xFF, 0);
    SendMessageA(d, WM_COMMAND, MAKEWPARAM(hour + list, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(d, hour + list)));
  }
  for (int day = 0; day < 7; ++day)
    if (Checked(d, sunday + day) != ((word >> (16 + day) & 1) != 0)) Click(d, sunday + day);
  for (int flag = 0; flag < 2; ++flag)
    if (Checked(d, on + flag) != ((word >> (24 + flag) & 1) != 0)) Click(d, on + flag);
}

DWORD ShownInAlarm(HWND alarm) { return Shown(alarm, 80, 82, 89); }
DWORD ShownInSettings(HWND settings) { return Shown(settings, 25, 45, 4); }

enum Closing { ByOkButton, ByCancelButton, ByEscapeKey, ByCloseBox };

// In the alarm dialog: enters the word (0 leaves it as it opened), then closes it.
void EnterAndClose(HWND alarm, DWORD word, Closing way) {
  if (word) Enter(alarm, 80, 82, 89, word);
  if (way == ByOkButton || way == ByCancelButton) Click(alarm, way == ByOkButton ? 1 : 2);
  else CloseBy(alarm, 1, way == ByEscapeKey ? ByEscape : ByTitleBarClose);
}

// The wake timer's latest arming as local time by the zone's rules, "" when it was cancelled.
std::string WakeArmed() {
  if (Seen.wake.empty() || Seen.wake.back() != "SetWaitableTimer resume 1") return "";
  ULARGE_INTEGER due;
  due.QuadPart = Seen.dueTimes.back();
  FILETIME utc = {due.LowPart, due.HighPart};
  SYSTEMTIME u, local;
  FileTimeToSystemTime(&utc, &u);
  SystemTimeToTzSpecificLocalTime(NULL, &u, &local);
  char text[32];
  wsprintfA(text, "%02u.%02u. %02u:%02u", local.wDay, local.wMonth, local.wHour, local.wMinute);
  return text;
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
        EXPECT_EQ(GetDlgItem(alarm, List), GetFocus());
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
    DWORD second;  // alarm 2's word
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
      // The earliest of them all.
      {"a second alarm before the first", 19, 0, 11, 12, 2026, 1, 7, 0, 0x3E,
       "Next alarm: Saturday 12 December, 09:00 (in 14 h 0 min)", Word(9, 0, Sat | Sun, On)},
      {"the first off, the second on", 19, 0, 11, 12, 2026, 0, 7, 0, 0x3E,
       "Next alarm: Monday 14 December, 06:30 (in 2 d 11 h 30 min)", Word(6, 30, Mon, On)},
      {"the second off too", 19, 0, 11, 12, 2026, 0, 7, 0, 0x3E, "No alarm: it is off", Word(6, 30, Mon, 0)},
  };
  Init();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetSimulatedClock(c.hour, c.minute, 0, c.day, c.month, c.year);
    WriteDword("StartOn", c.on);
    WriteDword("StartH", c.startH);
    WriteDword("StartM", c.startM);
    WriteDword("StartDays", c.days);
    WriteDword("Alarm2", c.second);
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

// A row an alarm, alarm 1 first, then by slot; Add greyed once all eight exist; nothing
// selected yet, so no Edit or Remove.
TEST_F(AlarmClock, ListsEveryAlarmInOrderOfSlots) {
  struct Case {
    const char* what;
    DWORD first, words[7];
    std::vector<std::string> rows;
    bool add;
  } const cases[] = {
      {"alarm 1 alone, as it comes", Word(0, 0, 127, 0), {}, {"00:00  every day  (off)"}, true},
      // Read backwards, Tuesday, Thursday and Saturday would be Sunday, Tuesday and Thursday.
      {"an alarm off, a once alarm, every day, no day",
       Word(7, 0, Weekdays, On),
       {Word(6, 15, Tue | Thu | Sat, On | Once), 0, Word(9, 30, Sat | Sun, 0), Word(5, 0, 127, On), 0,
        Word(23, 59, 0, On), Word(12, 5, Mon, Once)},
       {"07:00  Mon Tue Wed Thu Fri", "06:15  Tue Thu Sat  once", "09:30  Sat Sun  (off)",
        "05:00  every day", "23:59  no day", "12:05  Mon  once  (off)"},
       true},
      {"alarm 1 without a time; words no dialog writes are no alarms", Word(24, 0, Sun | Mon | Wed, On),
       {Word(24, 0, Mon, On), Word(7, 60, Mon, On), 0, 0, Word(0, 0, Fri, On), 0, 0},
       {"--:--  Mon Wed Sun", "00:00  Fri"}, true},
      {"all eight", Word(7, 0, Weekdays, On),
       {Word(1, 0, Mon, On), Word(2, 0, Tue, On), Word(3, 0, Wed, On), Word(4, 0, Thu, On),
        Word(5, 0, Fri, On), Word(6, 0, Sat, On), Word(8, 0, Sun, 0)},
       {"07:00  Mon Tue Wed Thu Fri", "01:00  Mon", "02:00  Tue", "03:00  Wed", "04:00  Thu",
        "05:00  Fri", "06:00  Sat", "08:00  Sun  (off)"},
       false},
  };
  Init();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StoreAlarms(c.first, c.words);
    RunSettings(plugin, [&c](HWND settings) {
      RunAlarmClock(settings, [&c](HWND alarm) {
        EXPECT_EQ(c.rows, Rows(alarm, List));
        EXPECT_EQ(-1, SelectedRow(alarm, List));
        EXPECT_EQ(c.add, Enabled(alarm, Add));
        EXPECT_FALSE(Enabled(alarm, Edit));
        EXPECT_FALSE(Enabled(alarm, Remove));
        Click(alarm, 1);
      });
      Click(settings, 2);
    });
  }
}

// The alarm dialog opens on 07:00, Monday to Friday, on, not once, modal over the list. OK puts
// what it shows into the first free slot, selected, and the wake follows; any other way of
// closing adds nothing. The clock: Tuesday 8 December, 05:00.
TEST_F(AlarmClock, AddPutsTheNewAlarmIntoTheFirstFreeSlot) {
  const DWORD off = 0;  // alarm 1 off, so the line and the wake tell the new alarm
  struct Case {
    const char* what;
    DWORD words[7];
    DWORD entered;  // 0: as it opens
    Closing way;
    int slot;       // where it lands, 2 to 8; 0 nowhere
    int row;
    const char* line;
    const char* wake;
    const char* rings;  // the alarm dialog's own line, as entered
  } const cases[] = {
      {"an empty list, OK as it opens", {}, 0, ByOkButton, 2, 1,
       "Next alarm: Tuesday 8 December, 07:00 (in 2 h 0 min)", "08.12. 06:58", "Rings Tue 07:00, in 2 h 0 min"},
      {"slots 2, 3 and 5 in use: 06:45 on Tuesday and Sunday, once",
       {Word(9, 0, Sat | Sun, 0), Word(10, 0, Mon, 0), 0, Word(11, 0, Fri, 0)},
       Word(6, 45, Tue | Sun, On | Once), ByOkButton, 4, 3,
       "Next alarm: Tuesday 8 December, 06:45 (in 1 h 45 min)", "08.12. 06:43", "Rings Tue 06:45, in 1 h 45 min"},
      {"a word no dialog writes is a free slot", {Word(24, 0, Mon, On), Word(10, 0, Mon, 0)},
       Word(5, 30, Wed, On), ByOkButton, 2, 1,
       "Next alarm: Wednesday 9 December, 05:30 (in 1 d 0 h 30 min)", "09.12. 05:28", "Rings Wed 05:30, in 1 d 0 h 30 min"},
      {"Cancel", {}, Word(6, 0, Tue, On), ByCancelButton, 0, -1, "No alarm: it is off", "", "Rings Tue 06:00, in 1 h 0 min"},
      {"Escape", {}, Word(6, 0, 0, On), ByEscapeKey, 0, -1, "No alarm: it is off", "", "Never rings: no day ticked"},
      {"the close box", {}, Word(6, 0, Tue, 0), ByCloseBox, 0, -1, "No alarm: it is off", "", "Off"},
  };
  SetSimulatedClock(5, 0, 0);
  Init();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StoreAlarms(off, c.words);
    DWORD expected[7];
    for (int i = 0; i < 7; ++i) expected[i] = c.words[i];
    if (c.slot) expected[c.slot - 2] = c.entered ? c.entered : Word(7, 0, Weekdays, On);
    RunSettings(plugin, [&](HWND settings) {
      RunAlarmClock(settings, [&](HWND clock) {
        size_t rows = Rows(clock, List).size();
        RunAlarm([clock] { Click(clock, Add); }, [&](HWND alarm) {
          EXPECT_EQ(clock, GetWindow(alarm, GW_OWNER));
          EXPECT_FALSE(IsWindowEnabled(clock));
          EXPECT_EQ(Word(7, 0, Weekdays, On), ShownInAlarm(alarm));
          if (c.entered) Enter(alarm, 80, 82, 89, c.entered);
          EXPECT_EQ(c.rings, Text(alarm, 97));
          EnterAndClose(alarm, 0, c.way);
        });
        EXPECT_EQ(rows + (c.slot ? 1 : 0), Rows(clock, List).size());
        EXPECT_EQ(c.row, SelectedRow(clock, List));
        EXPECT_EQ(c.line, Text(clock, 60));
        Click(clock, 1);
      });
      ExpectWords(expected);
      EXPECT_EQ(c.wake, WakeArmed());  // on closing the Alarm clock dialog
      Click(settings, 2);
    });
  }
}

// Edit, or a double-click, opens the alarm dialog on the row's alarm; only OK keeps a change.
// The clock: Tuesday 8 December, 05:00; alarm 1 off.
TEST_F(AlarmClock, EditChangesTheChosenAlarmOnlyByOk) {
  // Rows: alarm 1, alarm 3, alarm 5. Alarm 3's days read backwards are Thursday, Friday, Saturday.
  const DWORD third = Word(6, 30, Sun | Mon | Wed, On), fifth = Word(8, 0, Sat | Sun, On | Once);
  const char* const wednesday = "Next alarm: Wednesday 9 December, 06:30 (in 1 d 1 h 30 min)";
  struct Case {
    const char* what;
    int row;
    bool doubleClick;
    DWORD entered;  // 0: as it opens
    Closing way;
    DWORD third, fifth;  // stored afterwards
    const char* line;
    WPARAM menu;  // chosen in the player's menu while the alarm dialog is open; 0 none
  } const cases[] = {
      {"alarm 3 by Edit: 05:10, Wednesday off, Tuesday on", 1, false, Word(5, 10, Sun | Mon | Tue, On),
       ByOkButton, Word(5, 10, Sun | Mon | Tue, On), fifth,
       "Next alarm: Tuesday 8 December, 05:10 (in 10 min)"},
      {"alarm 5 by a double-click: off", 2, true, Word(8, 0, Sat | Sun, Once), ByOkButton, third,
       Word(8, 0, Sat | Sun, Once), wednesday},
      {"alarm 3: once, nothing else", 1, false, third | Once << 24, ByOkButton, third | Once << 24, fifth, wednesday},
      {"alarm 5: Friday too, nothing else", 2, false, fifth | Fri << 16, ByOkButton, third, fifth | Fri << 16,
       wednesday},
      {"alarm 3, OK unchanged", 1, false, 0, ByOkButton, third, fifth, wednesday},
      {"alarm 3 changed, then Cancel", 1, false, Word(5, 10, Tue, On), ByCancelButton, third, fifth, wednesday},
      {"alarm 5 changed, then Escape", 2, true, Word(5, 10, Tue, On), ByEscapeKey, third, fifth, wednesday},
      {"alarm 5 changed, then the close box", 2, false, Word(5, 10, Tue, On), ByCloseBox, third, fifth, wednesday},
      // The list follows the menu at once, and the switch stays beside the user's change.
      {"alarm 3 switched off in the player's menu meanwhile, its minute changed here", 1, false,
       Word(6, 45, Sun | Mon | Wed, On), ByOkButton, Word(6, 45, Sun | Mon | Wed, 0), fifth,
       "Next alarm: Saturday 12 December, 08:00 (in 4 d 3 h 0 min)", 1042},
  };
  SetSimulatedClock(5, 0, 0);
  Init();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StoreAlarms(Word(7, 0, Weekdays, 0), {0, third, 0, fifth});
    HWND player = main;
    RunSettings(plugin, [&c, third, fifth, player](HWND settings) {
      RunAlarmClock(settings, [&c, third, fifth, player](HWND clock) {
        ClickRow(clock, List, c.row);
        EXPECT_TRUE(Enabled(clock, Edit));
        RunAlarm([&c, clock] { c.doubleClick ? DoubleClickRow(clock, List, c.row) : Click(clock, Edit); },
                 [&c, third, fifth, player, clock](HWND alarm) {
                   EXPECT_EQ(c.row == 1 ? third : fifth, ShownInAlarm(alarm));
                   if (c.menu) {
                     SendMessageA(player, WM_COMMAND, c.menu, 0);
                     EXPECT_EQ("06:30  Mon Wed Sun  (off)", Rows(clock, List)[c.row]);
                   }
                   EnterAndClose(alarm, c.entered, c.way);
                 });
        EXPECT_EQ(3u, Rows(clock, List).size());
        EXPECT_EQ(c.row, SelectedRow(clock, List));
        EXPECT_EQ(c.line, Text(clock, 60));
        Click(clock, 1);
      });
      Click(settings, 2);
    });
    ExpectWords({0, c.third, 0, c.fifth});
    EXPECT_EQ(Word(7, 0, Weekdays, 0), StoredFirst());
  }
}

// Remove empties the selected slot and moves no other; greyed for alarm 1 and with nothing
// selected. The clock: Tuesday 8 December, 05:00.
TEST_F(AlarmClock, RemoveEmptiesTheSelectedSlotButNeverAlarmOne) {
  const DWORD first = Word(7, 0, Weekdays, On);
  const DWORD some[7] = {0, Word(5, 30, Sun | Mon | Tue, On), Word(9, 0, Sat | Sun, 0), 0, 0, 0, Word(23, 59, 0, On)};
  const DWORD eight[7] = {Word(1, 0, Mon, On), Word(2, 0, Tue, On), Word(3, 0, Wed, On), Word(4, 0, Thu, On),
                          Word(5, 0, Fri, On), Word(6, 0, Sat, On), Word(8, 0, Sun, On)};
  struct Case {
    const char* what;
    const DWORD* words;
    int row;  // clicked; -1 none
    bool editable, removable, addBefore;
    DWORD after[7];  // stored once Remove is pressed, where it can be
    const char* line;
  } const cases[] = {
      {"nothing selected", some, -1, false, false, true, {}, nullptr},
      {"alarm 1", some, 0, true, false, true, {}, nullptr},
      {"alarm 3, the next to ring", some, 1, true, true, true, {0, 0, some[2], 0, 0, 0, some[6]},
       "Next alarm: Tuesday 8 December, 07:00 (in 2 h 0 min)"},
      {"alarm 8, the last row", some, 3, true, true, true, {0, some[1], some[2]},
       "Next alarm: Tuesday 8 December, 05:30 (in 30 min)"},
      {"one of eight: Add comes back", eight, 5, true, true, false,
       {eight[0], eight[1], eight[2], eight[3], 0, eight[5], eight[6]},
       "Next alarm: Tuesday 8 December, 07:00 (in 2 h 0 min)"},
  };
  SetSimulatedClock(5, 0, 0);
  Init();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DWORD stored[7];
    for (int i = 0; i < 7; ++i) stored[i] = c.words[i];
    StoreAlarms(first, stored);
    RunSettings(plugin, [&c](HWND settings) {
      RunAlarmClock(settings, [&c](HWND clock) {
        size_t rows = Rows(clock, List).size();
        if (c.row >= 0) ClickRow(clock, List, c.row);
        EXPECT_EQ(c.row, SelectedRow(clock, List));
        EXPECT_EQ(c.editable, Enabled(clock, Edit));
        EXPECT_EQ(c.removable, Enabled(clock, Remove));
        EXPECT_EQ(c.addBefore, Enabled(clock, Add));
        if (c.removable) {
          Click(clock, Remove);
          EXPECT_EQ(rows - 1, Rows(clock, List).size());
          EXPECT_FALSE(Enabled(clock, Remove));  // nothing selected now
          EXPECT_TRUE(Enabled(clock, Add));
          EXPECT_EQ(c.line, Text(clock, 60));
        }
        Click(clock, 1);
      });
      Click(settings, 2);
    });
    ExpectWords(c.removable ? c.after : stored);
    EXPECT_EQ(first, StoredFirst());
  }
}

// Alarm 1 is the settings dialog's own: the list takes it as the boxes stand, unsaved, and the
// boxes show what the list made of it. Read backwards, Monday, Tuesday and Saturday would be
// Monday, Friday and Saturday.
TEST_F(AlarmClock, RowOneIsTheSettingsDialogsAlarmBothWays) {
  const DWORD stored = Word(7, 0, Weekdays, On);
  struct Case {
    const char* what;
    DWORD inSettings;  // entered in the settings dialog first; 0 nothing
    const char* row;
    DWORD inList;  // entered in the alarm dialog, by OK; 0 not opened
    Closing way;
    DWORD after;
  } const cases[] = {
      {"edited in the list", 0, "07:00  Mon Tue Wed Thu Fri", Word(6, 30, Mon | Tue | Sat, On | Once),
       ByOkButton, Word(6, 30, Mon | Tue | Sat, On | Once)},
      {"changed in the settings dialog, not in the list", Word(21, 5, Sun, 0), "21:05  Sun  (off)", 0,
       ByOkButton, Word(21, 5, Sun, 0)},
      {"changed in both", Word(21, 5, Sun, 0), "21:05  Sun  (off)", Word(21, 5, Sun | Fri, On), ByOkButton,
       Word(21, 5, Sun | Fri, On)},
      {"edited in the list, then Cancel", 0, "07:00  Mon Tue Wed Thu Fri", Word(6, 30, Sat, On),
       ByCancelButton, stored},
  };
  Init();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StoreAlarms(stored, {});
    RunSettings(plugin, [&c, stored](HWND settings) {
      if (c.inSettings) Enter(settings, 25, 45, 4, c.inSettings);
      DWORD before = ShownInSettings(settings);
      RunAlarmClock(settings, [&c, before](HWND clock) {
        EXPECT_EQ(c.row, Rows(clock, List)[0]);
        if (c.inList) {
          ClickRow(clock, List, 0);
          RunAlarm([clock] { Click(clock, Edit); }, [&c, before](HWND alarm) {
            EXPECT_EQ(before, ShownInAlarm(alarm));
            EnterAndClose(alarm, c.inList, c.way);
          });
        }
        Click(clock, 1);
      });
      EXPECT_EQ(c.after, ShownInSettings(settings));
      Click(settings, 2);
    });
    EXPECT_EQ(c.after, StoredFirst());
  }
}

// A holiday skipped, then an alarm switched, added, edited or removed: the skip is cancelled,
// since an alarm that unexpectedly rings is better than one that unexpectedly does not.
// Looking without changing keeps it.
TEST_F(AlarmClock, AChangeToAnyAlarmCancelsAPendingSkip) {
  const DWORD skip = 30000000;  // a minute years away: not spent meanwhile
  auto inClock = [](DialogScript script) {
    return [script](HWND settings) { RunAlarmClock(settings, [script](HWND clock) { script(clock); Click(clock, 1); }); };
  };
  auto editRow = [](int row, DWORD entered, Closing way) {
    return [=](HWND clock) {
      ClickRow(clock, List, row);
      RunAlarm([clock] { Click(clock, Edit); }, [=](HWND alarm) { EnterAndClose(alarm, entered, way); });
    };
  };
  struct Case {
    const char* what;
    DialogScript act;  // on the settings dialog
    bool kept;
  } const cases[] = {
      {"an alarm added", inClock([](HWND clock) {
         RunAlarm([clock] { Click(clock, Add); }, [](HWND alarm) { Click(alarm, 1); });
       }), false},
      {"an alarm added, then Cancel", inClock([](HWND clock) {
         RunAlarm([clock] { Click(clock, Add); }, [](HWND alarm) { Click(alarm, 2); });
       }), true},
      {"alarm 3 changed", inClock(editRow(1, Word(6, 31, Mon, On), ByOkButton)), false},
      {"alarm 3 opened, OK unchanged", inClock(editRow(1, 0, ByOkButton)), true},
      {"alarm 3 changed, then Escape", inClock(editRow(1, Word(6, 31, Mon, On), ByEscapeKey)), true},
      {"alarm 1 changed in the list", inClock(editRow(0, Word(7, 0, Weekdays, 0), ByOkButton)), false},
      {"alarm 3 removed", inClock([](HWND clock) {
         ClickRow(clock, List, 1);
         Click(clock, Remove);
       }), false},
      {"the list looked at", inClock([](HWND) {}), true},
      {"alarm 1's hour in the settings dialog", [](HWND s) { SendDlgItemMessageA(s, 25, CB_SETCURSEL, 8, 0); }, false},
      {"alarm 1's Saturday in the settings dialog", [](HWND s) { Click(s, 51); }, false},
      {"alarm 1 switched off and on again", [](HWND s) { Click(s, 4); Click(s, 4); }, true},
      {"only the stop time", [](HWND s) { SendDlgItemMessageA(s, 27, CB_SETCURSEL, 8, 0); }, true},
  };
  Init();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StoreAlarms(Word(7, 0, Weekdays, On), {0, Word(6, 30, Mon, On)});
    WriteDword("SkipAlarm", skip);
    RunSettings(plugin, [&c](HWND settings) {
      c.act(settings);
      Click(settings, 2);
    });
    EXPECT_EQ(c.kept ? skip : 0, Stored("SkipAlarm"));
  }
}

// Under the next alarm, what stands in the way of it, from Windows' power plan and
// capabilities (the stand-in's) and the settings dialog's boxes as they stand; the longest
// lines fit. Tuesday 8 December, 22:00; alarm 1 at 07:00 on weekdays.
TEST_F(AlarmClock, SaysWhatStandsInTheWayOfTheAlarm) {
  const std::string plan = " Windows allows no wake timers: the computer will not wake for the alarm (Power "
                           "Options, Sleep, Allow wake timers)";
  struct Case {
    const char* what;
    StandInPowerPlan plan;  // has one (Vista on), plugged in, on battery, hibernation
    int ticked;  // a box ticked in the settings dialog, unsaved: 0 none
    std::string line;
  } const cases[] = {
      {"none on battery", {true, 1, 0}, 0, "On battery," + plan},
      {"important ones only, plugged in", {true, 2, 1}, 0, "Plugged in," + plan},
      {"older Windows: no plan to ask", {false, 0, 0}, 0, ""},
      {"shutdown ticked", {true, 1, 0}, 15,
       "After the sleep timer's shut-down nothing can wake the computer for the 07:00 alarm; hibernate can"},
      {"hibernate ticked, no hibernation", {true, 1, 1, false}, 21,
       "\"Hibernate computer\" is ticked, but this computer has no hibernation: the sleep timer leaves it on "
       "(powercfg /hibernate on)"},
  };
  SetSimulatedClock(22, 0, 0);
  StoreAlarms(Word(7, 0, Weekdays, On), {});
  WriteDword("StopOn", 1);
  WriteDword("StopH", 23);
  Init();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PowerPlan = c.plan;
    Seen.power.clear();
    RunSettings(plugin, [&c](HWND settings) {
      if (c.ticked) Click(settings, c.ticked);
      RunAlarmClock(settings, [&c](HWND clock) {
        EXPECT_EQ(c.line, Text(clock, 77));
        EXPECT_EQ("", ClippedTexts(clock));
        Click(clock, 1);
      });
      if (c.ticked) Click(settings, c.ticked);
      Click(settings, 2);
    });
  }
  // By name, from the system folder, and released; the bench sees the scheme given back.
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  EXPECT_EQ(std::string(system) + "\\powrprof.dll", Seen.powrprofPath);
  EXPECT_EQ((std::vector<std::string>{"LoadLibraryA powrprof.dll", "GetProcAddress GetPwrCapabilities",
                                      "GetProcAddress PowerGetActiveScheme", "GetProcAddress PowerReadACValueIndex",
                                      "GetProcAddress PowerReadDCValueIndex", "FreeLibrary powrprof.dll"}),
            Seen.power);
}

namespace {
std::wstring WideRow(HWND dialog, int row) {
  WCHAR text[2048] = L"";
  SendDlgItemMessageW(dialog, List, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text));
  return text;
}
std::wstring WideText(HWND dialog, int id) {
  WCHAR text[2048] = L"";
  GetDlgItemTextW(dialog, id, text, 2048);
  return text;
}
}  // namespace

// The rows name each alarm's music after its days, in wide text; the alarm dialog shows it,
// File... and Folder... put what was picked into it (the file dialog's library loaded only
// then, from the system folder), only OK keeps it, and a removed alarm's music goes with it.
TEST_F(AlarmClock, EachAlarmsMusicIsShownByNamePickedAndKeptByOk) {
  WCHAR temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring folder = std::wstring(temp) + L"M\u00fcsik\u671d", song = L"C:\\M\u00fcsik\\\u671d\\a.mp3";
  CreateDirectoryW(folder.c_str(), NULL);
  StoreAlarms(Word(7, 0, Weekdays, On), {0, Word(6, 30, Sat, On)});
  WriteMusic(1, L"C:\\M\u00fcsik\\\u671d\\");
  WriteMusic(3, L"http://radio.example:8000/live");
  Init();
  RunSettings(plugin, [&](HWND settings) {
    RunAlarmClock(settings, [&](HWND clock) {
      EXPECT_EQ(L"07:00  Mon Tue Wed Thu Fri  \u671d", WideRow(clock, 0));
      EXPECT_EQ(L"06:30  Sat  radio.example", WideRow(clock, 1));
      ClickRow(clock, List, 1);
      RunAlarm([clock] { Click(clock, Edit); }, [&](HWND alarm) {
        EXPECT_EQ(L"http://radio.example:8000/live", WideText(alarm, 91));
        EXPECT_TRUE(Seen.pickers.empty()) << "comdlg32 loaded before File... was pressed";
        Seen.picked = song;
        Click(alarm, 92);
        EXPECT_EQ(song, WideText(alarm, 91));
        Click(alarm, 1);
      });
      EXPECT_EQ(L"06:30  Sat  a.mp3", WideRow(clock, 1));
      RunAlarm([clock] { Click(clock, Edit); }, [&](HWND alarm) {
        Seen.picked = folder;
        Click(alarm, 93);
        EXPECT_EQ(folder, WideText(alarm, 91));
        Click(alarm, 2);  // Cancel
      });
      EXPECT_EQ(L"06:30  Sat  a.mp3", WideRow(clock, 1));
      ClickRow(clock, List, 0);
      RunAlarm([clock] { Click(clock, Edit); }, [&](HWND alarm) {
        SetDlgItemTextW(alarm, 91, L"");
        Click(alarm, 1);
      });
      EXPECT_EQ(L"07:00  Mon Tue Wed Thu Fri", WideRow(clock, 0));
      Click(clock, 1);
    });
    Click(settings, 2);
  });
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  EXPECT_EQ((std::vector<std::string>{std::string("LoadLibraryA ") + system + "\\comdlg32.dll", "GetOpenFileNameW",
                                      "SHBrowseForFolderW"}),
            Seen.pickers);
  EXPECT_EQ(song, StoredMusic(3));
  EXPECT_EQ(L"-", StoredMusic(1));
  RemoveDirectoryW(folder.c_str());
}

// The label shows after the time in the row and the next-alarm line, wide; the alarm dialog
// shows the label and the volume (empty for the end volume, its arrows starting there), a
// volume out of range is told on the Rings line and OK then keeps the dialog open; only OK keeps.
TEST_F(AlarmClock, EachAlarmsLabelAndVolumeAreShownTypedAndKeptByOk) {
  StoreAlarms(Word(7, 0, Weekdays, On), {Word(6, 30, Sat, On)});
  WriteMusic(2, L"Swim \u671d", REG_SZ, ~0u, L"Label");
  WriteDword("Alarm2Volume", 150);  // counts as 100
  SetSimulatedClock(19, 0, 0, 11, 12, 2026);  // Friday
  Init();
  RunSettings(plugin, [&](HWND settings) {
    RunAlarmClock(settings, [&](HWND clock) {
      EXPECT_EQ(L"06:30  Swim \u671d  Sat", WideRow(clock, 1));
      EXPECT_EQ(L"Next alarm: Saturday 12 December, 06:30, Swim \u671d (in 11 h 30 min)", WideText(clock, 60));
      ClickRow(clock, List, 1);
      RunAlarm([clock] { Click(clock, Edit); }, [&](HWND alarm) {
        EXPECT_EQ(L"Swim \u671d", WideText(alarm, 95));
        EXPECT_EQ("100", Text(alarm, 96));
        SetDlgItemTextA(alarm, 96, "101");
        EXPECT_EQ("Volume (%): 1 to 100, or empty for the end volume", Text(alarm, 97));
        Click(alarm, 1);
        EXPECT_TRUE(IsWindow(alarm) && GetDlgItem(alarm, 96) == GetFocus()) << "OK left it open, in the volume";
        SetDlgItemTextA(alarm, 96, "");
        SetDlgItemTextW(alarm, 95, L"Work");
        Click(alarm, 1);
      });
      EXPECT_EQ(L"06:30  Work  Sat", WideRow(clock, 1));
      ClickRow(clock, List, 0);
      RunAlarm([clock] { Click(clock, Edit); }, [&](HWND alarm) {
        EXPECT_EQ("", Text(alarm, 96));
        SendDlgItemMessageA(alarm, 96, WM_KEYDOWN, VK_DOWN, 0);  // from the end volume, 100%
        EXPECT_EQ("99", Text(alarm, 96));
        SetDlgItemTextW(alarm, 95, L"Gym");
        Click(alarm, 2);
      });
      EXPECT_EQ(L"07:00  Mon Tue Wed Thu Fri", WideRow(clock, 0));
      Click(clock, 1);
    });
    Click(settings, 2);
  });
  EXPECT_EQ(L"Work", StoredMusic(2, L"Label"));
  EXPECT_EQ(L"-", StoredMusic(1, L"Label"));
  EXPECT_EQ(0u, Stored("Alarm1Volume") | Stored("Alarm2Volume"));
}
