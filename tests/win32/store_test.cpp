// Settings in the registry: loaded at init, all saved when the player closes.
#include "bench.h"
#include "dialog_driver.h"

using Store = PluginTest;

static const char* const Names[] = {
    "StartOn", "StartOff", "VolUp", "Random", "One", "Activate", "StopOn", "StopOff",
    "VolDown", "Close", "Suspend", "ShutDown", "PlayAtStart", "HotKey", "AddMenu",
    "FromRange", "SavePos", "Hibernate", "WaitEnd", "UsePause", "UsePlay", "VolStart",
    "VolEnd", "TimeOut", "StartH", "StartM", "StopH", "StopM", "First", "Last", "MenuPos",
    "TrackPos", "TrackLength", "StartDays", "WakeUp", "Snooze", "RingLimit", "SilentTone",
    "Alarm2", "Alarm3", "Alarm4", "Alarm5", "Alarm6", "Alarm7", "Alarm8", "SkipAlarm",
    "SysVolume", "RingWindow", "Alarm1Volume", "Alarm2Volume", "Alarm3Volume", "Alarm4Volume",
    "Alarm5Volume", "Alarm6Volume", "Alarm7Volume", "Alarm8Volume"};

static DWORD DefaultOf(const std::string& name) {
  if (name == "HotKey" || name == "AddMenu") return 1;
  if (name == "VolEnd") return 255;
  if (name == "TimeOut") return 1000;
  if (name == "MenuPos") return 4;
  if (name == "StartDays") return 127;
  if (name == "WakeUp") return 1;
  if (name == "Snooze") return 9;
  if (name == "RingLimit") return 60;
  if (name == "SilentTone") return 1;
  if (name == "SysVolume") return 30;
  if (name == "RingWindow") return 1;
  if (name == "TrackPos" || name == "TrackLength") return static_cast<DWORD>(-1);  // nothing played
  return 0;
}

static std::string StoredMenuText() {
  std::string text;
  EXPECT_TRUE(ReadText(PluginKeyPath, "MenuName", &text));
  return text;
}

TEST_F(Store, FirstRunCreatesTheKeyWithAllDefaults) {
  Init();
  EXPECT_EQ(-1, CountValues(PluginKeyPath));  // loading never creates the key
  ClosePlayer();
  EXPECT_EQ(StoredValueCount, CountValues(PluginKeyPath));
  for (const char* name : Names) EXPECT_EQ(DefaultOf(name), Stored(name)) << name;
  EXPECT_EQ("Dawnbell...", StoredMenuText());
}

TEST_F(Store, EveryStoredValueIsLoadedAndSavedBack) {
  for (int i = 0; i < 31; ++i) WriteDword(Names[i], 1000 + i);
  WriteValue(PluginKeyPath, "MenuName", REG_SZ, "Wake me", 8);
  Init();
  ClosePlayer();
  for (int i = 0; i < 31; ++i) EXPECT_EQ(1000u + i, Stored(Names[i])) << Names[i];
  EXPECT_EQ("Wake me", StoredMenuText());
}

// The alarms' words and volumes go back as they came, even one no dialog could write; a skip
// not yet spent (its minute is years away) stays.
TEST_F(Store, TheAlarmsAndTheSkipRoundTrip) {
  const DWORD values[8] = {0x013E061E, 0x02410900, 0, 0x017F1800, 0xFFFFFFFF, 0x00010000, 1, 30000000};
  const DWORD volumes[8] = {50, 0, 100, 150, 0xFFFFFFFF, 1, 0, 99};
  for (int i = 0; i < 8; ++i) WriteDword(Names[38 + i], values[i]), WriteDword(Names[48 + i], volumes[i]);
  Init();
  Pump(3000);
  ClosePlayer();
  for (int i = 0; i < 8; ++i) EXPECT_EQ(values[i], Stored(Names[38 + i])) << Names[38 + i];
  for (int i = 0; i < 8; ++i) EXPECT_EQ(volumes[i], Stored(Names[48 + i])) << Names[48 + i];
}

TEST_F(Store, APartialKeyKeepsTheDefaultsOfWhatItLacks) {
  WriteDword("StartH", 7);
  WriteDword("HotKey", 0);
  Init();
  ClosePlayer();
  for (const char* name : Names) {
    std::string n = name;
    DWORD expected = n == "StartH" ? 7 : n == "HotKey" ? 0 : DefaultOf(n);
    EXPECT_EQ(expected, Stored(name)) << name;
  }
  EXPECT_EQ("Dawnbell...", StoredMenuText());
}

