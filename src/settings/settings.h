// The one settings record: persisted values, the menu text, and what lives only while
// the module is loaded. Portable: no <windows.h> here.
#pragma once
#include <stdint.h>

enum { SettingCount = 56, TextSize = 255, SettingNameSize = 13 };

extern int32_t SettingValues[SettingCount];
void ResetSettings();  // every setting to its default
extern const char SettingNames[SettingCount][SettingNameSize];

// Each setting by name; these are the array's own entries, not copies.
inline int32_t& StartOn = SettingValues[0];
inline int32_t& StartOff = SettingValues[1];
inline int32_t& VolUp = SettingValues[2];
inline int32_t& Random = SettingValues[3];
inline int32_t& One = SettingValues[4];
inline int32_t& Activate = SettingValues[5];
inline int32_t& StopOn = SettingValues[6];
inline int32_t& StopOff = SettingValues[7];
inline int32_t& VolDown = SettingValues[8];
inline int32_t& Close = SettingValues[9];
inline int32_t& Suspend = SettingValues[10];
inline int32_t& ShutDown = SettingValues[11];
inline int32_t& PlayAtStart = SettingValues[12];
inline int32_t& HotKey = SettingValues[13];
inline int32_t& AddMenu = SettingValues[14];
inline int32_t& FromRange = SettingValues[15];
inline int32_t& SavePos = SettingValues[16];
inline int32_t& Hibernate = SettingValues[17];
inline int32_t& WaitEnd = SettingValues[18];
inline int32_t& UsePause = SettingValues[19];
inline int32_t& UsePlay = SettingValues[20];
inline int32_t& VolStart = SettingValues[21];
inline int32_t& VolEnd = SettingValues[22];
inline int32_t& TimeOut = SettingValues[23];
inline int32_t& StartH = SettingValues[24];
inline int32_t& StartM = SettingValues[25];
inline int32_t& StopH = SettingValues[26];
inline int32_t& StopM = SettingValues[27];
inline int32_t& First = SettingValues[28];
inline int32_t& Last = SettingValues[29];
inline int32_t& MenuPos = SettingValues[30];
inline int32_t& TrackPos = SettingValues[31];
inline int32_t& TrackLength = SettingValues[32];
// Appended after the original settings, so older stored keys simply lack them.
inline int32_t& StartDays = SettingValues[33];  // bit 0 Sunday .. bit 6 Saturday
inline int32_t& WakeUp = SettingValues[34];     // wake the computer for the alarm
inline int32_t& Snooze = SettingValues[35];     // minutes Pause snoozes the alarm; 0: Pause ends it
inline int32_t& RingLimit = SettingValues[36];  // minutes an unanswered alarm plays; 0: no limit
inline int32_t& SilentTone = SettingValues[37]; // a tone when the alarm's player stays silent
// Alarms 2 to 8, one packed word each (PackedAlarm); 0 is an empty slot, and a present alarm is
// never 0 (PackedPresent).
enum { FirstPackedAlarm = 38 };
inline int32_t& SkipAlarm = SettingValues[45];  // the skipped occurrence's MinuteNumber; 0 none
inline int32_t& SysVolume = SettingValues[46];  // % the ringing alarm raises the computer to; 0: never
inline int32_t& RingWindow = SettingValues[47]; // a window with Snooze and Stop while it rings
// Each alarm's volume by slot (Alarm1Volume ..), in percent of the player's; 0: VolEnd, as before.
enum { FirstAlarmVolume = 48 };
// Snooze and RingLimit above this many minutes (or negative, read unsigned) count as this.
enum : int32_t { MostMinutes = 240 };
inline int32_t CappedMinutes(int32_t minutes) {
  return static_cast<uint32_t>(minutes) > uint32_t{MostMinutes} ? MostMinutes : minutes;
}

// SysVolume above this (or negative, read unsigned) counts as this.
enum : int32_t { MostPercent = 100 };
inline int32_t CappedPercent(int32_t percent) {
  return static_cast<uint32_t>(percent) > uint32_t{MostPercent} ? MostPercent : percent;
}

// An alarm's own volume in percent, 0 for none. A negative value is damage, not a wish for
// the loudest: it reads as none, where above 100 counts as 100.
inline int32_t OwnVolumePercent(int32_t slot) {
  int32_t stored = SettingValues[FirstAlarmVolume + slot];
  return stored < 0 ? 0 : CappedPercent(stored);
}

enum : int32_t { EveryDay = 127 };  // StartDays with every day's bit set

// One alarm: alarm 1 is the settings dialog's own values, alarms 2 to 8 packed words.
struct AlarmRecord {
  int32_t Hour, Minute;
  int32_t Days;  // bit 0 Sunday .. bit 6 Saturday
  int32_t On;
  int32_t Once;  // switches itself off when it rings
};
enum : int32_t { AlarmCount = 8 };
// The packed word's layout: minute in bits 0-7, hour 8-15, days 16-22, on 24, once 25, and 26
// always written: 00:00 on no day, off, is no empty slot. Words stored without it read as before.
enum : uint32_t { PackedOn = 1u << 24, PackedOnce = 1u << 25, PackedPresent = 1u << 26 };
inline uint32_t PackedAlarm(int32_t slot) {  // slots 1 to 7
  return static_cast<uint32_t>(SettingValues[FirstPackedAlarm + slot - 1]);
}

