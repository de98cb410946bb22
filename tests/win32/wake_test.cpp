// The wake timer and the keep-awake state through the real DLL, with the system calls
// intercepted: nothing here arms a real wake or keeps the machine up.
#include "bench.h"
#include "dialog_driver.h"

namespace {

const char* const HeldSystem = "SetThreadExecutionState 0x80000001";
const char* const HeldWithDisplay = "SetThreadExecutionState 0x80000003";
const char* const Released = "SetThreadExecutionState 0x80000000";

// The due time the timer should get for a local time, as Windows converts it.
ULONGLONG Utc(WORD year, WORD month, WORD day, WORD hour, WORD minute, bool byRules = true) {
  SYSTEMTIME local{year, month, 0, day, hour, minute, 0, 0}, system;
  FILETIME file, utc;
  if (byRules) {
    TzSpecificLocalTimeToSystemTime(NULL, &local, &system);
    SystemTimeToFileTime(&system, &utc);
  } else {
    SystemTimeToFileTime(&local, &file);
    LocalFileTimeToFileTime(&file, &utc);
  }
  return ULARGE_INTEGER{{utc.dwLowDateTime, utc.dwHighDateTime}}.QuadPart;
}

int Count(const std::vector<std::string>& calls, const std::string& call) {
  int n = 0;
  for (const std::string& c : calls) n += c == call;
  return n;
}

}  // namespace

// Where local time is UTC, a local time handed over as UTC passes every test: these run in
// a zone with an offset and summer time (make sets TZ for the Wine stages).
TEST(WakeZone, TheTestsRunWhereLocalTimeIsNotUtcAndSummerTimeApplies) {
  TIME_ZONE_INFORMATION zone;
  ASSERT_NE(TIME_ZONE_ID_INVALID, GetTimeZoneInformation(&zone));
  EXPECT_NE(0, zone.Bias);
  EXPECT_NE(0, zone.DaylightBias);
  EXPECT_NE(0, zone.DaylightDate.wMonth);
}

using WakeTimer = PluginTest;

// By the calendar as Windows has it: 2027 has no 29 February, and Windows refuses one.
TEST_F(WakeTimer, ArmedAtInitForTwoMinutesBeforeTheNextAlarmAndClosedAtQuit) {
  const struct { int year, month, day; WORD wakeYear, wakeMonth, wakeDay; } cases[] = {
      {2026, 12, 8, 2026, 12, 9}, {2027, 2, 28, 2027, 3, 1}, {2028, 2, 28, 2028, 2, 29}};
  for (const auto& c : cases) {
    for (bool byRules : {true, false}) {  // without the local rules, as on Windows 2000
      SCOPED_TRACE(std::to_string(c.year) + (byRules ? " by rules" : " by today's offset"));
      TearDown();
      SetUp();
      WriteDword("StartOn", 1);
      WriteDword("StartH", 7);
      Load();
      Seen.localRulesMissing = !byRules;
      SetSimulatedClock(23, 30, 0, c.day, c.month, c.year);
      Init();
      ASSERT_EQ(1u, Seen.dueTimes.size());
      EXPECT_EQ(Utc(c.wakeYear, c.wakeMonth, c.wakeDay, 6, 58, byRules), Seen.dueTimes[0]);
      Quit();
      std::vector<std::string> expected = {"CreateWaitableTimerA", "SetWaitableTimer resume 1",
                                           "CancelWaitableTimer", "CloseHandle timer"};
      EXPECT_EQ(expected, Seen.wake);
    }
  }
}

// The evening before summer time starts (02:00 becomes 03:00 at 01:00 UTC): 02:30 does not
// exist that night and comes with the change, whichever way Windows reads it.
TEST_F(WakeTimer, AnAlarmInTheHourSummerTimeSkipsIsWokenForAtTheChange) {
  const struct { WORD hour, minute; ULONGLONG due; } cases[] = {
      {2, 30, Utc(2027, 3, 28, 1, 58)}, {3, 30, Utc(2027, 3, 28, 3, 28)}, {1, 30, Utc(2027, 3, 28, 1, 28)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.hour) + ":" + std::to_string(c.minute));
    TearDown();
    SetUp();
    WriteDword("StartOn", 1);
    WriteDword("StartH", c.hour);
    WriteDword("StartM", c.minute);
    SetSimulatedClock(23, 30, 0, 27, 3, 2027);
    Init();
    ASSERT_EQ(1u, Seen.dueTimes.size());
    EXPECT_EQ(c.due, Seen.dueTimes[0]);
  }
}

