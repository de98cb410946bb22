#include "host_player.h"
#include "../settings/settings.h"

int32_t SetVolume() { return PlayerIpc(FadeLevel, IpcSetVolume); }

int32_t QueryVolume() { return PlayerIpc(QueryVolumeData, IpcSetVolume); }

int32_t ListLength() { return PlayerIpc(0, IpcGetListLength); }

void StopFadeTimer() { StopTimer(FadeTimer); }
