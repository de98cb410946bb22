// Scheduling and playback control: portable, reaches the player only through host_player.h.
#pragma once
#include <stdint.h>

#include "../settings/settings.h"

// An alarm as it rings: its record and what else is its own, gathered from its slot (SlotSound)
// or from the alarm dialog's fields for a test. Whatever an alarm has of its own travels in here,
// so that a test rings as the alarm itself would.
struct AlarmSound {
  AlarmRecord Alarm;
  const char16_t* Music;  // empty: the player's playlist
  const char16_t* Label;  // empty: none
  int32_t Level;          // its own player volume (LevelOf), 0 for none
};
void SlotSound(int32_t slot, AlarmSound* sound);
// Of the alarms due (a bit a slot), what rings: the music of the first with music of its own,
// the label and volume of the first.
void DueSound(int32_t due, AlarmSound* sound);

enum : int32_t { CatchUpSeconds = 10 * 60 };  // an alarm's minute stepped over still rings this late

void ClockTick();
void MarkMinuteSeen();  // at start-up: no event fires in the minute already in progress
void KeepSeen();        // the last tick, for the next load: at the player's close, or alarms changed
// True once per occurrence of the event's minute while it is enabled; notes the firing.
bool EventDue(int32_t on, int32_t hour, int32_t minute, FiredRecord& fired);
// What the start did: the player played already, it started, or it could not (no playlist).
enum : int32_t { AlreadyPlaying = 0, Started = 1, CannotStart = 2 };
// `level`: the alarm's own volume (LevelOf), 0 for none; it becomes OwnLevel once playback starts.
int32_t StartPlayback(int32_t level = 0);
uint32_t PickRandom(uint32_t n);
void StartFadeIn();  // from VolStart, a step every TimeOut, up to OwnLevel or else VolEnd
void FadeInTick();
void StopEvent();
void RunStop();  // the sleep timer's actions: its phases, then the final stop
enum : int32_t { DailyStop = 1, CountdownStop = 2 };
void RunStopFor(int32_t source);  // unless the other source ran them within the minute
void StopPlayback();  // the final stop
void FadeOutTick();
void CancelFadeOut();    // the fade timer stopped, the volume put back where the fade began
void AskStopAfterCurrent();  // the player's stop after the current track, which we then own
void SendStop();             // the player's stop, which also takes that back
void CancelStop();       // the alarm, or a long gap between ticks, ends any stop in progress
void AlarmCancelsStop();  // the alarm's: a wait's stop after the track taken back from music
void PutBackFadedVolume();  // closing mid-fade-out: the volume the fade began at
void WaitingStopTick();  // each tick: a wait for the end of a track the user stopped is over
void StopCommandSeen();  // the player's Stop reached its window
void StartupPlay();
extern bool StartupPlayed;  // the music playing is the start-up's own, not someone listening
void TrackEnded();  // the player's end-of-track notice

// The list of alarms: slot 0 is alarm 1 (the settings dialog's own), slots 1 to 7 the packed
// words Alarm2 .. Alarm8.
bool ReadAlarm(int32_t slot, AlarmRecord* alarm);  // false for an empty slot
void WriteAlarm(int32_t slot, const AlarmRecord& alarm);
void RemoveAlarm(int32_t slot);  // a packed slot only: alarm 1 can be switched off, not removed
bool SameAlarm(const AlarmRecord& a, const AlarmRecord& b);  // time, days, on and once
bool AlarmCanRing(const AlarmRecord& alarm);  // on, a valid time of day and a day ticked
bool AlarmDay(const AlarmRecord& alarm, int32_t dayOfWeek);  // 0 Sunday .. 6 Saturday
void AlarmsRang(int32_t slots);  // a bit a slot: the once alarms among them switch off, saved
void AlarmsEdited();  // by the user: cancels a skip pending
void SwitchAlarm(int32_t slot);  // on or off; saves, re-arms the wake
// Skipping one occurrence of whichever alarm comes next.
bool Skipped(const LocalTimeRecord& at);
void ToggleSkip();     // skips the next alarm, or cancels the skip pending; saves, re-arms
void SpendSkipTick();  // each tick: a skip whose minute has passed is gone
// The alarms whose minute the clock stepped over between LastTick and `tick` that are still
// due: on one of their days, not rung, not skipped, at most ten minutes ago in real time. A
// bit a slot; `at`, when given, gets each one's minute by slot, and those skipped too, whose
// bits go to `skipped`.
// Those more than ten minutes late are given up: their bits go to `lost`, their minutes to `at`.
int32_t MissedAlarms(const TickRecord& tick, LocalTimeRecord* at = nullptr, int32_t* skipped = nullptr,
                     int32_t* lost = nullptr);
