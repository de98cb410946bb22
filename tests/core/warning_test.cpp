// What stands in the way of the alarm, as the Alarm clock dialog tells it: the sleep timer's
// actions, the wake option, and Windows' power facts behind the seam.
#include <gtest/gtest.h>

#include <sstream>

#include "control/control.h"
#include "fake_host.h"
#include "ui/warning_text.h"

namespace {

// "Name value" pairs of the settings (0x.. for an alarm's word); "Countdown n" chooses the
// sleep timer's countdown, "WakeUnsupported 1" is what an arming of the wake timer said.
void Set(const char* pairs) {
  std::istringstream in(pairs);
  in.unsetf(std::ios::basefield);
  std::string name;
  int32_t value;
  while (in >> name >> value) {
    if (name == "Countdown") SleepTimerChoose(value);
    if (name == "WakeUnsupported") WakeUnsupported = value;
    for (int i = 0; i < SettingCount; ++i)
      if (name == SettingNames[i]) SettingValues[i] = value;
  }
}

const int32_t Y = PowerYes, N = PowerNo, U = PowerUnknown;
const std::string Plan = " Windows allows no wake timers: the computer will not wake for the alarm (Power Options, "
                         "Sleep, Allow wake timers)";
const std::string Off7 = "After the sleep timer's shut-down nothing can wake the computer for the 07:00 alarm; "
                         "hibernate can";

}  // namespace

// Tuesday 8 December 2026, 22:00; alarm 1 at 07:00 on weekdays.
TEST(Warning, TheMostSeriousCauseInTheWayOfTheNextAlarms) {
  const struct {
    const char* what;
    const char* settings;
    PowerFactsRecord facts;  // plugged in, on battery, hibernation
    std::string line;  // what it begins with
  } cases[] = {
      {"nothing in the way", "", {Y, Y, Y}, ""},
      {"the daily stop shuts down", "StopOn 1 StopH 23 ShutDown 1", {Y, Y, Y}, Off7},
      {"shut-down wins over standby, and over the plan", "StopOn 1 StopH 23 ShutDown 1 Suspend 1", {N, N, N}, Off7},
      {"the countdown shuts down", "Countdown 60 ShutDown 1", {Y, Y, Y}, Off7},
      {"named: the alarm after the stop, not the one before", "StopOn 1 StopH 23 Alarm2 0x0104161E ShutDown 1",
       {Y, Y, Y}, Off7},
      {"the first after the stop the same night", "StopOn 1 StopH 23 Alarm2 0x0104171E ShutDown 1", {Y, Y, Y},
       "After the sleep timer's shut-down nothing can wake the computer for the 23:30 alarm; hibernate can"},
      {"days after the stop: on again by then", "StopOn 1 StopH 23 StartDays 64 ShutDown 1", {Y, Y, Y}, ""},
      {"no alarm to ring", "StopOn 1 StopH 23 StartOn 0 ShutDown 1", {N, N, N}, ""},
      {"standby without the wake", "StopOn 1 StopH 23 Suspend 1 WakeUp 0", {Y, Y, Y},
       "\"Wake computer for alarm\" is off: after the sleep timer puts the computer to sleep, nothing wakes it "
       "for the 07:00 alarm"},
      {"standby and hibernate cancel out", "StopOn 1 StopH 23 Suspend 1 Hibernate 1 WakeUp 0", {Y, Y, Y}, ""},
      {"no wake asked, no sleep timer", "WakeUp 0 WakeUnsupported 1", {N, N, N}, ""},
      {"cannot be woken", "WakeUnsupported 1", {N, N, N}, "Windows cannot wake this computer with a timer:"},
      {"no wake timers on battery", "", {Y, N, Y}, "On battery," + Plan},
      {"important ones only, plugged in", "", {N, Y, Y}, "Plugged in," + Plan},
      {"none either way", "", {N, N, Y}, Plan.substr(1)},
      {"older Windows: no plan to ask", "", {U, U, U}, ""},
      {"hibernate without hibernation", "StopOn 1 StopH 23 Hibernate 1", {Y, Y, N}, "\"Hibernate computer\" is ticked,"},
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
    EXPECT_EQ(c.line, std::string(line).substr(0, c.line.size()));
    EXPECT_EQ(c.line.empty(), !*line);
  }
}
