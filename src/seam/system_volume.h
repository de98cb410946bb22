// The computer volume's libraries, loaded on first use: released at quit.
#pragma once

void CloseSystemVolume();
