// The alarm dialog's label and volume: the label as typed, in UTF-16; the volume in percent,
// empty for the settings dialog's end volume.
#pragma once
#include <windows.h>

#include "../settings/settings.h"

// The label (LabelSize characters) and the volume (0 for the end volume) into their boxes.
void ShowLabelVolume(HWND dialog, const char16_t* label, int32_t volume);
// The volume as typed: 0 when empty (or 0), 1 to 100, or -1 for anything else.
int32_t TypedVolume(HWND dialog);
// Both as the boxes hold them; false, with the keyboard in the volume's box, for a volume out
// of range: the dialog stays open and nothing typed is lost.
bool ReadLabelVolume(HWND dialog, char16_t* label, int32_t* volume);
