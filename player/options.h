// The player program's command line.
#pragma once
#include <string>
#include <vector>

struct PlayerOptions {
  std::string plugin = "gen_dawnbell.dll";
  double quitAfter = 0;     // seconds; 0 runs until closed
  double speed = 1;         // track time per real time
  int clock = -1;           // simulated local time, seconds of the day; -1 the real one
  std::vector<int> lengthsMs;  // empty: the player's default playlist
  bool showcase = false;
  std::string screens;      // where the showcase saves its screenshots; empty: none
};

// Fills the options; on a mistake returns false with a message.
bool ParseOptions(int argc, char** argv, PlayerOptions* options, std::string* error);
// "4:08,95,1:02:03": track lengths as [[h:]m:]s, comma separated, into milliseconds.
bool ParseLengths(const char* text, std::vector<int>* lengthsMs);
extern const char PlayerUsage[];
