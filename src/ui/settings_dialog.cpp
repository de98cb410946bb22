#include "settings_dialog.h"

#include "../settings/settings.h"

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: SettingsDialog = dialog; return 0;
    case WM_CLOSE: EndDialog(dialog, 0); SettingsDialog = nullptr; return 0;
  }
  return 0;
}
