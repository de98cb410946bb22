// Random nights: the playback logic against sleepy users, stalls, sleeps and clock steps, the README's eight
// promises checked after everything the plug-in does. Around it run a player as the stand-in player behaves,
// its two timers, both clocks and the zone, and a computer that sleeps. How the README is read: an alarm's
// minute comes when the local clock enters it, running or jumping (one summer time skips comes with the
// change, a repeated one at its later pass), and the first tick after that decides it. Lateness counts on
// the system clock, spans in real time; across a clock set by hand the plug-in cannot tell real time, so
// there either answer passes.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "control/control.h"
#include "fake_host.h"

namespace {

enum : int64_t { Sec = 1000, Min = 60 * Sec, Hour = 60 * Min, Day = 24 * Hour, Never = INT64_MAX / 4 };

struct Dice {  // the seed alone decides a night
  std::mt19937_64 g;
  int64_t operator()(int64_t a, int64_t b) { return a + int64_t(g() % uint64_t(b - a + 1)); }
  bool Chance(int percent) { return (*this)(0, 99) < percent; }
  template <class T, size_t N> T Pick(const T (&a)[N]) { return a[(*this)(0, N - 1)]; }
};

// Days as the fake clock counts them (from 1 March of year 0), and back; times are ms of those.
int64_t DaysFrom(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  int64_t era = y / 400, yoe = y - era * 400, doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy;
}
void Civil(int64_t days, int* y, int* m, int* d) {
  int64_t era = days / 146097, doe = days - era * 146097, yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
  *m = int(mp < 10 ? mp + 3 : mp - 9), *d = int(doy - (153 * mp + 2) / 5 + 1), *y = int(yoe + era * 400 + (*m <= 2));
}
int Weekday(int64_t days) { return int((days + 3) % 7); }  // 0 Sunday
std::string Text(int64_t local) {
  int y, m, d;
  char text[32];
  Civil(local / Day, &y, &m, &d);
  snprintf(text, sizeof text, "%.3s %02d.%02d.%04d %02d:%02d:%02d", "SunMonTueWedThuFriSat" + 3 * Weekday(local / Day),
           d, m, y, int(local % Day / Hour), int(local % Hour / Min), int(local % Min / Sec));
  return text;
}
std::string Secs(int64_t ms) { return std::to_string(ms / Sec) + " s"; }

// Local time is the system clock plus an offset, which summer time moves at one instant a night.
struct Zone {
  int64_t before = Hour, after = Hour, at = Never;  // `at` on the system clock
  int64_t Offset(int64_t sys) const { return sys < at ? before : after; }
  // When a local minute first comes; one that summer time skips comes with the change.
  int64_t Comes(int64_t local) const { return local < at + before ? local - before : std::max(at, local - after); }
};

// One of the eight alarms as the settings hold it: whether it can ring, and what the user set.
bool CanRing(int32_t slot, AlarmRecord* a) {
  *a = AlarmRecord{};
  return ReadAlarm(slot, a) && a->On && a->Hour >= 0 && a->Hour < 24 && a->Minute >= 0 && a->Minute < 60 && a->Days;
}
int64_t Key(int32_t slot) {
  AlarmRecord a{};
  ReadAlarm(slot, &a);
  return ((a.On * 24 + a.Hour) * 60 + a.Minute) * 128 + a.Days;
}
AlarmRecord NewAlarm(Dice& rnd, int64_t local) {
  return {int32_t(local % Day / Hour), int32_t(local % Hour / Min),
          int32_t(rnd.Chance(60) ? int64_t{EveryDay} : rnd(0, 127)), rnd.Chance(85), rnd.Chance(15)};
}

using Occurrence = std::pair<size_t, int64_t>;  // an alarm, at a local minute
struct Came { int64_t sys, t; };                // when a minute came: on the system clock, and truly
enum Kind { Tick, Fade, TrackEnd, Other };      // what entered the plug-in
enum Claim { Quiet, Ringing, Snoozed };         // the alarm, as the README says it behaves
const char* const Promises[] = {"", "no surprise power action", "an alarm rings once, on time",
                                "an alarm the player was there for rings", "the hold follows the alarm",
                                "pause never plays", "the tone only when needed", "the wake follows the alarms",
                                "the user's playlist is never lost", "a snooze slept through ends quietly",
                                "an alarm rings at its own volume", "the computer's volume goes back",
                                "a test changes no alarm, no skip, no minute", "a missed alarm is told silently"};

struct Night {
  Dice rnd;
  bool verbose;
  Zone zone;
  int64_t t = 0, sys = 0;  // true time, and the system clock
  uint32_t elapsed0;
  std::map<int64_t, Came> came;  // each local minute the clock entered lately, and when
  // The player, and the plug-in's two timers in it; what the plug-in asked of the computer.
  bool running = false, dead = false, stopAfter = false, endPending = false, timeChanged = false, tone = false;
  int32_t playing = 0, pos = 0, volume = 200, listPos = 0, held = 0, stored[SettingCount];
  std::vector<int32_t> lengths;  // ms; none: an empty playlist
  // Alarms' own music: which alarms have it, whether it stays silent, whether saving fails; the user's
  // list, and the one saved aside while an alarm's music is in the player.
  bool music[AlarmCount] = {}, musicDead = false, saveFails = false, own = false, hasSaved = false;
  std::vector<int32_t> users, saved;
  int32_t savedPos = 0;
  int64_t due[3] = {}, fadeEvery = 1000, wakeAt = -1, wakeSetAt = 0;  // wakeAt -1: not armed
  int64_t firedAt = -1, firedT = -Never;  // the wake that fired last, and when (true time): it fires once
  // What the README told the user to expect: the alarm, the sleep timer's stop, the occurrences.
  Claim claim = Quiet;
  bool doubt = false;  // an alarm the plug-in may or may not have rung took a tick: the claim may be off
  int64_t claimT = 0, snoozeT = -1, baseline = -1;  // the volume a ringing alarm keeps; -1 unread (a snooze at t 0 is one: a test rings at once)
  bool volumeRule = true;                          // lost when the fade-in is ticked mid-ring
  // The player level the ringing alarm ends at, its own or VolEnd (-1: none set, or not known), and
  // whether the user moved the player's volume since it started or resumed.
  int32_t level = -1;
  bool levelMoved = false;
  // The computer's volume: as the model last saw it, as the alarm found it before raising it, whether
  // it is raised, and whether the user may have kept it so (answered by the volume or by playing) or
  // set it since.
  SystemVolumeRecord sysNow = {}, sysFound = {};
  bool sysRaised = false, sysMayStay = false, sysUserSet = false;
  struct { bool current, fade, wait; } stop = {};
  const char* stopCut = "none began";  // why the last stop is no longer current
  int64_t countdownEnd = -1, stopMinute = -1, skipped = -1, loadedT = 0, lastTickT = 0, lastTickLocal = 0;
  int64_t seenT = 0;  // the last tick the plug-in kept before it loaded: its first tick decides what came since
  int64_t resumeT = 0, holdUntil = -Never, handTickT = -Never;  // the first tick after a clock set by hand
  std::set<Occurrence> decided, rung, unsure, passed;           // passed: skipped when their minute came
  int64_t keys[AlarmCount] = {}, changedT[AlarmCount] = {};     // each alarm as last seen, and since when
  bool unattended = false, syncHint = false, playHint = false;  // a sync after a wake, Play after a stop
  int32_t toneMoving = 0, tickPos = -1, tickList = -1;
  // The run; what the entry under way did; what a tick is about to see, and must do.
  std::vector<std::string> steps;
  std::string breach;
  int promise = 0;
  long stepCount = 0;
  Kind kind = Other;
  bool begins, played, toneStart, suspend, powerOff, closing, must, fires, needed, quiet, wasPlaying;
  bool sleptThrough = false;  // this tick finds the snooze's end over ten minutes past
  bool startupMusic = false;  // the start-up played: an alarm its first tick catches up stops it first
  bool testing = false;       // the ring claimed is a test: an alarm due over it rings all the same
  bool pausedRing = false;    // this tick finds the ringing alarm paused, unless an alarm's start takes it
  std::vector<std::pair<Occurrence, Came>> tickDue;
  std::set<std::string> told;  // the Missed states shown: one told before may come back as a ring ends
  std::set<Occurrence> decides;

