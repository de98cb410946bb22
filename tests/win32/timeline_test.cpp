// Reading the log into the showcase's timeline, and telling the expected one from others.
#include "bench.h"
#include "showcase.h"

namespace {

const DWORD Seven = 7 * 3600 * 1000u, Nine = 9 * 3600 * 1000u, TenPm = 22 * 3600 * 1000u, TenPastEleven = (23 * 60 + 10) * 60 * 1000u,
            FortyPastEleven = TenPastEleven + 30 * 60000u, TenToMidnight = FortyPastEleven + 10 * 60000u;

// The computer, muted at 12%: each alarm unmutes it, and its end mutes it again.
const char Raised[] = "muted at 12% -> unmuted at 30% (shown, not done)";
const char PutBack[] = "system volume: unmuted at 30% -> muted at 12% (shown, not done)";

struct Script {
  std::vector<LogEntry> log;
  DWORD at = TenPastEleven - 6000;
  void Ipc(int data, int code, LRESULT result = 0) { log.push_back({0, WM_USER, WPARAM(data), code, result, at}); }
  void Command(int id) { log.push_back({0, WM_COMMAND, WPARAM(id), 0, 0, at}); }
  void Note(const std::string& text) { log.push_back({0, 0, 0, 0, 0, at, text}); }
  void Enqueue(const std::string& path) { log.push_back({0, WM_COPYDATA, 1100, 0, 1, at, path + " (+1)"}); }
  // The user's twelve entries back, the third selected.
  void Restore() {
    Ipc(0, 101);
    for (int i = 1; i <= 12; ++i) Enqueue("C:\\Music\\Track " + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".mp3");
    Ipc(2, 121);
  }
  void Power(const std::string& text) { Note("power: " + text + " (shown, not done)"); }
  void Wake(const char* when) { Power(std::string("SetWaitableTimer(") + when + ", resume): wake timer armed"); }
  void Fade(int from, int to, DWORD step) {
    for (int v = from; v != to;) {
      Ipc(-666, 122, v);
      v += from < to ? 1 : -1;
      Ipc(v, 122);
      at += step;
    }
  }
  // The alarm picks a track, plays it, arms the next wake, holds the computer and fades in.
  void AlarmStarts(int track, const char* nextWake, const char* computer = nullptr) {
    Ipc(0, 104);
    Ipc(0, 124, 12);
    Ipc(track, 121);
    Command(40047);
    Command(40045);
    Ipc(100, 122);
    if (nextWake) Wake(nextWake);  // already set so: not set again
    if (computer) Note(std::string("system volume: ") + computer);
    Power("SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED): held awake");
    at += 40;
    Fade(100, 160, 40);
  }
  // The showcase as it should go, with the snooze as long as given.
  void Showcase(DWORD snooze = 9 * 60000, DWORD countdown = 30 * 60000, DWORD lateRing = 4 * 60000) {
    Wake("2026-12-12 08:58");
    Note("Friday night: the user plays music to fall asleep to");
    at = TenPastEleven + 200;
    Note("the user chooses Sleep timer > 30 minutes in the player's menu");
    at = FortyPastEleven - 2000;
    Note("the showcase skips ahead to Friday 11 December, 23:39:58: half an hour passes");
    at = TenPastEleven + 500 + countdown;
    Ipc(-666, 122, 90);
    Fade(90, 0, 40);
    Ipc(90, 122);
    Command(40047);
    Power("LoadLibraryA(powrprof.dll)");
    Power("SetSuspendState(0, 0, 0): standby");
    Note("the player stays open");
    at = Seven - 2000;
    Note("the showcase skips ahead to Saturday");
    at = Seven + 3000;
    Note("07:00 passes in silence");
    at = Nine - 2000;
    Note("the showcase skips ahead to Saturday 12 December, 08:59:58: the weekend's alarm is at 09:00");
    Wake("2026-12-12 09:00");
    at = Nine + 500;
    AlarmStarts(1, "2026-12-13 08:58", Raised);
    at += 1200;
    Note("the user, awake, presses stop");
    Command(40047);
    Note(PutBack);
    Power("SetThreadExecutionState(ES_CONTINUOUS): released");
    at = Seven - 120000;
    Note("the showcase skips ahead to Monday");
    Wake("2026-12-14 07:00");
    Power("SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED): held awake");
    at = Seven - 2000;
    Note("the showcase skips ahead to Monday 06:59:58");
    at = Seven + 500;
    AlarmStarts(4, "2026-12-15 06:58", Raised);
    at += 1200;
    Note("the user presses Snooze on the alarm's window: the alarm snoozes for 9 minutes");
    Command(40046);
    DWORD paused = at;
    Ipc(0, 104, 3);
    Wake("2026-12-14 07:07");  // the snooze's end is woken for
    Power("SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED): held awake");
    at = Seven + 9 * 60000;
    Note("the showcase skips ahead to Monday 14 December, 07:09:00: the snooze is over");
    at += 1000;
    Wake("2026-12-14 07:09");  // that wake came while the computer slept: its own minute now
    at = paused + snooze + 400;
    Ipc(0, 104, 3);
    Command(40046);
    Ipc(100, 122);
    Wake("2026-12-15 06:58");  // back to Tuesday's alarm
    Power("SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED): held awake");
    at += 40;
    Fade(100, 160, 40);
    at += 1200;
    Note("the user, awake, presses stop");
    Command(40047);
    at += 600;
    Ipc(0, 104);
    Note(PutBack);
    Power("SetThreadExecutionState(ES_CONTINUOUS): released");
    Note("the user presses OK on the alarm's window: Sunday's 09:00 was missed while the computer slept");

    at = Seven - 2000;
    Note("the showcase skips ahead to Tuesday 15 December, 06:59:58: the playlist is empty");
    Wake("2026-12-15 07:00");
    at = Seven + 500;
    Ipc(0, 104);
    Ipc(0, 124, 0);
    Wake("2026-12-16 06:58");
    Note(std::string("system volume: ") + Raised);  // at Monday's time of day, to the millisecond
    Power("SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED): held awake");
    Note("tone: PlaySoundA(tone, 0xf): sounds, looped (shown, not played)");
    at += 1000;
    Note("the user, awake, presses stop");
    Note("tone: PlaySoundA(NULL, 0x0): ends");
    Note(PutBack);
    Power("SetThreadExecutionState(ES_CONTINUOUS): released");
    Command(40047);

    at = Seven + 4 * 60000;
    Note("the showcase skips ahead to Wednesday 16 December, 07:04:00: the computer was slow to resume");
    Wake("2026-12-17 06:58");
    Power("SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED): held awake");
    at = Seven + lateRing + 500;
    AlarmStarts(9, nullptr, Raised);
    at += 1200;
    Note("the user, awake, presses stop");
    Command(40047);
    Note(PutBack);
    Power("SetThreadExecutionState(ES_CONTINUOUS): released");

    at = TenPm - 2000;
    Note("the showcase skips ahead to Wednesday 16 December, 21:59:58: Thursday is a holiday");
    at = TenPm + 2000;
    Wake("2026-12-18 06:58");
    Note("the user chooses Alarm > Skip the next alarm (Thu 07:00) in the player's menu");
    at = TenToMidnight - 2000;
    Note("the showcase skips ahead to Wednesday 16 December, 23:49:58: the daily sleep timer is at 23:50");
    Note("Wednesday night: the user plays music to fall asleep to");
    at = TenToMidnight + 500;
    Ipc(-666, 122, 30);
    Fade(30, 0, 40);
    Ipc(30, 122);
    Command(40047);
    Power("SetSuspendState(0, 0, 0): standby");
    at += 1500;
    Note("the player stays open for Friday's alarm");
    at = Seven - 2000;
    Note("the showcase skips ahead to Thursday 17 December, 06:59:58: the alarm is skipped");
    at = Seven + 2000;
    Note("07:00 passes in silence: the alarm was skipped, the wake is set for Friday");
    Note("the user gives the weekday alarm the folder Morning music, the weekend alarm a radio station");

    at = Seven - 2000;  // Friday 18: the alarm's folder
    Note("the showcase skips ahead to Friday 18 December, 06:59:58: the alarm plays its folder");
    Wake("2026-12-18 07:00");
    at = Seven + 500;
    Ipc(0, 101);
    for (const char* name : {"01 Birdsong.mp3", "02 Sunrise.ogg", "03 Coffee.flac"})
      Enqueue(std::string("C:\\users\\me\\Temp\\Morning music\\") + name);
    AlarmStarts(1, "2026-12-19 08:58", Raised);
    at += 1200;
    Note("the user, awake, presses stop");
    Command(40047);
    at += 600;
    Restore();
    Note(PutBack);
    Power("SetThreadExecutionState(ES_CONTINUOUS): released");
    Note("the user's playlist is back as it was, its entry selected, not playing");

    at = Nine - 2000;  // Saturday 19: the stream is down
    Note("the showcase skips ahead to Saturday 19 December, 08:59:58: the radio station is down");
    Wake("2026-12-19 09:00");
    at = Nine + 500;
    Ipc(0, 101);
    Enqueue("http://offline.invalid/morning");
    AlarmStarts(0, "2026-12-20 08:58", Raised);
    at = Nine + 30500;
    Command(40047);
    Restore();
    Ipc(8, 121);
    Command(40047);
    Command(40045);
    Ipc(100, 122);
    at += 40;
    Fade(100, 160, 40);
    at += 300;
    Note("after 30 seconds of silence the user's own playlist plays instead");
    at += 1200;
    Note("the user, awake, presses stop");
    Command(40047);
    Note(PutBack);
    Power("SetThreadExecutionState(ES_CONTINUOUS): released");
  }
};

bool Expected(const Script& s, std::string* why) {
  return CheckShowcaseTimeline(BuildTimeline(s.log), why);
}

}  // namespace

