// The stand-in player: one main window that answers the host's IPC and commands from a
// simulated playlist, sends itself the end-of-track notice, and logs all it is asked.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

enum { PlayerStopped = 0, PlayerPlaying = 1, PlayerPaused = 3 };

struct PlayerState {
  std::vector<int> lengthsMs{214000, 187000, 302000, 95000, 261000, 178000,
                             243000, 129000, 356000, 201000, 168000, 412000};
  int current = 0;
  int status = PlayerStopped;
  double positionMs = 0;
  int volume = 200;
  bool stopAfterCurrent = false;
  double speed = 1.0;          // simulated ms per real ms
  bool declineClose = false;   // WM_CLOSE does not go ahead (another party said no)
  bool quitOnDestroy = false;  // the program ends its loop when the window goes
  int lengthUnknownTicks = 0;  // length query answers -1 this many more times
  void (*onClose)() = nullptr; // runs before the window is destroyed (plug-ins' quit)
  // The window goes this long after onClose, as with a host that quits its plug-ins inside
  // the close and takes its window down later; 0: at once.
  unsigned closeDelayMs = 0;
  void (*onConfig)() = nullptr;  // the loaded plug-in's config entry, for the settings command
  // Sees every message that reaches the player's own procedure, before it acts on it.
  void (*spy)(HWND, UINT, WPARAM, LPARAM) = nullptr;
  // Each entry's path (a file or a stream address), beside its length; an entry past the end
  // of this has its library name (EntryPath). A stream's length is -1: it never ends.
  std::vector<std::wstring> paths;
  bool olderPlayer = false;  // answers 0 to the wide codes, as players from before them do
  int jumpedMs = -1;         // where a jump while stopped puts the next play; -1 none
  unsigned listChanges = 0;  // counts the playlist's changes, for the window
};

// The playlist as the player keeps it: entry i's path, and what it takes in.
std::wstring EntryPath(int index);
// Appends what the path names: a file (if it exists), a playlist file's entries, a stream
// address; the entries it added.
int EnqueuePath(const std::wstring& path);
void ClearPlaylist();
bool IsStream(const std::wstring& path);
bool StreamDown(const std::wstring& path);  // its host is offline.invalid: it never starts
std::string Utf8(const std::wstring& text);
// Where the plug-in's debug output goes: a note in the log. Patched over its imports.
void WINAPI PluginDebugString(LPCWSTR text);

// One thing the player was asked or told. Notes (message 0) are events without a message:
// the power calls the plug-in tried, steps of a script.
struct LogEntry {
  DWORD time;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  LRESULT result;
  DWORD clockMs = 0;  // the local time the plug-in sees, milliseconds since midnight
  std::string note = std::string();
};

extern PlayerState Player;
extern std::vector<LogEntry> PlayerLog;
extern const char PlayerClassName[];

HWND CreatePlayerWindow(HINSTANCE instance, bool visible);
void StartPlayerClock();  // position advances in real time times the speed
void AdvancePlayer(double ms);
void PlayerEndTrack();  // the current track reached its end: notice to the main window
void PlayerNote(const std::string& text);  // adds a note to the log
std::string DescribeLogEntry(const LogEntry& entry);
// The name of a command a plug-in may send the player; null for any other.
const char* PluginCommandName(WPARAM id);
std::string FormatLogLine(const LogEntry& entry);  // with the clock time in front
std::string FormatClock(DWORD clockMs);            // HH:MM:SS
std::string DescribePlayer();
// Context menu of the main window (12 items), shown at the given screen point.
void ShowPlayerMenu(HWND main, int x, int y);
// The program's message dispatch: keys typed into the player's other windows reach the main
// window as the keyboard IPC notice first, as the host delivers them.
void DispatchPlayerMessage(HWND main, MSG* msg);

enum { PlayerMenuCount = 12, PlayerConfigCommand = 40500 };
enum { PlayerNextCommand = 40048, PlayerPreviousCommand = 40044 };
enum { PlayerForwardCommand = 40504, PlayerAboutCommand = 40505 };
