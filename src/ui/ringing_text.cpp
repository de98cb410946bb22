#include "ringing_text.h"

#include "../control/control.h"
#include "../settings/settings.h"

static char* Two(char* text, int32_t n) {
  text[0] = static_cast<char>('0' + n / 10);
  text[1] = static_cast<char>('0' + n % 10);
  return text + 2;
}

// "hh:mm" of a minute count, the days wrapped off.
static void Clock(char* text, int32_t minutes) {
  minutes %= 24 * 60;
  text = Two(text, minutes / 60);
  *text = ':';
  *Two(text + 1, minutes % 60) = 0;
}

static char* Copy(char* text, const char* from) {
  while ((*text = *from++) != 0) ++text;
  return text;
}

// By state: off (never shown), ringing, snoozed (the end follows), the tone.
static const char* const States[4] = {"", "Ringing", "Snoozed until ", "The player is silent: sounding the tone"};
// By why the alarms were missed (MissedAsleep ..); the time the ticks came back follows.
static const char* const Reasons[4] = {"Missed: the computer slept until ", "Missed: the clock was set to ",
                                       "Missed: the player stalled until ", "Missed: Winamp was closed until "};

// Nothing rings: the alarms missed, two by time, or the first and how many more.
static void MissedText(char* time, char* state) {
  Clock(Copy(state, Reasons[Missed.Why % 4]), Missed.Until);
  *time = 0;
  if (!Missed.Count) return;
  Clock(time, Missed.At[0]);
  if (Missed.Count == 2) Clock(Copy(time + 5, ", "), Missed.At[1]);
  if (Missed.Count <= 2) return;
  time = Copy(time + 5, " +");
  *time++ = static_cast<char>('0' + Missed.Count - 1);
  *time = 0;
}

void RingingText(char* time, char* state) {
  if (!Ringing.State) return MissedText(time, state);
  Clock(time, Ringing.At);
  bool test = Ringing.Test && Ringing.State == RingOn;
  char* end = Copy(state, test ? "Test" : States[Ringing.State & 3]);
  if (Ringing.State == RingSnoozed) Clock(end, LocalTime.Hour * 60 + LocalTime.Minute + CappedMinutes(Snooze));
}