  bool Silent() const { return dead || (own && musicDead); }
  // An alarm has something to play: its own music, or the player's list (the user's, once an alarm's is out).
  bool Playable(size_t slot) const { return (music[slot] && !saveFails) || !(own ? users : lengths).empty(); }
  int64_t Local() const { return sys + zone.Offset(sys); }
  int64_t Minute() const { return Local() - Local() % Min; }
  void Breach(int n, const std::string& what) {
    if (breach.empty())
      promise = n, breach = "promise " + std::to_string(n) + " (" + Promises[n] + "): " + what + ", at " +
                             Text(Local());
  }
  void Log(const std::string& what) {
    char state[64];
    const char* how = playing == 1 ? "playing" : playing ? "paused" : "stopped";
    snprintf(state, sizeof state, "  [%s %d/%zu %d:%02d vol %d%s]", how, listPos + 1, lengths.size(), pos / 60000,
             pos / 1000 % 60, volume, running ? "" : ", player closed");
    steps.push_back(std::to_string(stepCount) + "  " + Text(Local()) + "  " + what + state);
    if (verbose) printf("%s\n", steps.back().c_str());
  }

  // ---- the clocks ----
  // The local clock went from loc0 to loc1, the system clock from s0 to s1, running or jumping: each minute it
  // entered, running into it, jumping over it or back into it, came then.
  void Note(int64_t loc0, int64_t loc1, int64_t s0, int64_t s1, bool run) {
    for (int64_t m = loc1 - loc1 % Min; m > loc0 && m > loc1 - 4 * Hour; m -= Min)
      came[m] = run ? Came{s0 + (m - loc0), t - (loc1 - m)} : Came{std::max(s1 - (loc1 - m), std::min(s0, s1)), t};
    if (loc1 < loc0 - loc0 % Min) came[loc1 - loc1 % Min] = {s1 - loc1 % Min, t};
    for (auto i = came.begin(); came.size() > 200 && i != came.end();)
      i = i->second.t < t - 2 * Hour && i->second.sys < sys - 2 * Hour ? came.erase(i) : ++i;
  }
  void Clock(int64_t ms, bool plays) {  // time passing; the player plays on unless the computer sleeps
    while (ms > 0) {
      int64_t step = sys < zone.at ? std::min(ms, zone.at - sys) : ms, loc = Local(), s0 = sys;
      t += step, sys += step, ms -= step;
      Note(loc, loc + step, s0, sys, true);
      Fire();
      if (plays && playing == 1 && !Silent() && !lengths.empty() && (pos += int32_t(step)) >= lengths[listPos])
        pos = lengths[listPos], endPending = true;  // the notice waits for the player's thread
      if (sys == zone.at) Note(loc + step, Local(), sys, sys, false), timeChanged = true;
    }
  }
  void Fire() {  // a waitable timer fires once, however the system clock reaches its time
    if (wakeAt >= 0 && wakeAt <= sys) firedAt = wakeAt, firedT = t - (sys - wakeAt), wakeAt = -1;
  }
  void Jump(int64_t ms, const char* why) {  // the system clock stepped: a sync, or set by hand
    int64_t loc = Local(), s0 = sys, at = zone.at;
    sys += ms, handTickT = ms >= Hour || ms <= -Hour ? Never : handTickT;
    Fire();
    // Across the change of offset: to it, with it, and on. Set back over it, the system clock
    // never reads the change's instant again: what it swept came at the jump, as the clock reads now.
    int64_t s = std::min(at, sys);
    if ((s0 < at) != (sys < at))
      Note(loc, at + zone.Offset(s0), s0, s, false), Note(at + zone.Offset(s0), at + zone.Offset(sys), s, s, false),
          loc = at + zone.Offset(sys), s0 = s;
    Note(loc, Local(), s0, sys, false);
    Log(why + (" " + Secs(ms)));
    Enter(Other, RefreshWake);  // WM_TIMECHANGE
  }

  // ---- the occurrences ----
  // Each alarm's minutes on its days from day d0 to d1, in order, till f says enough for that alarm.
  template <class F> void Each(int64_t d0, int64_t d1, F f) const {
    AlarmRecord a;
    for (int32_t i = 0; i < AlarmCount; ++i)
      for (int64_t d = d0, on = CanRing(i, &a); d <= d1 && on; ++d)
        if (a.Days >> Weekday(d) & 1 && f(size_t(i), d * Day + (a.Hour * 60 + a.Minute) * Min)) break;
  }
  bool Skip(const Occurrence& o) const { return o.second == skipped || passed.count(o); }
  // Those a tick now may ring: come at most 10 minutes ago on the system clock, or truly across a clock set by hand.
  std::vector<std::pair<Occurrence, Came>> Due() const {
    std::vector<std::pair<Occurrence, Came>> out;
    Each(Local() / Day - 1, Local() / Day + 1, [&](size_t i, int64_t m) {
      auto c = came.find(m);
      if (m <= Local() && c != came.end() && ((sys - c->second.sys >= -Sec && sys - c->second.sys <= 601 * Sec) ||
                                              (c->second.t <= handTickT && t - c->second.t <= 601 * Sec)))
        out.push_back({{i, m}, c->second});
      return false;
    });
    return out;
  }
  // When a later local minute comes on the system clock: a repeated minute at its first pass as Windows
  // reads it, or, that gone, at its second.
  int64_t When(int64_t m) const { return zone.Comes(m) > sys ? zone.Comes(m) : sys + m - Local(); }
  // When the next occurrence comes (a later minute, not decided, not skipped; `sure`: not one a clock set
  // by hand left in doubt); `minute` gets its local minute, the earlier of two that come together (as two
  // in the hour summer time skips do), as the plug-in counts them.
  int64_t NextAlarm(bool sure = false, int64_t* minute = nullptr) const {
    int64_t comes = Never, first = Never;
    Each(Local() / Day, Local() / Day + 15, [&](size_t i, int64_t m) {
      if (m <= Minute() || m == skipped || decided.count({i, m}) || (sure && unsure.count({i, m}))) return false;
      if (When(m) < comes || (When(m) == comes && m < first)) first = m;
      return comes = std::min(comes, When(m)), true;
    });
    if (minute && first != Never) *minute = first;
    return comes;
  }

