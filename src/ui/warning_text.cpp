#include "warning_text.h"

#include "../control/control.h"
#include "format.h"

// By warning; the alarm's time fills the %02u:%02u.
static const char* const Lines[WarningCount] = {
    "",
    "After the sleep timer's shut-down nothing can wake the computer for the %02u:%02u alarm; "
    "hibernate can",
    "\"Wake computer for alarm\" is off: after the sleep timer puts the computer to sleep, nothing "
    "wakes it for the %02u:%02u alarm",
    "Windows cannot wake this computer with a timer: the alarm rings only if the computer is left on",
    "Windows allows no wake timers: the computer will not wake for the alarm (Power Options, Sleep, "
    "Allow wake timers)",
    "Plugged in, Windows allows no wake timers: the computer will not wake for the alarm (Power "
    "Options, Sleep, Allow wake timers)",
    "On battery, Windows allows no wake timers: the computer will not wake for the alarm (Power "
    "Options, Sleep, Allow wake timers)",
    "\"Hibernate computer\" is ticked, but this computer has no hibernation: the sleep timer leaves "
    "it on (powercfg /hibernate on)",
};

static const char* const Marks[WarningCount] = {
    "", "shut down", "wake off", "cannot wake", "no wake timers", "no wake plugged in", "no wake on battery",
    "no hibernation",
};

void WarningText(int32_t warning, const LocalTimeRecord& at, char* text) {
  Format(text, Lines[warning], at.Hour, at.Minute);
}

const char* WarningMark(int32_t warning) { return Marks[warning]; }
