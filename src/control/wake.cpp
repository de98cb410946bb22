#include "control.h"

#include "../frame/host_player.h"
#include "../settings/settings.h"

void RefreshWake() {}
