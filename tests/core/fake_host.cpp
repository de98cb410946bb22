#include "fake_host.h"

#include "control/control.h"
#include "ui/ringing_text.h"

#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

FakePlayer Player;
FakeDevice Device;
std::vector<std::string> VolumeCalls;
std::vector<std::string> Calls;
std::vector<std::string> WakeCalls;
std::vector<std::string> WindowCalls;
int32_t WakeAnswer;
PowerFactsRecord PowerFacts;
LocalTimeRecord FakeClock;
int64_t FakeUtcOffset;
int64_t FakeZoneChangeUtc;
int64_t FakeUtcOffsetBefore;
int64_t FakeUtcOffsetAfter;
uint32_t FakeElapsedMs;
TimerProc RunningTimers[3];


// Every test starts on a freshly loaded module, whatever the test before it left behind.
namespace {
struct FreshModulePerTest : testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override { ResetHost(); }
};
}  // namespace
static bool ListenerAdded = [] {
  testing::UnitTest::GetInstance()->listeners().Append(new FreshModulePerTest);
  return true;
}();

static RaisedVolumeRecord KeptVolume;  // the registry's value, which outlives a crash
static uint32_t KeptSeen;              // the same

void ResetHost() {
  (void)ListenerAdded;
  ResetSettings();
  strcpy(MenuText, DefaultMenuText);
  StopAfterLast = 0;
  SettingsDialog = PrevHostProc = HookedMenu = PrevLinkProc = nullptr;
  FadeLevel = SavedVolume = StopPhase = StartupPending = StopAfterSent = OwnLevel = 0;
  StartupPlayed = false;
  LocalTime = LocalTimeRecord{};
  for (FiredRecord& fired : AlarmFired) fired = FiredRecord{};
  StopFired = FiredRecord{};
  WakeArmed = WakeUnsupported = AwakeHeld = AwakeWaiting = 0;
  AwakeUntil = WakeDue = WakeFiresBy = 0;
  Ringing = RingRecord{};
  KeptVolume = RaisedVolumeRecord{};
  KeptSeen = 0;
  Missed = MissedRecord{};
  WakeTest = WakeTestRecord{};
  SleepSeen = 0;
  OwnMusicState = MusicNone;
  RaisedVolume = RaisedVolumeRecord{};
  Device = FakeDevice{};
  VolumeCalls.clear();
  LastTick = TickRecord{};
  SleepCountdown = SleepRecord{};
  StopRan = 0;
  StopRanAt = 0;
  FakeElapsedMs = 0xFFFFFFFFu - 20 * 60000u;
  FakeUtcOffset = FakeZoneChangeUtc = FakeUtcOffsetBefore = FakeUtcOffsetAfter = 0;
  WakeCalls.clear();
  WindowCalls.clear();
  WakeAnswer = WakeSet;
  PowerFacts = PowerFactsRecord{PowerYes, PowerYes, PowerYes};
  Player = FakePlayer{};
  Calls.clear();
  for (TimerProc& t : RunningTimers) t = nullptr;
  SetClock(12, 0, 30);
}

void SetClock(int hour, int minute, int second, int day, int month, int year) {
  FakeClock = LocalTimeRecord{};
  FakeClock.Year = static_cast<uint16_t>(year);
  FakeClock.Month = static_cast<uint16_t>(month);
  FakeClock.Day = static_cast<uint16_t>(day);
  FakeClock.DayOfWeek = static_cast<uint16_t>(day % 7);
  FakeClock.Hour = static_cast<uint16_t>(hour);
  FakeClock.Minute = static_cast<uint16_t>(minute);
  FakeClock.Second = static_cast<uint16_t>(second);
}

void SetDate(int year, int month, int day, int hour, int minute, int second) {
  SetClock(hour, minute, second, day, month, year);
  static const int offsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  int y = month < 3 ? year - 1 : year;
  FakeClock.DayOfWeek = static_cast<uint16_t>((y + y / 4 - y / 100 + y / 400 + offsets[month - 1] + day) % 7);
}

bool FireTimer(int32_t id) {
  if (!RunningTimers[id]) return false;
  RunningTimers[id]();
  return true;
}

static std::string Joined(const std::vector<std::string>& calls) {
  std::string all;
  for (const std::string& c : calls) all += (all.empty() ? "" : ", ") + c;
  return all;
}

std::string CallList() { return Joined(Calls); }
std::string WakeList() { return Joined(WakeCalls); }
std::string WindowList() { return Joined(WindowCalls); }
std::string VolumeList() { return Joined(VolumeCalls); }

