// The computer's volume through the real DLL, the bench standing in for the output on both
// paths: Core Audio's objects behind ole32, the mixer behind winmm. The bench's tear-down
// checks COM's balance and that every object was released, after every test.
#include "bench.h"

using SystemVolume = PluginTest;

TEST_F(SystemVolume, TheAlarmRaisesItOnEitherPathAndStopPutsItBack) {
  struct Case {
    const char* what;
    bool coreAudio, device;
    HRESULT com;
    DWORD mixerMost;
    float found;          // muted at this level
    const char* ringing;  // the output while the alarm rings
    bool mixer;           // reached through winmm
  } const cases[] = {
      {"Core Audio", true, true, S_OK, 65535, 0.12f, "unmuted at 30%", false},
      {"Core Audio, COM on the thread already", true, true, S_FALSE, 65535, 0.12f, "unmuted at 30%", false},
      {"Core Audio, the thread in the other apartment", true, true, RPC_E_CHANGED_MODE, 65535, 0.12f,
       "unmuted at 30%", false},
      // 256 steps: 12% is step 31, 30% step 77, and step 31 is what comes back.
      {"the mixer, where Core Audio's class is not registered", false, true, S_OK, 255, 31 / 255.0f,
       "unmuted at 30%", true},
      {"no output on Core Audio", true, false, S_OK, 65535, 0.12f, "muted at 12%", false},
      {"no output on either path", false, false, S_OK, 65535, 0.12f, "muted at 12%", true},
  };
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Audio.coreAudio = c.coreAudio;
    Audio.device = c.device;
    Audio.comAnswer = c.com;
    Audio.mixerMost = c.mixerMost;
    Audio.level = c.found;
    WriteDword("StartOn", 1);
    WriteDword("StartH", 7);
    SetSimulatedClock(6, 59, 59);
    Init();
    ASSERT_TRUE(PumpUntil(3000, [] { return Player.status == PlayerPlaying; })) << "the alarm rings all the same";
    Pump(1500);
    EXPECT_EQ(c.ringing, AudioState());
    SendMessageA(main, WM_COMMAND, 40047, 0);  // the player's Stop, as pressed
    Pump(1500);
    EXPECT_TRUE(Audio.muted);
    EXPECT_NEAR(c.found, Audio.level, 0.5f / 65535) << "put back as it was found";
    EXPECT_GT(Audio.comCalls, 0);
    Quit();
    std::vector<std::string> loaded = {std::string("LoadLibraryA ") + system + "\\ole32.dll",
                                       "FreeLibrary ole32.dll"};
    EXPECT_EQ(loaded, Seen.volume);
    // The tone's library, loaded for the mixer only: this alarm was heard.
    std::vector<std::string> mixer;
    if (c.mixer) mixer = {std::string("LoadLibraryA ") + system + "\\winmm.dll", "FreeLibrary winmm.dll"};
    EXPECT_EQ(mixer, Seen.tone);
    TearDown();  // checks COM's balance under this case's name
    SetUp();
  }
}
