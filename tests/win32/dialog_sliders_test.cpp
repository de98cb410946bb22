// The three volume sliders: settings and labels follow every movement, and the start
// stays below the end by pushing the other slider.
#include "dialog_driver.h"

namespace {

void Close(HWND dialog) { Click(dialog, 2); }

}  // namespace

using VolumeSliders = PluginTest;

TEST_F(VolumeSliders, RaisingTheStartPastTheEndPushesTheEndJustAbove) {
  WriteDword("VolEnd", 150);
  Init();
  RunSettings(plugin, [](HWND d) {
    Slide(d, 29, 200);
    EXPECT_EQ(200, SliderPos(d, 29));
    EXPECT_EQ(201, SliderPos(d, 30));
    EXPECT_EQ("78%", Text(d, 32));
    EXPECT_EQ("78%", Text(d, 33));
    Close(d);
  });
  EXPECT_EQ(200u, Stored("VolStart"));
  EXPECT_EQ(201u, Stored("VolEnd"));
}

TEST_F(VolumeSliders, LoweringTheEndPastTheStartPushesTheStartJustBelow) {
  WriteDword("VolStart", 40);
  Init();
  RunSettings(plugin, [](HWND d) {
    Slide(d, 30, 10);
    EXPECT_EQ(10, SliderPos(d, 30));
    EXPECT_EQ(9, SliderPos(d, 29));
    EXPECT_EQ("3%", Text(d, 32));
    EXPECT_EQ("3%", Text(d, 33));
    Close(d);
  });
  EXPECT_EQ(9u, Stored("VolStart"));
  EXPECT_EQ(10u, Stored("VolEnd"));
}

TEST_F(VolumeSliders, StoredValuesOutOfOrderOrRangeAreSetRightOnOpening) {
  struct Case {
    DWORD start, end, step;
    int shownStart, shownEnd, shownStep;
  } const cases[] = {
      {200, 100, 0, 99, 100, 1},       // start not below the end: the start gives way
      {255, 255, 20000, 254, 255, 9999},
      {0, 0, 1, 0, 1, 1},
      {DWORD(-5), 300, 9999, 0, 255, 9999},
  };
  Init();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start << " " << c.end << " " << c.step);
    WriteDword("VolStart", c.start);
    WriteDword("VolEnd", c.end);
    WriteDword("TimeOut", c.step);
    RunSettings(plugin, [&c](HWND d) {
      EXPECT_EQ(c.shownStart, SliderPos(d, 29));
      EXPECT_EQ(c.shownEnd, SliderPos(d, 30));
      EXPECT_EQ(c.shownStep, SliderPos(d, 31));
      EXPECT_EQ(std::to_string(c.shownStep), Text(d, 34));
      Close(d);
    });
    EXPECT_EQ(DWORD(c.shownStart), Stored("VolStart"));
    EXPECT_EQ(DWORD(c.shownEnd), Stored("VolEnd"));
    EXPECT_EQ(DWORD(c.shownStep), Stored("TimeOut"));
  }
}

TEST_F(VolumeSliders, LabelsShowWholePercentAndTheStepInMilliseconds) {
  Init();
  RunSettings(plugin, [](HWND d) {
    Slide(d, 30, 255);
    EXPECT_EQ("100%", Text(d, 33));
    Slide(d, 29, 254);
    EXPECT_EQ("99%", Text(d, 32));
    Slide(d, 30, 1);
    EXPECT_EQ("0%", Text(d, 33));
    EXPECT_EQ(0, SliderPos(d, 29));
    EXPECT_EQ("0%", Text(d, 32));
    Slide(d, 31, 2500);
    EXPECT_EQ("2500", Text(d, 34));
    // Moving the step never touches the volumes.
    EXPECT_EQ(0, SliderPos(d, 29));
    EXPECT_EQ(1, SliderPos(d, 30));
    Close(d);
  });
  EXPECT_EQ(0u, Stored("VolStart"));
  EXPECT_EQ(1u, Stored("VolEnd"));
  EXPECT_EQ(2500u, Stored("TimeOut"));
}

TEST_F(VolumeSliders, TheKeyboardMovesASliderAndTheRuleStillHolds) {
  WriteDword("VolStart", 100);
  WriteDword("VolEnd", 101);
  Init();
  RunSettings(plugin, [](HWND d) {
    HWND start = GetDlgItem(d, 29);
    SetFocus(start);
    // The trackbar reports its own movement to the dialog.
    SendMessageA(start, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(start, WM_KEYUP, VK_RIGHT, 0);
    EXPECT_EQ(101, SliderPos(d, 29));
    EXPECT_EQ(102, SliderPos(d, 30));
    EXPECT_EQ("40%", Text(d, 33));
    Close(d);
  });
  EXPECT_EQ(101u, Stored("VolStart"));
  EXPECT_EQ(102u, Stored("VolEnd"));
}