  // What the wake may be for, as it comes on the system clock: each occurrence ahead the plug-in
  // cannot know to be spent (one a clock set by hand left in doubt, or one decided without ringing
  // whose minute the clock will show again), up to the first that surely rings.
  std::vector<int64_t> WakeCandidates() const {
    std::vector<std::pair<int64_t, bool>> ahead;  // when, and whether surely
    Each(Local() / Day, Local() / Day + 15, [&](size_t i, int64_t m) {
      if (m > Minute() && !Skip({i, m}) && !rung.count({i, m}))
        ahead.push_back({When(m), !decided.count({i, m}) && !unsure.count({i, m})});
      return false;
    });
    std::sort(ahead.begin(), ahead.end());
    std::vector<int64_t> out;
    for (size_t k = 0; k < ahead.size() && (out.empty() || !ahead[k - 1].second); ++k) out.push_back(ahead[k].first);
    return out;
  }

  // ---- the plug-in's entries ----
  template <class F> void Enter(Kind k, F f) {
    if (!breach.empty() || !running) return;
    kind = k, begins = played = toneStart = suspend = powerOff = closing = false, wasPlaying = playing == 1;
    if (k == Tick) BeforeTick();
    int y, m, d;  // the fake host as the world stands
    int64_t local = Local();
    Civil(local / Day, &y, &m, &d);
    SetDate(y, m, d, int(local % Day / Hour), int(local % Hour / Min), int(local % Min / Sec));
    FakeClock.Milliseconds = uint16_t(local % Sec), FakeElapsedMs = elapsed0 + uint32_t(t);
    FakeUtcOffset = -zone.Offset(sys) / Sec, FakeZoneChangeUtc = zone.at / Sec;
    FakeUtcOffsetBefore = -zone.before / Sec, FakeUtcOffsetAfter = -zone.after / Sec;
    Player.playing = playing, Player.listLength = int32_t(lengths.size()), Player.listPos = listPos;
    Player.volume = volume, Player.positionMs = playing == 0 || lengths.empty() ? -1 : pos;
    Player.lengthS = lengths.empty() ? -1 : lengths[listPos] / 1000;  // known, stopped or not
    Player.savedLength = hasSaved ? int32_t(saved.size()) : -1, Player.savedPos = savedPos, Player.saveFails = saveFails;
    Calls.clear(), WakeCalls.clear(), VolumeCalls.clear(), WindowCalls.clear();
    int32_t heldBefore = held;
    FakeDevice before = Device;
    f();
    bool raised = (before.muted && !Device.muted) || Device.level > before.level;  // a put-back is no sound
    if (verbose && Calls.size() + WakeCalls.size())
      printf("      plug-in: %s | %s\n", CallList().c_str(), WakeList().c_str());
    Absorb();
    if (k == Tick) AfterTick();
    SystemVolume();
    for (const std::string& w : WindowCalls)  // the window tells; nothing more than a ring due starts
      if (w.find("Missed") != std::string::npos && told.insert(w).second && !played && !toneStart &&
          (tone || (playing == 1 && !wasPlaying) || raised || held > heldBefore))
        Breach(13, "told as missed, it sounded, raised the volume or held the computer: " + w);
    if ((hasSaved ? saved : lengths) != users)
      Breach(8, hasSaved ? "the saved list is not the user's" : "the player's list is not the user's, and none is saved");
    for (int32_t i = 0; i < AlarmCount; ++i)
      if (Key(i) != keys[i]) keys[i] = Key(i), changedT[i] = t;
    bool off = powerOff, sleep = suspend, close = closing;
    if (!breach.empty()) return;
    if (off) return Log("the computer shuts down"), Gone();
    if (sleep) Sleep(rnd(5 * Min, 9 * Hour), rnd.Chance(75), close ? "standby, then the player closes" : "standby");
    if (close && running && breach.empty()) Quit();
  }

