// Scheduling and playback control: portable, reaches the player only through host_player.h.
#pragma once
#include <stdint.h>

void ClockTick();
void StartPlayback();
uint32_t PickRandom(uint32_t n);
void FadeInTick();
void StopEvent();
void StopPlayback();
void FadeOutTick();
void StartupPlay();
void TrackEnded();  // the player's end-of-track notice
