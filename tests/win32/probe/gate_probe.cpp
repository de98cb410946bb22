// Loads the DLL named on the command line: exit 0 when it loaded, 1 when it was refused.
#include <windows.h>
#include <stdio.h>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HMODULE module = LoadLibraryA(argv[1]);
  DWORD version = GetVersion();
  printf("windows %lu.%lu: %s\n", static_cast<unsigned long>(LOBYTE(LOWORD(version))),
         static_cast<unsigned long>(HIBYTE(LOWORD(version))), module ? "loaded" : "refused");
  if (module) FreeLibrary(module);
  return module ? 0 : 1;
}
