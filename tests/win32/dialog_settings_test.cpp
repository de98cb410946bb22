// The settings dialog: what it shows on opening, its exclusive boxes and dependent
// controls, and what every way of closing it saves.
#include "dialog_driver.h"

namespace {

void CloseBy(HWND dialog, Way way) { CloseBy(dialog, 2, way); }

void Close(HWND dialog) { CloseBy(dialog, ByOk); }

std::string ExePath() {
  char path[MAX_PATH];
  GetModuleFileNameA(NULL, path, sizeof path);
  return path;
}

void StoreRunValue(const std::string& text) {
  WriteValue(RunKeyPath, "Winamp", REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

bool RunValue(std::string* text) { return ReadText(RunKeyPath, "Winamp", text); }

}  // namespace

using SettingsDialog = PluginTest;

TEST_F(SettingsDialog, OpensWithNothingStoredShowingTheDefaults) {
  Init();
  RunSettings(plugin, [](HWND d) {
    for (int box : {25, 26, 27, 28}) EXPECT_EQ(0, Selection(d, box)) << box;
    EXPECT_EQ(24, SendDlgItemMessageA(d, 25, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(60, SendDlgItemMessageA(d, 26, CB_GETCOUNT, 0, 0));
    char item[16];
    SendDlgItemMessageA(d, 28, CB_GETLBTEXT, 59, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ("59", item);
    SendDlgItemMessageA(d, 27, CB_GETLBTEXT, 7, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ("7", item);  // no leading zero

    EXPECT_EQ("1", Text(d, 42));
    EXPECT_EQ("1", Text(d, 43));
    EXPECT_EQ("5", Text(d, 44));
    EXPECT_EQ("Dawnbell...", Text(d, 36));
    for (int box = 3; box <= 24; ++box) EXPECT_EQ(box == 17 || box == 18, Checked(d, box)) << box;
    EXPECT_FALSE(Checked(d, 41));

    EXPECT_EQ(0, SliderPos(d, 29));
    EXPECT_EQ(255, SliderPos(d, 30));
    EXPECT_EQ(1000, SliderPos(d, 31));
    EXPECT_EQ("0%", Text(d, 32));
    EXPECT_EQ("100%", Text(d, 33));
    EXPECT_EQ("1000", Text(d, 34));

    for (int id : {200, 201, 42, 43, 20, 24}) EXPECT_FALSE(Enabled(d, id)) << id;
    for (int id : {35, 36, 37, 44}) EXPECT_TRUE(Enabled(d, id)) << id;
    Close(d);
  });
}

TEST_F(SettingsDialog, ShowsWhatIsStoredAndWritesItBackUnchanged) {
  // Every other flag on, so a box bound to the wrong setting shows.
  const char* const flags[21] = {"StartOn", "StartOff", "VolUp", "Random", "One", "Activate",
                                 "StopOn", "StopOff", "VolDown", "Close", "Suspend", "ShutDown",
                                 "PlayAtStart", "HotKey", "AddMenu", "FromRange", "SavePos",
                                 "Hibernate", "WaitEnd", "UsePause", "UsePlay"};
  for (int i = 0; i < 21; ++i) WriteDword(flags[i], i % 2);
  WriteDword("StartH", 23);
  WriteDword("StartM", 59);
  WriteDword("StopH", 24);  // outside the list: the box stays empty
  WriteDword("StopM", static_cast<DWORD>(-1));
  WriteDword("First", 9);
  WriteDword("Last", 41);
  WriteDword("MenuPos", 0);
  WriteValue(PluginKeyPath, "MenuName", REG_SZ, "Alarm", 6);
  Init();
  RunSettings(plugin, [](HWND d) {
    for (int i = 0; i < 21; ++i) EXPECT_EQ(i % 2 == 1, Checked(d, 4 + i)) << 4 + i;
    EXPECT_EQ(23, Selection(d, 25));
    EXPECT_EQ(59, Selection(d, 26));
    EXPECT_EQ(-1, Selection(d, 27));
    EXPECT_EQ(-1, Selection(d, 28));
    EXPECT_EQ("10", Text(d, 42));
    EXPECT_EQ("42", Text(d, 43));
    EXPECT_EQ("1", Text(d, 44));
    EXPECT_EQ("Alarm", Text(d, 36));
    Close(d);
  });
  for (int i = 0; i < 21; ++i) EXPECT_EQ(DWORD(i % 2), Stored(flags[i])) << flags[i];
  EXPECT_EQ(23u, Stored("StartH"));
  EXPECT_EQ(59u, Stored("StartM"));
  EXPECT_EQ(DWORD(-1), Stored("StopH"));  // an empty box never matches the clock
  EXPECT_EQ(DWORD(-1), Stored("StopM"));
  EXPECT_EQ(9u, Stored("First"));
  EXPECT_EQ(41u, Stored("Last"));
  EXPECT_EQ(0u, Stored("MenuPos"));
  std::string text;
  EXPECT_TRUE(ReadText(PluginKeyPath, "MenuName", &text));
  EXPECT_EQ("Alarm", text);
}

TEST_F(SettingsDialog, ExclusiveBoxesClearEachOtherAndClearingChecksNothing) {
  Init();
  RunSettings(plugin, [](HWND d) {
    Click(d, 7);
    Click(d, 19);
    EXPECT_TRUE(Checked(d, 19));
    EXPECT_FALSE(Checked(d, 7));
    Click(d, 7);
    EXPECT_TRUE(Checked(d, 7));
    EXPECT_FALSE(Checked(d, 19));
    Click(d, 7);
    EXPECT_FALSE(Checked(d, 7));
    EXPECT_FALSE(Checked(d, 19));

    Click(d, 14);
    Click(d, 15);
    EXPECT_TRUE(Checked(d, 15));
    EXPECT_FALSE(Checked(d, 14));
    Click(d, 21);
    EXPECT_TRUE(Checked(d, 21));
    EXPECT_FALSE(Checked(d, 15));
    Click(d, 14);
    EXPECT_TRUE(Checked(d, 14));
    EXPECT_FALSE(Checked(d, 21));
    Click(d, 14);
    for (int box : {14, 15, 21}) EXPECT_FALSE(Checked(d, box)) << box;

    Click(d, 22);
    Click(d, 23);
    EXPECT_TRUE(Checked(d, 23));
    EXPECT_FALSE(Checked(d, 22));
    Click(d, 22);
    EXPECT_TRUE(Checked(d, 22));
    EXPECT_FALSE(Checked(d, 23));
    Click(d, 22);
    EXPECT_FALSE(Checked(d, 22));
    EXPECT_FALSE(Checked(d, 23));

    // Boxes outside the groups stay as they were throughout.
    for (int box : {4, 5, 6, 8, 9, 10, 11, 12, 13, 16, 20, 24, 3}) EXPECT_FALSE(Checked(d, box)) << box;
    Close(d);
  });
  EXPECT_EQ(0u, Stored("Random"));
  EXPECT_EQ(0u, Stored("FromRange"));
}

TEST_F(SettingsDialog, BothRandomBoxesStoredOnAreSortedOutByTheNextClickThatChecksTheRange) {
  WriteDword("Random", 1);
  WriteDword("FromRange", 1);
  Init();
  RunSettings(plugin, [](HWND d) {
    EXPECT_TRUE(Checked(d, 7));
    EXPECT_TRUE(Checked(d, 19));
    Click(d, 16);  // the start-up box also runs the range rule
    EXPECT_FALSE(Checked(d, 7));
    EXPECT_TRUE(Checked(d, 19));
    Close(d);
  });
  EXPECT_EQ(0u, Stored("Random"));
  EXPECT_EQ(1u, Stored("FromRange"));
  EXPECT_EQ(1u, Stored("PlayAtStart"));
}

TEST_F(SettingsDialog, DependentControlsFollowTheirBox) {
  Init();
  RunSettings(plugin, [](HWND d) {
    Click(d, 19);
    for (int id : {200, 201, 42, 43}) EXPECT_TRUE(Enabled(d, id)) << id;
    Click(d, 19);
    for (int id : {200, 201, 42, 43}) EXPECT_FALSE(Enabled(d, id)) << id;

    Click(d, 16);
    for (int id : {20, 24}) EXPECT_TRUE(Enabled(d, id)) << id;
    Click(d, 16);
    for (int id : {20, 24}) EXPECT_FALSE(Enabled(d, id)) << id;

    Click(d, 18);
    for (int id : {35, 36, 37, 44}) EXPECT_FALSE(Enabled(d, id)) << id;
    Click(d, 18);
    for (int id : {35, 36, 37, 44}) EXPECT_TRUE(Enabled(d, id)) << id;

    // Checking "Random track" clears the range box, and that disables the range.
    Click(d, 19);
    Click(d, 7);
    for (int id : {200, 201, 42, 43}) EXPECT_FALSE(Enabled(d, id)) << id;
    Close(d);
  });
}

TEST_F(SettingsDialog, NumberFieldsStoreOneBelowWhatTheyShow) {
  struct Case {
    const char* typed;
    DWORD stored;
    const char* shownNext;
  } const cases[] = {{"0", 0, "1"}, {"1", 0, "1"}, {"7", 6, "7"}, {"-3", DWORD(-4), "-3"},
                     {"", 0, "1"}, {"12abc", 11, "12"}};
  Init();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    RunSettings(plugin, [&c](HWND d) {
      for (int id : {42, 43, 44}) SetDlgItemTextA(d, id, c.typed);
      SetDlgItemTextA(d, 36, "Wake up");
      SendDlgItemMessageA(d, 25, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
      SendDlgItemMessageA(d, 28, CB_SETCURSEL, 45, 0);
      Close(d);
    });
    EXPECT_EQ(c.stored, Stored("First"));
    EXPECT_EQ(c.stored, Stored("Last"));
    EXPECT_EQ(c.stored, Stored("MenuPos"));
    EXPECT_EQ(DWORD(-1), Stored("StartH"));
    EXPECT_EQ(45u, Stored("StopM"));
    std::string text;
    EXPECT_TRUE(ReadText(PluginKeyPath, "MenuName", &text));
    EXPECT_EQ("Wake up", text);
    RunSettings(plugin, [&c](HWND d) {
      for (int id : {42, 43, 44}) EXPECT_EQ(c.shownNext, Text(d, id)) << id;
      Close(d);
    });
  }
}

TEST_F(SettingsDialog, EveryWayOfClosingSaves) {
  Init();
  for (Way way : {ByOk, ByEscape, ByTitleBarClose}) {
    SCOPED_TRACE(way);
    // Different values each time, so each closing has to save its own.
    RunSettings(plugin, [way](HWND d) {
      Click(d, 10);
      Click(d, 3);
      SendDlgItemMessageA(d, 27, CB_SETCURSEL, 6 + way, 0);
      SetDlgItemTextA(d, 43, std::to_string(12 + way).c_str());
      Slide(d, 31, 250 + way);
      CloseBy(d, way);
    });
    EXPECT_EQ(way == ByEscape ? 0u : 1u, Stored("StopOn"));
    EXPECT_EQ(6u + way, Stored("StopH"));
    EXPECT_EQ(11u + way, Stored("Last"));
    EXPECT_EQ(250u + way, Stored("TimeOut"));
    EXPECT_EQ(StoredValueCount, CountValues(PluginKeyPath));
    // "Stop after end of last track" is not stored, but the next opening shows it.
    RunSettings(plugin, [](HWND d) {
      EXPECT_TRUE(Checked(d, 3));
      Click(d, 3);
      Close(d);
    });
  }
}

TEST_F(SettingsDialog, StopAfterLastLastsWhileThePlayerRunsAndNotBeyond) {
  Init();
  RunSettings(plugin, [](HWND d) {
    Click(d, 3);
    Close(d);
  });
  RunSettings(plugin, [](HWND d) {
    EXPECT_TRUE(Checked(d, 3));
    Close(d);
  });
  // The player restarts: a fresh module.
  ClosePlayer();
  Quit();
  ClosePlugin(&plugin);
  DestroyWindow(main);
  main = CreatePlayerWindow(GetModuleHandleA(NULL), true);
  Load();
  Init();
  RunSettings(plugin, [](HWND d) {
    EXPECT_FALSE(Checked(d, 3));
    Close(d);
  });
}

// The dialog leaves the player's menu usable, and the clock ticks on in its loop: what the
// menu or the plug-in itself changes shows at once, and closing keeps it beside the user's own
// changes. Alarm 1 is at 07:00 every day, the clock a second before.
TEST_F(SettingsDialog, WhatThePlugInChangesWhileItIsOpenShowsAtOnceAndIsKept) {
  const struct {
    const char* what;
    std::initializer_list<std::pair<const char*, DWORD>> stored;
    int clicked;                         // by the user first; 0 none
    std::initializer_list<WPARAM> menu;  // then chosen in the player's menu
    int box;                             // at once, or by 07:00:03, this box shows
    bool checked;
    Way way;
    const char* name;  // stored after the close
    DWORD kept, days;
    bool skipped;
  } cases[] = {
      {"a once alarm 1 rings", {{"StartOn", 1}, {"StartOff", 1}}, 0, {}, 4, false, ByOk, "StartOn", 0, 127},
      {"the sleep timer switches itself off", {{"StopOn", 1}, {"StopOff", 1}, {"StopH", 7}}, 0, {}, 10, false,
       ByEscape, "StopOn", 0, 127},
      {"alarm 1 switched on in the menu, then skipped", {}, 0, {1040, 1048}, 4, true, ByTitleBarClose, "StartOn",
       1, 127, true},
      {"alarm 1 switched off in the menu as the user unticks Monday", {{"StartOn", 1}}, 46, {1040}, 4, false, ByOk,
       "StartOn", 0, 0x7D},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    WriteDword("StartH", 7);
    for (const auto& v : c.stored) WriteDword(v.first, v.second);
    SetSimulatedClock(6, 59, 59);
    Init();
    HWND player = main;
    RunSettings(plugin, [&c, player](HWND d) {
      if (c.clicked) Click(d, c.clicked);
      for (WPARAM item : c.menu) SendMessageA(player, WM_COMMAND, item, 0);
      EXPECT_TRUE(TickInDialog(d, c.menu.size() ? 0 : 4000, [&] { return Checked(d, c.box) == c.checked; }));
      CloseBy(d, c.way);
    });
    EXPECT_EQ(c.kept, Stored(c.name));
    EXPECT_EQ(c.days, Stored("StartDays"));
    EXPECT_EQ(c.skipped, Stored("SkipAlarm") != 0);
  }
}

TEST_F(SettingsDialog, DayBoxesAndWakeBoxShowWhatIsStoredAndSaveWhatTheyShow) {
  struct Case {
    const char* what;
    bool stored;
    DWORD days, wake;    // stored
    DWORD shown, woken;  // boxes 45 + day and 52 checked, and saved so
  } const cases[] = {
      {"nothing stored", false, 0, 0, 127, 1},
      {"weekdays, no wake", true, 0x3E, 0, 0x3E, 0},
      // Read backwards it is Thursday, Friday and Saturday: boxes in the wrong order show.
      {"Sunday, Monday and Wednesday", true, 0x0B, 1, 0x0B, 1},
      {"no day: the alarm never fires", true, 0, 1, 0, 1},
      {"bits above Saturday", true, 0xFFFFFF41, 7, 0x41, 1},
  };
  Init();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteKey(PluginKeyPath);
    if (c.stored) {
      WriteDword("StartDays", c.days);
      WriteDword("WakeUp", c.wake);
    }
    RunSettings(plugin, [&c](HWND d) {
      for (int day = 0; day < 7; ++day) EXPECT_EQ((c.shown >> day & 1) != 0, Checked(d, 45 + day)) << day;
      EXPECT_EQ(c.woken != 0, Checked(d, 52));
      Close(d);
    });
    EXPECT_EQ(c.shown, Stored("StartDays"));
    EXPECT_EQ(c.woken, Stored("WakeUp"));
  }
  // What the user ticks is what is kept: from every day, the weekend and the wake-up off.
  WriteDword("StartDays", 127);
  WriteDword("WakeUp", 1);
  RunSettings(plugin, [](HWND d) {
    for (int box : {45, 51, 52}) Click(d, box);
    Close(d);
  });
  EXPECT_EQ(0x3Eu, Stored("StartDays"));
  EXPECT_EQ(0u, Stored("WakeUp"));
}

using StartupEntry = PluginTest;

TEST_F(StartupEntry, CheckingTheBoxRegistersThePlayerAndClearingItRemovesIt) {
  Init();
  RunSettings(plugin, [](HWND d) {
    Click(d, 41);
    Close(d);
  });
  std::string text;
  ASSERT_TRUE(RunValue(&text));
  EXPECT_EQ("\"" + ExePath() + "\"", text);
  RunSettings(plugin, [](HWND d) {
    EXPECT_TRUE(Checked(d, 41));
    Click(d, 41);
    Close(d);
  });
  EXPECT_FALSE(RunValue(&text));
}

TEST_F(StartupEntry, OlderEntriesForThisPlayerCountInAnyCaseQuotedOrNot) {
  std::string path = ExePath();
  std::string upper = path;
  CharUpperA(&upper[0]);
  Init();
  for (const std::string& stored : {path, upper, "\"" + upper + "\""}) {
    SCOPED_TRACE(stored);
    StoreRunValue(stored);
    RunSettings(plugin, [](HWND d) {
      EXPECT_TRUE(Checked(d, 41));
      Close(d);
    });
    std::string text;
    EXPECT_TRUE(RunValue(&text));
  }
}

// The longest path we keep, 254 bytes: its quoted entry is 256 bytes and the zero.
TEST_F(StartupEntry, APlayerAtTheLongestPathStaysRegistered) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  std::string folder = std::string(temp) + "dawnbell long path";
  std::string path = folder + "\\" + std::string(254 - folder.size() - 5, 'p') + ".dll";
  CreateDirectoryA(folder.c_str(), NULL);
  ASSERT_TRUE(CopyFileA("gen_dawnbell.dll", path.c_str(), FALSE));
  // The plug-in asks the window for its program: a window of a module at that path.
  HMODULE player = LoadLibraryA(path.c_str());
  ASSERT_TRUE(player != NULL);
  LONG_PTR instance = SetWindowLongPtrA(main, GWLP_HINSTANCE, reinterpret_cast<LONG_PTR>(player));
  char seen[MAX_PATH] = "";
  GetWindowModuleFileNameA(main, seen, MAX_PATH);
  EXPECT_EQ(254u, strlen(seen));
  Init();
  RunSettings(plugin, [](HWND d) {
    Click(d, 41);
    Close(d);
  });
  RunSettings(plugin, [](HWND d) {
    EXPECT_TRUE(Checked(d, 41));
    Close(d);
  });
  std::string text;
  EXPECT_TRUE(RunValue(&text));
  EXPECT_EQ("\"" + std::string(seen) + "\"", text);
  SetWindowLongPtrA(main, GWLP_HINSTANCE, instance);
  FreeLibrary(player);
  DeleteFileA(path.c_str());
  RemoveDirectoryA(folder.c_str());
}

TEST_F(StartupEntry, AnotherProgramsEntryShowsUncheckedAndClosingRemovesIt) {
  StoreRunValue("\"C:\\Program Files\\Other Player\\player.exe\"");
  Init();
  RunSettings(plugin, [](HWND d) {
    EXPECT_FALSE(Checked(d, 41));
    Close(d);
  });
  std::string text;
  EXPECT_FALSE(RunValue(&text));
}
