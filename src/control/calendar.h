// Local dates and times by the calendar alone: no zone, no clock.
#pragma once
#include <stdint.h>

#include "../settings/settings.h"

enum : int32_t { MinutesPerDay = 24 * 60 };

// The local time `minutes` after the minute `now` is in (seconds dropped).
LocalTimeRecord MinutesLater(const LocalTimeRecord& now, int32_t minutes);
// Minutes from 1 January 1970 to the minute `t` is in, counted on the calendar.
int32_t MinuteNumber(const LocalTimeRecord& t);
bool SameMinute(const FiredRecord& fired, const LocalTimeRecord& t);
