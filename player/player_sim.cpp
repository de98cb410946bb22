// The simulated playlist: what the player answers and does when asked.
#include <stdio.h>

#include "player_internal.h"

PlayerState Player;

int CurrentLengthMs() {
  if (Player.lengthsMs.empty()) return 0;
  return Player.lengthsMs[Player.current];
}

// The path of entry `index` where the sender can read it: in this same process, a pointer
// into the player's memory, valid until the next such query.
static LRESULT EntryPathPointer(int index, bool wide) {
  static std::wstring widePath;
  static std::string ansiPath;
  if (index < 0 || index >= static_cast<int>(Player.lengthsMs.size())) return 0;
  if (wide && Player.olderPlayer) return 0;
  widePath = EntryPath(index);
  if (wide) return reinterpret_cast<LRESULT>(widePath.c_str());
  int n = WideCharToMultiByte(CP_ACP, 0, widePath.c_str(), -1, NULL, 0, NULL, NULL);
  ansiPath.assign(n, '\0');
  WideCharToMultiByte(CP_ACP, 0, widePath.c_str(), -1, &ansiPath[0], n, NULL, NULL);
  return reinterpret_cast<LRESULT>(ansiPath.c_str());
}

LRESULT AnswerIpc(WPARAM data, LPARAM code) {
  int value = static_cast<int>(data);
  bool idle = Player.status == PlayerStopped || Player.lengthsMs.empty();
  switch (code) {
    case 0: return Player.olderPlayer ? 0x2095 : 0x5666;
    case 101: ClearPlaylist(); return 0;
    case 211: return EntryPathPointer(value, false);
    case 214: return EntryPathPointer(value, true);
    case 104: return Player.status;
    case 105:
      if (value == 0) return idle ? -1 : static_cast<LRESULT>(Player.positionMs);
      if (Player.lengthUnknownTicks > 0) { --Player.lengthUnknownTicks; return -1; }
      return idle || CurrentLengthMs() < 0 ? -1 : CurrentLengthMs() / 1000;
    case 106:
      if (!idle) Player.positionMs = value;
      // Stopped, the jump waits for the next play: a list put back resumes where it was.
      else if (!Player.lengthsMs.empty() && value >= 0) Player.jumpedMs = value;
      return 0;
    case 121:
      if (value >= 0 && value < static_cast<int>(Player.lengthsMs.size())) Player.current = value;
      if (Player.status == PlayerStopped) Player.jumpedMs = -1;
      return 0;
    case 122:
      if (value == -666) return Player.volume;
      Player.volume = value < 0 ? 0 : value > 255 ? 255 : value;
      return 0;
    case 124: return static_cast<LRESULT>(Player.lengthsMs.size());
    case 125: return Player.current;
  }
  return 0;
}

// Next or previous entry; a playing player goes on playing there.
static void Step(int by) {
  int target = Player.current + by;
  if (target < 0 || target >= static_cast<int>(Player.lengthsMs.size())) return;
  Player.current = target;
  Player.positionMs = 0;
}

void RunCommand(HWND window, WPARAM id) {
  switch (id) {
    case 40001: PostMessageA(window, WM_CLOSE, 0, 0); break;
    case 40045:
      if (Player.lengthsMs.empty()) break;
      if (Player.status != PlayerPaused) Player.positionMs = Player.jumpedMs > 0 ? Player.jumpedMs : 0;
      Player.jumpedMs = -1;
      Player.status = PlayerPlaying;
      break;
    case 40046:
      if (Player.status == PlayerPlaying) Player.status = PlayerPaused;
      else if (Player.status == PlayerPaused) Player.status = PlayerPlaying;
      break;
    case 40047:
      Player.status = PlayerStopped;
      Player.positionMs = 0;
      Player.stopAfterCurrent = false;
      break;
    case 40157: Player.stopAfterCurrent = true; break;
    case PlayerNextCommand: Step(1); break;
    case PlayerPreviousCommand: Step(-1); break;
    case 40058: Player.volume = Player.volume + 16 > 255 ? 255 : Player.volume + 16; break;
    case 40059: Player.volume = Player.volume < 16 ? 0 : Player.volume - 16; break;
    case PlayerForwardCommand:
      // Stops short of the end: the next advance ends the track, with its notice.
      if (Player.status != PlayerStopped) Player.positionMs += 10000;
      if (Player.positionMs > CurrentLengthMs()) Player.positionMs = CurrentLengthMs();
      break;
    case PlayerAboutCommand:
      MessageBoxA(window, "Dawnbell stand-in player\n\nPlays the host's part for general-purpose "
                  "plug-ins: a simulated playlist, the host's commands and queries, and a log "
                  "of all a plug-in asks.", "About the player", MB_OK | MB_ICONINFORMATION);
      break;
    case PlayerConfigCommand:
      if (Player.onConfig) Player.onConfig();
      break;
  }
}

void TrackEnded() {
  if (Player.status != PlayerPlaying) {  // stopped meanwhile, by whoever saw the notice first
    Player.positionMs = 0;
    return;
  }
  if (Player.stopAfterCurrent || Player.current + 1 >= static_cast<int>(Player.lengthsMs.size())) {
    Player.stopAfterCurrent = false;
    Player.status = PlayerStopped;
    Player.positionMs = 0;
    return;
  }
  ++Player.current;
  Player.positionMs = 0;
}

void AdvancePlayer(double ms) {
  if (Player.status != PlayerPlaying || Player.lengthsMs.empty()) return;
  if (StreamDown(EntryPath(Player.current))) return;  // connecting, for ever
  Player.positionMs += ms * Player.speed;
  if (CurrentLengthMs() >= 0 && Player.positionMs >= CurrentLengthMs()) PlayerEndTrack();
}

void PlayerEndTrack() {
  Player.positionMs = CurrentLengthMs();
  // Logged as it leaves, so the log shows the notice before what the plug-in does about it.
  Log(TrackEndNotice, 0, 0, 0);
  NoticeLogged = true;
  SendMessageA(PlayerMain, TrackEndNotice, 0, 0);
  NoticeLogged = false;
}

std::string DescribePlayer() {
  static const char* const states[] = {"stopped", "playing", "?", "paused"};
  char text[200];
  int length = CurrentLengthMs() < 0 ? 0 : CurrentLengthMs() / 1000;
  int position = static_cast<int>(Player.positionMs) / 1000;
  snprintf(text, sizeof text, "Track %d of %d   %d:%02d / %d:%02d\nVolume %d (%d%%)   %s%s",
           Player.current + 1, static_cast<int>(Player.lengthsMs.size()), position / 60,
           position % 60, length / 60, length % 60, Player.volume, Player.volume * 100 / 255,
           states[Player.status & 3], Player.stopAfterCurrent ? ", stops after this track" : "");
  return text;
}
