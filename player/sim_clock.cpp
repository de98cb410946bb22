#include "sim_clock.h"

#include <stdio.h>

#include "virtual_timers.h"

static ULONGLONG Base;  // simulated FILETIME at BaseTick
static DWORD BaseTick;
static bool On;
static SYSTEMTIME Date;  // wYear 0: today's
static DWORD Skipped;    // ms the skips moved the simulated time ahead
DWORD SimClockReadTick;
int SimClockReads;

void SimClockSet(int hour, int minute, int second) {
  SYSTEMTIME t;
  GetLocalTime(&t);  // today's date, unless another was set
  if (Date.wYear) {
    t.wYear = Date.wYear;
    t.wMonth = Date.wMonth;
    t.wDay = Date.wDay;
  }
  t.wHour = static_cast<WORD>(hour);
  t.wMinute = static_cast<WORD>(minute);
  t.wSecond = static_cast<WORD>(second);
  t.wMilliseconds = 0;
  FILETIME file;
  SystemTimeToFileTime(&t, &file);
  Base = (static_cast<ULONGLONG>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
  BaseTick = NowTick();
  On = true;
}

void SimClockSetDate(int year, int month, int day) {
  Date.wYear = static_cast<WORD>(year);
  Date.wMonth = static_cast<WORD>(month);
  Date.wDay = static_cast<WORD>(day);
}

static ULONGLONG NowFile() { return Base + static_cast<ULONGLONG>(NowTick() - BaseTick) * 10000; }

void SimClockAlign(DWORD tick, DWORD msOfDay) {
  bool was = On;
  ULONGLONG before = NowFile();
  SimClockSet(0, 0, 0);
  Base += static_cast<ULONGLONG>(msOfDay) * 10000;
  BaseTick = tick;
  // The showcase aligns to skip ahead by hours and days: time that passes, for the tick count.
  ULONGLONG after = NowFile();
  if (was && after > before) Skipped += static_cast<DWORD>((after - before) / 10000);
}

void SimClockSkip(DWORD ms) {
  Base += static_cast<ULONGLONG>(ms) * 10000;
  Skipped += ms;
}

DWORD SimClockElapsed() { return NowTick() + Skipped; }

bool SimClockOn() { return On; }

void SimClockOff() { On = false; }

void SimClockNow(SYSTEMTIME* time) {
  if (!On) {
    GetLocalTime(time);
    return;
  }
  ULONGLONG now = NowFile();
  FILETIME file = {static_cast<DWORD>(now), static_cast<DWORD>(now >> 32)};
  FileTimeToSystemTime(&file, time);
}

DWORD SimClockMsOfDay() {
  SYSTEMTIME t;
  SimClockNow(&t);
  return ((t.wHour * 60u + t.wMinute) * 60u + t.wSecond) * 1000u + t.wMilliseconds;
}

int ParseClock(const char* text) {
  int h = -1, m = -1, s = 0;
  char end = 0;
  int n = sscanf(text, "%d:%d:%d%c", &h, &m, &s, &end);
  if (n != 2 && n != 3) return -1;
  if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59) return -1;
  return (h * 60 + m) * 60 + s;
}
