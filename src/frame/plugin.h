// The plug-in's three entries, and the export that hands the host its descriptor.
#pragma once
#include "../seam/descriptor.h"

int PluginInit();
int ShowSettings();
int PluginQuit();

extern "C" __declspec(dllexport) PluginDescriptor* winampGetGeneralPurposePlugin();
