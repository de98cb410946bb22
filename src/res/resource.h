// Resource and control ids, named once for the .rc and the code.
#pragma once

#define IDI_DAWNBELL 1

// ---- settings dialog (template 1) ----
#define IDD_SETTINGS 1

// ---- about box (template 2) ----
#define IDD_ABOUT 2
