#include "ringing_text.h"

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

void RingingText(char* time, char* state) {
  Clock(time, Ringing.At);
  char* end = Copy(state, States[Ringing.State & 3]);
  if (Ringing.State == RingSnoozed) Clock(end, LocalTime.Hour * 60 + LocalTime.Minute + CappedMinutes(Snooze));
}
