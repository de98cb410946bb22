#include "options.h"

#include <stdlib.h>
#include <string.h>

#include "sim_clock.h"

const char PlayerUsage[] =
    "usage: dawnbell_player [--plugin PATH] [--speed FACTOR] [--lengths M:SS,M:SS,...]\n"
    "                       [--clock HH:MM:SS] [--quit-after SECONDS]\n"
    "                       [--showcase [--screens DIR]]\n";

bool ParseLengths(const char* text, std::vector<int>* lengthsMs) {
  std::vector<int> lengths;
  const char* p = text;
  while (*p) {
    long seconds = 0;
    int parts = 0;
    for (;;) {
      char* end;
      long part = strtol(p, &end, 10);
      if (end == p || part < 0 || (parts > 0 && part > 59)) return false;
      seconds = seconds * 60 + part;
      ++parts;
      p = end;
      if (*p != ':') break;
      ++p;
    }
    if (parts > 3 || seconds <= 0 || seconds > 24 * 3600) return false;
    lengths.push_back(static_cast<int>(seconds * 1000));
    if (*p == ',') ++p;
    else if (*p) return false;
  }
  if (lengths.empty()) return false;
  *lengthsMs = lengths;
  return true;
}

static bool Number(const char* text, double* value) {
  char* end;
  *value = strtod(text, &end);
  return end != text && !*end;
}

bool ParseOptions(int argc, char** argv, PlayerOptions* o, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i];
    if (name == "--showcase") { o->showcase = true; continue; }
    if (i + 1 >= argc) { *error = name + " needs a value"; return false; }
    const char* value = argv[++i];
    bool ok = true;
    if (name == "--plugin") o->plugin = value;
    else if (name == "--screens") o->screens = value;
    else if (name == "--quit-after") ok = Number(value, &o->quitAfter) && o->quitAfter >= 0;
    else if (name == "--speed") ok = Number(value, &o->speed) && o->speed > 0 && o->speed <= 1000;
    else if (name == "--clock") ok = (o->clock = ParseClock(value)) >= 0;
    else if (name == "--lengths") ok = ParseLengths(value, &o->lengthsMs);
    else { *error = "unknown option " + name; return false; }
    if (!ok) { *error = "bad value for " + name + ": " + value; return false; }
  }
  return true;
}
