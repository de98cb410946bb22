// Reading the log into the showcase's timeline, and telling the expected one from others.
#include "bench.h"
#include "showcase.h"

namespace {

const DWORD Seven = 7 * 3600 * 1000u;

struct Script {
  std::vector<LogEntry> log;
  DWORD at = Seven;
  void Ipc(int data, int code, LRESULT result = 0) { log.push_back({0, WM_USER, WPARAM(data), code, result, at}); }
  void Command(int id) { log.push_back({0, WM_COMMAND, WPARAM(id), 0, 0, at}); }
  void Note(const char* text) { log.push_back({0, 0, 0, 0, 0, at, text}); }
  void Fade(int from, int to, DWORD step) {
    for (int v = from; v != to;) {
      Ipc(-666, 122, v);
      v += from < to ? 1 : -1;
      Ipc(v, 122);
      at += step;
    }
  }
  // The showcase as it should go, with the track ending at `end` ms past 07:01.
  void Showcase(DWORD end) {
    Ipc(0, 104);
    Ipc(0, 124, 12);
    Ipc(4, 121);
    Command(40047);
    Command(40045);
    Ipc(100, 122);
    at += 60;
    Fade(100, 160, 60);
    at = Seven + 56000;
    Note("the showcase skips ahead");
    at = Seven + 60000 + 500;
    Command(40157);
    Ipc(-666, 122, 160);
    at += 60;
    int steps = static_cast<int>(end - 500) / 60;
    Fade(160, 160 - steps, 60);
    log.push_back({0, WM_USER + 2, 0, 0, 0, at});
    Ipc(160, 122);
    Command(40047);
    Note("power: LoadLibraryA(powrprof.dll) (shown, not done)");
    Note("power: SetSuspendState(0, 0, 0): standby (shown, not done)");
  }
};

bool Expected(const Script& s, std::string* why) {
  return CheckShowcaseTimeline(BuildTimeline(s.log), why);
}

}  // namespace

TEST(ShowcaseTimeline, FoldsTheFadesAndAcceptsTheExpectedRun) {
  Script s;
  s.Showcase(3000);
  std::vector<TimelineEvent> events = BuildTimeline(s.log);
  std::string why;
  EXPECT_TRUE(CheckShowcaseTimeline(events, &why)) << why << "\n" << FormatTimeline(events);
  ASSERT_EQ(11u, events.size());
  EXPECT_EQ(100, events[3].from);
  EXPECT_EQ(160, events[3].to);
  EXPECT_EQ(60, events[3].steps);
  EXPECT_EQ(160, events[6].from) << "the fade-out starts from the volume the player had";
  EXPECT_EQ(119, events[6].to);
}

TEST(ShowcaseTimeline, RejectsRunsThatWentOtherwise) {
  std::string why;
  Script late;  // the stop event a second late
  late.Showcase(3000);
  for (LogEntry& e : late.log)
    if (e.clockMs > Seven + 60000) e.clockMs += 1000;
  EXPECT_FALSE(Expected(late, &why));

  Script closed;  // the player closed after the stop
  closed.Showcase(3000);
  closed.Command(40001);
  EXPECT_FALSE(Expected(closed, &why));

  Script emptied;  // the fade-out reached silence before the track ended
  emptied.Showcase(3000);
  emptied.log.erase(emptied.log.end() - 5, emptied.log.end());
  emptied.Fade(119, 0, 60);
  emptied.Ipc(160, 122);
  emptied.Command(40047);
  emptied.Note("power: SetSuspendState(0, 0, 0): standby (shown, not done)");
  emptied.log.push_back({0, WM_USER + 2, 0, 0, 0, emptied.at});
  EXPECT_FALSE(Expected(emptied, &why));
}
