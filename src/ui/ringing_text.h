// What the ringing window says. Portable: no <windows.h> here.
#pragma once

// The ringing alarm's time of day into `time`, "07:00" (6 bytes), and its state into `state`
// (40 bytes): "Ringing", "Snoozed until 07:09" or "The player is silent: sounding the tone".
// A snooze is told as beginning at LocalTime, as it does on the tick or press that starts it.
void RingingText(char* time, char* state);
