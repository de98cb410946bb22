#include <gtest/gtest.h>

#include "control/control.h"
#include "settings/settings.h"
#include "ui/slider_rule.h"

// What the dialog does after each slider movement: balance until the rule holds.
static int Settle(int32_t startMoved) {
  int rounds = 0;
  while (BalanceVolumes(startMoved)) ++rounds;
  return rounds;
}

TEST(SliderRule, MovingTheStartUpPushesTheEndJustAboveIt) {
  VolStart = 200;
  VolEnd = 150;
  EXPECT_EQ(51, Settle(1));
  EXPECT_EQ(200, VolStart);
  EXPECT_EQ(201, VolEnd);
}

TEST(SliderRule, MovingTheEndDownOrNoSliderPushesTheStartJustBelowIt) {
  VolStart = 40;
  VolEnd = 10;
  EXPECT_EQ(31, Settle(0));
  EXPECT_EQ(9, VolStart);
  EXPECT_EQ(10, VolEnd);

  VolStart = VolEnd = 128;  // equal is not below
  EXPECT_EQ(1, Settle(0));
  EXPECT_EQ(127, VolStart);
  EXPECT_EQ(128, VolEnd);
}

TEST(SliderRule, EachStepMovesOnlyTheOtherSettingByOne) {
  VolStart = 100;
  VolEnd = 90;
  TimeOut = 700;
  ASSERT_EQ(1, BalanceVolumes(1));
  EXPECT_EQ(100, VolStart);
  EXPECT_EQ(91, VolEnd);
  ASSERT_EQ(1, BalanceVolumes(0));
  EXPECT_EQ(99, VolStart);
  EXPECT_EQ(91, VolEnd);
  EXPECT_EQ(700, TimeOut);
}

TEST(SliderRule, AStartBelowTheEndIsLeftAlone) {
  VolStart = 0;
  VolEnd = 1;
  EXPECT_EQ(0, BalanceVolumes(1));
  EXPECT_EQ(0, BalanceVolumes(0));
  EXPECT_EQ(0, VolStart);
  EXPECT_EQ(1, VolEnd);
}

TEST(SliderRule, VolumesShowAsWholePercentRoundedDown) {
  EXPECT_EQ(100, VolumePercent(255));
  EXPECT_EQ(99, VolumePercent(254));
  EXPECT_EQ(78, VolumePercent(200));
  EXPECT_EQ(78, VolumePercent(201));
  EXPECT_EQ(0, VolumePercent(1));
  EXPECT_EQ(0, VolumePercent(0));
  // An alarm's own volume, in percent, plays at the least level shown as that percent.
  for (int32_t percent = 1; percent <= 100; ++percent) {
    SettingValues[FirstAlarmVolume + 3] = percent;
    EXPECT_EQ(percent, VolumePercent(LevelOf(3)));
    EXPECT_EQ(percent - 1, VolumePercent(LevelOf(3) - 1));
  }
}
