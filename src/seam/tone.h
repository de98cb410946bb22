// The tone's sound library, loaded on first use: released at quit, the tone silenced.
#pragma once

void CloseTone();