static void Record(std::string call) { Calls.push_back(std::move(call)); }

// ---- the seam ----

int32_t PlayerIpc(int32_t data, int32_t code) {
  switch (code) {
    case IpcIsPlaying: Record("IsPlaying"); return Player.playing;
    case IpcGetOutputTime:
      if (data == 0) { Record("GetPosition"); return Player.positionMs; }
      ++Player.lengthQueries;
      if (Player.lengthQueries <= 3 || Player.lengthQueries % 100000 == 0) Record("GetLength");
      if (Player.lengthUnknownFor > 0) { --Player.lengthUnknownFor; return -1; }
      return Player.lengthS;
    case IpcJumpToTime: Record("JumpToTime " + std::to_string(data)); return 0;
    case IpcSetPlaylistPos: Record("SetPlaylistPos " + std::to_string(data)); Player.listPos = data; return 0;
    case IpcSetVolume:
      if (data == QueryVolumeData) { Record("QueryVolume"); return Player.volume; }
      Record("SetVolume " + std::to_string(data));
      Player.volume = data;
      return 0;
    case IpcGetListLength: Record("ListLength"); return Player.listLength;
    case IpcGetListPos: Record("ListPos"); return Player.listPos;
  }
  Record("Ipc " + std::to_string(code) + " " + std::to_string(data));
  return 0;
}

void PlayerCommand(int32_t id) {
  switch (id) {
    case CmdClose: Record("Close"); return;
    case CmdPlay: Record("Play"); Player.playing = 1; return;
    case CmdPause: Record("Pause"); Player.playing = 3; return;
    case CmdStop: Record("Stop"); Player.playing = 0; return;
    case CmdStopAfterCurrent: Record("StopAfterCurrent"); return;
  }
  Record("Command " + std::to_string(id));
}

void ActivatePlayer() { Record("Activate"); }
void FrontRinging() {}

bool SavePlaylist() {
  Record("SavePlaylist");
  if (Player.saveFails || Player.savedLength >= 0) return false;
  Player.savedLength = Player.listLength;
  Player.savedPos = Player.listPos;
  return true;
}

int32_t RestorePlaylist() {
  Record("RestorePlaylist");
  if (Player.savedLength < 0) return NoSavedList;
  if (Player.savedDamaged) return SavedListDamaged;
  Player.listLength = Player.savedLength;
  Player.listPos = Player.savedPos;
  Player.playing = 0;
  Player.savedLength = -1;
  return ListRestored;
}

int32_t EnqueueMusic(const char16_t* music) {
  std::string text;
  for (; *music; ++music) text += *music < 128 ? static_cast<char>(*music) : '?';
  Record("EnqueueMusic " + text);
  Player.playing = 0;
  Player.listLength = Player.musicEntries;
  Player.listPos = 0;
  return Player.musicEntries;
}

void StartTimer(int32_t id, uint32_t interval, TimerProc proc) {
  Record("StartTimer " + std::to_string(id) + " " + std::to_string(interval));
  RunningTimers[id] = proc;
}

void StopTimer(int32_t id) {
  Record("StopTimer " + std::to_string(id));
  RunningTimers[id] = nullptr;
}

void ReadLocalTime() { LocalTime = FakeClock; }

// Seconds from the civil date, so any clock the tests set counts on.
static int64_t LocalSeconds(const LocalTimeRecord& t) {
  int64_t y = t.Month <= 2 ? t.Year - 1 : t.Year;
  int64_t era = y / 400, yoe = y - era * 400;
  int64_t doy = (153 * (t.Month + (t.Month > 2 ? -3 : 9)) + 2) / 5 + t.Day - 1;
  int64_t days = era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return ((days * 24 + t.Hour) * 60 + t.Minute) * 60 + t.Second;
}

void ZoneChangesAt(int year, int month, int day, int hour, int64_t before, int64_t after) {
  LocalTimeRecord utc = {static_cast<uint16_t>(year), static_cast<uint16_t>(month), 0,
                         static_cast<uint16_t>(day), static_cast<uint16_t>(hour), 0, 0, 0};
  FakeZoneChangeUtc = LocalSeconds(utc);
  FakeUtcOffsetBefore = before;
  FakeUtcOffsetAfter = after;
}

uint32_t UtcSeconds() { return static_cast<uint32_t>(LocalSeconds(FakeClock) + FakeUtcOffset); }

