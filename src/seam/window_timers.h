// Which procedure a timer of ours runs, for the glue that must stop and start it again.
#pragma once
#include "host_player.h"

TimerProc RunningTimer(int32_t id);  // null when the timer is not running
