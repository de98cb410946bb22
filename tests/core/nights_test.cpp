// A thousand random nights: the playback logic against sleepy users, stalls, sleeps
// and clock steps, with the README's seven promises checked after everything the plug-in does.
// Around the fake host run a player as the stand-in player behaves, its two timers, the clocks
// and the zone, and a computer that sleeps; the plug-in's init, close and quit do what the DLL's
// do. make test: nights 1-100. make soak: 1-10,000. make night SEED=n: night n, step by step.
//
// How the README's words are read: an alarm's minute "comes" when the local clock enters it,
// running or jumping (a skipped summer-time minute with the change; in the repeated hour, at
// its later pass); lateness is counted on the system clock, and across a clock set by hand the
// plug-in cannot tell real time, so either answer passes. The first tick after a minute came
// decides its occurrence (Absorb and AfterTick check 1, 2, 3, 5 as the calls come; AfterTick
// checks 4, 6, 7 after each tick). A restarted player knows nothing of what rang before, but no
// alarm rings whose minute came before it started. A skipped occurrence stays skipped.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "control/control.h"
#include "fake_host.h"

namespace {

enum : int64_t { Sec = 1000, Min = 60 * Sec, Hour = 60 * Min, Day = 24 * Hour, Never = INT64_MAX / 4 };

struct Dice {  // splitmix64: the seed alone decides a night
  uint64_t s;
  uint64_t Next() {
    uint64_t z = (s += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int64_t Roll(int64_t n) { return static_cast<int64_t>(Next() % static_cast<uint64_t>(n)); }
  int64_t Between(int64_t a, int64_t b) { return a + Roll(b - a + 1); }
  bool Chance(int percent) { return Roll(100) < percent; }
  template <class T, size_t N> T Pick(const T (&a)[N]) { return a[Roll(N)]; }
};

// Days as the fake clock counts them (from 1 March of year 0), and back; times in ms of that.
int64_t DaysFrom(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  int64_t era = y / 400, yoe = y - era * 400, doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy;
}
void Civil(int64_t days, int* y, int* m, int* d) {
  int64_t era = days / 146097, doe = days - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
  *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *y = static_cast<int>(yoe + era * 400 + (*m <= 2));
}
int DayOfWeek(int64_t days) { return static_cast<int>(((days - DaysFrom(2026, 12, 6)) % 7 + 7) % 7); }
std::string Text(int64_t local) {
  static const char* const names[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  int y, m, d;
  Civil(local / Day, &y, &m, &d);
  char text[40];
  snprintf(text, sizeof text, "%s %02d.%02d.%04d %02d:%02d:%02d", names[DayOfWeek(local / Day)], d, m, y,
           int(local % Day / Hour), int(local % Hour / Min), int(local % Min / Sec));
  return text;
}

// Local time is the system clock plus an offset, which summer time moves at one instant a night.
struct Zone {
  int64_t before = Hour, after = Hour, at = Never;  // `at` on the system clock
  int64_t Offset(int64_t sys) const { return sys < at ? before : after; }
  // When a local minute really comes: its first pass; a minute summer time skips comes with it.
  int64_t Comes(int64_t local) const {
    if (local < at + before) return local - before;
    return local < at + after ? at : local - after;
  }
};

// The alarms, as the settings hold them (alarm 1 and the packed words): every promise about
// an alarm loops over this list.
struct Alarm {
  bool on;
  int32_t hour, minute, days;
  int64_t At(int64_t day) const { return day * Day + (hour * 60 + minute) * Min; }  // local
  bool On(int64_t day) const { return on && (days >> DayOfWeek(day) & 1); }
};
std::vector<Alarm> Alarms() {
  std::vector<Alarm> alarms;
  for (int32_t slot = 0; slot < AlarmCount; ++slot) {
    AlarmRecord a;
    bool valid = ReadAlarm(slot, &a) && a.Hour >= 0 && a.Hour < 24 && a.Minute >= 0 && a.Minute < 60;
    alarms.push_back({valid && a.On && (a.Days & EveryDay), a.Hour, a.Minute, a.Days});
  }
  return alarms;
}
using Occurrence = std::pair<size_t, int64_t>;       // which alarm, at which local minute
struct Came { int64_t sys, t; };                       // when a local minute came, on both clocks
struct Move { int64_t t0, t1, sys0, sys1, loc0, loc1; };  // the clocks running, or jumping (t0 == t1)
enum Kind { Tick, Fade, TrackEnd, Other };             // what entered the plug-in
enum Claim { Quiet, Ringing, Snoozed };                // the alarm, as the README says it behaves
const char* const Promises[] = {
    "", "no surprise power action", "an alarm rings once, on time", "an alarm the player was there for rings",
    "the hold follows the alarm", "pause never plays", "the tone only when needed",
    "the wake follows the alarms"};

struct Night {
  uint64_t seed;
  Dice rnd;
  bool verbose;
  Zone zone;
  int64_t t = 0, sys = 0, forward = 0;  // true time (ms); the system clock; its steps forward
  uint32_t elapsed0;
  // The player, as the stand-in player behaves, and the plug-in's two timers in it.
  bool running = false, dead = false, stopAfter = false, endPending = false, timeChanged = false;
  int32_t playing = 0, pos = 0, volume = 200, listPos = 0, stored[SettingCount];
  std::vector<int32_t> lengths;  // ms; none: an empty playlist
  int64_t due[3] = {0, 0, 0}, fadeEvery = 1000;
  // What the plug-in asked of the computer.
  bool tone = false, wakeArmed = false;
  int32_t held = 0;
  int64_t wakeAt = 0, wakeSetAt = 0;
  // What the README told the user to expect: the alarm ringing, the stop under way, the
  // occurrences decided (the first tick after them) and rung.
  Claim claim = Quiet;
  int64_t claimT = 0, claimSys = 0, claimFwd = 0, snoozeT = 0, snoozeFwd = 0;
  int32_t baseline = 0;  // the volume a ringing alarm plays at, as its first tick playing finds it
  bool baselineDue = false, volumeRule = true;  // lost when the fade-in is ticked or not mid-ring
  struct { bool current, fade, wait; } stop = {false, false, false};
  std::string stopCut;  // why the last stop is no longer current
  int64_t countdownEnd = -1, skipped = -1, loadedT = 0, lastTickT = 0, lastTickLocal = 0, resumeT = 0;
  std::set<int64_t> stopsSeen;
  std::set<Occurrence> decided, rung, unsure, passed;  // passed: skipped when their minute came
  std::vector<std::pair<Occurrence, int64_t>> resumeHolds;  // and until when (true time)
  std::vector<std::vector<int32_t>> alarmKeys;            // each alarm as last seen
  std::vector<int64_t> alarmChangedT;                     // and when it last changed
  // The first tick after the clock was last set by hand: across that, which clock counted real
  // time, the plug-in cannot tell.
  int64_t handTickT = -Never;
  bool unattended = false, syncHint = false, playHint = false;  // a sync after a wake, music after a stop
  int movingTicks = 0, toneMoving = 0;
  int32_t tickPos = -1, tickList = -1;
  std::vector<Move> moves;
  // The run, and what the entry under way did.
  std::vector<std::string> steps;
  std::string breach;
  int promise = 0;
  long entries = 0, stepCount = 0;
  Kind kind = Other;
  bool begins, played, toneStart, suspend, powerOff, closing;

  int64_t Local() const { return sys + zone.Offset(sys); }
  int64_t Minute() const { return Local() - Local() % Min; }
  int64_t R(int64_t a, int64_t b) { return rnd.Between(a, b); }

  void Breach(int n, const std::string& what) {
    if (!breach.empty()) return;
    promise = n;
    breach = "promise " + std::to_string(n) + " (" + Promises[n] + "): " + what + ", at " + Text(Local());
  }

  void Log(const std::string& what) {
    char state[64];
    const char* how = playing == 1 ? "playing" : playing ? "paused" : "stopped";
    snprintf(state, sizeof state, "  [%s %d/%zu %d:%02d vol %d%s]", how, listPos + 1, lengths.size(),
             pos / 60000, pos / 1000 % 60, volume, running ? "" : ", player closed");
    steps.push_back(std::to_string(stepCount) + "  " + Text(Local()) + "  " + what + state);
    if (verbose) printf("%s\n", steps.back().c_str());
  }

  // ---- the clocks --------------------------------------------------------------------------
  void Note(const Move& m) {  // the clocks running on join the last run
    Move& last = moves.back();
    if (last.t0 < last.t1 && m.t0 < m.t1 && last.t1 == m.t0 && last.loc1 == m.loc0)
      last.t1 = m.t1, last.sys1 = m.sys1, last.loc1 = m.loc1;
    else moves.push_back(m);
    if (moves.size() > 200) moves.erase(moves.begin(), moves.begin() + 100);
  }

  // Time passing, the clocks together; the player plays on unless the computer sleeps.
  void Clock(int64_t ms, bool plays) {
    while (ms > 0) {
      int64_t step = ms, loc = Local();
      bool change = sys < zone.at && zone.at - sys <= step;
      if (change) step = zone.at - sys;
      Note({t, t + step, sys, sys + step, loc, loc + step});
      t += step, sys += step, ms -= step;
      if (plays && playing == 1 && !dead && !lengths.empty() && (pos += int32_t(step)) >= lengths[listPos])
        pos = lengths[listPos], endPending = true;  // the notice waits for the player's thread
      if (change) Note({t, t, sys, sys, loc + step, Local()}), timeChanged = true;
    }
  }

  // The latest time the local clock entered minute m, running into it or jumping over it.
  bool Entered(int64_t m, Came* c) const {
    for (size_t i = moves.size(); i-- > 0 && moves[i].t1 >= t - 30 * Min;) {
      const Move& v = moves[i];
      if (v.loc0 >= m || m > v.loc1) continue;
      *c = v.t0 < v.t1 ? Came{v.sys0 + (m - v.loc0), v.t0 + (m - v.loc0)}
                       : Came{std::max(v.sys1 - (v.loc1 - m), v.sys0), v.t1};
      return true;
    }
    return false;
  }

  void Jump(int64_t ms, const char* why) {
    int64_t loc = Local();
    sys += ms;
    forward += std::max<int64_t>(ms, 0);
    if (ms >= Hour || ms <= -Hour) handTickT = Never;
    Note({t, t, sys - ms, sys, loc, Local()});
    Log(std::string(why) + (ms > 0 ? " +" : " ") + std::to_string(ms / Sec) + " s");
    Enter(Other, RefreshWake);  // WM_TIMECHANGE
  }

  // ---- the alarms' occurrences -----------------------------------------------------------
  // Those whose minute came at most 10 minutes ago by the system clock (or, across a clock set
  // by hand, in real time): the ones a tick now may ring.
  std::vector<std::pair<Occurrence, Came>> Due() const {
    std::vector<std::pair<Occurrence, Came>> out;
    std::vector<Alarm> alarms = Alarms();
    int64_t local = Local();
    Came c;
    for (size_t i = 0; i < alarms.size(); ++i)
      for (int64_t d = local / Day - 1, m; d <= local / Day + 1; ++d)
        if (alarms[i].On(d) && local >= (m = alarms[i].At(d)) && Entered(m, &c) &&
            ((sys - c.sys >= -Sec && sys - c.sys <= 601 * Sec) || (c.t <= handTickT && t - c.t <= 601 * Sec)))
          out.push_back({{i, m}, c});
    return out;
  }

  // The next occurrence to come (a later minute, not decided, not skipped), of any alarm: its
  // local minute and when it comes; a repeated minute comes at its first pass, as Windows reads it.
  bool NextAlarm(int64_t* minute, int64_t* comes, bool sure = false) const {
    std::vector<Alarm> alarms = Alarms();
    *minute = *comes = Never;
    for (size_t i = 0; i < alarms.size(); ++i)
      for (int64_t d = Local() / Day, m; d <= Local() / Day + 15; ++d)
        if (alarms[i].On(d) && (m = alarms[i].At(d)) > Minute() && m != skipped && !decided.count({i, m}) &&
            !(sure && unsure.count({i, m}))) {
          if (zone.Comes(m) < *comes) *minute = m, *comes = zone.Comes(m);
          break;
        }
    return *comes != Never;
  }

  // An automatic resume holds the computer for the alarms then within 5 minutes, or still to
  // be caught up, until they ring or no longer can (in real time); for a minute to spare after
  // their minute, two at least after the resume.
  void NoteResume() {
    std::vector<Alarm> alarms = Alarms();
    int64_t local = Local();
    Came c;
    for (size_t i = 0; i < alarms.size(); ++i) {
      if (alarms[i].on && WakeUp) resumeHolds.push_back({{alarms.size(), 0}, t - 480 * Sec});
      for (int64_t d = local / Day - 1, m; d <= local / Day + 1; ++d) {
        if (!alarms[i].On(d) || (m = alarms[i].At(d)) == skipped || passed.count({i, m})) continue;
        // The next time the local clock shows a later minute; after the change, as it runs now.
        int64_t ahead = m <= local ? -Never : sys < zone.at ? zone.Comes(m) : sys + m - local;
        for (int64_t x : {ahead, Entered(m, &c) ? c.sys : -Never})
          if (x >= sys - 605 * Sec && x <= sys + 305 * Sec) resumeHolds.push_back({{i, m}, t + x - sys});
      }
    }
  }
  bool AboutToRing() const {
    for (const auto& a : resumeHolds)
      if ((!decided.count(a.first) || t <= a.second + 125 * Sec) && t <= a.second + 605 * Sec) return true;
    return false;
  }

  // ---- the plug-in's entries ---------------------------------------------------------------
  void Sync() {
    int y, m, d;
    int64_t local = Local();
    Civil(local / Day, &y, &m, &d);
    SetDate(y, m, d, int(local % Day / Hour), int(local % Hour / Min), int(local % Min / Sec));
    FakeClock.Milliseconds = uint16_t(local % Sec);
    FakeUtcOffset = -zone.Offset(sys) / Sec;
    FakeZoneChangeUtc = zone.at == Never ? 0 : zone.at / Sec;  // what LocalOffsetAt answers from
    FakeUtcOffsetBefore = -zone.before / Sec;
    FakeUtcOffsetAfter = -zone.after / Sec;
    FakeElapsedMs = elapsed0 + uint32_t(t);
    Player.playing = playing;
    Player.listLength = int32_t(lengths.size());
    Player.listPos = listPos;
    Player.volume = volume;
    Player.positionMs = playing == 0 || lengths.empty() ? -1 : pos;
    Player.lengthS = lengths.empty() ? -1 : lengths[listPos] / 1000;  // known, stopped or not
  }

  struct TickView {  // what a tick is about to see, and what it has to do
    std::vector<std::pair<Occurrence, Came>> due;
    std::set<Occurrence> decides;
    bool must, fires, needed, quiet, playing;
  };

  template <class F> void Enter(Kind k, F f) {
    if (!breach.empty() || !running) return;
    kind = k;
    begins = played = toneStart = suspend = powerOff = closing = false;
    TickView view = {{}, {}, false, false, false, false, playing == 1};
    if (k == Tick) BeforeTick(&view);
    Sync();
    Calls.clear();
    WakeCalls.clear();
    ++entries;
    f();
    if (verbose && Calls.size() + WakeCalls.size())
      printf("      plug-in: %s%s%s\n", CallList().c_str(), WakeCalls.empty() ? "" : " | ",
             WakeList().c_str());
    Absorb();
    if (k == Tick) AfterTick(view);
    std::vector<Alarm> alarms = Alarms();
    alarmKeys.resize(alarms.size()), alarmChangedT.resize(alarms.size());
    for (size_t i = 0; i < alarms.size(); ++i) {
      std::vector<int32_t> key = {alarms[i].on, alarms[i].hour, alarms[i].minute, alarms[i].days};
      if (key != alarmKeys[i]) alarmKeys[i] = key, alarmChangedT[i] = t;
    }
    bool off = powerOff, sleep = suspend, close = closing;
    if (!breach.empty()) return;
    if (off) return Log("the computer shuts down"), Gone();
    if (sleep)
      Sleep(R(5 * Min, 9 * Hour), rnd.Chance(75), close ? "standby, then the player closes" : "standby");
    if (close && running && breach.empty()) Quit();
  }

  // What the player and the computer make of the plug-in's calls, in order; promises 1 and 5.
  void Absorb() {
    bool listed = false, stopped = false, final = false;
    int a = 0, b = 0;
    for (const std::string& c : Calls) {
      if (c == "Play") {
        if (kind == Tick)
          played = true, stop.current = false, stopCut = "the alarm started playback at " + Text(Local());
        if (!lengths.empty()) pos = playing == 3 ? pos : 0, playing = 1;
      } else if (c == "Pause") {
        bool resume = kind == Tick && claim == Snoozed && playing == 3;  // the snooze's own
        if (playing != 1 && !resume)
          Breach(5,
                 std::string("the pause command reached a ") + (playing ? "paused" : "stopped") + " player");
        if (resume && (t - snoozeT) + (forward - snoozeFwd) < CappedMinutes(Snooze) * Min - 2 * Sec)
          Breach(2, "the snooze resumed after " + std::to_string((t - snoozeT) / Sec) + " s of its " +
                        std::to_string(Snooze) + " min");
        if (resume) claim = Ringing, claimT = t, claimSys = sys, claimFwd = forward, syncHint = true;
        playing = playing == 1 ? 3 : playing == 3 ? 1 : 0;
        final = true;
      } else if (c == "Stop") {
        playing = pos = 0;
        stopAfter = false;
        stopped = final = true;
      } else if (c == "StopAfterCurrent") {
        stopAfter = true;
      } else if (sscanf(c.c_str(), "SetPlaylistPos %d", &a) == 1) {
        if (a >= 0 && a < int(lengths.size())) listPos = a;
      } else if (sscanf(c.c_str(), "JumpToTime %d", &a) == 1) {
        if (playing && !lengths.empty()) pos = std::min(std::max(a, 0), lengths[listPos]);
      } else if (sscanf(c.c_str(), "SetVolume %d", &a) == 1) {
        volume = baseline = std::min(std::max(a, 0), 255);
      } else if (sscanf(c.c_str(), "StartTimer %d %d", &a, &b) == 2) {
        due[a] = t + std::max(b, 10);  // Windows runs no timer faster than every 10 ms
        if (a == FadeTimer) fadeEvery = std::max(b, 10);
      } else if (c == "ListLength") {
        listed = true;
      } else if (c == "ToneOn") {
        tone = true;
        if (kind == Tick && listed) toneStart = true;
        else if (claim == Ringing && (t - claimT) + (forward - claimFwd) < 29 * Sec)
          Breach(6, "the tone sounded " + std::to_string((t - claimT) / Sec) +
                        " s after the alarm started or resumed");
      } else if (c == "ToneOff") {
        tone = false;
      } else if (c == "PowerOff" || c == "Close" || c.compare(0, 12, "SuspendState") == 0) {
        // Only as the end of a stop still current: as it begins, or its fade or its track ends.
        final = true;
        static const char* const where[] = {"a clock tick", "a fade step", "a track's end", "a notice"};
        if (!(kind == Tick && begins) &&
            !(stop.current && ((kind == Fade && stop.fade) || (kind == TrackEnd && stop.wait))))
          Breach(1, c + " at " + where[kind] + " with no stop of the sleep timer current (" +
                        (stopCut.empty() ? "none began" : stopCut) + ")");
        (c == "PowerOff" ? powerOff : c == "Close" ? closing : suspend) = true;
      } else if (c == "Save") {
        memcpy(stored, SettingValues, sizeof stored);
      }
    }
    for (const std::string& c : WakeCalls) {
      int y, mo, d, h, mi, s = 0;
      if (sscanf(c.c_str(), "Wake %d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) >= 5)
        wakeArmed = true, wakeSetAt = sys,
        wakeAt = (DaysFrom(y, mo, d) * 86400 + h * 3600 + mi * 60 + s) * Sec - zone.Offset(sys);
      else if (c == "CancelWake") wakeArmed = false;
      else if (sscanf(c.c_str(), "Awake %d", &h) == 1) held = h;
    }
    // A ringing alarm ends by an answer, the sleep timer or its limit: nothing else stops it.
    int64_t limit = CappedMinutes(RingLimit) * Min, rang = (t - claimT) + (forward - claimFwd);
    if (claim == Ringing && (kind == Fade || kind == TrackEnd) && final)
      Breach(3, "a stop left over from before cut the ringing alarm short");
    if (claim == Ringing && kind == Tick && stopped && !played && !begins &&
        (!limit || rang < limit - 2 * Sec))
      Breach(3, "the plug-in gave the alarm up after " + std::to_string((t - claimT) / Sec) + " s of its " +
                    std::to_string(RingLimit) + " min limit");
    if ((kind == Fade || kind == TrackEnd) && final && stop.current)
      stop.current = false, stopCut = "it ended";
  }

  void BeforeTick(TickView* v) {
    // The first tick after an occurrence's minute decides it (within the minute, whatever the
    // alarm was before). It must ring when the player ran then, the alarm was set so then, it is
    // not skipped, and nothing plays.
    if (handTickT == Never) handTickT = t;
    v->due = Due();
    for (auto& o : v->due) {
      if (o.second.t <= handTickT) unsure.insert(o.first);  // the plug-in may ring it or not
      bool first = (o.second.t > lastTickT || Minute() == o.first.second) && o.second.t > handTickT &&
                   sys - o.second.sys < 601 * Sec && decided.insert(o.first).second;
      if (first && o.first.second == skipped) passed.insert(o.first);  // skipped for good
      if (first) v->decides.insert(o.first), v->fires = true;
      v->must |= first && !passed.count(o.first) && o.second.t > alarmChangedT[o.first.first] &&
                 o.second.t > loadedT && playing != 1 && (!lengths.empty() || SilentTone) &&
                 sys - o.second.sys <= 598 * Sec &&
                 lastTickLocal < o.first.second;  // (a clock gone back past it: the catch-up cannot see it)
    }
    // The alarm as this tick finds the player, unless an alarm's start takes the tick: paused
    // snoozes it, stopped answers it, so does a volume moved; the limit ends it, counted in real
    // time and on the clock alike.
    int64_t limit = CappedMinutes(RingLimit) * Min;
    if (v->fires) {
    } else if (claim == Ringing && playing == 3) {
      claim = CappedMinutes(Snooze) ? Snoozed : Quiet, snoozeT = t, snoozeFwd = forward, syncHint = true;
    } else if ((claim == Snoozed && playing != 3) || (claim == Ringing && playing == 0 && !tone) ||
               (claim == Ringing && playing == 1 && !tone && volumeRule && !baselineDue &&
                volume != baseline) ||
               (claim == Ringing && (playing == 1 || tone) && limit && t - claimT >= limit + 5 * Sec &&
                sys - claimSys >= limit + 5 * Sec)) {
      claim = Quiet;
    }
    if (!v->fires && claim == Ringing && baselineDue && playing == 1 && !tone)
      baseline = volume, baselineDue = false;
    bool moving = playing == 1 && !dead && !lengths.empty() && listPos == tickList && pos > tickPos;
    movingTicks = moving ? movingTicks + 1 : 0;
    tickPos = playing == 1 ? pos : -1, tickList = listPos;
    // The sleep timer: the first tick in its minute, or within a minute of the countdown's end.
    begins = StopOn && Local() % Day / Min == StopH * 60 + StopM && stopsSeen.insert(Minute()).second;
    if (countdownEnd >= 0 && t >= countdownEnd) begins |= t - countdownEnd <= Min, countdownEnd = -1;
    v->needed =
        claim != Quiet || AboutToRing() || v->fires;  // an alarm's tick answers nothing: the next does
    v->quiet = claim == Quiet && !v->fires;
  }

  void AfterTick(const TickView& v) {
    if (played || toneStart) {  // promise 2: rang for an occurrence due, once, and not skipped
      auto skip = [&](const Occurrence& d) { return d.second == skipped || passed.count(d); };
      auto rank = [&](const std::pair<Occurrence, Came>& d) {
        return std::make_tuple(!skip(d.first), !rung.count(d.first), d.second.sys);
      };
      const std::pair<Occurrence, Came>* o = nullptr;  // the latest due, skipped and rung ones last
      for (auto& d : v.due)
        if (!o || rank(d) > rank(*o)) o = &d;
      if (!o)
        Breach(2,
               "an alarm rang with no occurrence due: before its minute, or more than 10 minutes after it");
      else if (skip(o->first)) Breach(2, "the alarm of " + Text(o->first.second) + " rang though skipped");
      else if (rung.count(o->first))
        Breach(2,
               "the alarm of " + Text(o->first.second) + " rang again, or after the player started past it");
      for (auto& d : v.due)  // all those this tick decided rang with it
        if (!skip(d.first) && (d.first == o->first || v.decides.count(d.first)))
          rung.insert(d.first), decided.insert(d.first);
      claim = Ringing, claimT = t, claimSys = sys, claimFwd = forward, baselineDue = !VolUp,
      volumeRule = true, syncHint = true;
    } else if (v.must) {
      Breach(3, "the alarm did not ring, nothing playing");
    }
    lastTickT = t, lastTickLocal = Local();
    if (skipped >= 0 && Minute() > skipped) {  // spent: what it skipped stays skipped
      std::vector<Alarm> alarms = Alarms();
      for (size_t i = 0; i < alarms.size(); ++i)
        if (alarms[i].On(skipped / Day) && alarms[i].At(skipped / Day) == skipped)
          passed.insert({i, skipped}), decided.insert({i, skipped});
      skipped = -1;
    }
    if (begins) {  // the sleep timer ends the alarm; a stop still pending joins this one
      bool fade = (stop.current && stop.fade) || VolDown,
           wait = (stop.current && stop.wait) || (WaitEnd && (played || v.playing));
      stop = {fade || wait, fade, wait}, stopCut = "it ended at once", claim = Quiet, playHint = true;
    }
    if (held && !v.needed && claim == Quiet && !AboutToRing())
      Breach(4, "the computer is held awake with nothing ringing, snoozing or about to ring");
    // A tick sees the position move against the one before: the second such tick ends the tone.
    toneMoving = tone && movingTicks ? toneMoving + 1 : 0;
    if (toneMoving >= 2) Breach(6, "the tone sounds over a player playing with its position moving");
    if (tone && v.quiet && claim == Quiet) Breach(6, "the tone sounds on after the alarm ended");
    // Promise 7; where the plug-in could not tell whether an alarm across a clock set by hand
    // rang, the wake may be for it or for the one after.
    int64_t minute, next, sure;
    bool some = WakeUp && NextAlarm(&minute, &next), after = some && NextAlarm(&minute, &sure, true);
    if (some ? !WakeFor(next) && !(after && WakeFor(sure)) : wakeArmed && wakeAt > sys)
      Breach(7,
             (some ? "the next alarm comes at " + Text(next + zone.Offset(next)) + " but the wake timer is "
                   : std::string("with no alarm to come, the wake timer is ")) +
                 (wakeArmed ? "set for " + Text(wakeAt + zone.Offset(wakeAt)) : std::string("off")));
  }

  // Armed for two minutes before the alarm, or for its minute when that was past as it was set.
  bool WakeFor(int64_t alarm) const {
    int64_t want = (alarm - 2 * Min) / Sec <= wakeSetAt / Sec ? alarm : alarm - 2 * Min;
    return wakeArmed && wakeAt / Sec == want / Sec;
  }

  // ---- the player, the user and the computer -----------------------------------------------
  void Start() {  // a fresh module, the stored settings, PluginInit's portable part
    ResetHost();
    memcpy(SettingValues, stored, sizeof stored);
    running = true;
    loadedT = lastTickT = t, lastTickLocal = Local();
    playing = pos = 0;
    stopAfter = endPending = false;
    // It knows nothing of what rang before. The minute it starts in began without it, and no
    // alarm on rings whose minute came before: its latest counts as rung.
    stopsSeen = {Minute()};
    decided.clear(), rung.clear(), unsure.clear(), passed.clear();
    std::vector<Alarm> alarms = Alarms();
    for (size_t i = 0; i < alarms.size(); ++i) {
      decided.insert({i, Minute()});
      for (int64_t d = Local() / Day; d >= Local() / Day - 7 && alarms[i].on; --d)
        if (alarms[i].On(d) && alarms[i].At(d) <= Minute()) {
          decided.insert({i, alarms[i].At(d)}), rung.insert({i, alarms[i].At(d)});
          break;
        }
    }
    Enter(Other, [] {
      MarkMinuteSeen();
      StartTimer(ClockTimer, 1000, ClockTick);
      RefreshWake();
      if (PlayAtStart) StartupPlay();
    });
  }

  void Gone() {
    running = dead = stopAfter = endPending = tone = wakeArmed = false;
    playing = pos = held = 0;
    claim = Quiet;
    stop = {false, false, false}, stopCut = "the player closed";
    countdownEnd = -1;
    resumeHolds.clear();
    for (TimerProc& p : RunningTimers) p = nullptr;
  }

  void Quit() {  // the host's close: SaveOnExit, then PluginQuit (the tone and the wake timer closed)
    Log("the player closes");
    Enter(Other, [] {
      TrackPos = PlayerIpc(0, IpcGetOutputTime);
      TrackLength = PlayerIpc(1, IpcGetOutputTime);
      SaveSettings();
      for (int i = 0; i < 2; ++i) StopTimer(ClockTimer), StopTimer(FadeTimer);
      EndRinging();
      ReleaseAwake();
    });
    Gone();
  }

  // The notices the player's thread owes, in the order they came: before anything else it does.
  void Notices() {
    while (running && breach.empty() && (endPending || timeChanged)) {
      if (endPending) TrackEnds();
      else timeChanged = false, Enter(Other, RefreshWake);
    }
  }

  // The player runs for ms: its timers, its playback and its notices, in order.
  void Run(int64_t ms) {
    for (int64_t end = t + ms; breach.empty();) {
      Notices();
      if (!running) return Clock(end - t, false);
      if (t >= end) return;
      int64_t next = end;
      int what = 0;
      for (int id : {ClockTimer, FadeTimer})
        if (RunningTimers[id] && std::max(due[id], t) < next) next = std::max(due[id], t), what = id;
      if (playing == 1 && !dead && !lengths.empty() && t + lengths[listPos] - pos < next)
        next = t + lengths[listPos] - pos, what = 0;
      if (sys < zone.at && t + zone.at - sys <= next) next = t + zone.at - sys, what = 0;  // its notice first
      if (next <= t && !what) {
        endPending = true;
        continue;
      }
      Clock(next - t, true);
      Notices();
      if (what == ClockTimer) due[ClockTimer] = t + 1000, Enter(Tick, ClockTick);
      if (what == FadeTimer) due[FadeTimer] = t + fadeEvery, Enter(Fade, [] { FireTimer(FadeTimer); });
    }
  }

  void TrackEnds() {  // the notice reaches the plug-in first, then the player moves on or stops
    endPending = false;
    Enter(TrackEnd, TrackEnded);
    if (playing != 1) pos = 0;
    else if (stopAfter || listPos + 1 >= int(lengths.size())) stopAfter = false, playing = pos = 0;
    else ++listPos, pos = 0;
  }

  // Asleep, until the wake timer fires (if the computer can wake) or someone wakes it.
  void Sleep(int64_t ms, bool wakeWorks, const char* why) {
    bool byTimer = wakeWorks && running && wakeArmed && wakeAt > sys && wakeAt - sys <= ms;
    if (byTimer) ms = wakeAt - sys;
    Log(std::string(why) + ": asleep " + std::to_string(ms / Min) + " min" +
        (byTimer ? ", the wake timer wakes it" : wakeWorks ? "" : ", no wake timer works"));
    Clock(ms, false);
    unattended = byTimer, resumeT = t;
    if (!running) return;
    NoteResume();
    Enter(Other, ResumedAutomatically);       // sent on every resume
    if (!byTimer) Enter(Other, RefreshWake);  // PBT_APMRESUMESUSPEND: someone woke it
    syncHint = true;
  }

  template <class F> void Command(const char* what, F f) {  // WM_COMMAND reaches the hook first
    Log(what);
    bool toned = tone;
    Enter(Other, [&] {
      CommandReached();
      f();
    });
    if (toned) claim = Quiet;
    unattended = false;
  }

  AlarmRecord NewAlarm(int64_t local) {
    return {int32_t(local % Day / Hour), int32_t(local % Hour / Min),
            rnd.Chance(60) ? EveryDay : int32_t(rnd.Roll(128)), rnd.Chance(85), rnd.Chance(15)};
  }

  void ChangeSettings() {
    std::string what = "settings:";
    Command("the user opens the settings", [] {});
    for (int n = int(R(1, 3)); n-- > 0;) {
      int64_t local = Local() + R(-5, 90) * Min;
      switch (rnd.Roll(14)) {
        case 0:
          StartH = int32_t(local % Day / Hour), StartM = int32_t(local % Hour / Min), what += " alarm time";
          break;
        case 1:
          StopH = int32_t(local % Day / Hour), StopM = int32_t(local % Hour / Min), what += " stop time";
          break;
        case 2: StartDays = rnd.Chance(50) ? EveryDay : int32_t(rnd.Roll(128)), what += " days"; break;
        case 3: StartOn ^= 1, what += " alarm on/off"; break;
        case 4: StopOn ^= 1, what += " stop on/off"; break;
        case 5: VolUp ^= 1, VolDown ^= rnd.Chance(50), what += " fades"; break;
        case 6: WaitEnd ^= 1, UsePause ^= rnd.Chance(50), what += " wait/pause"; break;
        case 7:
          Close ^= 1, Suspend ^= rnd.Chance(50), Hibernate ^= rnd.Chance(30),
              what += " close/standby/hibernate";
          break;
        case 8: ShutDown = rnd.Chance(20), what += " shut-down"; break;
        case 9:
          Snooze = rnd.Pick({0, 1, 2, 9}), RingLimit = rnd.Pick({0, 1, 2, 5, 60}), what += " snooze/limit";
          break;
        case 10: SilentTone ^= 1, what += " tone"; break;
        case 11: WakeUp ^= 1, what += " wake"; break;
        case 12: StartOff = rnd.Chance(20), StopOff = rnd.Chance(20), what += " once"; break;
        default: {
          int32_t slot = int32_t(R(1, AlarmCount - 1));
          if (rnd.Chance(25)) RemoveAlarm(slot);
          else WriteAlarm(slot, NewAlarm(local));
          what += " alarm " + std::to_string(slot + 1);
        }
      }
    }
    Log(what);
    if (VolUp != stored[&VolUp - SettingValues]) volumeRule = false;
    bool edited = Alarms().size() != alarmKeys.size();
    for (size_t i = 0; i < alarmKeys.size() && !edited; ++i) {
      Alarm a = Alarms()[i];
      edited = alarmKeys[i] != std::vector<int32_t>{a.on, a.hour, a.minute, a.days};
    }
    if (edited) skipped = -1;  // an alarm the user changed cancels a skip
    Enter(Other, [edited] {     // the dialog closing
      if (edited) AlarmsEdited();
      SaveSettings();
      RefreshWake();
    });
  }

  void Step() {
    ++stepCount;
    Notices();
    if (!running) {
      int64_t r = rnd.Roll(100);
      if (r < 35) return Log("the user starts the player"), Start();
      if (r < 75) return Log("the player stays closed"), Clock(R(Sec, 20 * Min), false);
      if (r < 90) return Sleep(R(5 * Min, 3 * Hour), true, "the user puts the computer to sleep");
      return Jump(R(-5, 5) * Sec, "time sync");
    }
    if (unattended && !held && t - resumeT >= 2 * Min)
      return Sleep(R(10 * Min, 8 * Hour), rnd.Chance(75),
                   "Windows puts the unattended computer back to sleep");
    if (syncHint && (syncHint = false, rnd.Chance(25))) return Jump(-R(1, 3) * Sec, "time sync");
    if (playHint && (playHint = false, rnd.Chance(30))) {
      Command("the user presses Play", [] {});
      if (!lengths.empty()) pos = playing == 3 ? pos : 0, playing = 1;
      return;
    }
    int64_t r = rnd.Roll(1000);
    if (r < 520) return Log("ticks"), Run(r < 380 ? Sec : R(2, 20) * Sec);
    if (r < 540) return Log("ticks for minutes"), Run(R(20, 300) * Sec);
    if (r < 570) return Log("the player stalls"), Clock(R(1, 15) * Min, true);
    if (r < 630) return Approach();
    if (r < 650)
      return Sleep(rnd.Chance(30) ? R(1, 30) * Min : R(30, 180) * Min, rnd.Chance(70),
                   "the user puts the computer to sleep");
    if (r < 680) return Jump(R(1, 5) * (rnd.Chance(50) ? Sec : -Sec), "time sync");
    if (r < 688) return Jump(rnd.Chance(50) ? Hour : -Hour, "the clock set by hand");
    if (r < 713) {
      Command("the user presses Play", [] {});
      if (!lengths.empty()) pos = playing == 3 ? pos : 0, playing = 1;
      return;
    }
    if (r < 743)
      return Command("the user presses Pause", [] {}), void(playing = playing == 1   ? 3
                                                                      : playing == 3 ? 1
                                                                                     : 0);
    if (r < 768) {  // a stop still waiting for the track's end is over with it
      Command("the user presses Stop", [] {});
      playing = pos = 0, stopAfter = false;
      if (stop.current && stop.wait)
        stop = {stop.fade, stop.fade, false}, stopCut = "the user stopped the player";
      return;
    }
    if (r < 783) {
      Command("the user presses Next", [] {});
      if (listPos + 1 < int(lengths.size())) ++listPos, pos = 0;
      return;
    }
    if (r < 813) {  // a fade-out under way leaves the music at the user's level
      int32_t v = int32_t(R(0, 254));
      volume = v >= volume ? v + 1 : v;
      if (stop.current && stop.fade && RunningTimers[FadeTimer])
        stop = {stop.wait, false, stop.wait}, stopCut = "the user moved the volume during its fade-out";
      return Log("the user moves the volume");
    }
    if (r < 828) {
      int32_t minutes = rnd.Pick({15, 30, 45, 60, 90, 120});
      Command("the user chooses a countdown", [=] { SleepTimerChoose(minutes); });
      countdownEnd = t + minutes * Min;
      return;
    }
    if (r < 833)
      return Command("the user turns the countdown off", [] { SleepTimerOff(); }), void(countdownEnd = -1);
    if (r < 866) return ChangeSettings();
    if (r < 874) {  // from the menu: the next alarm skipped, or the skip cancelled
      int64_t minute, comes;
      skipped = skipped >= 0 ? -1 : NextAlarm(&minute, &comes) ? minute : -1;
      return Command("the user skips the next alarm or cancels the skip", [] { ToggleSkip(); });
    }
    if (r < 878) {
      int32_t slot = int32_t(R(0, AlarmCount - 1));
      AlarmRecord a;
      if (ReadAlarm(slot, &a)) skipped = -1;
      return Command("the user switches an alarm on or off", [=] { SwitchAlarm(slot); });
    }
    if (r < 888) return Quit();
    if (r < 896) return dead = !dead, Log(dead ? "the player goes silent" : "the player finds its voice");
    if (r < 904) {
      if (lengths.empty()) return lengths = Playlist(), Log("the user fills the playlist");
      return lengths.clear(), playing = pos = listPos = 0, Log("the user empties the playlist");
    }
    Log("ticks");
    Run(Sec);
  }

  // To just before (or up to 12 minutes after) what comes next, stalled or asleep.
  void Approach() {
    int64_t next = Never, minute, alarm;
    auto consider = [&](int64_t x) { next = x > sys + 5 * Sec && x < next ? x : next; };
    if (NextAlarm(&minute, &alarm)) consider(alarm);
    for (int64_t d = Local() / Day; d <= Local() / Day + 1 && StopOn; ++d)
      consider(zone.Comes(d * Day + (StopH * 60 + StopM) * Min));
    if (countdownEnd >= 0) consider(sys + countdownEnd - t);
    consider(zone.at);
    if (next == Never) return Log("the player stalls"), Clock(R(1, 15) * Min, true);
    int64_t gap = next - sys + (rnd.Chance(70) ? -R(2, 150) * Sec : R(0, 12 * 60) * Sec);
    if (gap <= 0) return Log("ticks"), Run(Sec);
    if (gap <= 15 * Min) return Log("the player stalls"), Clock(gap, true);
    Sleep(gap, rnd.Chance(70), "the user puts the computer to sleep");
  }

  std::vector<int32_t> Playlist() {
    std::vector<int32_t> list(size_t(R(1, 12)));
    for (int32_t& l : list) l = int32_t(R(20, 360) * Sec);
    return list;
  }

  // Dusk: a date, a zone (a third of the nights change summer time, half of those in the
  // alarm's hour), the settings, the alarms near the night's end, the stop near its start.
  Night(uint64_t s, bool v) : seed(s), rnd{s * 0xD1B54A32D192ED03ull}, verbose(v) {
    ResetHost();
    zone.before = rnd.Chance(50) ? Hour : 2 * Hour;
    int64_t dusk =
        DaysFrom(R(2026, 2027), R(1, 12), R(1, 28)) * Day + R(20 * 60, 25 * 60 - 1) * Min + R(0, 59) * Sec;
    sys = dusk - zone.before;
    elapsed0 = uint32_t(rnd.Next());
    bool summer = rnd.Chance(35);
    if (summer) {
      zone.after = zone.before + (rnd.Chance(50) ? Hour : -Hour);
      zone.at = sys + R(20, 600) * Min;
      zone.at -= zone.at % Min;
    }
    int64_t alarm =
        summer && rnd.Chance(50) ? zone.at + zone.before + R(-10, 70) * Min : dusk + R(30, 540) * Min;
    WriteAlarm(0, NewAlarm(alarm));
    StartOn = rnd.Chance(90), StartOff = rnd.Chance(10);
    for (int n = rnd.Chance(40) ? int(R(1, 2)) : 0; n-- > 0;)
      WriteAlarm(int32_t(R(1, AlarmCount - 1)), NewAlarm(alarm + R(-40, 40) * Min));
    int64_t stopAt = dusk + R(1, 40) * Min;
    StopOn = rnd.Chance(70), StopOff = rnd.Chance(10);
    StopH = int32_t(stopAt % Day / Hour), StopM = int32_t(stopAt % Hour / Min);
    VolUp = rnd.Chance(50), VolStart = int32_t(R(0, 100)), VolEnd = int32_t(R(VolStart + 1, 255));
    TimeOut = rnd.Pick({10, 50, 250, 1000});
    Random = rnd.Chance(50), One = rnd.Chance(20), Activate = rnd.Chance(50);
    FromRange = rnd.Chance(15), First = int32_t(R(0, 12)), Last = int32_t(R(First, First + 5));
    VolDown = rnd.Chance(50), WaitEnd = rnd.Chance(40), UsePause = rnd.Chance(30), Close = rnd.Chance(25);
    Suspend = rnd.Chance(40), Hibernate = rnd.Chance(15), ShutDown = rnd.Chance(3);
    PlayAtStart = rnd.Chance(20), SavePos = rnd.Chance(50), UsePlay = rnd.Chance(50);
    WakeUp = rnd.Chance(80), SilentTone = rnd.Chance(70);
    Snooze = rnd.Pick({0, 1, 2, 9}), RingLimit = rnd.Pick({0, 1, 2, 5, 60});
    memcpy(stored, SettingValues, sizeof stored);
    if (!rnd.Chance(8)) lengths = Playlist();
    volume = int32_t(R(30, 255));
    dead = rnd.Chance(5);
    moves.push_back({-Hour, 0, sys - Hour, sys, Local() - Hour, Local()});  // the clocks ran before
    if (summer)
      Log(std::string("summer time ") + (zone.after > zone.before ? "starts" : "ends") + " at " +
          Text(zone.at + zone.before) + ", local time jumping to " + Text(zone.at + zone.after));
    std::string alarms;
    for (const Alarm& a : Alarms())
      if (a.on)
        alarms +=
            " " + std::to_string(a.hour) + ":" + std::to_string(a.minute) + "/" + std::to_string(a.days);
    Log("dusk: alarms (time/days)" + alarms + "; stop " +
        (StopOn ? std::to_string(StopH) + ":" + std::to_string(StopM) : "off"));
    Start();
    if (rnd.Chance(60) && !lengths.empty()) Command("the user presses Play", [] {}), playing = 1;
  }
};

}  // namespace

// NIGHTS=n runs nights 1 to n (100 by default); NIGHTS_SEED=n runs night n alone, every step and
// every call the plug-in makes printed.
TEST(Nights, TheSevenPromisesHoldThroughRandomNights) {
  const char* one = getenv("NIGHTS_SEED");
  const char* many = getenv("NIGHTS");
  uint64_t first = one ? strtoull(one, nullptr, 10) : 1, count = one    ? 1
                                                                 : many ? strtoull(many, nullptr, 10)
                                                                        : 100;
  auto began = std::chrono::steady_clock::now();
  long steps = 0, entries = 0, failed = 0, byPromise[8] = {};
  double hours = 0;
  for (uint64_t seed = first; seed < first + count; ++seed) {
    Night night(seed, one != nullptr);
    while (night.stepCount < 300 && night.t < 30 * Hour && night.breach.empty()) night.Step();
    steps += night.stepCount, entries += night.entries, hours += double(night.t) / Hour;
    if (night.breach.empty()) continue;
    ++byPromise[night.promise];
    if (++failed <= 3 && !one) {
      printf("night %llu, its last steps:\n", static_cast<unsigned long long>(seed));
      for (size_t i = night.steps.size() > 30 ? night.steps.size() - 30 : 0; i < night.steps.size(); ++i)
        printf("  %s\n", night.steps[i].c_str());
    }
    printf("night %llu breaks %s\n", static_cast<unsigned long long>(seed), night.breach.c_str());
  }
  printf("nights: %llu, steps: %ld, plug-in entries: %ld, simulated hours: %.0f, seconds: %.1f\n",
         static_cast<unsigned long long>(count), steps, entries, hours,
         std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count());
  for (int p = 1; p <= 7; ++p)
    if (byPromise[p]) printf("  promise %d (%s): %ld nights\n", p, Promises[p], byPromise[p]);
  EXPECT_EQ(0, failed) << "replay a night step by step: make night SEED=n";
}
