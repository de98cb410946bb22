// Virtual time for a plug-in's window timers. Patched into the plug-in's imports, its
// SetTimer and KillTimer go to the real ones until virtual time is turned on; from then on
// they only record the timer, and whoever drives the player moves time on: each timer
// falls due in turn and runs its procedure with the arguments Windows gives it. A test
// then needs no real second for a clock tick, nor TimeOut ms for a fade step.
#pragma once
#include <windows.h>

#include <functional>

void GuardTimers(HMODULE module);  // the plug-in's SetTimer and KillTimer, through these
UINT_PTR WINAPI VirtualSetTimer(HWND window, UINT_PTR id, UINT interval, TIMERPROC proc);
BOOL WINAPI VirtualKillTimer(HWND window, UINT_PTR id);

void VirtualTimeOn();   // NowTick holds still from here until moved on
void VirtualTimeOff();  // back to real time; every virtual timer is forgotten
bool VirtualTime();
DWORD NowTick();  // GetTickCount, or the virtual tick count

// Moves virtual time `ms` on, running every timer as it falls due, in due order. `between`
// runs first and after each timer (to pump messages and test a condition); a true answer
// stops time there and is returned.
bool VirtualAdvance(DWORD ms, const std::function<bool()>& between);

// A timer with this id is on the window: virtual, or real (which this ends).
bool TimerLeft(HWND window, UINT_PTR id);
