#include "control.h"

#include "../seam/host_player.h"
#include "../settings/settings.h"

bool CanSnooze() { return Ringing.State == RingOn && Snooze != 0; }

// The player's own command, then at once what the next tick would make of it, so the window
// never shows a state already answered: a second Snooze would resume the player.
void AnswerRinging(int32_t command) {
  if (command == CmdPause ? !CanSnooze() : !Ringing.State) return;
  // Pause toggles: a player paused since the last tick (by the user, that same second) would
  // play again. Paused, it is snoozed already; the tick below finds it so.
  if (command != CmdPause || PlayerIpc(0, IpcIsPlaying) == 1) PlayerCommand(command);
  CommandReached();  // as the command reaching the player's window does: it ends the tone
  if (!Ringing.State) return;
  ReadLocalTime();  // the snooze's end is told from now
  RingTick();
}
