// The computer's own volume around a 07:00 alarm: what the alarm found, what it set, and what
// each way of ending puts back.
#include <gtest/gtest.h>

#include "control/control.h"
#include "fake_host.h"

namespace {

int32_t Percent(int32_t p) { return (p * FullLevel + 50) / 100; }

uint32_t AlarmAt;  // the elapsed count at 07:00

// A tick at 07:00 + `at` seconds with the player so; its position moves on while it plays.
void TickAt(int at, int32_t playing, int32_t volume = 120) {
  SetClock(7 + at / 3600, at / 60 % 60, at % 60);
  FakeElapsedMs = AlarmAt + static_cast<uint32_t>(at) * 1000u;
  Player.playing = playing;
  Player.volume = volume;
  if (playing == Playing) Player.positionMs = at * 1000;
  ClockTick();
}

void Stop() { TickAt(2, Stopped); }

// The player gone mid-alarm without its quit, and loaded again: all the module knew is lost.
void CrashAndLoad() {
  RaisedVolume = RaisedVolumeRecord{};
  Ringing = RingRecord{};
  PutBackLeftVolume();
}

}  // namespace

TEST(SystemVolume, RaisedForTheAlarmAndPutBackWhenPlaybackEnds) {
  const struct {
    const char* what;
    int32_t sysVolume;
    FakeDevice found;
    void (*setUp)();  // before the alarm, or null
    void (*answer)();
    const char* writes;
    int reads;  // all of them: the ticks between the start and the end read none
  } cases[] = {
      {"muted at 12%, Stop", 30, {true, 1, Percent(12)}, nullptr, Stop, "unmuted 30%, muted 12%", 3},
      {"unmuted at 12%, Stop", 30, {true, 0, Percent(12)}, nullptr, Stop, "unmuted 30%, unmuted 12%", 3},
      {"muted at the floor, the ring limit", 30, {true, 1, Percent(30)}, nullptr,
       [] { TickAt(3600, Playing); }, "unmuted 30%, muted 30%", 3},
      {"muted above the floor, Pause with no snooze", 30, {true, 1, Percent(80)}, [] { Snooze = 0; },
       [] { TickAt(2, Paused); }, "unmuted 80%, muted 80%", 3},
      {"unmuted at the floor: loud enough", 30, {true, 0, Percent(30)}, nullptr, Stop, "", 1},
      {"unmuted above the floor", 30, {true, 0, Percent(80)}, nullptr, Stop, "", 1},
      {"snoozed, resumed, then Stop", 30, {true, 1, Percent(12)}, nullptr,
       [] {
         TickAt(2, Paused);
         TickAt(2 + 540, Paused);  // the snooze is over: the alarm resumes
         TickAt(2 + 541, Playing);
         TickAt(2 + 542, Stopped);
       },
       "unmuted 30%, muted 12%", 3},
      {"stopped during the snooze", 30, {true, 1, Percent(12)}, nullptr,
       [] {
         TickAt(2, Paused);
         TickAt(100, Stopped);
       },
       "unmuted 30%, muted 12%", 3},
      {"the player's volume moved: the music plays on", 30, {true, 1, Percent(12)}, nullptr,
       [] { TickAt(2, Playing, 150); }, "unmuted 30%", 2},
      {"resumed by the user during the snooze: the music plays on", 30, {true, 1, Percent(12)}, nullptr,
       [] {
         TickAt(2, Paused);
         TickAt(100, Playing);
       },
       "unmuted 30%", 2},
      {"the user turned the computer up, then Stop", 30, {true, 1, Percent(12)}, nullptr,
       [] {
         Device.level = Percent(50);
         Stop();
       },
       "unmuted 30%", 3},
      {"the user muted it again, then Stop", 30, {true, 1, Percent(12)}, nullptr,
       [] {
         Device.muted = 1;
         Stop();
       },
       "unmuted 30%", 3},
      {"the sleep timer", 30, {true, 1, Percent(12)}, nullptr,
       [] {
         StopOn = 1;
         StopH = 7;
         StopM = 1;
         TickAt(60, Playing);
       },
       "unmuted 30%, muted 12%", 3},
      {"a crash mid-alarm: the next load puts it back", 30, {true, 1, Percent(12)}, nullptr, CrashAndLoad,
       "unmuted 30%, muted 12%", 3},
      {"a crash after the user turned it up: theirs stands", 30, {true, 1, Percent(12)}, nullptr,
       [] {
         Device.level = Percent(50);
         CrashAndLoad();
       },
       "unmuted 30%", 3},
      {"a crash after the music played on: nothing goes back", 30, {true, 1, Percent(12)}, nullptr,
       [] {
         TickAt(2, Playing, 150);
         CrashAndLoad();
       },
       "unmuted 30%", 2},
      {"a fade-in begun as the player started, switched off since: no step answers the alarm", 30,
       {true, 1, Percent(12)}, [] { FadeLevel = Player.volume = 120, StartTimer(FadeTimer, 1000, FadeInTick); },
       [] { FireTimer(FadeTimer), TickAt(2, Playing, Player.volume), Stop(); }, "unmuted 30%, muted 12%", 3},
      {"the player's quit", 30, {true, 1, Percent(12)}, nullptr, [] { EndRinging(); },
       "unmuted 30%, muted 12%", 3},
      {"the tone for an empty playlist, answered by a command", 30, {true, 1, Percent(12)},
       [] { Player.listLength = 0; }, [] { CommandReached(); }, "unmuted 30%, muted 12%", 3},
      {"an empty playlist and no tone: nothing sounds", 30, {true, 1, Percent(12)},
       [] {
         Player.listLength = 0;
         SilentTone = 0;
       },
       [] {}, "", 0},
      {"0 leaves it alone", 0, {true, 1, Percent(12)}, nullptr, Stop, "", 0},
      {"above 100 counts as 100", 250, {true, 0, Percent(50)}, nullptr, Stop, "unmuted 100%, unmuted 50%", 3},
      {"negative counts as 100", -1, {true, 1, Percent(50)}, nullptr, Stop, "unmuted 100%, muted 50%", 3},
      {"no device", 30, {false, 1, Percent(12)}, nullptr, Stop, "", 1},
      // Asked for 30%, it holds 25%: that is what the alarm left, and what Stop finds.
      {"a device that takes levels in steps of 5%", 30, {true, 1, Percent(10), Percent(5)}, nullptr, Stop,
       "unmuted 30%, muted 10%", 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetHost();
    StartOn = 1;
    StartH = 7;
    SysVolume = c.sysVolume;
    Device = c.found;
    if (c.setUp) c.setUp();
    SetClock(7, 0, 0);
    AlarmAt = FakeElapsedMs;
    ClockTick();
    TickAt(1, Player.listLength ? Playing : Stopped);
    c.answer();
    EXPECT_EQ(RingOff, Ringing.State);
    EXPECT_EQ(c.writes, VolumeList());
    EXPECT_EQ(c.reads, Device.reads);
  }
}
