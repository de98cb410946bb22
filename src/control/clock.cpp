#include "control.h"

#include "../seam/host_player.h"
#include "../settings/settings.h"
#include "calendar.h"

enum : int32_t { LongestTickGap = 60, KeepSeenEvery = 15 * 60 };  // seconds

static uint32_t SeenKept;  // the last tick kept for the next load
static bool Decided;       // an alarm's minute was noted since the last tick kept

static void NoteMinute(FiredRecord& fired, const LocalTimeRecord& t) {
  fired.Year = t.Year;
  fired.Month = t.Month;
  fired.Day = t.Day;
  fired.Hour = t.Hour;
  fired.Minute = t.Minute;
}

// Any tick in the minute will do (timer messages arrive late when the player is busy),
// but only the first: a second tick, or the dialog re-enabling the event, must not repeat it.
bool EventDue(int32_t on, int32_t hour, int32_t minute, FiredRecord& fired) {
  if (!on || LocalTime.Hour != hour || LocalTime.Minute != minute || SameMinute(fired, LocalTime))
    return false;
  NoteMinute(fired, LocalTime);
  return true;
}

// The local clock `ago` UTC seconds before the tick now read, as the zone showed it then.
static LocalTimeRecord LocalAgo(uint32_t utc, uint32_t ago) {
  int32_t back = static_cast<int32_t>(ago), now, then;
  if (LocalOffsetAt(utc, &now) && LocalOffsetAt(utc - ago, &then)) back += now - then;
  // Ahead, when summer time ended since: the clock showed a later minute then.
  int32_t second = LocalTime.Second - back, minutes = (second < 0 ? second - 59 : second) / 60;
  LocalTimeRecord t = MinutesLater(LocalTime, minutes);
  t.Second = static_cast<uint16_t>(second - minutes * 60);
  return t;
}

// Where the ticks left off before this load: the last one the plug-in ran, kept in the
// registry, when that lies in the last week: false without one. The player closed (or crashed)
// then; when that was in an earlier minute, the alarm minutes since come to the first tick as
// any stepped over do, to be caught up or told as missed.
static bool LastRun(const TickRecord& now, TickRecord* last) {
  uint32_t seen = ReadLastSeen(), ago = now.Utc - seen;
  if (!seen || ago > 6u * 24 * 3600) return false;
  *last = TickRecord{LocalAgo(now.Utc, ago), seen, now.Elapsed};
  return true;
}

// The minute the player starts in began without us, unless the player ran into it: the stop
// that just closed the player, or the alarm the user silenced by closing it, must not run
// again when it is reopened. What rang before is not known, so each alarm's latest minute up to
// the last tick that ran counts as rung: a clock set back after a restart does not ring it again.
void MarkMinuteSeen() {
  ReadLocalTime();
  TickRecord now = {LocalTime, UtcSeconds(), ElapsedMilliseconds()}, last = now;
  bool known = LastRun(now, &last);
  Reopened = known && MinuteNumber(LocalTime) > MinuteNumber(last.Local);
  LastTick = Reopened ? last : now;
  // Summer time ended since the last tick, whose local minute lies ahead again: up to that one
  // (by UTC, the first pass), or the second pass rings again what the first rang.
  const LocalTimeRecord& upTo = known && !Reopened ? last.Local : LocalTime;
  for (int32_t slot = 0; slot < AlarmCount; ++slot) {
    AlarmRecord alarm;
    LocalTimeRecord at;
    int32_t back = -1;
    // By UTC, not the local minute: a minute summer time repeats rang at its first pass.
    for (uint32_t utc; ReadAlarm(slot, &alarm) && AlarmCanRing(alarm) &&
                       (back = LatestMinute(alarm, upTo, back + 1, 8 * MinutesPerDay, &at)) >= 0;)
      if (!known || !UtcOf(at, &utc) || static_cast<int32_t>(utc - last.Utc) <= 0) break;
    NoteMinute(AlarmFired[slot], back >= 0 ? at : LocalTime);
  }
  NoteMinute(StopFired, LocalTime);
  SeenKept = LastTick.Utc - KeepSeenEvery, Decided = false;  // the first tick keeps its own
}

// The last tick, kept for the next load: now and then, and at once whenever an alarm's minute
// was decided (rung, skipped or given up) or the alarms were changed, so that none is decided
// twice across a crash or a restart.
void KeepSeen() {
  if (static_cast<int32_t>(LastTick.Utc - SeenKept) <= 0) return;
  KeepLastSeen(LastTick.Utc);
  SeenKept = LastTick.Utc;
}

// An alarm in its minute rings once, on one of its days, unless skipped; notes its occurrence.
// A skipped one is noted too, spent as one that rang: a clock set back, or the hour summer
// time repeats, must not bring it back.
static bool OnTime(int32_t slot) {
  AlarmRecord alarm;
  if (SameMinute(AlarmFired[slot], LocalTime) || !ReadAlarm(slot, &alarm) ||
      !AlarmDay(alarm, LocalTime.DayOfWeek))
    return false;
  NoteMinute(AlarmFired[slot], LocalTime);
  Decided = true;
  return !Skipped(LocalTime);
}

