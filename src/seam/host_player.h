// Everything the playback logic does to the world outside goes through this header.
// The DLL links host_player_win32.cpp behind it; the native tests link a recording fake.
#pragma once
#include <stdint.h>

// The host's IPC message is WM_USER; the request code travels in lParam.
enum : int32_t {
  HostIpcMessage = 1024,
  HostTrackEndMessage = 1026,  // sent by the player to its own main window at a track's end
};

enum : int32_t {
  IpcGetVersion = 0,
  IpcDeleteList = 101,      // empties the playlist
  IpcIsPlaying = 104,
  IpcGetOutputTime = 105,  // data 0: position in ms; data 1: length in s; -1 when idle
  IpcJumpToTime = 106,
  IpcSetPlaylistPos = 121,
  IpcSetVolume = 122,      // data -666 only asks for the volume
  IpcGetListLength = 124,
  IpcGetListPos = 125,
  IpcRestartPlayer = 135,
  IpcKeyboardInput = 617,
  IpcGetListFile = 211,     // the path of the entry at data: a pointer into the player's memory
  IpcGetListFileWide = 214, // the same in UTF-16; 0 from players older than the wide codes
};
// Enqueueing: WM_COPYDATA with one of these in dwData, the path in the data.
enum : int32_t { CopyPlayFile = 100, CopyPlayFileWide = 1100 };

enum : int32_t { QueryVolumeData = -666 };

// Player commands: WM_COMMAND with the id in wParam.
enum : int32_t {
  CmdClose = 40001,
  CmdPlay = 40045,
  CmdPause = 40046,
  CmdStop = 40047,
  CmdStopAfterCurrent = 40157,
};

enum : int32_t { ClockTimer = 1, FadeTimer = 2 };

typedef void (*TimerProc)();

struct LocalTimeRecord;
struct SystemVolumeRecord;
struct RaisedVolumeRecord;

// What arming the wake timer reported.
enum : int32_t { WakeSet = 0, WakeSetCannotWake = 1, WakeFailed = 2 };
// What Windows tells of the computer's power, each fact yes or no, or unknown: older Windows has
// no power plan to ask, and a call may fail.
enum : int32_t { PowerUnknown = 0, PowerNo = 1, PowerYes = 2 };
struct PowerFactsRecord {
  int32_t WakeOnMains;    // the power plan allows our wake timer plugged in
  int32_t WakeOnBattery;  // the same on battery; unknown for a computer without one
  int32_t Hibernation;    // the computer can hibernate
};
// Keep-awake states, combined: none releases what we held.
enum : int32_t { AwakeNone = 0, AwakeSystem = 1, AwakeDisplay = 2 };

// --- the seam -------------------------------------------------------------------
int32_t PlayerIpc(int32_t data, int32_t code);
void PlayerCommand(int32_t id);
void ActivatePlayer();  // restore, then foreground
void StartTimer(int32_t id, uint32_t interval, TimerProc proc);
void StopTimer(int32_t id);  // harmless when the timer is not running
void ReadLocalTime();        // fills LocalTime
// Seconds of the UTC clock, wrapping: differences tell how much time really passed, across
// a clock set by hand or summer time, where the local clock cannot.
uint32_t UtcSeconds();
// Milliseconds since some moment, wrapping: counts on through standby and is moved by
// no clock setting, so a countdown measures the time that really passed.
uint32_t ElapsedMilliseconds();
void SaveSettings();
void ForcePowerOff();
bool SuspendComputer(int32_t hibernate);  // SetSuspendState(hibernate, 0, 0); false when refused
// The UTC seconds, counted as UtcSeconds counts them, of a local time by the zone's rules on
// that date (a local time summer time skips comes with the change); false when it cannot be
// converted.
bool UtcOf(const LocalTimeRecord& local, uint32_t* utc);
// The zone's offset, local time less UTC in seconds, at a UTC second counted as UtcSeconds
// counts it, by the zone's rules on that date; false when it cannot be told.
bool LocalOffsetAt(uint32_t utc, int32_t* offset);
// The one wake timer: due at a UTC second, waking the computer if it sleeps then.
int32_t SetWakeTimer(uint32_t utc);
void CancelWakeTimer();
void SetAwakeState(int32_t state);  // replaces the state we asked for before
// The alarm's own tone, looped, for when the player stays silent; 0 ends it.
void PlayTone(int32_t on);
// Read afresh each time: the user may change the power plan while the player runs.
void ReadPowerFacts(PowerFactsRecord* facts);
// The ringing window follows Ringing: it opens, shows the new state, or goes once it is off.
void ShowRinging();
// After ActivatePlayer for an alarm or a test that rings: the ringing window, open already (the missed
// alarms told, a snooze, the tone), takes the keyboard back from the player, on Snooze.
void FrontRinging();
// The plug-in itself changed settings an open dialog shows (an alarm switched in the menu or
// by its own ringing, a skip, the sleep timer switched off, "stop after end of last track"
// done): the dialogs show it at once, and keep it.
void SettingsChanged();
// The computer's own output, its default device; false when there is none to ask.
bool ReadSystemVolume(SystemVolumeRecord* volume);
// Changes what differs from the device's state only; a device may round the level, so read
// it again to see what it took.
void WriteSystemVolume(const SystemVolumeRecord& volume);
// What a ringing alarm did to the computer's volume, kept in the registry while it holds it,
// so that a player that crashes mid-alarm leaves it for the next load to put back. Kept with
// Held 0, it is forgotten; read, it is true only for a whole record that holds.
void KeepRaisedVolume(const RaisedVolumeRecord& raised);
bool ReadKeptRaisedVolume(RaisedVolumeRecord* raised);
// The UtcSeconds of the last clock tick the plug-in ran, kept in the registry so that the next
// load knows which alarm minutes came while the player was closed; 0 when none is kept.
void KeepLastSeen(uint32_t utc);
uint32_t ReadLastSeen();
// The user's playlist kept safe while an alarm plays its own music, in a file in the user's
// application-data folder. Saving writes every entry's path in order, the current entry and
// the position, whole or not at all; it refuses while a saved list is there already.
bool SavePlaylist();
// What putting the saved list back found. Restored: the list emptied, the saved entries
// enqueued, the saved one selected at its position, not playing; the file deleted. Damaged:
// the file is left in place and named in the log, the player's list untouched.
enum : int32_t { NoSavedList = 0, ListRestored = 1, SavedListDamaged = 2 };
int32_t RestorePlaylist();
// Empties the playlist and enqueues an alarm's music: a file, a playlist file, a folder's
// audio files or a stream address. The entries the player took; 0 when nothing could be
// enqueued (the list may be as it was, or empty; the log says why).
int32_t EnqueueMusic(const char16_t* music);

// --- small operations over the seam (portable) ------------------------------------
int32_t SetVolume();    // sends FadeLevel
int32_t QueryVolume();  // leaves FadeLevel alone
int32_t ListLength();
void StopFadeTimer();
