// Text for the dialogs and menus, built without <windows.h> or a C runtime, so the lines they
// show can be tested natively. Portable.
#pragma once
#include <stdint.h>

// Writes `pattern` into `text` with its fields filled in order: %s a text, %d and %u a number,
// %02d and %02u one of at least two digits. Answers the characters written, the terminating
// zero left out, as wsprintfA does; the caller's buffer must hold them.
int32_t Format(char* text, const char* pattern, ...);
