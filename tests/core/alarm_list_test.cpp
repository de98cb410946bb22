// Several alarms, each on its own days, and the skip of the next one: which ring, once each,
// and where the wake goes.
#include <gtest/gtest.h>

#include "control/calendar.h"
#include "control/control.h"
#include "fake_host.h"
#include "readings.h"
#include "ui/alarm_text.h"

namespace {

enum : int32_t { Sun = 1, Mon = 2, Tue = 4, Wed = 8, Thu = 16, Fri = 32, Sat = 64 };

uint32_t Word(int hour, int minute, int32_t days, bool on = true, bool once = false) {
  return static_cast<uint32_t>(minute) | static_cast<uint32_t>(hour) << 8 |
         static_cast<uint32_t>(days) << 16 | (on ? 1u << 24 : 0) | (once ? 1u << 25 : 0);
}

// Alarm 1 from a word of the same layout, alarms 2.. as stored; missing ones empty.
void SetAlarms(std::initializer_list<uint32_t> words) {
  int32_t slot = 0;
  for (uint32_t word : words) {
    if (slot == 0) {
      WriteAlarm(0, AlarmRecord{static_cast<int32_t>(word >> 8 & 0xFF), static_cast<int32_t>(word & 0xFF),
                                static_cast<int32_t>(word >> 16 & 127), (word >> 24 & 1) != 0, (word >> 25 & 1) != 0});
    } else {
      SettingValues[FirstPackedAlarm + slot - 1] = static_cast<int32_t>(word);
    }
    ++slot;
  }
}

// The last call on the wake timer, leaving out the keep-awake state.
std::string LastWake() {
  for (size_t i = WakeCalls.size(); i-- > 0;)
    if (WakeCalls[i].compare(0, 5, "Awake") != 0) return WakeCalls[i];
  return "";
}

int32_t MinuteOf(int day, int hour, int minute) {
  return MinuteNumber(LocalTimeRecord{2026, 12, 0, static_cast<uint16_t>(day), static_cast<uint16_t>(hour),
                                      static_cast<uint16_t>(minute), 0, 0});
}

}  // namespace

