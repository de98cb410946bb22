// Drives the plug-in's modal dialogs from inside their own message loops: a thread timer
// fires while the dialog's loop pumps, finds the dialog and runs a test script on it.
#pragma once
#include "bench.h"

#include <functional>
#include <set>

using DialogScript = std::function<void(HWND dialog)>;

extern const char SettingsCaption[];
extern const char AboutCaption[];
extern const char AlarmClockCaption[];
extern const char AlarmCaption[];

// Opens the settings dialog through the host's config entry and runs the script in its
// loop. The script closes the dialog; one it leaves open is closed (and the test fails).
void RunSettings(LoadedPlugin& plugin, DialogScript script);
// From a settings script: presses "About..." and runs the script in the about box's loop.
void RunAbout(HWND settings, DialogScript script);
// From a settings script: presses "Alarm clock..." and runs the script in that dialog's loop.
void RunAlarmClock(HWND settings, DialogScript script);
// From an alarm clock script: `open` opens the alarm dialog (a press of "Add..." or "Edit...", a
// double-click on a row), and the script runs in its loop.
void RunAlarm(std::function<void()> open, DialogScript script);

// Pumps as the dialog's own loop does (keys go through the dialog manager) until the
// condition holds or the time is up; returns the condition.
// Real time: input through X takes it.
bool PumpDialog(HWND dialog, DWORD ms, std::function<bool()> done);
// The same, while `ms` of the plug-in's time passes: its timers tick in the dialog's loop.
bool TickInDialog(HWND dialog, DWORD ms, std::function<bool()> done);

// ---- closing, as a user does: OK (its id given), Escape through the dialog manager, the
// title bar's close ----
enum Way { ByOk, ByEscape, ByTitleBarClose };
void CloseBy(HWND dialog, int okId, Way way);

// A DWORD the plug-in saved; a missing one fails the test.
DWORD Stored(const char* name);

// ---- driving controls ----
void Click(HWND dialog, int id);  // a real button click: toggles auto check boxes
bool Checked(HWND dialog, int id);
bool Enabled(HWND dialog, int id);
std::string Text(HWND dialog, int id);
int Selection(HWND dialog, int id);
int SliderPos(HWND dialog, int id);
// A list box's rows, and a row clicked or double-clicked with the mouse as a user does.
std::vector<std::string> Rows(HWND dialog, int id);
int SelectedRow(HWND dialog, int id);
void ClickRow(HWND dialog, int id, int row);
void DoubleClickRow(HWND dialog, int id, int row);
// Moves a trackbar as a drag would: the position, then the dialog's WM_HSCROLL from it.
void Slide(HWND dialog, int id, int position);

// ---- text that fits ----
// Pixels every text keeps free beside it: another font, or another machine's rendering of
// the same one, may be that much wider.
enum { TextSpare = 2 };
// The static texts, buttons, check boxes and group boxes among the dialog's controls whose
// text, in the control's own font, does not fit the control with TextSpare to spare: one line
// each, "" when all fit. A check box needs room for its box beside the text, a button for its
// edges, both as a screen of `dpi` draws them; a static text that wraps must fit its lines in
// its height. `leastSpare`, when given, is lowered to the least room a text left.
std::string ClippedTexts(HWND dialog, int dpi = 96, int* leastSpare = nullptr);

// ---- gdi objects the plug-in makes and frees (Wine has no GetGuiResources) ----
struct GdiCount {
  std::set<HGDIOBJ> live;
  int created = 0;
  HGDIOBJ lastSelectedFont = NULL;
};
extern GdiCount Gdi;
void CountGdi(HMODULE module);

// ---- screens ----
// Saves what the X screen shows of the window as build/screens/<name>.png; returns the
// path, or "" when no shot could be taken.
std::string SaveScreen(const char* name, HWND window);