  // What the player and the computer make of the plug-in's calls, in order: promises 1 and 5, and the spans
  // of 2, 3 and 6 as the calls come.
  void Absorb() {
    static const char* const where[] = {"a clock tick", "a fade step", "a track's end", "a notice"};
    bool listed = false, stopped = false, final = false, fallback = false;
    bool slept = kind == Tick && t - lastTickT > CatchUpSeconds * Sec;
    for (const std::string& call : Calls) {
      char name[32] = "";
      int a = 0, b = 0;
      sscanf(call.c_str(), "%31s %d %d", name, &a, &b);
      std::string c = name;
      if (c == "SavePlaylist" && !saveFails && !hasSaved) hasSaved = true, saved = lengths, savedPos = listPos;
      else if (c == "EnqueueMusic") lengths.assign(3, 3 * Min), listPos = playing = pos = 0, own = true;
      else if (c == "RestorePlaylist" && hasSaved) {
        lengths = saved, listPos = savedPos, playing = pos = 0, hasSaved = own = false;
        // The silent music gives way, stopped first; an alarm given up asks the player between the two.
        fallback = kind == Tick && claim == Ringing && decides.empty() && &call != &Calls[0] && (&call)[-1] == "Stop";
      } else if (c == "Play" && fallback) {
        claim = Ringing, claimT = t;  // rings on, on the user's list, at the level it had
        if (!lengths.empty()) pos = 0, playing = 1;
      } else if (c == "Play") {
        // (Over music playing, a Play only takes back the stop after the track: the music plays on.)
        // (A test the alarm takes over is stopped first, so is an alarm rung on into a sleep, and so is the
        // start-up's music at the first tick.)
        bool over = ((testing || slept) && claim != Quiet) || (startupMusic && lastTickT == loadedT);
        if (kind == Tick && (!wasPlaying || (over && stopped)))
          played = true, stop.current = false, stopCut = "an alarm started playback";
        if (!lengths.empty()) pos = playing == 3 ? pos : 0, playing = 1;
      } else if (c == "Pause") {
        bool resume = kind == Tick && (claim == Snoozed || sleptThrough) && playing == 3;  // the snooze's own
        if (resume && sleptThrough)
          Breach(9, "the snooze resumed " + Secs(t - snoozeT - CappedMinutes(Snooze) * Min) + " after its end");
        // (The alarm's window relays the user's Snooze as the player's Pause: over a stopped player it does nothing.)
        if (playing != 1 && !resume && (playing == 3 || kind != Other))
          Breach(5, std::string("Pause reached a ") + (playing ? "paused" : "stopped") + " player");
        if (resume && t - snoozeT < CappedMinutes(Snooze) * Min - 2 * Sec)
          Breach(2, "the snooze resumed after " + Secs(t - snoozeT) + " of its " + std::to_string(Snooze) + " min");
        if (resume) claim = Ringing, claimT = t, syncHint = true, doubt = false, levelMoved = false;
        playing = playing == 1 ? 3 : playing == 3 ? 1 : 0, final = true;
      } else if (c == "ToneOn" || c == "ToneOff") {
        tone = c == "ToneOn";
        if (tone && kind == Tick && listed && !fallback) toneStart = true;  // an alarm's start with nothing to play
        else if (tone && claim == Ringing && t - claimT < 29 * Sec)
          Breach(6, "the tone sounded " + Secs(t - claimT) + " after the alarm started or resumed");
      } else if (c == "PowerOff" || c == "Close" || c == "SuspendState") {
        // Only as the end of a stop still current: as it begins, or its fade or its track ends.
        bool end = stop.current && ((kind == Fade && stop.fade) || (kind == TrackEnd && stop.wait));
        if (!(kind == Tick && begins) && !end)
          Breach(1, call + " at " + where[kind] + " with no stop of the sleep timer current (" + stopCut + ")");
        (c == "PowerOff" ? powerOff : c == "Close" ? closing : suspend) = final = true;
      } else if (c == "Stop") playing = pos = 0, stopAfter = false, stopped = final = true;
      else if (c == "StopAfterCurrent") stopAfter = true;
      else if (c == "SetPlaylistPos" && a >= 0 && a < int(lengths.size())) listPos = a;
      else if (c == "JumpToTime" && playing && !lengths.empty()) pos = std::min(std::max(a, 0), lengths[listPos]);
      // Without the fade-in, the level an alarm keeps is its own, set as it starts, or else the one its
      // first tick finds, whatever set it.
      else if (c == "SetVolume") volume = a = std::min(std::max(a, 0), 255), baseline = VolUp || kind == Tick ? a : baseline;
      else if (c == "StartTimer") due[a] = t + std::max(b, 10), fadeEvery = a == FadeTimer ? due[a] - t : fadeEvery;
      else if (c == "ListLength") listed = true;
      else if (c == "Save") memcpy(stored, SettingValues, sizeof stored);
    }
    for (const std::string& c : WakeCalls) {
      int y, mo, d, h, mi, s = 0;
      if (sscanf(c.c_str(), "Wake %d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &s) >= 5)
        wakeSetAt = sys, wakeAt = (DaysFrom(y, mo, d) * 86400 + h * 3600 + mi * 60 + s) * Sec - zone.Offset(sys);
      else if (c == "CancelWake") wakeAt = -1;
      else if (sscanf(c.c_str(), "Awake %d", &h) == 1) held = h;
    }
    // A ringing alarm ends by an answer, the sleep timer, its limit, or a sleep of the computer
    // over it longer than the catch-up: nothing else stops it.
    int64_t limit = CappedMinutes(RingLimit) * Min;
    if (claim == Ringing && !doubt && (kind == Fade || kind == TrackEnd) && final)
      Breach(3, "a stop left over cut the ringing alarm short");
    // (A test ends at an alarm's minute, even one with nothing to play.)
    bool takenOver = testing && !decides.empty();
    if (claim == Ringing && !doubt && kind == Tick && stopped && !played && !toneStart && !fallback && !begins && !slept &&
        !takenOver && (!limit || t - claimT < limit - 2 * Sec))
      Breach(3, "the alarm was given up after " + Secs(t - claimT) + " of its " + std::to_string(RingLimit) + " min");
    if (claim == Ringing && kind == Tick && stopped && !played && !fallback && !begins) claim = Quiet;  // at its limit
    if (takenOver && stopped && !played && !toneStart) claim = Quiet, testing = pausedRing = false;  // and the alarm had nothing
    if ((kind == Fade || kind == TrackEnd) && final && stop.current) stop.current = false, stopCut = "it ended";
  }

  // Promise 10: once its fade-in is over, or at once without one, the alarm plays at its level, until
  // the user moves it. Promise 11: what the alarm raised goes back at its end, unless the user kept it.
  void SystemVolume() {
    if ((kind == Tick || kind == Fade) && claim == Ringing && !doubt && volumeRule && !levelMoved && level >= 0 && playing == 1 && !tone &&
        !RunningTimers[FadeTimer] && volume != level)
      Breach(10, "the alarm plays at " + std::to_string(volume) + ", not at its " + std::to_string(level));
    SystemVolumeRecord now = {Device.muted, Device.level};
    if (!sysRaised && (now.Muted != sysNow.Muted || now.Level != sysNow.Level))
      sysRaised = true, sysFound = sysNow, sysMayStay = sysUserSet = false;
    sysNow = now;
  }
  void SystemVolumeBack(const char* when) {  // the player closed, or loaded after a crash
    if (!sysRaised || sysMayStay || !breach.empty()) return;
    if (!sysUserSet && (Device.muted != sysFound.Muted || Device.level != sysFound.Level))
      Breach(11, std::string("the computer is left as the alarm raised it ") + when);
    sysRaised = false;
  }

  void BeforeTick() {
    // The first tick after an occurrence's minute decides it. It must ring if the player ran then (or closed
    // after the last tick it kept), the alarm was set so then, it is not skipped, and nothing plays but the
    // start-up's music.
    if (handTickT == Never) handTickT = t;
    tickDue = Due(), decides.clear(), must = false;
    for (auto& o : tickDue) {
      if (o.second.t <= handTickT) unsure.insert(o.first);  // the plug-in may ring it or not
      bool first = (o.second.t > (lastTickT == loadedT ? seenT : lastTickT) || Minute() == o.first.second) && o.second.t > handTickT &&
                   sys - o.second.sys < 601 * Sec && decided.insert(o.first).second;
      if (first && o.first.second == skipped) passed.insert(o.first);  // skipped for good
      else if (first) decides.insert(o.first);
      must |= first && !passed.count(o.first) && !unsure.count(o.first) && o.second.t > changedT[o.first.first] &&
              o.second.t > seenT && (playing != 1 || (testing && claim != Quiet && volumeRule && !doubt) ||
                                     (startupMusic && lastTickT == loadedT)) &&
              (Playable(o.first.first) || SilentTone) &&
              sys - o.second.sys <= 598 * Sec && lastTickLocal < o.first.second;  // (not: a clock gone back past it)
    }
    fires = !decides.empty();  // an alarm's tick answers nothing, nor listens: the next does
    bool takes = fires;        // the first tick after an occurrence in doubt came may be its
    for (auto& o : tickDue) {
      bool open = unsure.count(o.first) && !rung.count(o.first) && !Skip(o.first);
      fires |= open, takes |= open && o.second.t > lastTickT;
    }
    doubt |= takes && decides.empty() && claim != Quiet;
    // The alarm as this tick finds the player, unless an alarm's start may take the tick: paused snoozes it;
    // stopped answers it, so does a volume moved; the limit ends it.
    int64_t limit = CappedMinutes(RingLimit) * Min;
    sleptThrough = claim == Snoozed && t - snoozeT - CappedMinutes(Snooze) * Min > CatchUpSeconds * Sec;
    pausedRing = takes && claim == Ringing && playing == 3;  // (decided after the tick)
    if (takes) {
    } else if (claim == Ringing && playing == 3) {
      claim = CappedMinutes(Snooze) ? Snoozed : Quiet, snoozeT = t, syncHint = true;
    } else if ((claim == Snoozed && (playing != 3 || sleptThrough)) || (claim == Ringing && playing == 0 && !tone) ||
               (claim == Ringing && playing == 1 && !tone && volumeRule && baseline >= 0 && volume != baseline) ||
               (claim == Ringing && (playing == 1 || tone) && limit && t - claimT >= limit + 5 * Sec) ||
               (claim == Ringing && t - lastTickT > CatchUpSeconds * Sec)) {  // the lid closed over it
      claim = Quiet;
    } else if (claim == Ringing && playing == 1 && !tone && baseline < 0) {
      baseline = volume;  // without a fade-in, the volume its first tick playing finds
    }
    // The sleep timer: the first tick in its minute, or within a minute of the countdown's end.
    begins = StopOn && Local() % Day / Min == StopH * 60 + StopM && Minute() != stopMinute;
    if (begins) stopMinute = Minute();
    if (countdownEnd >= 0 && t >= countdownEnd) begins |= t - countdownEnd <= Min, countdownEnd = -1;
    needed = claim != Quiet || t <= holdUntil || fires, quiet = claim == Quiet && !fires;
  }

  void AfterTick() {
    if (played || toneStart) {  // promise 2: for an occurrence due, once, and not skipped
      // Several in one minute ring at the first listed one's volume; an alarm in doubt, or one of them
      // decided this tick, may be that one.
      bool known = played;
      for (auto& d : tickDue) known &= !unsure.count(d.first) || Skip(d.first) || rung.count(d.first);
      const std::pair<Occurrence, Came>* o = nullptr;
      for (auto& d : tickDue)
        if (!Skip(d.first) && !rung.count(d.first) &&
            (!o || std::make_pair(d.second.sys, d.first.second) > std::make_pair(o->second.sys, o->first.second)))
          o = &d;  // the latest to come; of those a jump brought together, the latest minute
      if (!o) Breach(2, tickDue.empty() ? "an alarm rang with none due: before its minute, or over 10 minutes late"
                                        : "an alarm rang again, or though skipped");
      else rung.insert(o->first), decided.insert(o->first);
      for (auto& d : decides)  // all those this tick decided rang with it
        if (!Skip(d)) rung.insert(d);
      claim = Ringing, claimT = t, volumeRule = true, syncHint = true, doubt = false;
      // Of those this tick decides: one an earlier tick decided (it came over music, then the clock went
      // back over it) does not ring again, so its volume is not the one. Else the one in doubt.
      size_t first = AlarmCount;
      for (auto& d : decides) first = Skip(d) ? first : std::min(first, d.first);
      if (first == AlarmCount && o) first = o->first.first;
      int32_t percent = first < AlarmCount ? std::min(SettingValues[FirstAlarmVolume + first], 100) : 0;
      level = !known ? -1 : percent ? (percent * 255 + 99) / 100 : VolUp ? std::max(VolStart, VolEnd) : -1, levelMoved = false;
      baseline = VolUp || percent ? baseline : -1;
      testing = false;
    } else if (must) {
      Breach(3, "the alarm did not ring, nothing playing");
    } else if (pausedRing && claim == Ringing && playing == 3) {
      // No alarm took the tick after all: the pause snoozed the one ringing. Not one the tick left
      // stopped: given up after a sleep, or a start that found nothing put the user's list back.
      claim = CappedMinutes(Snooze) ? Snoozed : Quiet, snoozeT = t, syncHint = true;
    }
    lastTickT = t, lastTickLocal = Local();
    if (skipped >= 0 && Minute() > skipped) {  // spent: what it skipped stays skipped
      for (size_t i = 0; i < AlarmCount; ++i) {  // each alarm as the minute found it (a once alarm is off now)
        int64_t k = keys[i], days = k % 128, minute = k / 128 % 60, hour = k / 128 / 60 % 24, on = k / 128 / 1440;
        if (on && days >> Weekday(skipped / Day) & 1 && skipped % Day == (hour * 60 + minute) * Min)
          passed.insert({i, skipped}), decided.insert({i, skipped});
      }
      skipped = -1;
    }
    if (begins) {  // the sleep timer ends the alarm; a stop still pending joins this one
      bool fade = (stop.current && stop.fade) || VolDown;
      bool wait = (stop.current && stop.wait) || (WaitEnd && (played || wasPlaying));
      stop = {fade || wait, fade, wait}, stopCut = "it ended at once", claim = Quiet, playHint = true, doubt = false;
    }
    if (held && !needed && claim == Quiet && t > holdUntil)
      Breach(4, "the computer is held awake with nothing ringing, snoozing or about to ring");
    // A tick that sees the position move against the one before ends the tone; by the second, it is off.
    bool moving = playing == 1 && !Silent() && !lengths.empty() && listPos == tickList && pos > tickPos;
    if (!fires) tickPos = playing == 1 ? pos : -1, tickList = listPos, toneMoving = tone && moving ? toneMoving + 1 : 0;
    if (toneMoving >= 2) Breach(6, "the tone sounds over a player playing with its position moving");
    if (tone && quiet && claim == Quiet) Breach(6, "the tone sounds on after the alarm ended");
    if (claim == Quiet && !fires && playing == 0 && own) Breach(8, "the alarm is over, the player stopped, its list the alarm's");
    CheckWake();
  }

  // Armed for two minutes before the next alarm, or for its minute when that was past as it was set or is
  // now; where the plug-in could not tell whether an alarm rang, maybe for the one after. A snooze's end,
  // counted in real time from its tick, is woken for as an alarm is (to the second: the clocks are read
  // apart), when it comes first.
  void CheckWake() {
    // One that fired this second or the last, the next tick sets again.
    int64_t armed = wakeAt >= 0 ? wakeAt : t - firedT <= 2 * Sec ? firedAt : -1;
    auto wakeFor = [&](int64_t alarm, int64_t slack) {
      int64_t lead = (alarm - 2 * Min) / Sec, at = armed / Sec;
      return alarm != Never && armed >= 0 && (std::abs(at - lead) <= slack ||
                             (std::abs(at - alarm / Sec) <= slack && (lead <= wakeSetAt / Sec + slack || lead <= sys / Sec)));
    };
    std::vector<int64_t> next = WakeUp ? WakeCandidates() : std::vector<int64_t>();
    // The claim may lag the plug-in's snooze (the user's answer came between two ticks and was not seen),
    // never run ahead of it; where the volume, or an alarm in doubt, left it open whether the alarm is over,
    // either.
    bool sure = claim == Snoozed && volumeRule && !doubt;
    int64_t snoozeEnd = WakeUp && snoozeT >= 0 ? sys + snoozeT + CappedMinutes(Snooze) * Min - t : -1;
    bool snooze = snoozeEnd > sys && (next.empty() || snoozeEnd <= next.back());
    bool ok = snooze && wakeFor(snoozeEnd, 1);
    for (int64_t c : next) ok |= (!snooze || !sure || c <= snoozeEnd + Sec) && wakeFor(c, 0);
    if ((sure && snooze) || !next.empty() ? !ok : wakeAt > sys && !ok)
      Breach(7, (sure && snooze ? "the snooze ends at " + Text(snoozeEnd + zone.Offset(snoozeEnd))
                 : !next.empty() ? "the next alarm comes at " + Text(next[0] + zone.Offset(next[0])) : "no alarm comes") +
                    (armed < 0 ? ", the wake is off" : ", the wake is for " + Text(armed + zone.Offset(armed))) +
                    (wakeAt < 0 && firedAt >= 0 ? " (it fired at " + Text(firedAt + zone.Offset(firedAt)) + ")" : ""));
  }

  // ---- the player, the user and the computer ----
  void Start() {  // a fresh module with the stored settings, PluginInit's portable part
    RaisedVolumeRecord kept;
    bool held = ReadKeptRaisedVolume(&kept);  // the registry and the device outlive the module
    uint32_t seen = ReadLastSeen();
    FakeDevice device = Device;
    ResetHost();
    Device = device;
    if (held) KeepRaisedVolume(kept);
    KeepLastSeen(seen);
    memcpy(SettingValues, stored, sizeof stored);
    for (int32_t i = 0; i < AlarmCount; ++i) AlarmMusic[i][0] = music[i] ? u'm' : 0, AlarmMusic[i][1] = 0;
    running = true, playing = pos = 0, stopAfter = endPending = false;
    loadedT = lastTickT = seenT = t, lastTickLocal = Local(), stopMinute = Minute();
    int64_t utcBase = 0;
    Enter(Other, [&utcBase, this] {
      utcBase = int64_t(UtcSeconds()) - sys / Sec;
      RestoreLeftList(), PutBackLeftVolume(), MarkMinuteSeen(), StartTimer(ClockTimer, 1000, ClockTick), RefreshWake(),
          StartupPlay();
    });
    startupMusic = playing == 1;
    // Up to the last tick it kept, each alarm's minutes count as rung (by when they first came: a minute
    // summer time repeats, at its first pass); those since (the player closed or crashed) its first tick
    // may ring, the few minutes late the catch-up allows, unless they rang already.
    int64_t seenSys = (int64_t(seen) - utcBase) * Sec, seenLocal = seenSys + zone.Offset(seenSys);
    bool known = seen && seenSys < sys && sys - seenSys <= 6 * Day && seenLocal - seenLocal % Min < Minute();
    if (known) seenT = t - (sys - seenSys), lastTickLocal = seenLocal;  // its first tick decides them
    // Summer time ended since it, whose local minute lies ahead again: up to that, those come by then too.
    int64_t upTo = !known && seen && seenSys <= sys && sys - seenSys <= 6 * Day ? std::max(Minute(), seenLocal - seenLocal % Min) : Minute();
    if (verbose) printf("      last seen %s\n", known ? Text(seenLocal).c_str() : "none");
    std::set<Occurrence> rang = rung, skippedFor = passed;
    decided.clear(), rung.clear(), unsure.clear(), passed.clear();
    for (size_t i = 0; i < AlarmCount; ++i) unsure.insert({i, Minute()});  // an alarm later set to it, maybe
    Each(Local() / Day - 7, upTo / Day, [&](size_t i, int64_t m) {
      if (m > upTo) return false;
      // One that rang before a clock set back by hand, the plug-in may ring again: it cannot tell.
      bool before = (!known && m <= Minute()) || zone.Comes(m) <= seenSys;
      if (before || (rang.count({i, m}) && handTickT == -Never)) rung.insert({i, m}), decided.insert({i, m});
      else if (rang.count({i, m})) unsure.insert({i, m});
      if (!before && skippedFor.count({i, m})) passed.insert({i, m});
      return false;
    });
    SystemVolumeBack("at the next load");
  }
  void Gone() {
    running = dead = stopAfter = endPending = tone = false, playing = pos = held = 0, wakeAt = countdownEnd = -1;
    claim = Quiet, doubt = false, stop = {}, stopCut = "the player closed", holdUntil = -Never;
    for (TimerProc& p : RunningTimers) p = nullptr;
  }
  void Quit() {  // the host's close: SaveOnExit, then PluginQuit
    Log("the player closes");
    Enter(Other, [] {
      MusicBeforeClose(), PutBackFadedVolume();
      TrackPos = PlayerIpc(0, IpcGetOutputTime), TrackLength = PlayerIpc(1, IpcGetOutputTime);
      SaveSettings(), StopTimer(ClockTimer), StopTimer(FadeTimer), KeepSeen(), EndRinging(), MusicBeforeClose(),
          ReleaseAwake();
    });
    SystemVolumeBack("as the player closed");
    Gone();
  }
  void Notices() {  // those the player's thread owes, in the order they came, before all else
    while (running && breach.empty() && (endPending || timeChanged))
      if (endPending) TrackEnds();
      else timeChanged = false, Enter(Other, RefreshWake);
  }
  void Run(int64_t ms) {  // the player runs: its timers, its playback and its notices, in order
    for (int64_t end = t + ms; breach.empty();) {
      Notices();
      if (!running) return Clock(end - t, false);
      if (t >= end) return;
      int64_t next = end;
      int what = 0;
      for (int id : {ClockTimer, FadeTimer})
        if (RunningTimers[id] && std::max(due[id], t) < next) next = std::max(due[id], t), what = id;
      if (playing == 1 && !Silent() && !lengths.empty() && t + lengths[listPos] - pos < next)
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
  // Asleep till the wake timer fires (where it can wake the computer) or someone wakes it. A stop in
  // progress is not carried out late. An automatic resume may hold the computer for an alarm within 5
  // minutes, or one just past that may still be caught up, till 2 minutes after.
  void Sleep(int64_t ms, bool wakeWorks, const char* why) {
    Enter(Other, ComputerSuspending);  // the suspend notice: promise 7 as the computer goes to sleep
    if (running && breach.empty()) CheckWake();
    bool byTimer = wakeWorks && running && wakeAt > sys && wakeAt - sys <= ms;
    if (byTimer) ms = wakeAt - sys;
    Log(why + (": asleep " + std::to_string(ms / Min)) + " min" +
        (byTimer ? ", the wake timer wakes it" : wakeWorks ? "" : ", no wake timer works"));
    Clock(ms, false);
    unattended = byTimer, resumeT = t, stop = {}, stopCut = "the computer slept";
    if (!running) return;
    bool any = false;
    Each(Local() / Day, Local() / Day + 7, [&](size_t, int64_t) { return any = true; });
    int64_t ahead = NextAlarm() - sys;
    if (WakeUp && any) holdUntil = std::max(holdUntil, t + (ahead >= 0 && ahead <= 305 * Sec ? ahead : 0) + 125 * Sec);
    Enter(Other, [] { CancelStop(), ResumedAutomatically(); });       // sent on every resume
    if (!byTimer) Enter(Other, [] { CancelStop(), RefreshWake(); });  // someone woke it
    syncHint = true;
  }
  // The user's command: the player's reaches the plug-in's hook first; any answers the tone.
  template <class F> void Command(const char* what, F f) {
    Log(what);
    bool toned = tone;
    Enter(Other, [&] { CommandReached(), f(); });
    claim = toned ? Quiet : claim, unattended = false;
  }
  void Play() {
    sysMayStay |= sysRaised;  // playing on over a snooze keeps the computer as the alarm set it
    Command("the user presses Play", [] {});
    if (!lengths.empty()) pos = playing == 3 ? pos : 0, playing = 1;
  }
  // Test in an alarm's dialog: it rings now, as an alarm starts (music playing stopped first), unless one
  // rings already; no alarm, skip or minute rung changes, and the wake stays the alarms'.
  void TestPressed() {
    int32_t slot = int32_t(rnd(0, AlarmCount - 1)), result = -1, skip = SkipAlarm;
    int64_t before[AlarmCount];
    FiredRecord fired[AlarmCount];
    for (int32_t i = 0; i < AlarmCount; ++i) before[i] = Key(i), fired[i] = AlarmFired[i];
    Log("the user presses Test in alarm " + std::to_string(slot + 1) + "'s dialog");
    Enter(Other, [&] {
      AlarmSound sound;
      SlotSound(slot, &sound);
      result = TestAlarm(sound);
    });
    for (int32_t i = 0; i < AlarmCount; ++i)
      if (Key(i) != before[i] || memcmp(&fired[i], &AlarmFired[i], sizeof fired[i]) || SkipAlarm != skip)
        Breach(12, "alarm " + std::to_string(i + 1) + " changed");
    if (result != TestRings || !running || !breach.empty()) return;
    int32_t percent = std::min(SettingValues[FirstAlarmVolume + slot], 100);  // the tested alarm's own
    level = percent ? (percent * 255 + 99) / 100 : VolUp ? std::max(VolStart, VolEnd) : -1, levelMoved = false;
    // Set at once without a fade-in (the plug-in's SetVolume outside a tick): that is what it keeps.
    claim = Ringing, claimT = t, baseline = VolUp ? baseline : percent ? volume : -1, volumeRule = true, doubt = false,
    testing = true;
    stop = {}, stopCut = "a test began", syncHint = true, unattended = false;
  }
  void ChangeSettings() {  // in the settings dialog: alarms, the stop's time and actions, snooze, limit, tone
    static int32_t* const flags[] = {&StartOn, &StopOn, &VolUp, &VolDown, &WaitEnd, &UsePause, &Close, &Suspend,
                                     &Hibernate, &ShutDown, &SilentTone, &WakeUp, &StopOff};
    Command("the user opens the settings", [] {});
    int32_t before[SettingCount];
    memcpy(before, SettingValues, sizeof before);
    for (int n = int(rnd(1, 3)); n-- > 0;) {
      int64_t local = Local() + rnd(-5, 90) * Min;
      int32_t slot = int32_t(rnd(0, AlarmCount - 1));
      if (rnd.Chance(40)) rnd.Chance(20) ? RemoveAlarm(slot) : WriteAlarm(slot, NewAlarm(rnd, local));
      else if (rnd.Chance(20)) StopH = int32_t(local % Day / Hour), StopM = int32_t(local % Hour / Min);
      else if (rnd.Chance(20)) Snooze = rnd.Pick({0, 1, 2, 9}), RingLimit = rnd.Pick({0, 1, 2, 5, 60});
      else if (rnd.Chance(20)) SettingValues[FirstAlarmVolume + slot] = rnd.Pick({0, 1, 50, 100});
      else *flags[rnd(0, 12)] ^= 1;
    }
    std::string what = "settings changed:";
    for (int i = 0; i < SettingCount; ++i)
      if (SettingValues[i] != before[i]) what += std::string(" ") + SettingNames[i];
    Log(what);
    volumeRule &= VolUp == before[&VolUp - SettingValues];
    sysMayStay |= sysRaised && !volumeRule;  // read as the user's answer by the volume
    bool edited = false;
    for (int32_t i = 0; i < AlarmCount; ++i) edited |= Key(i) != keys[i];
    skipped = edited ? -1 : skipped;  // an alarm the user changed cancels a skip
    Enter(Other, [edited] { edited ? AlarmsEdited() : void(), SaveSettings(), RefreshWake(); });  // the dialog closing
  }
  // To just before (or up to 12 minutes after) what comes next, stalled or asleep.
  void Approach() {
    int64_t next = Never;
    auto consider = [&](int64_t x) { next = x > sys + 5 * Sec && x < next ? x : next; };
    consider(NextAlarm());
    for (int64_t d = Local() / Day; d <= Local() / Day + 1 && StopOn; ++d)
      consider(zone.Comes(d * Day + (StopH * 60 + StopM) * Min));
    if (countdownEnd >= 0) consider(sys + countdownEnd - t);
    if (playing == 1 && !Silent() && !lengths.empty()) consider(sys + lengths[listPos] - pos);  // the track's end
    consider(zone.at);
    int64_t late = rnd.Chance(30) ? rnd(0, 59) : rnd(60, 720);  // a slow resume's first tick, often in the minute
    int64_t gap = next == Never ? rnd(1, 15) * Min : next - sys + (rnd.Chance(70) ? -rnd(2, 150) : late) * Sec;
    if (gap <= 0) return Log("ticks"), Run(Sec);
    if (gap <= 15 * Min) return Log("the player stalls"), Clock(gap, true);
    Sleep(gap, rnd.Chance(70), "the user sleeps the computer");
  }

  void Step() {
    ++stepCount;
    Notices();
    int64_t r = rnd(0, 999);
    auto in = [&r](int per1000) { return (r -= per1000) < 0; };
    if (!running && in(350)) return Log("the user starts the player"), Start();
    if (!running) return Log("the player stays closed"), Clock(rnd(Sec, 20 * Min), false);
    if (unattended && !held && t - resumeT >= 2 * Min)
      return Sleep(rnd(10 * Min, 8 * Hour), rnd.Chance(75), "Windows puts the unattended computer back to sleep");
    if (syncHint && (syncHint = false, rnd.Chance(25))) return Jump(-rnd(1, 3) * Sec, "time sync");
    if (playHint && (playHint = false, rnd.Chance(30))) return Play();
    if (claim == Snoozed && in(30))  // woken for the snooze's end, or slept through it
      return Sleep(rnd(1, 240) * Min, rnd.Chance(60), "the lid closes during the snooze");
    if (WakeUp && wakeAt > sys && wakeAt - sys <= 3 * Min && in(150)) {  // no tick sees the wake fire
      Log("the player stalls as the wake comes"), Clock(wakeAt - sys + rnd(0, 110) * Sec, true);
      return Sleep(rnd(5, 180) * Min, rnd.Chance(75), "the lid closes between the wake and the alarm");
    }
    if (in(540)) return Log("ticks"), Run((rnd.Chance(70) ? 1 : rnd.Chance(85) ? rnd(2, 20) : rnd(20, 300)) * Sec);
    if (in(30)) return Log("the player stalls"), Clock(rnd(1, 15) * Min, true);
    if (in(60)) return Approach();
    if (in(20)) return Sleep(rnd(1, rnd.Chance(30) ? 30 : 180) * Min, rnd.Chance(70), "the user sleeps the computer");
    if (in(30)) return Jump(rnd(1, 5) * (rnd.Chance(50) ? Sec : -Sec), "time sync");
    if (in(8)) return Jump(rnd.Chance(50) ? Hour : -Hour, "the clock set by hand");
    if (in(25)) return Play();
    if (in(30)) return Command("the user presses Pause", [] {}), void(sysMayStay |= sysRaised && playing == 3),
                       void(playing = playing ? 4 - playing : 0);
    if (in(10)) {  // the user sets the computer's volume: theirs from now on
      Device.muted = int32_t(rnd(0, 1)), Device.level = int32_t(rnd(0, FullLevel));
      sysUserSet |= sysRaised, sysNow = {Device.muted, Device.level};
      return Log("the user sets the computer's volume");
    }
    if (in(25)) {  // a stop waiting for the track's end is over with it, though Play follows at once
      if (stop.current && stop.wait) stop = {stop.fade, stop.fade, false}, stopCut = "the user stopped the player";
      Command("the user presses Stop", [] { StopCommandSeen(); });
      return void(playing = pos = 0), void(stopAfter = false), void(playHint = true);
    }
    if (in(15)) {
      Command("the user presses Next", [] {});
      if (listPos + 1 < int(lengths.size())) ++listPos, pos = 0;
      return;
    }
    if (in(10)) return TestPressed();
    if (in(20)) {  // the alarm's window: its buttons send the player's commands, and it follows at once
      bool snooze = rnd.Chance(50);
      Log(snooze ? "the user presses Snooze on the alarm's window" : "the user presses Stop on the alarm's window");
      Enter(Other, [snooze] { AnswerRinging(snooze ? CmdPause : CmdStop); });
      // It looks at the player at once, as a tick would: over, though Play may follow before a tick.
      if (!snooze || (claim == Ringing && playing == 0 && !tone && CappedMinutes(Snooze))) claim = Quiet, doubt = false;
      else if (claim == Ringing && playing == 3 && CappedMinutes(Snooze)) claim = Snoozed, snoozeT = t;
      return void(unattended = false);
    }
    if (in(30)) {  // a fade-out under way leaves the music at the user's level
      int32_t v = int32_t(rnd(0, 254));
      volume = v >= volume ? v + 1 : v;
      if (stop.current && stop.fade && RunningTimers[FadeTimer])
        stop = {stop.wait, false, stop.wait}, stopCut = "the user moved the volume during its fade-out";
      levelMoved = true, sysMayStay |= sysRaised;
      return Log("the user moves the volume");
    }
    if (in(15)) {
      int32_t minutes = rnd.Pick({15, 30, 45, 60, 90, 120});
      Command("the user chooses a countdown", [=] { SleepTimerChoose(minutes); });
      return void(countdownEnd = t + minutes * Min);
    }
    if (in(5)) return Command("the user turns the countdown off", [] { SleepTimerOff(); }), void(countdownEnd = -1);
    if (in(33)) return ChangeSettings();
    if (in(8)) {  // from the menu: the next alarm skipped, or the skip cancelled
      int64_t minute = -1;
      bool skip = skipped < 0 && NextAlarm(false, &minute) != Never;
      Command("the user skips the next alarm or cancels the skip", [] { ToggleSkip(); });
      int64_t sure = -1, chosen = (DaysFrom(1970, 1, 1) * 1440 + SkipAlarm) * Min;  // local minutes since 1970
      NextAlarm(true, &sure);  // across a clock set by hand, the plug-in may pick the one after
      return void(skipped = !skip ? -1 : chosen == sure ? sure : minute);
    }
    if (in(10)) return Quit();
    if (in(4)) return Log("the player crashes, the plug-in with it"), Gone();
    if (in(8)) return dead = !dead, Log(dead ? "the player goes silent" : "the player finds its voice");
    Log("ticks"), Run(Sec);
  }

  // Dusk: a date, a zone (a third of the nights change summer time, half of those in the alarm's hour),
  // the settings, the alarms near the night's end, the stop near its start.
  Night(uint64_t seed, bool v) : rnd{std::mt19937_64(seed)}, verbose(v) {
    ResetHost();
    zone.before = zone.after = rnd.Chance(50) ? Hour : 2 * Hour;
    int64_t dusk = DaysFrom(rnd(2026, 2027), rnd(1, 12), rnd(1, 28)) * Day + rnd(20 * 3600, 25 * 3600 - 1) * Sec;
    sys = dusk - zone.before, elapsed0 = uint32_t(rnd.g());
    bool summer = rnd.Chance(35);
    if (summer) zone.after += rnd.Chance(50) ? Hour : -Hour, zone.at = sys - sys % Min + rnd(20, 600) * Min;
    int64_t alarm = summer && rnd.Chance(50) ? zone.at + zone.before + rnd(-10, 70) * Min : dusk + rnd(30, 540) * Min;
    WriteAlarm(0, NewAlarm(rnd, alarm));
    for (int n = rnd.Chance(40) ? int(rnd(1, 2)) : 0; n-- > 0;)
      WriteAlarm(int32_t(rnd(1, AlarmCount - 1)), NewAlarm(rnd, alarm + rnd(-40, 40) * Min));
    int64_t stopAt = dusk + rnd(1, 40) * Min;
    StopH = int32_t(stopAt % Day / Hour), StopM = int32_t(stopAt % Hour / Min);
    static const std::pair<int32_t*, int> flags[] = {
        {&StartOn, 90}, {&StartOff, 10}, {&StopOn, 70}, {&StopOff, 10}, {&VolUp, 50}, {&Random, 50}, {&One, 20},
        {&Activate, 50}, {&FromRange, 15}, {&VolDown, 50}, {&WaitEnd, 40}, {&UsePause, 30}, {&Close, 25},
        {&Suspend, 40}, {&Hibernate, 15}, {&ShutDown, 3}, {&PlayAtStart, 20}, {&SavePos, 50}, {&UsePlay, 50},
        {&WakeUp, 80}, {&SilentTone, 70}};
    for (const auto& f : flags) *f.first = rnd.Chance(f.second);
    VolStart = int32_t(rnd(0, 100)), VolEnd = int32_t(rnd(VolStart + 1, 255)), TimeOut = rnd.Pick({10, 50, 250, 1000});
    First = int32_t(rnd(0, 12)), Last = int32_t(rnd(First, First + 5));
    Snooze = rnd.Pick({0, 1, 2, 9}), RingLimit = rnd.Pick({0, 1, 2, 5, 60});
    for (int32_t i = 0; i < AlarmCount; ++i)  // each alarm's own volume, some at or below the fade's start
      SettingValues[FirstAlarmVolume + i] = rnd.Chance(50) ? 0 : rnd.Chance(20) ? 100 : int32_t(rnd(1, 60));
    if (rnd.Chance(50)) VolStart = rnd.Pick({VolStart, 255}), SysVolume = rnd.Pick({0, 30, 100});
    Device.muted = rnd.Chance(30), Device.level = rnd.Chance(50) ? int32_t(rnd(0, FullLevel / 2)) : FullLevel;
    sysNow = {Device.muted, Device.level};
    memcpy(stored, SettingValues, sizeof stored);
    for (int n = rnd.Chance(8) ? 0 : int(rnd(1, 12)); n-- > 0;) lengths.push_back(int32_t(rnd(20, 360) * Sec));
    volume = int32_t(rnd(30, 255)), dead = rnd.Chance(5), users = lengths;
    for (bool& m : music) m = rnd.Chance(40);
    musicDead = rnd.Chance(30), saveFails = rnd.Chance(5);
    Note(Local() - Hour, Local(), sys - Hour, sys, true);  // the clocks ran before
    if (summer) Log("summer time: " + Secs(zone.after - zone.before) + " at " + Text(zone.at + zone.before));
    Log("dusk: the alarm at " + Text(alarm) + ", the stop at " + Text(stopAt));
    Start();
    if (rnd.Chance(60) && !lengths.empty()) Play();
  }
};

}  // namespace

// NIGHTS=n runs nights 1 to n (100 by default), from night NIGHTS_FROM when given; NIGHTS_SEED=n runs night n alone, printing every step and
// every call the plug-in makes.
TEST(Nights, TheEightPromisesHoldThroughRandomNights) {
  const char *one = getenv("NIGHTS_SEED"), *many = getenv("NIGHTS");
  const char *from = getenv("NIGHTS_FROM");
  uint64_t first = one ? strtoull(one, nullptr, 10) : from ? strtoull(from, nullptr, 10) : 1, count = one ? 1 : many ? strtoull(many, nullptr, 10) : 100;
  auto began = std::chrono::steady_clock::now();
  long steps = 0, failed = 0, byPromise[std::size(Promises)] = {};
  double hours = 0;
  for (uint64_t seed = first; seed < first + count; ++seed) {
    Night night(seed, one != nullptr);
    while (night.stepCount < 300 && night.t < 30 * Hour && night.breach.empty()) night.Step();
    steps += night.stepCount, hours += double(night.t) / Hour;
    if (night.breach.empty()) continue;
    ++byPromise[night.promise];
    if (++failed <= 3 && !one) {
      printf("night %llu, its last steps:\n", static_cast<unsigned long long>(seed));
      for (size_t i = night.steps.size() > 30 ? night.steps.size() - 30 : 0; i < night.steps.size(); ++i)
        printf("  %s\n", night.steps[i].c_str());
    }
    printf("night %llu breaks %s\n", static_cast<unsigned long long>(seed), night.breach.c_str());
  }
  printf("nights: %llu, steps: %ld, simulated hours: %.0f, seconds: %.2f\n", static_cast<unsigned long long>(count),
         steps, hours, std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count());
  for (size_t p = 1; p < std::size(Promises); ++p)
    if (byPromise[p]) printf("  promise %zu (%s): %ld nights\n", p, Promises[p], byPromise[p]);
  EXPECT_EQ(0, failed) << "replay a night step by step: make night SEED=n";
}