TEST_F(Store, AShorterMenuTextLoadsExactly) {
  WriteValue(PluginKeyPath, "MenuName", REG_SZ, "Go", 3);
  Init();
  ClosePlayer();
  EXPECT_EQ("Go", StoredMenuText());
}

TEST_F(Store, ValuesOfTheWrongTypeOrSizeLeaveTheSettingAlone) {
  WriteValue(PluginKeyPath, "StartH", REG_SZ, "7", 2);
  DWORD four = 77;
  WriteValue(PluginKeyPath, "VolEnd", REG_BINARY, &four, 4);
  ULONGLONG eight = 5;
  WriteValue(PluginKeyPath, "TimeOut", REG_QWORD, &eight, 8);
  WriteValue(PluginKeyPath, "MenuPos", REG_DWORD, &four, 2);
  WriteValue(PluginKeyPath, "StopH", REG_DWORD, &four, 0);
  WriteValue(PluginKeyPath, "MenuName", REG_DWORD, &four, 4);
  WriteDword("StartM", 30);  // a good value among bad ones still counts
  Init();
  ClosePlayer();
  EXPECT_EQ(0u, Stored("StartH"));
  EXPECT_EQ(255u, Stored("VolEnd"));
  EXPECT_EQ(1000u, Stored("TimeOut"));
  EXPECT_EQ(4u, Stored("MenuPos"));
  EXPECT_EQ(0u, Stored("StopH"));
  EXPECT_EQ(30u, Stored("StartM"));
  EXPECT_EQ("Dawnbell...", StoredMenuText());
}

TEST_F(Store, ALongOrUnterminatedMenuTextIsCutToFitAndTerminated) {
  std::string text(300, 'x');
  for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
  WriteValue(PluginKeyPath, "MenuName", REG_SZ, text.data(), 300);  // no terminator
  Init();
  ClosePlayer();
  EXPECT_EQ(text.substr(0, 254), StoredMenuText());
}

TEST_F(Store, AnUnterminatedShortMenuTextEndsWhereTheDataEnds) {
  WriteValue(PluginKeyPath, "MenuName", REG_SZ, "Alarm!garbage", 6);
  Init();
  ClosePlayer();
  EXPECT_EQ("Alarm!", StoredMenuText());
}

TEST_F(Store, AnEmptyMenuNameOfAnotherTypeOrHugeLeavesTheTextAsItWas) {
  std::string huge(100000, 'h');
  WriteValue(PluginKeyPath, "MenuName", REG_SZ, huge.c_str(), static_cast<DWORD>(huge.size() + 1));
  Init();
  ClosePlayer();
  EXPECT_EQ("Dawnbell...", StoredMenuText());
}

// Any name Windows allows comes back as it was; a value too long, of another type or not
// terminated within the limit reads as empty (and is no longer stored), never as a cut path.
TEST_F(Store, EachAlarmsMusicRoundTripsInUtf16AndBadValuesReadAsEmpty) {
  const std::wstring folder = L"C:\\M\u00fcsik\\\u671d", longest(1023, L'x'), tooLong(1024, L'y');
  WriteMusic(1, folder);
  WriteMusic(2, longest);
  WriteMusic(3, tooLong);
  WriteMusic(4, tooLong, REG_SZ, 1024 * 2);  // unterminated, one too many
  WriteMusic(5, L"%TEMP%\\a.mp3", REG_EXPAND_SZ);
  WriteMusic(6, L"http://radio.example/live", REG_BINARY);
  WriteMusic(7, L"http://h/a.mp3", REG_SZ, 14 * 2);  // unterminated, shorter
  WriteMusic(8, std::wstring(1 << 21, L'z'));  // far past the buffer, which must not be read that far
  // Labels the same way, of at most 40 characters.
  const std::wstring labels[4] = {L"Pills \u671d", std::wstring(40, L'L'), std::wstring(41, L'M'), L"-"};
  for (int i = 0; i < 3; ++i) WriteMusic(i + 1, labels[i], REG_SZ, ~0u, L"Label");
  WriteMusic(4, L"Work", REG_MULTI_SZ, ~0u, L"Label");
  Init();
  ClosePlayer();
  const std::wstring expected[8] = {folder, longest, L"-", L"-", L"-", L"-", L"http://h/a.mp3", L"-"};
  for (int i = 0; i < 8; ++i) EXPECT_TRUE(expected[i] == StoredMusic(i + 1)) << "Alarm" << i + 1 << "Music";
  for (int i = 0; i < 4; ++i) EXPECT_TRUE((i == 2 ? L"-" : labels[i]) == StoredMusic(i + 1, L"Label")) << i + 1;
  EXPECT_EQ(StoredValueCount + 5, CountValues(PluginKeyPath));
}