// December 2026: Monday 7, Tuesday 8, Wednesday 9 ... Monday 14, Tuesday 15.
TEST(AlarmList, EachRingsOnItsOwnDaysOnceAnOccurrenceAndTheWakeGoesToTheEarliest) {
  const struct {
    const char* what;
    std::initializer_list<uint32_t> alarms;  // alarm 1 first
    int32_t skip;
    std::initializer_list<Reading> readings;
    const char* events;
    const char* wake;  // the last call on the wake timer
  } cases[] = {
      {"alarm 2 on its days only", {Word(7, 0, EveryDay, false), Word(6, 30, Mon | Tue)}, 0,
       {{2026, 12, 9, 6, 29, 58, Winter}, {2026, 12, 9, 6, 30, 0, Winter}, {2026, 12, 14, 6, 29, 59, Winter},
        {2026, 12, 14, 6, 30, 0, Winter}}, "..A", "Wake 2026-12-15 06:28"},
      {"two alarms in one minute start once", {Word(7, 0, EveryDay), Word(7, 0, Tue)}, 0,
       {{2026, 12, 8, 6, 59, 59, Winter}, {2026, 12, 8, 7, 0, 0, Winter}, {2026, 12, 8, 7, 0, 1, Winter}},
       "A.", "Wake 2026-12-09 06:58"},
      {"alarm 3 stepped over, caught up", {Word(7, 0, Mon, false), 0, Word(7, 15, Tue)}, 0,
       {{2026, 12, 8, 7, 10, 0, Winter}, {2026, 12, 8, 7, 10, 1, Winter}, {2026, 12, 8, 7, 18, 0, Winter}},
       ".A", "Wake 2026-12-15 07:13"},
      {"the earliest of several", {Word(7, 0, Mon | Tue), Word(6, 30, Thu | Fri), Word(5, 45, Thu | Sat),
                                   Word(5, 0, Thu, false)}, 0,
       {{2026, 12, 9, 12, 0, 0, Winter}, {2026, 12, 9, 12, 0, 1, Winter}}, ".", "Wake 2026-12-10 05:43"},
      {"a once alarm switches itself off", {Word(9, 0, Wed), Word(7, 0, Tue, true, true)}, 0,
       {{2026, 12, 8, 6, 59, 59, Winter}, {2026, 12, 8, 7, 0, 0, Winter}, {2026, 12, 15, 6, 59, 59, Winter},
        {2026, 12, 15, 7, 0, 0, Winter}}, "A..", "Wake 2026-12-16 08:58"},
      {"a skip: no ring, the wake on to the next", {Word(7, 0, EveryDay)}, MinuteOf(8, 7, 0),
       {{2026, 12, 8, 6, 59, 59, Winter}, {2026, 12, 8, 7, 0, 0, Winter}, {2026, 12, 8, 7, 1, 0, Winter},
        {2026, 12, 9, 7, 0, 0, Winter}}, "..A", "Wake 2026-12-10 06:58"},
      {"a skipped minute the clock goes back over stays skipped", {Word(7, 0, EveryDay)}, MinuteOf(8, 7, 0),
       {{2026, 12, 8, 6, 59, 59, Winter}, {2026, 12, 8, 7, 0, 0, Winter}, {2026, 12, 8, 7, 1, 0, Winter},
        {2026, 12, 8, 6, 59, 59, Winter}, {2026, 12, 8, 7, 0, 0, Winter}}, "....", "Wake 2026-12-09 06:58"},
      {"caught up and on time in one tick, then the clock set back", {Word(7, 0, Tue), Word(7, 5, Tue)}, 0,
       {{2026, 12, 8, 6, 58, 0, Winter}, {2026, 12, 8, 6, 58, 1, Winter}, {2026, 12, 8, 7, 5, 0, Winter},
        {2026, 12, 8, 6, 59, 59, Winter}, {2026, 12, 8, 7, 0, 0, Winter}}, ".A..", "Wake 2026-12-15 06:58"},
      {"a skipped minute stepped over, beside the next on time", {Word(7, 0, EveryDay)}, MinuteOf(7, 7, 0),
       {{2026, 12, 7, 6, 59, 59, Winter}, {2026, 12, 8, 7, 0, 0, Winter}, {2026, 12, 8, 7, 0, 1, Winter}},
       "A.", "Wake 2026-12-09 06:58"},
      {"a skipped once alarm is spent with its minute, as if it had rung", {Word(7, 0, EveryDay, true, true)},
       MinuteOf(8, 7, 0),
       {{2026, 12, 8, 6, 59, 59, Winter}, {2026, 12, 8, 7, 0, 0, Winter}, {2026, 12, 8, 7, 1, 0, Winter},
        {2026, 12, 9, 7, 0, 0, Winter}}, "...", "CancelWake"},
      {"a skip is not caught up", {Word(7, 0, Tue | Wed), Word(7, 0, Tue)}, MinuteOf(8, 7, 0),
       {{2026, 12, 8, 6, 58, 0, Winter}, {2026, 12, 8, 6, 58, 1, Winter}, {2026, 12, 8, 7, 3, 0, Winter}},
       "..", "Wake 2026-12-09 06:58"},
      {"a skip names one minute, not the others", {Word(7, 0, Tue), Word(7, 1, Tue)}, MinuteOf(8, 7, 0),
       {{2026, 12, 8, 6, 59, 59, Winter}, {2026, 12, 8, 7, 0, 0, Winter}, {2026, 12, 8, 7, 1, 0, Winter}},
       ".A", "Wake 2026-12-15 06:58"},
      {"out of range: hour 24, minute 60", {Word(7, 0, Tue, false), 0x017F1800, 0x017F063C}, 0,
       {{2026, 12, 8, 23, 59, 59, Winter}, {2026, 12, 9, 0, 0, 0, Winter}, {2026, 12, 9, 7, 0, 0, Winter},
        {2026, 12, 9, 6, 0, 0, Winter}}, "...", "CancelWake"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetHost();
    Activate = 1;
    SetAlarms(c.alarms);
    SkipAlarm = c.skip;
    EXPECT_EQ(c.events, TicksAfterLoad(c.readings));
    EXPECT_EQ(c.wake, LastWake());
    EXPECT_EQ(0, SkipAlarm) << "the skip is spent once its minute has passed";
  }
}

// The player restarted after its alarm rang knows nothing of that: a clock set back must
// still not ring it again.
TEST(AlarmList, ARestartedPlayerDoesNotRingAgainWhatRangBeforeIt) {
  SetAlarms({Word(7, 0, Tue | Wed), Word(6, 45, Mon)});
  EXPECT_EQ("A", TicksAfterLoad({{2026, 12, 8, 6, 59, 59, Winter}, {2026, 12, 8, 7, 0, 0, Winter}}));
  for (FiredRecord& fired : AlarmFired) fired = FiredRecord{};  // a fresh module
  EXPECT_EQ("..A", TicksAfterLoad({{2026, 12, 8, 7, 30, 0, Winter}, {2026, 12, 8, 6, 59, 59, Winter},
                                   {2026, 12, 8, 7, 0, 0, Winter}, {2026, 12, 9, 7, 0, 0, Winter}}));
}

TEST(AlarmList, AOnceAlarmIsSavedOffAndASwitchCancelsTheSkip) {
  SetAlarms({Word(7, 0, Tue, false, true), Word(7, 0, Tue, true, true), Word(8, 0, Wed)});
  SetDate(2026, 12, 8, 6, 59, 59);
  MarkMinuteSeen();
  SetDate(2026, 12, 8, 7, 0, 0);
  ClockTick();
  AlarmRecord alarm;
  ASSERT_TRUE(ReadAlarm(1, &alarm));
  EXPECT_FALSE(alarm.On);
  EXPECT_NE(std::string::npos, CallList().find("Save"));
  ASSERT_TRUE(ReadAlarm(0, &alarm));
  EXPECT_TRUE(alarm.Once) << "alarm 1 was off: it did not ring, and stays as it was";

  ToggleSkip();
  EXPECT_EQ(MinuteOf(9, 8, 0), SkipAlarm);
  EXPECT_EQ("Wake 2026-12-16 07:58", LastWake()) << "the week after the skipped one";
  SwitchAlarm(1);
  EXPECT_EQ(0, SkipAlarm);
  EXPECT_EQ("Wake 2026-12-09 07:58", LastWake());
  WriteAlarm(2, AlarmRecord{0, 0, 0, 1, 0});
  SwitchAlarm(2);
  EXPECT_TRUE(ReadAlarm(2, &alarm)) << "00:00 on no day, switched off, is an alarm still";
}

// The alarm dialog's line for the alarm as it stands there, slot 2's, on Tuesday 8 December at
// 23:48; alarm 2 stored at 07:00 on weekdays, Wednesday's skipped where asked.
TEST(AlarmList, TheAlarmDialogTellsWhenTheAlarmAsEditedRingsNext) {
  const struct {
    const char* what;
    AlarmRecord shown;
    bool skip;
    const char* line;
  } cases[] = {
      {"as stored", {7, 0, 0x3E, 1, 0}, false, "Rings Wed 07:00, in 7 h 12 min"},
      {"in two minutes", {23, 50, Tue, 1, 0}, false, "Rings Tue 23:50, in 2 min"},
      {"this very minute: a week on", {23, 48, Tue, 1, 0}, false, "Rings Tue 23:48, in 7 d 0 h 0 min"},
      {"unchanged, the skip holds", {7, 0, 0x3E, 1, 0}, true, "Rings Thu 07:00, in 1 d 7 h 12 min"},
      {"changed, the skip goes with the change", {7, 0, 0x3E, 1, 1}, true, "Rings Wed 07:00, in 7 h 12 min"},
      {"off", {7, 0, 0x3E, 0, 0}, false, "Off"},
      {"no day", {7, 0, 0, 1, 0}, false, "Never rings: no day ticked"},
      {"alarm 1's empty hour", {-1, 0, 0x3E, 1, 0}, false, "Never rings: no time set"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetHost();
    SetAlarms({Word(7, 0, Mon, false), Word(7, 0, 0x3E)});
    SetDate(2026, 12, 8, 23, 48, 30);
    SkipAlarm = c.skip ? MinuteOf(9, 7, 0) : 0;
    char line[TextSize];
    RingsText(1, c.shown, FakeClock, line);
    EXPECT_STREQ(c.line, line);
  }
}
