#include "virtual_timers.h"

#include <vector>

#include "plugin_host.h"

namespace {

struct Timer {
  HWND window;
  UINT_PTR id;
  UINT interval;
  TIMERPROC proc;
  DWORD due;
};

std::vector<Timer> Timers;
bool On;
DWORD Now;

bool Before(DWORD a, DWORD b) { return static_cast<LONG>(a - b) < 0; }

Timer* Find(HWND window, UINT_PTR id) {
  for (Timer& t : Timers)
    if (t.window == window && t.id == id) return &t;
  return nullptr;
}

}  // namespace

// Thread timers (no window) and anything while time is real go to Windows.
UINT_PTR WINAPI VirtualSetTimer(HWND window, UINT_PTR id, UINT interval, TIMERPROC proc) {
  if (!On || !window) return SetTimer(window, id, interval, proc);
  if (!IsWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (interval < USER_TIMER_MINIMUM) interval = USER_TIMER_MINIMUM;
  Timer* t = Find(window, id);  // the same window and id: replaced, due anew
  if (!t) {
    Timers.push_back(Timer{window, id, 0, NULL, 0});
    t = &Timers.back();
  }
  t->interval = interval;
  t->proc = proc;
  t->due = Now + interval;
  return id;
}

BOOL WINAPI VirtualKillTimer(HWND window, UINT_PTR id) {
  if (!On || !window) return KillTimer(window, id);
  if (Timer* t = Find(window, id)) {
    Timers.erase(Timers.begin() + (t - Timers.data()));
    return TRUE;
  }
  return KillTimer(window, id);  // one set before time went virtual
}

void GuardTimers(HMODULE module) {
  PatchImport(module, "user32.dll", "SetTimer", reinterpret_cast<void*>(VirtualSetTimer));
  PatchImport(module, "user32.dll", "KillTimer", reinterpret_cast<void*>(VirtualKillTimer));
}

void VirtualTimeOn() {
  if (On) return;
  On = true;
  Now = GetTickCount();
}

void VirtualTimeOff() {
  On = false;
  Timers.clear();
}

bool VirtualTime() { return On; }

DWORD NowTick() { return On ? Now : GetTickCount(); }

bool VirtualAdvance(DWORD ms, const std::function<bool()>& between) {
  DWORD end = Now + ms;
  if (between && between()) return true;
  for (;;) {
    // Re-read each round: a procedure may set, kill or replace any timer.
    Timer* next = nullptr;
    for (Timer& t : Timers)
      if (!Before(end, t.due) && (!next || Before(t.due, next->due))) next = &t;
    if (!next) break;
    if (Before(Now, next->due)) Now = next->due;
    Timer fired = *next;
    if (!IsWindow(fired.window)) {  // a destroyed window takes its timers with it
      VirtualKillTimer(fired.window, fired.id);
      continue;
    }
    next->due = Now + fired.interval;
    // As DispatchMessage runs a timer procedure: the window, WM_TIMER, the id, the tick.
    if (fired.proc) fired.proc(fired.window, WM_TIMER, fired.id, Now);
    else PostMessageA(fired.window, WM_TIMER, fired.id, 0);
    if (between && between()) return true;
  }
  Now = end;
  return between && between();
}

bool TimerLeft(HWND window, UINT_PTR id) {
  if (On && Find(window, id)) return true;
  return KillTimer(window, id) != FALSE;
}
