#include <gtest/gtest.h>
#include <string.h>

#include "settings/settings.h"

TEST(SettingsRecord, DefaultsAreWhatAFreshModuleHolds) {
  for (int i = 0; i < SettingCount; ++i) {
    int32_t expected = 0;
    if (&SettingValues[i] == &HotKey || &SettingValues[i] == &AddMenu) expected = 1;
    if (&SettingValues[i] == &VolEnd) expected = 255;
    if (&SettingValues[i] == &TimeOut) expected = 1000;
    if (&SettingValues[i] == &MenuPos) expected = 4;
    if (&SettingValues[i] == &StartDays) expected = 127;  // every day, as before days existed
    if (&SettingValues[i] == &WakeUp) expected = 1;
    if (&SettingValues[i] == &Snooze) expected = 9;
    if (&SettingValues[i] == &RingLimit) expected = 60;
    if (&SettingValues[i] == &SilentTone) expected = 1;
    if (&SettingValues[i] == &SysVolume) expected = 30;
    if (&SettingValues[i] == &RingWindow) expected = 1;
    EXPECT_EQ(expected, SettingValues[i]) << SettingNames[i];
  }
  EXPECT_EQ(0, StopAfterLast);
  EXPECT_EQ(0, StopPhase);
  EXPECT_STREQ("Dawnbell...", DefaultMenuText);
}

TEST(SettingsRecord, ValueNamesAreInStorageOrderAndFitTheirSlots) {
  const char* expected[SettingCount] = {
      "StartOn", "StartOff", "VolUp", "Random", "One", "Activate", "StopOn", "StopOff",
      "VolDown", "Close", "Suspend", "ShutDown", "PlayAtStart", "HotKey", "AddMenu",
      "FromRange", "SavePos", "Hibernate", "WaitEnd", "UsePause", "UsePlay", "VolStart",
      "VolEnd", "TimeOut", "StartH", "StartM", "StopH", "StopM", "First", "Last", "MenuPos",
      "TrackPos", "TrackLength", "StartDays", "WakeUp", "Snooze", "RingLimit", "SilentTone",
      "Alarm2", "Alarm3", "Alarm4", "Alarm5", "Alarm6", "Alarm7", "Alarm8", "SkipAlarm",
      "SysVolume", "RingWindow", "Alarm1Volume", "Alarm2Volume", "Alarm3Volume", "Alarm4Volume",
      "Alarm5Volume", "Alarm6Volume", "Alarm7Volume", "Alarm8Volume"};
  for (int i = 0; i < SettingCount; ++i) {
    EXPECT_STREQ(expected[i], SettingNames[i]) << i;
    EXPECT_LT(strlen(SettingNames[i]), size_t{SettingNameSize}) << i;
  }
  // The named settings are the array's own entries, in the same order.
  EXPECT_EQ(&SettingValues[0], &StartOn);
  EXPECT_EQ(&SettingValues[20], &UsePlay);
  EXPECT_EQ(&SettingValues[32], &TrackLength);
  EXPECT_EQ(&SettingValues[34], &WakeUp);
  EXPECT_EQ(&SettingValues[37], &SilentTone);
  EXPECT_EQ(&SettingValues[45], &SkipAlarm);
  EXPECT_EQ(&SettingValues[46], &SysVolume);
  EXPECT_EQ(&SettingValues[47], &RingWindow);
  EXPECT_EQ(48, FirstAlarmVolume);
}
