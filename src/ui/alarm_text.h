// The line that tells when the alarm rings next.
#pragma once
#include <windows.h>

#include "../settings/settings.h"

// Writes the next alarm after `now`, by the settings in memory, into `text` (TextSize
// bytes), e.g. "Next alarm: Monday 14 December, 07:00 (in 2 d 12 h 0 min)", or why
// there is none.
void NextAlarmText(const LocalTimeRecord& now, char* text);