// Each alarm's own music, by slot: a file, a playlist file, a folder or a stream address, in
// UTF-16 so that any name Windows allows round-trips; empty plays the player's playlist.
// Stored as values of their own (Alarm1Music ..), not in the numbers array.
enum { MusicSize = 1024 };  // 1,023 characters and the terminator
extern char16_t AlarmMusic[AlarmCount][MusicSize];
inline bool HasMusic(int32_t slot) { return AlarmMusic[slot][0] != 0; }
// Each alarm's label, by slot: what it is for ("Work"), in UTF-16 as typed, stored as the music
// is (Alarm1Label ..); empty for none.
enum { LabelSize = 41 };  // 40 characters and the terminator
extern char16_t AlarmLabel[AlarmCount][LabelSize];

// Index of the first flag shown by a check box (control id - 4 is the index).
enum { FlagCount = 21 };

extern char MenuText[TextSize];
extern const char DefaultMenuText[];
extern const char MenuValueName[];

// Same layout as the system's local-time record, so the Win32 side can fill it directly.
struct LocalTimeRecord {
  uint16_t Year, Month, DayOfWeek, Day, Hour, Minute, Second, Milliseconds;
};

// When an event last fired: guards against firing twice in one minute.
struct FiredRecord {
  uint16_t Year, Month, Day, Hour, Minute;
};

// The alarm from its start until someone answers it.
enum : int32_t { RingOff = 0, RingOn = 1, RingSnoozed = 2, RingTone = 3 };
struct RingRecord {
  int32_t State;
  uint32_t Since;   // ElapsedMilliseconds at the latest start, resume or pause
  int32_t Volume;   // the player's volume at the start, where no fade-in sets it
  int32_t LastPos;  // the output position the last tick saw playing; -1 none
  int32_t Heard;    // a tick saw the position advance since Since
  int32_t At;       // the ringing alarm's time of day, in minutes
  const char16_t* Label;  // the alarm's label (the first of those that rang together); empty: none
  int32_t Shown;    // State + 4 * At as the ringing window last showed them
  int32_t Test;     // a test the user asked for, not an alarm's minute
};

// The computer's own output: muted or not, and its master level from 0 to FullLevel.
enum : int32_t { FullLevel = 65535 };
struct SystemVolumeRecord {
  int32_t Muted;
  int32_t Level;
};

// While an alarm rings over a computer it had to unmute or turn up: what it found, to put
// back at the end, and what it left, to tell whether someone changed it since.
struct RaisedVolumeRecord {
  int32_t Held;
  SystemVolumeRecord Found;
  SystemVolumeRecord Left;
};

// A clock tick's two readings: the local clock may jump where UTC runs on.
struct TickRecord {
  LocalTimeRecord Local;
  uint32_t Utc;      // UtcSeconds
  uint32_t Elapsed;  // ElapsedMilliseconds: a clock set by hand cannot hide a sleep from it
};

// The sleep timer's countdown from the player's menu; Minutes 0 while none runs.
struct SleepRecord {
  int32_t Minutes;  // as chosen
  uint32_t Since;   // ElapsedMilliseconds at the choice
};

// Run-time values, never persisted; zero when the module loads.
extern int32_t StopAfterLast;
extern void* SettingsDialog;
extern void* PrevHostProc;
extern void* HookedMenu;
extern int32_t FadeLevel;
extern int32_t SavedVolume;
extern int32_t StopPhase;
extern int32_t StartupPending;
extern int32_t StopAfterSent;  // we told the player to stop after its track, and sent no stop since
extern void* PrevLinkProc;
extern LocalTimeRecord LocalTime;
extern FiredRecord AlarmFired[AlarmCount];  // by slot: the occurrence each last rang for
extern FiredRecord StopFired;
extern int32_t WakeArmed;        // the wake timer is set for the next alarm and can wake us
extern uint32_t WakeDue;         // when it is due, in UTC seconds
extern uint32_t WakeFiresBy;     // the ElapsedMilliseconds it has come by, unless a clock was set
extern int32_t WakeUnsupported;  // the last arming said this computer cannot wake itself
extern int32_t AwakeHeld;        // the keep-awake state we hold (AwakeSystem, AwakeDisplay)
extern int32_t AwakeWaiting;     // a resume's hold waits for the alarm, until AwakeUntil
extern uint32_t AwakeUntil;      // ElapsedMilliseconds when that hold ends
extern RingRecord Ringing;
extern RaisedVolumeRecord RaisedVolume;
extern TickRecord LastTick;  // the latest clock tick, or the start-up's reading
extern SleepRecord SleepCountdown;
extern int32_t StopRan;     // what last ran the sleep timer's actions (DailyStop ..); 0 none
extern uint32_t StopRanAt;  // and at which ElapsedMilliseconds
// Where an alarm's own music stands: none in the list; the alarm's in, the user's list saved
// aside; the alarm over and its music played on by the user, the list back at the next stop.
enum : int32_t { MusicNone = 0, MusicOwn = 1, MusicKept = 2 };
extern int32_t OwnMusicState;
extern char ModulePath[TextSize];
extern char Scratch[TextSize];
// The player volume the alarm that started playback plays at, its own; 0 for none (VolEnd).
extern int32_t OwnLevel;