TEST(ShowcaseTimeline, FoldsTheFadesAndAcceptsTheExpectedRun) {
  Script s;
  s.Showcase();
  // The player's close cancels the wake.
  s.Power("CancelWaitableTimer: no wake timer");
  std::vector<TimelineEvent> events = BuildTimeline(s.log);
  std::string why;
  EXPECT_TRUE(CheckShowcaseTimeline(events, &why)) << why << "\n" << FormatTimeline(events);
  ASSERT_EQ(131u, events.size());
  std::vector<const TimelineEvent*> fades;
  for (const TimelineEvent& e : events)
    if (e.kind == "fade-out" || e.kind == "fade-in") fades.push_back(&e);
  // Friday's, Saturday's, Monday's twice, Wednesday's, its night's; the next Friday's folder,
  // Saturday's stream and the user's list after it.
  ASSERT_EQ(9u, fades.size());
  EXPECT_EQ(90, fades[0]->from) << "the fade-out starts from the volume the player had";
  EXPECT_EQ(0, fades[0]->to);
  EXPECT_EQ(100, fades[2]->from) << "the wake timer and the hold do not break the fade-in";
  EXPECT_EQ(160, fades[2]->to);
  EXPECT_EQ(60, fades[2]->steps);
  EXPECT_EQ(100, fades[3]->from) << "the resumed alarm fades in again";
  EXPECT_EQ(60, fades[3]->steps);
}

