// The plug-in's own player commands pass through the hook like anyone's: it asks whether the
// command reaching the player is one of ours, which never counts as the user answering.
#pragma once

bool OwnCommandSent();  // true while a command PlayerCommand sends is on its way
