// The player's playlist of named entries: files, the entries of playlist files, streams.
#include <stdio.h>

#include <map>

#include "player_internal.h"

// Every path the player has listed, with its length: its library, which outlives a restart as
// files on a disk would. The default entries are in it from the start.
static std::map<std::wstring, int>& Library() {
  static std::map<std::wstring, int> library;
  return library;
}

static std::wstring LibraryName(int index) {
  wchar_t name[40];
  _snwprintf(name, 40, L"C:\\Music\\Track %02d.mp3", index + 1);
  return name;
}

std::string Utf8(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), NULL, 0, NULL, NULL);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, NULL, NULL);
  return out;
}

// Gives every entry its path, so the list can change shape.
static void NameAll() {
  while (Player.paths.size() < Player.lengthsMs.size()) {
    std::wstring name = LibraryName(static_cast<int>(Player.paths.size()));
    Library()[name] = Player.lengthsMs[Player.paths.size()];
    Player.paths.push_back(name);
  }
  Player.paths.resize(Player.lengthsMs.size());
}

std::wstring EntryPath(int index) {
  if (index < 0 || index >= static_cast<int>(Player.lengthsMs.size())) return L"";
  if (index < static_cast<int>(Player.paths.size()) && !Player.paths[index].empty()) return Player.paths[index];
  std::wstring name = LibraryName(index);
  Library()[name] = Player.lengthsMs[index];
  return name;
}

void ClearPlaylist() {
  Player.lengthsMs.clear();
  Player.paths.clear();
  Player.current = 0;
  Player.status = PlayerStopped;
  Player.positionMs = 0;
  Player.jumpedMs = -1;
  ++Player.listChanges;
}

bool IsStream(const std::wstring& path) {
  return _wcsnicmp(path.c_str(), L"http://", 7) == 0 || _wcsnicmp(path.c_str(), L"https://", 8) == 0;
}

bool StreamDown(const std::wstring& path) {
  if (!IsStream(path)) return false;
  size_t host = path.find(L"//") + 2, end = path.find_first_of(L"/:?", host);
  return _wcsicmp(path.substr(host, end - host).c_str(), L"offline.invalid") == 0;
}

static void Append(const std::wstring& path, int lengthMs) {
  NameAll();
  Player.paths.push_back(path);
  Player.lengthsMs.push_back(lengthMs);
  Library()[path] = lengthMs;
  ++Player.listChanges;
}

// A new file's length, from its name: two to six minutes, the same each time.
static int LengthOf(const std::wstring& path) {
  auto known = Library().find(path);
  if (known != Library().end()) return known->second;
  unsigned hash = 2166136261u;
  for (wchar_t c : path) hash = (hash ^ c) * 16777619u;
  return 120000 + static_cast<int>(hash % 240) * 1000;
}

static bool Exists(const std::wstring& path) {
  if (Library().count(path)) return true;
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

static bool EndsWith(const std::wstring& path, const wchar_t* ending) {
  size_t n = wcslen(ending);
  return path.size() >= n && _wcsicmp(path.c_str() + path.size() - n, ending) == 0;
}

// A playlist file's entries: .m3u in the ANSI code page, .m3u8 in UTF-8, .pls lines FileN=;
// a relative entry is beside the playlist file. Nested playlist files are not followed.
static int EnqueueList(const std::wstring& list, bool pls) {
  FILE* file = _wfopen(list.c_str(), L"rb");
  if (!file) return 0;
  std::wstring folder = list.substr(0, list.find_last_of(L"\\/") + 1);
  UINT page = EndsWith(list, L".m3u") ? CP_ACP : CP_UTF8;
  int added = 0;
  char line[4096];
  while (fgets(line, sizeof line, file)) {
    std::string text = line;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (pls) {
      if (_strnicmp(text.c_str(), "File", 4) != 0 || text.find('=') == std::string::npos) continue;
      text.erase(0, text.find('=') + 1);
    }
    if (text.empty() || text[0] == '#') continue;
    wchar_t wide[4096];
    int n = MultiByteToWideChar(page, 0, text.c_str(), -1, wide, 4096);
    if (n <= 0) continue;
    std::wstring entry = wide;
    bool absolute = IsStream(entry) || (entry.size() > 1 && (entry[1] == L':' || entry[0] == L'\\'));
    if (!absolute) entry = folder + entry;
    if (EndsWith(entry, L".m3u") || EndsWith(entry, L".m3u8") || EndsWith(entry, L".pls")) continue;
    added += EnqueuePath(entry);
  }
  fclose(file);
  return added;
}

int EnqueuePath(const std::wstring& path) {
  if (IsStream(path)) {
    Append(path, -1);
    return 1;
  }
  if (EndsWith(path, L".m3u") || EndsWith(path, L".m3u8")) return EnqueueList(path, false);
  if (EndsWith(path, L".pls")) return EnqueueList(path, true);
  if (!Exists(path)) return 0;  // gone: skipped, as a player skips a file it cannot open
  Append(path, LengthOf(path));
  return 1;
}

// WM_COPYDATA: 100 enqueues an ANSI path, 1100 a UTF-16 one (not understood by an older
// player). The data need not be terminated: it ends where its size says.
LRESULT AnswerCopyData(const COPYDATASTRUCT* data) {
  std::wstring path;
  LRESULT understood = 0;
  if (data && data->lpData && data->dwData == 100) {
    std::string ansi(static_cast<const char*>(data->lpData), data->cbData);
    ansi.resize(strnlen(ansi.c_str(), ansi.size()));
    wchar_t wide[4096];
    if (MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide, 4096) > 0) path = wide;
    understood = 1;
  } else if (data && data->lpData && data->dwData == 1100 && !Player.olderPlayer) {
    path.assign(static_cast<const wchar_t*>(data->lpData), data->cbData / sizeof(wchar_t));
    path.resize(wcsnlen(path.c_str(), path.size()));
    understood = 1;
  }
  int added = understood ? EnqueuePath(path) : 0;
  Log(WM_COPYDATA, data ? data->dwData : 0, 0, understood);
  PlayerLog.back().note = Utf8(path) + (understood ? " (+" + std::to_string(added) + ")" : "");
  return understood;
}

// What the window's playlist shows of an entry: the file's name, or the stream's address.
std::wstring EntryTitle(int index) {
  std::wstring path = EntryPath(index);
  if (!IsStream(path)) path.erase(0, path.find_last_of(L"\\/") + 1);
  return std::to_wstring(index + 1) + L". " + path;
}
