// A run of clock readings: the player loads at the first, the clock ticks at each other.
#pragma once
#include <stdint.h>

#include <initializer_list>
#include <string>

enum : int64_t { Winter = -3600, Summer = -7200 };  // UTC minus local, as in Berlin

struct Reading {
  int year, month, day, hour, minute, second;
  int64_t utcOffset;
  int real = -1;  // seconds the elapsed count moves on since the reading before; -1 none
};

// One letter a tick: A the alarm starts, 2 it starts twice over (activating the player twice),
// Z the sleep timer stops, . nothing. Where the offset
// changes, it does as Europe's summer time does: at 01:00 UTC on the day of the reading after
// it.
std::string TicksAfterLoad(std::initializer_list<Reading> readings);
