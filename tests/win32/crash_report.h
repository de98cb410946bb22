// A crash in the plug-in ends the test program at once with a line saying where, instead of
// waiting on Wine's debugger, which under the test bench would never finish.
#pragma once
#include <functional>
#include <string>

// What a long test is doing right now (its seed and step, say), printed with a crash.
void SetCrashNote(std::function<std::string()> note);
