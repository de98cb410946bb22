// An alarm's own music. The user's playlist is saved before the alarm's goes in, and comes
// back once the alarm is over and the player no longer plays the alarm's music; music that
// stays silent gives way to it.
#include "control.h"

#include "../seam/host_player.h"
#include "../settings/settings.h"

void SlotSound(int32_t slot, AlarmSound* sound) {
  if (!ReadAlarm(slot, &sound->Alarm)) sound->Alarm = AlarmRecord{};
  sound->Music = AlarmMusic[slot];
  sound->Label = AlarmLabel[slot];
  sound->Level = LevelOf(slot);
}

void DueSound(int32_t due, AlarmSound* sound) {
  SlotSound(FirstSlot(due), sound);
  for (int32_t slot = AlarmCount; slot-- > 0;)
    if ((due >> slot & 1) && HasMusic(slot)) sound->Music = AlarmMusic[slot];
}

static void PutBack() {
  OwnMusicState = MusicNone;
  RestorePlaylist();
}

int32_t StartAlarm(const AlarmSound& sound) {
  bool music = sound.Music[0] != 0;
  if (!music && OwnMusicState == MusicNone) return StartPlayback(sound.Level);
  // Music already playing is not replaced, as today; an alarm over it changes nothing.
  if (PlayerIpc(0, IpcIsPlaying) == 1) return StartPlayback(sound.Level);
  if (!music) {  // an earlier alarm's music is in, paused or stopped: this one plays the user's list
    PutBack();
    return StartPlayback(sound.Level);
  }
  // The list is the user's: it goes aside first, or the alarm plays it as today. With an
  // earlier alarm's music still in, the user's list is aside already.
  if (OwnMusicState == MusicNone && !SavePlaylist()) return StartPlayback(sound.Level);
  if (!EnqueueMusic(sound.Music)) {  // nothing of it to play: the user's list, as today
    PutBack();
    return StartPlayback(sound.Level);
  }
  OwnMusicState = MusicOwn;
  return StartPlayback(sound.Level);
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
