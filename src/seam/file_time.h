// Whole seconds of a FILETIME, the count UtcSeconds hands out truncated to 32 bits.
#pragma once
#include <windows.h>
#include <stdint.h>

inline uint64_t FileSeconds(const FILETIME& time) {
  return ((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10000000u;
}
