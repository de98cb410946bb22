// Scheduling and playback control: portable, reaches the player only through host_player.h.
#pragma once
#include <stdint.h>

#include "../settings/settings.h"

void ClockTick();
void MarkMinuteSeen();  // at start-up: no event fires in the minute already in progress
// True once per occurrence of the event's minute while it is enabled; notes the firing.
bool EventDue(int32_t on, int32_t hour, int32_t minute, FiredRecord& fired);
// What the start did: the player played already, it started, or it could not (no playlist).
enum : int32_t { AlreadyPlaying = 0, Started = 1, CannotStart = 2 };
int32_t StartPlayback();
uint32_t PickRandom(uint32_t n);
void StartFadeIn();  // from VolStart, a step every TimeOut
void FadeInTick();
void StopEvent();
void RunStop();  // the sleep timer's actions: its phases, then the final stop
void StopPlayback();
void FadeOutTick();
void StartupPlay();
void TrackEnded();  // the player's end-of-track notice

// The alarm's days and the wake timer (local time, portable).
bool AlarmDay(int32_t dayOfWeek);  // 0 Sunday .. 6 Saturday
bool AlarmCanRing();  // a valid time of day and a day ticked
// The alarm occurrence the clock stepped over between LastTick and `tick` that is still due:
// on an alarm day, not rung, and at most minutes ago in real time.
bool MissedAlarm(const TickRecord& tick, LocalTimeRecord* at);
// The next alarm after the minute `now` is in, and the minutes from that minute to it;
// false when the alarm is off, has no day ticked or no valid time.
bool NextAlarm(const LocalTimeRecord& now, LocalTimeRecord* at, int32_t* minutes);
// Arms the wake timer for two minutes before the next alarm, or cancels it; reads the clock.
void RefreshWake();
// Keeping the computer awake for the alarm.
void ResumedAutomatically();  // the computer woke without a user
void AlarmRan(int32_t started);  // after the start event: re-arm, ring
void KeepAwakeTick();            // each clock tick while a hold waits for the alarm
void Hold(int32_t state);  // AwakeSystem, AwakeDisplay, asked of Windows and noted
void ReleaseAwake();

// Answering the alarm: Pause snoozes, Stop or the volume ends it, nobody answering too.
void BeginRinging(int32_t started);
void RingTick();        // each clock tick while the alarm rings, snoozes or sounds its tone
void EndRinging();      // the sleep timer, the quit
void CommandReached();  // a command reached the player, or the settings opened

// The computer's own volume for the ringing alarm: unmuted and raised to SysVolume % at its
// start, put back at its end unless the user changed it, or left for music playing on.
void RaiseSystemVolume();
void PutBackSystemVolume();  // playback ended
void LeaveSystemVolume();    // the music plays on: the computer stays as the alarm set it

// The sleep timer's countdown, chosen from the player's menu; it lives while the player runs.
void SleepTimerChoose(int32_t minutes);  // from now; a running countdown starts over
void SleepTimerOff();
void SleepTimerTick();  // each clock tick: at the countdown's end, the sleep timer's actions
// While a countdown runs: the local time it ends in (second 0 of its minute) and the minutes
// from the minute `now` is in to that one; false when none runs.
bool SleepTimerEnd(const LocalTimeRecord& now, LocalTimeRecord* at, int32_t* minutes);
