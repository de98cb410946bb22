// The alarm's own tone: a second of two short beeps, made here (no file to go missing), and
// looped by the system's sound library until the alarm is answered.
#include <windows.h>

#include "host_player.h"
#include "system_library.h"
#include "tone.h"

enum : DWORD { SndAsync = 0x0001, SndNoDefault = 0x0002, SndMemory = 0x0004, SndLoop = 0x0008 };
enum { Rate = 8000, HeaderSize = 44, Samples = Rate };  // 8 kHz, 8-bit mono, one second

typedef BOOL(WINAPI* PlaySoundProc)(LPCSTR, HMODULE, DWORD);

// Uninitialised, so it takes no room in the file; it stays put while the system plays it.
static BYTE Wave[HeaderSize + Samples] __attribute__((section(".bss")));
static HMODULE SoundLibrary;
static PlaySoundProc PlaySound;

static BYTE* Put(BYTE* at, const char* text) {
  for (int i = 0; i < 4; ++i) *at++ = static_cast<BYTE>(text[i]);
  return at;
}

static BYTE* Put(BYTE* at, DWORD value, int bytes) {
  for (int i = 0; i < bytes; ++i) *at++ = static_cast<BYTE>(value >> (8 * i));
  return at;
}

static void MakeWave() {
  BYTE* at = Put(Wave, "RIFF");
  at = Put(at, sizeof Wave - 8, 4);
  at = Put(Put(at, "WAVE"), "fmt ");
  at = Put(at, 16, 4);    // the format block's size
  at = Put(at, 1, 2);     // PCM
  at = Put(at, 1, 2);     // mono
  at = Put(at, Rate, 4);
  at = Put(at, Rate, 4);  // bytes a second
  at = Put(at, 1, 2);     // block size
  at = Put(at, 8, 2);     // bits a sample
  at = Put(Put(at, "data"), Samples, 4);
  // Two 150 ms beeps of a square wave near 880 Hz, 100 ms apart, then silence.
  for (int i = 0; i < Samples; ++i) {
    int ms = i / (Rate / 1000);
    bool beep = ms < 150 || (ms >= 250 && ms < 400);
    bool high = (i * 880 * 2 / Rate) & 1;
    at[i] = static_cast<BYTE>(beep ? (high ? 176 : 80) : 128);
  }
}

static bool LoadSound() {
  if (PlaySound) return true;
  if (!SoundLibrary) SoundLibrary = LoadSystemLibrary("\\winmm.dll");
  return SoundLibrary && FindEntry(SoundLibrary, "PlaySoundA", &PlaySound);
}

void PlayTone(int32_t on) {
  if (!on) {
    if (PlaySound) PlaySound(NULL, NULL, 0);
    return;
  }
  if (!LoadSound()) return;
  if (Wave[0] != 'R') MakeWave();
  PlaySound(reinterpret_cast<LPCSTR>(Wave), NULL, SndMemory | SndAsync | SndLoop | SndNoDefault);
}

// The tone is silenced before, with the alarm it belonged to.
void CloseTone() {
  if (!SoundLibrary) return;
  FreeLibrary(SoundLibrary);
  SoundLibrary = NULL;
  PlaySound = NULL;
}
