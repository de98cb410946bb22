// The player program's guard around the real plug-in: the simulated clock reaches it, and
// power actions and the computer's volume end up in the log, never on the machine.
#include "bench.h"
#include "plugin_guard.h"
#include "sim_clock.h"

namespace {

class Guarded : public PluginTest {
 protected:
  void TearDown() override {
    PluginTest::TearDown();
    SimClockOff();
  }
  // Loads the plug-in as the player program does: its imports go through the guard.
  void Start() {
    Load();
    GuardPlugin(plugin.module);
    Init();
  }
  bool Logged(const std::string& text) { return LogText().find(text) != std::string::npos; }
};

}  // namespace

TEST_F(Guarded, PluginSeesTheSimulatedClock) {
  WriteDword("StartOn", 1);
  WriteDword("StartH", 7);
  WriteDword("StartM", 0);
  SimClockSet(6, 59, 58);
  Start();
  ASSERT_TRUE(PumpUntil(5000, [] { return Player.status == PlayerPlaying; }));
  for (const LogEntry& e : PlayerLog) {
    if (e.message == WM_COMMAND && e.wParam == 40045) {
      EXPECT_EQ("07:00:00", FormatClock(e.clockMs));
    }
  }
}

TEST_F(Guarded, PowerActionsAreLoggedAndNotCarriedOut) {
  struct { const char* setting; const char* logged; } const cases[] = {
      {"Suspend", "SetSuspendState(0, 0, 0): standby"},
      {"Hibernate", "SetSuspendState(1, 0, 0): hibernate"},
      {"ShutDown", "ExitWindowsEx(12, 0): power off"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.setting);
    TearDown();
    SetUp();
    WriteDword("StopOn", 1);
    WriteDword("StopH", 7);
    WriteDword("StopM", 0);
    WriteDword(c.setting, 1);
    SimClockSet(6, 59, 59);
    Start();
    EXPECT_TRUE(PumpUntil(4000, [&] { return Logged(c.logged); })) << LogText();
    EXPECT_TRUE(Logged("(shown, not done)"));
  }
}

// The guard's output stands in for the computer's, muted at 12% as the showcase has it.
TEST_F(Guarded, TheComputersVolumeIsShownAndNotChanged) {
  WriteDword("StartOn", 1);
  WriteDword("StartH", 7);
  SimClockSet(6, 59, 59);
  Start();
  EXPECT_TRUE(PumpUntil(4000, [&] {
    return Logged("system volume: muted at 12% -> unmuted at 30% (shown, not done)");
  })) << LogText();
  SendMessageA(main, WM_COMMAND, 40047, 0);  // the player's Stop
  EXPECT_TRUE(PumpUntil(3000, [&] {
    return Logged("system volume: unmuted at 30% -> muted at 12% (shown, not done)");
  })) << LogText();
}
