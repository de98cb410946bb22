// Pictures of the dialogs under build/screens/, for a person to compare with the layout.
#include "dialog_driver.h"
#include "stand_in_power.h"

using Screens = PluginTest;

TEST_F(Screens, SettingsDialogAsFirstOpened) {
  Init();
  RunSettings(plugin, [](HWND d) {
    EXPECT_NE("", SaveScreen("settings", d));
    Click(d, 2);
  });
}

TEST_F(Screens, SettingsDialogWithOptionsChanged) {
  Init();
  RunSettings(plugin, [](HWND d) {
    for (int box : {4, 6, 19, 8, 10, 12, 23, 13, 21, 16, 20, 3}) Click(d, box);
    Click(d, 18);  // the menu item off: its text and position grey out
    SendDlgItemMessageA(d, 25, CB_SETCURSEL, 6, 0);
    SendDlgItemMessageA(d, 26, CB_SETCURSEL, 45, 0);
    SendDlgItemMessageA(d, 27, CB_SETCURSEL, 23, 0);
    SendDlgItemMessageA(d, 28, CB_SETCURSEL, 30, 0);
    SetDlgItemTextA(d, 42, "3");
    SetDlgItemTextA(d, 43, "12");
    Slide(d, 29, 64);
    Slide(d, 30, 200);
    Slide(d, 31, 2500);
    EXPECT_NE("", SaveScreen("settings_changed", d));
    Click(d, 2);
  });
}

TEST_F(Screens, AboutBox) {
  Init();
  RunSettings(plugin, [](HWND settings) {
    RunAbout(settings, [](HWND about) {
      EXPECT_NE("", SaveScreen("about", about));
      Click(about, 7);
    });
    Click(settings, 2);
  });
}

// Three alarms, one of them off, the second selected; the longest line the next alarm can
// take (a long day and month, and days to go), the sleep timer's longest countdown under it, a
// warning. Then the alarm dialog on the third, which plays a folder of its own, labelled and at
// a volume of its own; the first a stream, at work.
TEST_F(Screens, AlarmClockDialogAndAlarmDialog) {
  PowerPlan.onBattery = 0;
  WriteMusic(1, L"https://radio.example/morning");
  WriteMusic(3, L"C:\\M\u00fcsik\\\u671d");
  WriteMusic(1, L"Work", REG_SZ, ~0u, L"Label");
  WriteMusic(3, L"Swimming, then the bus", REG_SZ, ~0u, L"Label");
  WriteDword("Alarm3Volume", 60);
  WriteDword("StartOn", 1);
  WriteDword("StartH", 7);
  WriteDword("StartM", 0);
  WriteDword("StartDays", 0x08);    // Wednesday
  WriteDword("Alarm2", 0x00410900);  // 09:00 Saturday and Sunday, off
  WriteDword("Alarm3", 0x0308061E);  // 06:30 Wednesday, on, once
  SetSimulatedClock(7, 1, 0, 23, 9, 2026);
  Init();
  SendMessageA(main, WM_COMMAND, 1031, 0);  // Sleep timer > 120 minutes
  RunSettings(plugin, [](HWND settings) {
    RunAlarmClock(settings, [](HWND clock) {
      EXPECT_EQ("Next alarm: Wednesday 30 September, 06:30, Swimming, then the bus (in 6 d 23 h 29 min)",
                Text(clock, 60));
      EXPECT_EQ("Sleep timer: stops at 09:01 (in 2 h 0 min)", Text(clock, 67));
      EXPECT_EQ(0u, Text(clock, 77).find("On battery, Windows allows no wake timers"));
      EXPECT_EQ("", ClippedTexts(clock)) << "a long label takes the next alarm's second line";
      ClickRow(clock, 68, 1);
      EXPECT_NE("", SaveScreen("alarm_clock", clock));
      ClickRow(clock, 68, 2);
      RunAlarm([clock] { Click(clock, 70); }, [](HWND alarm) {
        EXPECT_EQ("Rings Wed 06:30, in 6 d 23 h 29 min", Text(alarm, 97));
        EXPECT_NE("", SaveScreen("alarm", alarm));
        Click(alarm, 2);
      });
      Click(clock, 1);
    });
    Click(settings, 2);
  });
}
