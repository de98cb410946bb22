// Whole seconds of a FILETIME, the count UtcSeconds hands out truncated to 32 bits.
#pragma once
#include <windows.h>
#include <stdint.h>

// Ten million 100-ns units are 128 times 78125: a shift, then a division in 32-bit steps a byte
// at a time, where no remainder can overflow (a 64-bit division would bring in the compiler's
// run-time library).
inline uint64_t FileSeconds(const FILETIME& time) {
  enum : uint32_t { Rest = 78125 };
  uint64_t units = ((static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) >> 7;
  uint32_t high = static_cast<uint32_t>(units >> 32), low = static_cast<uint32_t>(units);
  uint32_t remainder = high % Rest, quotient = 0;
  for (int shift = 24; shift >= 0; shift -= 8) {
    remainder = remainder << 8 | (low >> shift & 0xFF);
    quotient = quotient << 8 | remainder / Rest;
    remainder %= Rest;
  }
  return static_cast<uint64_t>(high / Rest) << 32 | quotient;
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