TEST(ShowcaseTimeline, RejectsRunsThatWentOtherwise) {
  std::string why;
  Script late;  // the alarm a second late
  late.Showcase();
  for (LogEntry& e : late.log)
    if (e.clockMs >= Seven && e.clockMs < Seven + 60000) e.clockMs += 1000;
  EXPECT_FALSE(Expected(late, &why));

  Script closed;  // the player closed after the standby
  closed.Showcase();
  closed.Command(40001);
  EXPECT_FALSE(Expected(closed, &why));

  Script held;  // the tone's hold never released
  held.Showcase();
  for (size_t i = 0; i < held.log.size(); ++i)
    if (held.log[i].note.find("to Wednesday") != std::string::npos) {
      held.log.erase(held.log.begin() + i - 2);
      break;
    }
  EXPECT_FALSE(Expected(held, &why));

  Script given;  // the alarm stepped over rings at the next minute's tick, not the next tick
  given.Showcase(9 * 60000, 30 * 60000, 5 * 60000);
  EXPECT_FALSE(Expected(given, &why));

  Script early;  // a snooze of 8 minutes
  early.Showcase(8 * 60000);
  EXPECT_FALSE(Expected(early, &why));

  Script clockBound;  // the countdown ends a minute late
  clockBound.Showcase(9 * 60000, 31 * 60000);
  EXPECT_FALSE(Expected(clockBound, &why));

  Script silent;  // no tone for the empty playlist
  silent.Showcase();
  for (size_t i = 0; i < silent.log.size(); ++i)
    if (silent.log[i].note.find("PlaySoundA(tone") != std::string::npos) silent.log[i].note = "nothing";
  EXPECT_FALSE(Expected(silent, &why));

  Script unmuted;  // the computer left unmuted after Monday's Stop
  unmuted.Showcase();
  for (size_t i = 0; i < unmuted.log.size(); ++i)
    if (unmuted.log[i].note == PutBack) {
      unmuted.log.erase(unmuted.log.begin() + i);
      break;
    }
  EXPECT_FALSE(Expected(unmuted, &why));

  Script skipped;  // the skipped alarm rings on Thursday
  skipped.Showcase();
  skipped.Command(40045);
  EXPECT_FALSE(Expected(skipped, &why));

  Script saturday;  // an alarm on Saturday at 07:00
  saturday.Showcase();
  for (size_t i = 0; i < saturday.log.size(); ++i)
    if (saturday.log[i].note.find("in silence") != std::string::npos) {
      saturday.log.insert(saturday.log.begin() + i, LogEntry{0, WM_COMMAND, 40045, 0, 0, Seven});
      break;
    }
  EXPECT_FALSE(Expected(saturday, &why));

  Script lost;  // an entry of the user's list missing after the folder's alarm
  lost.Showcase();
  for (size_t i = lost.log.size(); i-- > 0;)
    if (lost.log[i].note.find("back as it was") != std::string::npos) {
      lost.log.erase(lost.log.begin() + i - 4);  // the twelfth entry enqueued
      break;
    }
  EXPECT_FALSE(Expected(lost, &why));
}
