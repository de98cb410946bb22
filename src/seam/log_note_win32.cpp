// Lines for a log: the plug-in's debug output, which a debugger or the stand-in player shows.
#include "playlist_ipc.h"

void NoteInLog(const WCHAR* text, const WCHAR* more, const WCHAR* last) {
  static WCHAR line[MAX_PATH * 4];
  lstrcpyW(line, L"Dawnbell: ");
  const WCHAR* parts[] = {text, more, last};
  for (const WCHAR* part : parts)
    if (part && lstrlenW(line) + lstrlenW(part) < MAX_PATH * 4) lstrcatW(line, part);
  OutputDebugStringW(line);
}
