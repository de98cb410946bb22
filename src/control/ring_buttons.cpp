#include "control.h"

#include "../seam/host_player.h"
#include "../settings/settings.h"

bool CanSnooze() { return Ringing.State == RingOn && Snooze != 0; }

// The player's own command, then at once what the next tick would make of it, so the window
// never shows a state already answered: a second Snooze would resume the player.
void AnswerRinging(int32_t command) {
  if (command == CmdPause ? !CanSnooze() : !Ringing.State) return;
  PlayerCommand(command);
  CommandReached();  // as the command reaching the player's window does: it ends the tone
  if (!Ringing.State) return;
  ReadLocalTime();  // the snooze's end is told from now
  RingTick();
}