// The latest of an alarm's minutes on one of its days, at least `from` and less than `before`
// minutes back from the minute `now` is in, within a week: minutes back, or -1.
int32_t LatestMinute(const AlarmRecord& alarm, const LocalTimeRecord& now, int32_t from, int32_t before,
                     LocalTimeRecord* at);
// The next alarm to ring after the minute `now` is in, of them all, and the minutes from that
// minute to it, and the first slot of the alarms then in `slot`; false when none will ring.
bool NextAlarm(const LocalTimeRecord& now, LocalTimeRecord* at, int32_t* minutes, int32_t* slot = nullptr);
// The same for one alarm as the alarm dialog shows it, for slot `slot`, as it would be saved:
// minutes to its next ring, -1 for none.
int32_t MinutesToRing(int32_t slot, const AlarmRecord& alarm, const LocalTimeRecord& now);
// Arms the wake timer for two minutes before the next alarm (or a snooze's end, when that comes
// first), or cancels it; reads the clock.
void RefreshWake();
void ComputerSuspending();  // the wake set, for certain, before the computer sleeps
// A waitable timer fires once: by its UTC second, or, unless a clock was set since it was armed,
// by the elapsed count. A tick may not come between the two (a stall, a clock set back at once).
inline bool WakeCame(uint32_t utc, uint32_t elapsed) {
  return static_cast<int32_t>(utc - WakeDue) >= 0 || static_cast<int32_t>(elapsed - WakeFiresBy) >= 0;
}
// Keeping the computer awake for the alarm.
void ResumedAutomatically();  // the computer woke without a user
void AlarmRan(int32_t started, int32_t at, const char16_t* label);  // after an alarm's start: re-arm, ring
void KeepAwakeTick();            // each clock tick while a hold waits for the alarm
void Hold(int32_t state);  // AwakeSystem, AwakeDisplay, asked of Windows and noted
void ReleaseAwake();

// Answering the alarm: Pause snoozes, Stop or the volume ends it, nobody answering too.
// at: the alarm's time of day, in minutes; label: the alarm's, shown while it rings.
void BeginRinging(int32_t started, int32_t at, const char16_t* label);
void RingTick();        // each clock tick while the alarm rings, snoozes or sounds its tone
void GiveUpSleptThrough();  // a tick after a sleep over the ringing alarm, first
void EndRinging();      // the sleep timer, the quit
void CommandReached();  // a command reached the player, or the settings opened
// The ringing window's buttons: CmdPause (Snooze) or CmdStop, as the player's own buttons
// send them; the window shows the outcome at once.
bool CanSnooze();  // ringing, with a snooze to take
bool SnoozeLeft(uint32_t* ms);  // snoozed, with this much of it still to come
void AnswerRinging(int32_t command);

// The computer's own volume for the ringing alarm: unmuted and raised to SysVolume % at its
// start, put back at its end unless the user changed it, or left for music playing on.
void RaiseSystemVolume();
void PutBackSystemVolume();  // playback ended
void LeaveSystemVolume();    // the music plays on: the computer stays as the alarm set it
void PutBackLeftVolume();    // at load: what a crash mid-alarm left raised goes back

// The sleep timer's countdown, chosen from the player's menu; it lives while the player runs.
void SleepTimerChoose(int32_t minutes);  // from now; a running countdown starts over
void SleepTimerOff();
void SleepTimerTick();  // each clock tick: at the countdown's end, the sleep timer's actions
// While a countdown runs: the local time it ends in (second 0 of its minute) and the minutes
// from the minute `now` is in to that one; false when none runs.
bool SleepTimerEnd(const LocalTimeRecord& now, LocalTimeRecord* at, int32_t* minutes);

