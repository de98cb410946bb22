#include "control.h"

#include "../seam/host_player.h"
#include "../settings/settings.h"

static bool Same(const SystemVolumeRecord& a, const SystemVolumeRecord& b) {
  return a.Muted == b.Muted && a.Level == b.Level;
}

// Only what the alarm needs: a muted computer is unmuted, a quiet one turned up to the floor.
void RaiseSystemVolume() {
  // Held already, by an alarm still ringing: what that one found is what goes back.
  if (!SysVolume || RaisedVolume.Held) return;
  SystemVolumeRecord found, left;
  if (!ReadSystemVolume(&found)) return;
  int32_t floor = (CappedPercent(SysVolume) * FullLevel + 50) / 100;
  SystemVolumeRecord wanted = {0, found.Level < floor ? floor : found.Level};
  if (Same(wanted, found)) return;
  WriteSystemVolume(wanted);
  // As the device took it: it may round the level, or refuse. Unread, it cannot be put back.
  if (!ReadSystemVolume(&left) || Same(left, found)) return;
  RaisedVolume = RaisedVolumeRecord{1, found, left};
  KeepRaisedVolume(RaisedVolume);
}

// Unless the user has set it otherwise since: their choice stands.
void PutBackSystemVolume() {
  if (!RaisedVolume.Held) return;
  LeaveSystemVolume();
  SystemVolumeRecord now;
  if (ReadSystemVolume(&now) && Same(now, RaisedVolume.Left)) WriteSystemVolume(RaisedVolume.Found);
}

void LeaveSystemVolume() {
  if (!RaisedVolume.Held) return;
  RaisedVolume.Held = 0;
  KeepRaisedVolume(RaisedVolume);
}

// At load: what an alarm raised before a crash goes back, by the same rule as at its end.
void PutBackLeftVolume() {
  if (ReadKeptRaisedVolume(&RaisedVolume)) PutBackSystemVolume();
}
