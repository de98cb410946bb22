#include "settings.h"

// Copied in when the module loads: the DLL runs no constructors, and a table that only reads
// costs the file no writable section of its own.
static const int32_t Defaults[SettingCount] = {
    0, 0, 0, 0, 0, 0,      // StartOn .. Activate
    0, 0, 0, 0, 0, 0,      // StopOn .. ShutDown
    0, 1, 1, 0, 0, 0,      // PlayAtStart, HotKey, AddMenu, FromRange, SavePos, Hibernate
    0, 0, 0,               // WaitEnd, UsePause, UsePlay
    0, 255, 1000,          // VolStart, VolEnd, TimeOut
    0, 0, 0, 0,            // StartH, StartM, StopH, StopM
    0, 0, 4,               // First, Last, MenuPos
    0, 0,                  // TrackPos, TrackLength
    127,                   // StartDays: every day, as before days could be chosen
    1,                     // WakeUp
    9, 60, 1,              // Snooze, RingLimit, SilentTone
    0, 0, 0, 0, 0, 0, 0,   // Alarm2 .. Alarm8: empty
    0,                     // SkipAlarm: none
    30,                    // SysVolume
    1,                     // RingWindow
    0, 0, 0, 0, 0, 0, 0, 0,  // Alarm1Volume .. Alarm8Volume: VolEnd
};

int32_t SettingValues[SettingCount];

void ResetSettings() {
  for (int i = 0; i < SettingCount; ++i) SettingValues[i] = Defaults[i];
  for (int i = 0; i < AlarmCount; ++i) AlarmMusic[i][0] = AlarmLabel[i][0] = 0;
}

char16_t AlarmMusic[AlarmCount][MusicSize];
char16_t AlarmLabel[AlarmCount][LabelSize];

const char SettingNames[SettingCount][SettingNameSize] = {
    "StartOn",   "StartOff",  "VolUp",     "Random",     "One",      "Activate",
    "StopOn",    "StopOff",   "VolDown",   "Close",      "Suspend",  "ShutDown",
    "PlayAtStart", "HotKey",  "AddMenu",   "FromRange",  "SavePos",  "Hibernate",
    "WaitEnd",   "UsePause",  "UsePlay",   "VolStart",   "VolEnd",   "TimeOut",
    "StartH",    "StartM",    "StopH",     "StopM",      "First",    "Last",
    "MenuPos",   "TrackPos",  "TrackLength", "StartDays", "WakeUp",
    "Snooze",    "RingLimit", "SilentTone",
    "Alarm2",    "Alarm3",    "Alarm4",    "Alarm5",   "Alarm6",   "Alarm7",   "Alarm8",
    "SkipAlarm", "SysVolume", "RingWindow",
    "Alarm1Volume", "Alarm2Volume", "Alarm3Volume", "Alarm4Volume",
    "Alarm5Volume", "Alarm6Volume", "Alarm7Volume", "Alarm8Volume",
};

char MenuText[TextSize];
const char DefaultMenuText[] = "Dawnbell...";
const char MenuValueName[] = "MenuName";

int32_t StopAfterLast;
void* SettingsDialog;
void* PrevHostProc;
void* HookedMenu;
int32_t FadeLevel;
int32_t SavedVolume;
int32_t StopPhase;
int32_t StartupPending;
int32_t StopAfterSent;
void* PrevLinkProc;
LocalTimeRecord LocalTime;
FiredRecord AlarmFired[AlarmCount];
FiredRecord StopFired;
int32_t WakeArmed;
uint32_t WakeDue;
uint32_t WakeFiresBy;
int32_t WakeUnsupported;
int32_t AwakeHeld;
int32_t AwakeWaiting;
uint32_t AwakeUntil;
RingRecord Ringing;
RaisedVolumeRecord RaisedVolume;
TickRecord LastTick;
SleepRecord SleepCountdown;
int32_t StopRan;
uint32_t StopRanAt;
int32_t OwnMusicState;
char ModulePath[TextSize];
char Scratch[TextSize];
int32_t OwnLevel;