// What stands in the way of an alarm ringing, most serious first; WarnNone when nothing does.
enum : int32_t {
  WarnNone = 0,
  WarnShutDown,         // the sleep timer shuts the computer down before an alarm
  WarnWakeOff,          // it puts the computer to sleep, and "Wake computer for alarm" is off
  WarnCannotWake,       // arming the wake timer said this computer cannot be woken
  WarnNoWakeTimers,     // the power plan allows no wake timers, plugged in or on battery
  WarnNoWakeOnMains,    // ... plugged in
  WarnNoWakeOnBattery,  // ... on battery
  WarnNoHibernation,    // the sleep timer hibernates a computer without hibernation
  WarningCount
};
// The warning for the alarms as they stand at `now`, and the alarm it concerns in `at`; reads
// the power facts only while an alarm will ring.
int32_t AlarmWarning(const LocalTimeRecord& now, LocalTimeRecord* at);
// An alarm's own music (AlarmMusic), with the user's playlist saved aside while it plays.
// Starts an alarm: its music, the user's list saved first; what cannot be saved or enqueued
// plays the player's list as today.
int32_t StartAlarm(const AlarmSound& sound);
// The alarm's music stayed silent: the user's list back, started as an alarm on it would be;
// false when it could not be (the tone then, as today).
bool FallBackToUsersList();
void MusicAlarmOver();    // the alarm ended: the user's list back, unless its music plays on
void MusicTick();         // each tick while it plays on: back once the player stops
void MusicBeforeClose();  // the player closes: the user's list back first, for it to save
void RestoreLeftList();   // at load: a list a crash left aside comes back
// Each alarm's own volume: the player level of slot's Alarm1Volume .., 0 for none.
int32_t LevelOf(int32_t slot);
int32_t PercentLevel(int32_t percent);  // 1 to 100, or 0 for none
// As the alarm starts or resumes: the fade-in, or OwnLevel set at once.
void StartVolume();
// The first slot of a bit a slot, not 0: several alarms in one minute ring as the first.
inline int32_t FirstSlot(int32_t slots) { return __builtin_ctz(static_cast<uint32_t>(slots)); }

// ---- will it ring: tests, and the alarms missed ----
// Rings `sound` now as a test, the whole way, as its alarm would ring: no alarm or skip changes,
// no minute counts as rung, the wake stays the real alarms'. Music playing stops first, as the
// test is for being heard. What it did:
enum : int32_t { TestRings = 0, TestBusy = 1, TestSilent = 2 };  // busy: an alarm rings or snoozes
int32_t TestAlarm(const AlarmSound& sound);
// A real alarm's minute came during a test: the test stops, and the alarm starts as its own.
void EndTest();
// The sleep-and-wake test: the wake set TestWakeSeconds ahead, then standby; at the wake the
// slot's alarm rings as a test. What came of it:
enum : int32_t { TestWakeSeconds = 2 * 60 };
enum : int32_t { WakeTestSleeps = 0, WakeTestOff, WakeTestRefused, WakeTestCannotWake, WakeTestNoStandby };
int32_t SleepAndWake(int32_t slot);
void WakeTestTick(const TickRecord& tick);  // each tick while a wake test waits
// The wake test waiting: its slot, and when it comes in UTC seconds.
struct WakeTestRecord {
  int32_t Pending;
  int32_t Slot;
  uint32_t Due;
};
extern WakeTestRecord WakeTest;
// The alarms given up in a gap between ticks, told in the ringing window while nothing rings:
// their times (MinuteNumber, earliest first), why, and until when. Count 0: none to tell.
enum : int32_t { MissedAsleep = 0, MissedClockSet = 1, MissedStalled = 2, MissedClosed = 3 };
struct MissedRecord {
  int32_t Count;
  int32_t At[AlarmCount + 1];  // the wake test's too
  int32_t Why;
  int32_t Until;  // MinuteNumber
  uint32_t Gap;   // the elapsed count of the tick that told them
};
extern MissedRecord Missed;
extern int32_t SleepSeen;  // a suspend or resume notice came since the last gap
extern bool Reopened;      // the first tick after a load that found where the last run's ticks ended
// Those given up on this tick, at `at` (MinuteNumber): one window for all of one gap.
void TellMissed(const TickRecord& tick, const int32_t* at, int32_t count);
void MissedClockBack(const TickRecord& tick);  // each tick with any told: what the clock set back brings ahead
void MissedSeen();  // OK: the window goes, unless an alarm rings
