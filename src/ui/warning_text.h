// What the Alarm clock dialog and the player's menu say of a warning (AlarmWarning). Portable:
// no <windows.h> here.
#pragma once
#include <stdint.h>

#include "../settings/settings.h"

// The line under the next alarm, into `text` (TextSize bytes): what stands in the way and what
// to do about it, naming the alarm `at` where it is one alarm; "" for WarnNone.
void WarningText(int32_t warning, const LocalTimeRecord& at, char* text);
// A few words for the alarm submenu's title, "cannot wake"; "" for WarnNone.
const char* WarningMark(int32_t warning);
