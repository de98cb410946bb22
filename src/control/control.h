// Scheduling and playback control: portable, reaches the player only through host_player.h.
#pragma once
#include <stdint.h>

#include "../settings/settings.h"

void ClockTick();
void MarkMinuteSeen();  // at start-up: no event fires in the minute already in progress
// True once per occurrence of the event's minute while it is enabled; notes the firing.
bool EventDue(int32_t on, int32_t hour, int32_t minute, FiredRecord& fired);
void StartPlayback();
uint32_t PickRandom(uint32_t n);
void FadeInTick();
void StopEvent();
void StopPlayback();
void FadeOutTick();
void StartupPlay();
void TrackEnded();  // the player's end-of-track notice
