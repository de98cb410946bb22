// What the ringing window says. Portable: no <windows.h> here.
#pragma once

// The ringing alarm's time of day into `time`, "07:00" (16 bytes), and its state into `state`
// (40 bytes): "Ringing", "Test", "Snoozed until 07:09" or "The player is silent: sounding the
// tone". A snooze is told as beginning at LocalTime, as it does on the tick or press that starts
// it. With nothing ringing, the alarms missed, "07:00", "07:00, 07:30" or "07:00 +2", and
// "Missed: the computer slept until 07:41".
void RingingText(char* time, char* state);
