// The stand-in player's own behaviour: track ends, stop after current, speed, keys, options.
#include "bench.h"
#include "options.h"
#include "sim_clock.h"

namespace {

std::vector<MSG> Spied;
void Spy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Spied.push_back({window, message, wParam, lParam});
}
int CountSpied(UINT message, LPARAM lParam = -1) {
  int n = 0;
  for (const MSG& m : Spied) n += m.message == message && (lParam == -1 || m.lParam == lParam);
  return n;
}

class PlayerSim : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    Spied.clear();
    Player.spy = Spy;
  }
  void Command(WPARAM id) { SendMessageA(main, WM_COMMAND, id, 0); }
};

}  // namespace

TEST_F(PlayerSim, TrackEndTellsTheMainWindowAndGoesOnToTheNextUntilTheLast) {
  Player.lengthsMs = {3000, 4000};
  Command(40045);
  AdvancePlayer(3500);
  EXPECT_EQ(1, CountSpied(WM_USER + 2));
  EXPECT_EQ(1, Player.current);
  EXPECT_EQ(PlayerPlaying, Player.status);
  AdvancePlayer(4000);
  EXPECT_EQ(2, CountSpied(WM_USER + 2));
  EXPECT_EQ(PlayerStopped, Player.status);
  EXPECT_EQ(1, Player.current);
}

// Another party on the main window that stops the player when it hears the notice.
static WNDPROC Underneath;
static LRESULT CALLBACK StopOnNotice(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_USER + 2) SendMessageA(w, WM_COMMAND, 40047, 0);
  return CallWindowProcA(Underneath, w, m, wp, lp);
}

TEST_F(PlayerSim, TrackEndIsLoggedOnceBeforeWhatAHookDoesAboutIt) {
  Underneath = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StopOnNotice)));
  Command(40045);
  PlayerLog.clear();
  PlayerEndTrack();
  EXPECT_EQ("end of track\ncommand 40047 stop\n", LogText());
  EXPECT_EQ(PlayerStopped, Player.status);
  EXPECT_EQ(0, Player.current) << "stopped by the hook: the player stays on the track";
}

TEST_F(PlayerSim, StopAfterCurrentStopsAtTheEndOnceAndStopClearsIt) {
  Command(40045);
  Command(40157);
  AdvancePlayer(Player.lengthsMs[0] + 1);
  EXPECT_EQ(PlayerStopped, Player.status);
  EXPECT_EQ(0, Player.current);
  EXPECT_FALSE(Player.stopAfterCurrent);
  Command(40045);
  AdvancePlayer(Player.lengthsMs[0] + 1);
  EXPECT_EQ(PlayerPlaying, Player.status) << "the request held for one track only";
  EXPECT_EQ(1, Player.current);
  Command(40157);
  Command(40047);
  Command(40045);
  AdvancePlayer(Player.lengthsMs[1] + 1);
  EXPECT_EQ(2, Player.current) << "stop cancelled the request";
}

TEST_F(PlayerSim, PositionAdvancesInRealTimeTimesTheSpeed) {
  Player.speed = 20;
  Command(40045);
  DWORD start = GetTickCount();
  StartPlayerClock();
  Pump(1500);
  double real = GetTickCount() - start;
  EXPECT_NEAR(20 * real, Player.positionMs, 0.25 * 20 * real);
  Command(40046);
  double paused = Player.positionMs;
  Pump(300);
  EXPECT_EQ(paused, Player.positionMs) << "a paused track stands still";
}

TEST_F(PlayerSim, KeysReachTheMainWindowDirectlyOrAsTheKeyboardNotice) {
  HWND button = FindWindowExA(main, NULL, "BUTTON", NULL);
  ASSERT_TRUE(button);
  MSG inChild = {button, WM_KEYDOWN, VK_F12, 0};
  DispatchPlayerMessage(main, &inChild);
  EXPECT_EQ(1, CountSpied(WM_USER, 617));
  EXPECT_EQ(0, CountSpied(WM_KEYDOWN));
  Spied.clear();
  MSG inMain = {main, WM_KEYDOWN, VK_F12, 0};
  DispatchPlayerMessage(main, &inMain);
  EXPECT_EQ(0, CountSpied(WM_USER, 617));
  EXPECT_EQ(1, CountSpied(WM_KEYDOWN));
}

static int Configured;
TEST_F(PlayerSim, SettingsCommandCallsThePluginsConfigEntry) {
  Configured = 0;
  Player.onConfig = [] { ++Configured; };
  Command(PlayerConfigCommand);
  EXPECT_EQ(1, Configured);
}

TEST(PlayerOptions, LengthsClockAndMistakes) {
  std::vector<int> lengths;
  ASSERT_TRUE(ParseLengths("4:08,95,1:02:03", &lengths));
  EXPECT_EQ((std::vector<int>{248000, 95000, 3723000}), lengths);
  for (const char* bad : {"", "4:60", "x", "3,,4", "0", "2:-1"})
    EXPECT_FALSE(ParseLengths(bad, &lengths)) << bad;
  EXPECT_EQ(6 * 3600 + 59 * 60 + 55, ParseClock("06:59:55"));
  EXPECT_EQ(7 * 3600, ParseClock("7:00"));
  EXPECT_EQ(-1, ParseClock("24:00"));
  EXPECT_EQ(-1, ParseClock("07:00:00x"));

  PlayerOptions options;
  std::string error;
  char program[] = "p", speed[] = "--speed", four[] = "4", clock[] = "--clock", late[] = "25:00";
  char* good[] = {program, speed, four};
  ASSERT_TRUE(ParseOptions(3, good, &options, &error));
  EXPECT_EQ(4, options.speed);
  char* wrong[] = {program, clock, late};
  EXPECT_FALSE(ParseOptions(3, wrong, &options, &error));
  EXPECT_NE(std::string::npos, error.find("--clock"));
}
