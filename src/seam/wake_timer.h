// The one wake timer's handle: made at init, closed at quit (a closed timer wakes nothing).
#pragma once

void OpenWakeTimer();
void CloseWakeTimer();
