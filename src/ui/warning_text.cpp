#include "warning_text.h"

#include "../control/control.h"
#include "format.h"

// By warning; the alarm's time fills the %02u:%02u. The power plan's three share their tail.
static const char* const Lines[WarningCount] = {
    "",
    "After the sleep timer's shut-down nothing can wake the computer for the %02u:%02u alarm; "
    "hibernate can",
    "\"Wake computer for alarm\" is off: after the sleep timer puts the computer to sleep, nothing "
    "wakes it for the %02u:%02u alarm",
    "Windows cannot wake this computer with a timer: the alarm rings only if the computer is left on",
    "",
    "Plugged in, ",
    "On battery, ",
    "\"Hibernate computer\" is ticked, but this computer has no hibernation: the sleep timer leaves "
    "it on (powercfg /hibernate on)",
};
static const char PlanTail[] =
    "Windows allows no wake timers: the computer will not wake for the alarm (Power Options, Sleep, "
    "Allow wake timers)";

static const char* const Marks[WarningCount] = {
    "", "shut down", "wake off", "cannot wake", "no wake timers", "no wake plugged in", "no wake on battery",
    "no hibernation",
};

void WarningText(int32_t warning, const LocalTimeRecord& at, char* text) {
  char* end = text + Format(text, Lines[warning], at.Hour, at.Minute);
  if (warning >= WarnNoWakeTimers && warning <= WarnNoWakeOnBattery) Format(end, PlanTail);
}

const char* WarningMark(int32_t warning) { return Marks[warning]; }