// The alarms that ring on this tick, a bit a slot: in their minute on time, or stepped over
// and caught up. Each notes its occurrence; `at` gets the time of day of the first.
// Those stepped over since the last tick: the late ones to ring (a bit a slot), with any on time;
// each is noted, the skipped ones too, and those given up are told.
static int32_t SteppedOver(const TickRecord& tick, LocalTimeRecord* missed) {
  int32_t skipped = 0, lost = 0, late = MissedAlarms(tick, missed, &skipped, &lost), told[AlarmCount], count = 0;
  if (late | skipped | lost) Decided = true;  // those told too: not told again after a crash
  for (int32_t slot = AlarmCount; (late | skipped | lost) && slot-- > 0;) {
    if (lost >> slot & 1) told[count++] = MinuteNumber(missed[slot]);
    if (!((late | skipped) >> slot & 1)) continue;
    NoteMinute(AlarmFired[slot], missed[slot]);
  }
  if (count) TellMissed(tick, told, count);
  return late;
}

static int32_t AlarmsDue(const TickRecord& tick, int32_t* at) {
  // Those stepped over, first, before one on time now can note its later minute. A tick in the
  // last one's minute, as nearly every tick is, stepped over none.
  LocalTimeRecord missed[AlarmCount];
  const LocalTimeRecord &now = tick.Local, &last = LastTick.Local;
  int32_t late = now.Minute == last.Minute && now.Hour == last.Hour && now.Day == last.Day && now.Month == last.Month
                     ? 0
                     : SteppedOver(tick, missed);
  int32_t due = 0;
  // The time first, straight from the packed words: an idle tick stays cheap with every
  // alarm on.
  if (StartOn && StartH == LocalTime.Hour && StartM == LocalTime.Minute && OnTime(0)) due = 1;
  uint32_t minute = PackedOn | static_cast<uint32_t>(LocalTime.Hour) << 8 | LocalTime.Minute;
  for (int32_t slot = 1; slot < AlarmCount; ++slot)
    if ((PackedAlarm(slot) & (PackedOn | 0xFFFF)) == minute && OnTime(slot)) due |= 1 << slot;
  // The time shown is the first alarm's, whose label and volume ring (DueSound).
  if (!(due | late)) return 0;
  int32_t first = FirstSlot(due | late);
  const LocalTimeRecord& when = due >> first & 1 ? LocalTime : missed[first];
  *at = when.Hour * 60 + when.Minute;
  return due | late;
}

void ClockTick() {
  ReadLocalTime();
  TickRecord tick = {LocalTime, UtcSeconds(), ElapsedMilliseconds()};
  // Back from a sleep or a stall, or the clock set: a stop still in progress then is no longer
  // tonight's. Either count may hide it, a sleep and the clock set back over it together.
  int32_t gap = static_cast<int32_t>(tick.Utc - LastTick.Utc);
  bool jumped = gap > LongestTickGap || gap < -LongestTickGap ||
                tick.Elapsed - LastTick.Elapsed > LongestTickGap * 1000u;
  if (StopPhase && jumped) CancelStop();
  if (Missed.Count) MissedClockBack(tick);
  int32_t at = 0;
  int32_t due = AlarmsDue(tick, &at);
  // Kept before the alarm starts: a crash in its start must not ring it again at the next load.
  // Never kept back: a clock set back a little must not hand a minute already decided to the next load.
  int32_t unkept = static_cast<int32_t>(tick.Utc - SeenKept);
  if (unkept >= KeepSeenEvery || (Decided && unkept > 0)) KeepLastSeen(tick.Utc), SeenKept = tick.Utc, Decided = false;
  if (WakeTest.Pending && !due) WakeTestTick(tick);  // before the wake is set again below
  // An alarm stepped over and given up left the wake set for it, in the past.
  if (jumped && !due) RefreshWake();
  if (due) {
    GiveUpSleptThrough();  // first: the alarm due then starts from silence
    // The alarm outranks the sleep timer, whatever the player is doing.
    AlarmCancelsStop();
    StopAfterLast = 0;
    SettingsChanged();
    if (Ringing.Test) EndTest();
    // Nobody chose the music the start-up began (the player may have started with Windows): an
    // alarm the first tick after it rings, one the player was closed over most of all, starts
    // from silence, as over a test.
    else if (StartupPlayed) SendStop();
    if (Activate) ActivatePlayer();
    AlarmSound sound;
    DueSound(due, &sound);
    int32_t started = StartAlarm(sound);
    AlarmsRang(due);  // once alarms switch themselves off
    AlarmRan(started, at, sound.Label);
  } else if (Ringing.State) {
    RingTick();
  } else if (AwakeHeld) {
    KeepAwakeTick();
  }
  // A waitable timer fires once: the wake whose time has come is set again while anything lies
  // ahead (the alarm's own minute, inside the lead).
  if (WakeArmed && WakeCame(tick.Utc, tick.Elapsed)) RefreshWake();
  SpendSkipTick();
  WaitingStopTick();
  // Sees the clock as the random pick may have re-read it. Not caught up: a stop, close or
  // power-off carried out late would surprise whoever just woke the computer.
  StopEvent();
  SleepTimerTick();
  // Last: the sleep timer's stop just now brings the user's list back in the same tick.
  if (OwnMusicState == MusicKept) MusicTick();
  if (jumped) SleepSeen = 0;  // told, if anything was given up
  Reopened = StartupPlayed = false;
  LastTick = tick;
}
