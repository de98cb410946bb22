// The local time the plug-in sees: the real one, or a simulated one advancing in real time
// from a set moment. The player's log stamps its entries with it too.
#pragma once
#include <windows.h>

void SimClockSet(int hour, int minute, int second);
// The simulated date from now on (the real one until set); takes effect at the next set.
void SimClockSetDate(int year, int month, int day);
void SimClockSkip(DWORD ms);  // moves the simulated time ahead at once
// The tick count the plug-in sees: time skipped has passed for it too, a clock set has not.
DWORD SimClockElapsed();
// Sets the simulated time so that it was `msOfDay` at the real moment `tick`; a move ahead
// counts as time passing, as a skip does.
void SimClockAlign(DWORD tick, DWORD msOfDay);
extern DWORD SimClockReadTick;  // when the plug-in last read the clock (GetTickCount)
extern int SimClockReads;       // how often it did
bool SimClockOn();
void SimClockOff();  // back to the real clock
void SimClockNow(SYSTEMTIME* time);
DWORD SimClockMsOfDay();
// "HH:MM:SS" or "HH:MM" into seconds of the day; -1 when it is not a time of day.
int ParseClock(const char* text);