TEST_F(WakeTimer, ReArmedWhenTheClockChangesOrTheComputerSleepsOrResumes) {
  WriteDword("StartOn", 1);
  WriteDword("StartH", 7);
  SetSimulatedClock(23, 30, 0);
  LRESULT unhooked = SendMessageA(main, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
  Init();
  SetSimulatedClock(7, 30, 0, 9);  // the user set the clock forward a day
  SendMessageA(main, WM_TIMECHANGE, 0, 0);
  SetSimulatedClock(7, 30, 0, 10);
  EXPECT_EQ(unhooked, SendMessageA(main, WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0));
  SetSimulatedClock(6, 59, 0, 11);  // the wake came with the computer up; then the lid closes
  SendMessageA(main, WM_POWERBROADCAST, PBT_APMSUSPEND, 0);
  std::vector<ULONGLONG> expected = {Utc(2026, 12, 9, 6, 58), Utc(2026, 12, 10, 6, 58),
                                     Utc(2026, 12, 11, 6, 58), Utc(2026, 12, 11, 7, 0)};
  EXPECT_EQ(expected, Seen.dueTimes);
}

TEST_F(WakeTimer, AnAutomaticResumeIsHeldThroughTheAlarmWhichIsHeldWhileItPlays) {
  WriteDword("StartOn", 1);
  WriteDword("StartH", 7);
  WriteDword("Activate", 1);
  SetSimulatedClock(6, 59, 58);
  Init();
  SendMessageA(main, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  EXPECT_EQ(HeldSystem, Seen.wake.back());
  ASSERT_TRUE(PumpUntil(4000, [] { return Player.status == PlayerPlaying; })) << LogText();
  Pump(1200);  // a tick while it plays asserts the hold again
  EXPECT_LE(2, Count(Seen.wake, HeldWithDisplay));
  EXPECT_EQ(0, Count(Seen.wake, Released));
  SendMessageA(main, WM_COMMAND, 40047, 0);  // the user stops the alarm
  EXPECT_TRUE(PumpUntil(1500, [] { return Seen.wake.back() == Released; }));
}

// 03:00 on the night summer time starts comes an hour of wall clock after 01:58, but two
// minutes of real time: the wake and the resume's hold count those.
TEST_F(WakeTimer, OnTheNightSummerTimeStartsTheWakeAndTheHoldCountRealTime) {
  WriteDword("StartOn", 1);
  WriteDword("StartH", 3);
  SetSimulatedClock(23, 30, 0, 27, 3, 2027);
  Init();
  ASSERT_EQ(1u, Seen.dueTimes.size());
  EXPECT_EQ(Utc(2027, 3, 28, 3, 0) - 120 * 10000000ull, Seen.dueTimes[0]);
  SetSimulatedClock(1, 58, 10, 28, 3, 2027);
  SendMessageA(main, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
  EXPECT_EQ(HeldSystem, Seen.wake.back());
}

// The simulated clock jumps, local time and UTC alike, as after a resume.
TEST_F(WakeTimer, AnAlarmMinuteSteppedOverRingsOnTheNextTickWhileTenMinutesLate) {
  const struct { int minute; bool plays; } cases[] = {{3, true}, {11, false}};
  for (const auto& c : cases) {
    if (c.minute != 3) {
      TearDown();
      SetUp();
    }
    WriteDword("StartOn", 1);
    WriteDword("StartH", 7);
    SetSimulatedClock(6, 58, 0);
    Init();
    Pump(2500);
    SetSimulatedClock(7, c.minute, 0);
    EXPECT_EQ(c.plays, PumpUntil(1500, [] { return Player.status == PlayerPlaying; })) << "07:" << c.minute;
  }
}

TEST_F(WakeTimer, TheSleepTimerKeepsThePlayerForAnArmedWake) {
  for (DWORD alarm : {0, 1}) {
    if (alarm) {
      TearDown();
      SetUp();
    }
    WriteDword("StartOn", alarm);
    WriteDword("StartH", 7);
    WriteDword("StopOn", 1);
    WriteDword("StopH", 23);
    WriteDword("Close", 1);
    WriteDword("Suspend", 1);
    SetSimulatedClock(22, 59, 59);
    Init();
    ASSERT_TRUE(PumpUntil(3000, [] { return !Seen.power.empty(); }));
    Pump(100);
    EXPECT_EQ(alarm == 0, LogText().find("command 40001 close") != std::string::npos)
        << "alarm " << alarm << "\n" << LogText();
  }
}

TEST_F(WakeTimer, FollowsTheDialogAndSaysWhenThisComputerCannotWake) {
  const struct { DWORD error; bool note; } cases[] = {{0, false}, {50, true}, {722, true}};
  for (const auto& c : cases) {
    if (c.error) {
      TearDown();
      SetUp();
    }
    WriteDword("StartOn", 1);
    WriteDword("StartH", 7);
    SetSimulatedClock(23, 30, 0);
    Seen.wakeError = c.error;  // ERROR_NOT_SUPPORTED, ERROR_TIMER_RESUME_IGNORED
    Init();
    bool note = false;
    RunSettings(plugin, [&note](HWND d) {
      note = IsWindowVisible(GetDlgItem(d, 54)) != FALSE;
      Click(d, 4);  // the alarm off: nothing to wake for
      Click(d, 2);
    });
    EXPECT_EQ(c.note, note) << "error " << c.error;
    EXPECT_EQ("CancelWaitableTimer", Seen.wake.back());
  }
}