// By the zone's rules: before the change by the old offset, after it by the new; a local time
// the change skips comes with it.
bool UtcOf(const LocalTimeRecord& local, uint32_t* utc) {
  int64_t seconds = LocalSeconds(local);
  if (!FakeZoneChangeUtc) {
    *utc = static_cast<uint32_t>(seconds + FakeUtcOffset);
    return true;
  }
  int64_t before = seconds + FakeUtcOffsetBefore, after = seconds + FakeUtcOffsetAfter;
  *utc = static_cast<uint32_t>(before < FakeZoneChangeUtc ? before : after >= FakeZoneChangeUtc ? after : FakeZoneChangeUtc);
  return true;
}

bool LocalOffsetAt(uint32_t utc, int32_t* offset) {
  int64_t now = LocalSeconds(FakeClock) + FakeUtcOffset;
  int64_t at = now + static_cast<int32_t>(utc - static_cast<uint32_t>(now));
  *offset = static_cast<int32_t>(-(!FakeZoneChangeUtc ? FakeUtcOffset : at < FakeZoneChangeUtc ? FakeUtcOffsetBefore
                                                                                               : FakeUtcOffsetAfter));
  return true;
}

uint32_t ElapsedMilliseconds() { return FakeElapsedMs; }

void PlayTone(int32_t on) { Record(on ? "ToneOn" : "ToneOff"); }

bool ReadSystemVolume(SystemVolumeRecord* volume) {
  ++Device.reads;
  *volume = SystemVolumeRecord{Device.muted, Device.level};
  return Device.present;
}

void WriteSystemVolume(const SystemVolumeRecord& volume) {
  VolumeCalls.push_back(std::string(volume.Muted ? "muted " : "unmuted ") +
                        std::to_string((volume.Level * 100 + FullLevel / 2) / FullLevel) + "%");
  Device.muted = volume.Muted;
  Device.level = volume.Level / Device.step * Device.step;
}

void KeepRaisedVolume(const RaisedVolumeRecord& raised) { KeptVolume = raised; }
void KeepLastSeen(uint32_t utc) { KeptSeen = utc; }
uint32_t ReadLastSeen() { return KeptSeen; }

bool ReadKeptRaisedVolume(RaisedVolumeRecord* raised) {
  bool held = KeptVolume.Held;
  if (held) *raised = KeptVolume;
  KeptVolume = RaisedVolumeRecord{};
  return held;
}

void SaveSettings() { Record("Save"); }

void ForcePowerOff() { Record("PowerOff"); }

bool SuspendComputer(int32_t hibernate) {
  Record("SuspendState " + std::to_string(hibernate));
  return !Player.suspendFails;
}

// Recorded as the local time it stands for, by the offset of the moment.
int32_t SetWakeTimer(uint32_t utc) {
  int64_t now = LocalSeconds(FakeClock);
  int64_t local = now + static_cast<int32_t>(utc - static_cast<uint32_t>(now + FakeUtcOffset));
  int64_t days = local / 86400, of = local % 86400;
  int64_t era = days / 146097, doe = days - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
  int64_t day = doy - (153 * mp + 2) / 5 + 1, month = mp < 10 ? mp + 3 : mp - 9;
  int64_t year = yoe + era * 400 + (month <= 2);
  char text[48];
  snprintf(text, sizeof text, "Wake %04d-%02d-%02d %02d:%02d", static_cast<int>(year), static_cast<int>(month),
           static_cast<int>(day), static_cast<int>(of / 3600), static_cast<int>(of / 60 % 60));
  if (of % 60) snprintf(text + strlen(text), sizeof text - strlen(text), ":%02d", static_cast<int>(of % 60));
  WakeCalls.push_back(text);
  return WakeAnswer;
}

void ReadPowerFacts(PowerFactsRecord* facts) { *facts = PowerFacts; }

void CancelWakeTimer() { WakeCalls.push_back("CancelWake"); }

void SetAwakeState(int32_t state) { WakeCalls.push_back("Awake " + std::to_string(state)); }

void ShowRinging() {
  if (!Ringing.State && !Missed.Count) {
    WindowCalls.push_back("closed");
    return;
  }
  char time[16], state[48];
  RingingText(time, state);
  std::string label;  // as the window shows it: the ringing alarm's
  for (const char16_t* c = Ringing.State && Ringing.Label ? Ringing.Label : u""; *c; ++c) label += char(*c);
  WindowCalls.push_back(std::string(time) + " " + state + (label.empty() ? "" : " [" + label + "]"));
}

void SettingsChanged() {}  // no dialogs here to follow

void StopAtEleven() {
  StopOn = 1;
  StopH = 23;
  StopM = 0;
  SetClock(23, 0, 0);
  Player.playing = 1;  // phases begin over music playing
  ClockTick();
}
