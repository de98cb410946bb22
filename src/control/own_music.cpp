// An alarm's own music. The user's playlist is saved before the alarm's goes in, and comes
// back once the alarm is over and the player no longer plays the alarm's music; music that
// stays silent gives way to it.
#include "control.h"

#include "../seam/host_player.h"
#include "../settings/settings.h"

// The first alarm among those due (a bit a slot) that has music of its own; -1 none.
static int32_t MusicSlot(int32_t due) {
  for (int32_t slot = 0; slot < AlarmCount; ++slot)
    if ((due >> slot & 1) && HasMusic(slot)) return slot;
  return -1;
}

static void PutBack() {
  OwnMusicState = MusicNone;
  RestorePlaylist();
}

int32_t StartAlarm(int32_t due) {
  int32_t slot = MusicSlot(due), level = LevelOf(FirstSlot(due));
  if (slot < 0 && OwnMusicState == MusicNone) return StartPlayback(level);
  // Music already playing is not replaced, as today; an alarm over it changes nothing.
  if (PlayerIpc(0, IpcIsPlaying) == 1) return StartPlayback(level);
  if (slot < 0) {  // an earlier alarm's music is in, paused or stopped: this one plays the user's list
    PutBack();
    return StartPlayback(level);
  }
  // The list is the user's: it goes aside first, or the alarm plays it as today. With an
  // earlier alarm's music still in, the user's list is aside already.
  if (OwnMusicState == MusicNone && !SavePlaylist()) return StartPlayback(level);
  if (!EnqueueMusic(AlarmMusic[slot])) {  // nothing of it to play: the user's list, as today
    PutBack();
    return StartPlayback(level);
  }
  OwnMusicState = MusicOwn;
  return StartPlayback(level);
}

bool FallBackToUsersList() {
  if (OwnMusicState != MusicOwn) return false;
  OwnMusicState = MusicNone;
  SendStop();  // a stream still connecting counts as playing
  return RestorePlaylist() == ListRestored && StartPlayback(OwnLevel) == Started;
}

void MusicAlarmOver() {
  if (OwnMusicState != MusicOwn) return;
  // The user keeps the alarm's music playing: their list waits for the player to stop.
  if (PlayerIpc(0, IpcIsPlaying) == 1) OwnMusicState = MusicKept;
  else PutBack();
}

void MusicTick() {
  if (!Ringing.State && PlayerIpc(0, IpcIsPlaying) == 0) PutBack();
}

void MusicBeforeClose() {
  if (OwnMusicState == MusicNone) return;
  SendStop();
  PutBack();
}

// A list left aside when the player crashed or the power failed comes back before anything.
void RestoreLeftList() {
  OwnMusicState = MusicNone;
  RestorePlaylist();
}
