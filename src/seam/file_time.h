// Whole seconds of a FILETIME, the count UtcSeconds hands out truncated to 32 bits.
#pragma once
#include <windows.h>
#include <stdint.h>

inline uint64_t FileSeconds(const FILETIME& time) {
  return ((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 10000000u;
}

// A UtcSeconds value back to the full count: it lies days from now, not decades.
inline uint64_t FullUtcSeconds(uint32_t utc) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  uint64_t seconds = FileSeconds(now);
  return seconds + static_cast<int32_t>(utc - static_cast<uint32_t>(seconds));
}

inline FILETIME FileOfUtc(uint32_t utc) {
  uint64_t ticks = FullUtcSeconds(utc) * 10000000u;
  FILETIME file = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  return file;
}
