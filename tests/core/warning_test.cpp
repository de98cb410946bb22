// What stands in the way of the alarm, as the Alarm clock dialog tells it: the sleep timer's
// actions, the wake option, and Windows' power facts behind the seam.
#include <gtest/gtest.h>

#include <sstream>

#include "control/control.h"
#include "fake_host.h"
#include "ui/warning_text.h"

namespace {

// "Name value" pairs of the settings; "Countdown n" chooses the sleep timer's countdown and
// "WakeUnsupported 1" is what an arming of the wake timer said.
void Set(const char* pairs) {
  std::istringstream in(pairs);
  in.unsetf(std::ios::basefield);  // 0x.. for an alarm's packed word
  std::string name;
  int32_t value;
  while (in >> name >> value) {
    if (name == "Countdown") SleepTimerChoose(value);
    else if (name == "WakeUnsupported") WakeUnsupported = value;
    for (int i = 0; i < SettingCount; ++i)
      if (name == SettingNames[i]) SettingValues[i] = value;
  }
}

const int32_t Y = PowerYes, N = PowerNo, U = PowerUnknown;
const std::string Plan = " Windows allows no wake timers: the computer will not wake for the alarm (Power Options, "
                         "Sleep, Allow wake timers)";
const std::string ShutDown7 = "After the sleep timer's shut-down nothing can wake the computer for the 07:00 alarm; "
                              "hibernate can";

}  // namespace

// Tuesday 8 December 2026, 22:00; alarm 1 at 07:00 on weekdays.
TEST(Warning, TheMostSeriousCauseInTheWayOfTheNextAlarms) {
  const struct {
    const char* what;
    const char* settings;
    PowerFactsRecord facts;  // plugged in, on battery, hibernation
    std::string line;
  } cases[] = {
      {"nothing in the way", "", {Y, Y, Y}, ""},
      {"the daily stop shuts down", "StopOn 1 StopH 23 ShutDown 1", {Y, Y, Y}, ShutDown7},
      {"shut-down wins over standby, and over the plan", "StopOn 1 StopH 23 ShutDown 1 Suspend 1", {N, N, N}, ShutDown7},
      {"the countdown shuts down", "Countdown 60 ShutDown 1", {Y, Y, Y}, ShutDown7},
      {"named: the alarm after the stop, not the one before it", "Alarm2 0x0104161E StopOn 1 StopH 23 ShutDown 1",
       {Y, Y, Y}, ShutDown7},
      {"the first alarm after the stop comes the same night", "Alarm2 0x0104171E StopOn 1 StopH 23 ShutDown 1",
       {Y, Y, Y}, "After the sleep timer's shut-down nothing can wake the computer for the 23:30 alarm; hibernate can"},
      {"the alarm days after the stop: the computer is on again by then", "StartDays 64 StopOn 1 StopH 23 ShutDown 1",
       {Y, Y, Y}, ""},
      {"no alarm to ring", "StartOn 0 StopOn 1 StopH 23 ShutDown 1", {N, N, N}, ""},
      {"standby without the wake", "StopOn 1 StopH 23 Suspend 1 WakeUp 0", {Y, Y, Y},
       "\"Wake computer for alarm\" is off: after the sleep timer puts the computer to sleep, nothing wakes it "
       "for the 07:00 alarm"},
      {"standby and hibernate cancel out", "StopOn 1 StopH 23 Suspend 1 Hibernate 1 WakeUp 0", {Y, Y, Y}, ""},
      {"no wake asked, no sleep timer", "WakeUp 0 WakeUnsupported 1", {N, N, N}, ""},
      {"cannot be woken", "WakeUnsupported 1", {N, N, N},
       "Windows cannot wake this computer with a timer: the alarm rings only if the computer is left on"},
      {"no wake timers on battery", "", {Y, N, Y}, "On battery," + Plan},
      {"important wake timers only, plugged in", "", {N, Y, Y}, "Plugged in," + Plan},
      {"none either way", "", {N, N, Y}, Plan.substr(1)},
      {"older Windows: no plan to ask", "", {U, U, U}, ""},
      {"hibernate without hibernation", "StopOn 1 StopH 23 Hibernate 1", {Y, Y, N},
       "\"Hibernate computer\" is ticked, but this computer has no hibernation: the sleep timer leaves it on "
       "(powercfg /hibernate on)"},
      {"hibernate ticked, no sleep timer set", "Hibernate 1", {Y, Y, N}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ResetHost();
    SetDate(2026, 12, 8, 22, 0);
    Set("StartOn 1 StartH 7 StartM 0 StartDays 62");
    Set(c.settings);
    PowerFacts = c.facts;
    LocalTimeRecord at;
    char line[TextSize];
    WarningText(AlarmWarning(FakeClock, &at), at, line);
    EXPECT_EQ(c.line, line);
    if (!WakeUp && !Hibernate) {
      EXPECT_EQ(0, PowerFactReads) << "the power plan asked for nothing";
    }
  }
}
