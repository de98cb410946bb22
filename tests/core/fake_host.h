// A scripted player behind the seam: records every call in order, answers from Player.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

#include "seam/host_player.h"
#include "settings/settings.h"

struct FakePlayer {
  int32_t playing = 0;  // answer to the playing query (1 playing, 3 paused, 0 stopped)
  int32_t listLength = 10;
  int32_t listPos = 0;
  int32_t volume = 200;
  int32_t positionMs = -1;  // -1: nothing plays
  int32_t lengthS = -1;
  // Answers -1 to the length query this many times before giving lengthS (start-up wait).
  int32_t lengthUnknownFor = 0;
  int32_t lengthQueries = 0;
  // The playlist seam: the list saved aside (its length and entry; -1 no file), whether a
  // save fails or the file is damaged, what an alarm's music gives the list.
  int32_t savedLength = -1;
  int32_t savedPos = 0;
  bool saveFails = false;
  bool savedDamaged = false;
  int32_t musicEntries = 3;
  bool suspendFails = false;  // SetSuspendState refuses
};

extern FakePlayer Player;

// The computer's output behind ReadSystemVolume and WriteSystemVolume.
struct FakeDevice {
  bool present = true;
  int32_t muted = 0;
  int32_t level = FullLevel;
  int32_t step = 1;  // the device takes levels in these steps, rounding down
  int32_t reads = 0;
};
extern FakeDevice Device;
// The writes, as what they ask for: "unmuted 30%", "muted 12%".
extern std::vector<std::string> VolumeCalls;
// The wake timer and keep-awake calls, apart from the player's: "Wake 2026-12-09 06:58",
// "CancelWake", "Awake 1" (system), "Awake 3" (and display), "Awake 0" (released).
extern std::vector<std::string> WakeCalls;
extern int32_t WakeAnswer;  // what arming reports
extern PowerFactsRecord PowerFacts;  // what ReadPowerFacts answers; all yes after a reset
// What the ringing window was told, one entry a change: "07:00 Ringing", "07:00 Snoozed
// until 07:09", "closed".
extern std::vector<std::string> WindowCalls;
extern std::vector<std::string> Calls;
extern LocalTimeRecord FakeClock;
// UTC seconds are the fake clock's own, read as UTC, plus this: a change of the zone's offset
// (summer time) moves the local clock alone. A clock set by hand moves both.
extern int64_t FakeUtcOffset;
// The zone's rules: before this UTC second (0: none) the offset is FakeUtcOffsetBefore, from it
// FakeUtcOffsetAfter. UtcSeconds keeps to FakeUtcOffset, the offset of the moment.
extern int64_t FakeZoneChangeUtc;
extern int64_t FakeUtcOffsetBefore;
extern int64_t FakeUtcOffsetAfter;
// The zone's offset changed at this UTC time (given as a date and time of day in UTC).
void ZoneChangesAt(int year, int month, int day, int hour, int64_t before, int64_t after);
// What ElapsedMilliseconds answers: moved by the tests alone, apart from both clocks. It
// starts minutes before it wraps, as the real count does after 49 days.
extern uint32_t FakeElapsedMs;
extern TimerProc RunningTimers[3];  // by id; null when not running

// Fresh module state (settings defaults, run state zero), a fresh player, no calls.
void ResetHost();
void SetClock(int hour, int minute, int second, int day = 8, int month = 12, int year = 2026);
// The same, with the day of the week the calendar gives.
void SetDate(int year, int month, int day, int hour, int minute, int second = 0);
std::string WakeList();
std::string WindowList();
std::string VolumeList();
// Runs the timer procedure of a running timer; false when the timer is not running.
bool FireTimer(int32_t id);
std::string CallList();  // the calls joined by ", ", for readable failures

enum : int32_t { Stopped = 0, Playing = 1, Paused = 3 };  // the player's answers to IsPlaying
// The stop event at 23:00 with whatever options the test has set, over music playing.
void StopAtEleven();
