// What an analysis run shows in the main window: the results tree, the
// progress dialog, the run and stop menu items and the final box.
#pragma once

#include <windows.h>

#include "engine/analysis_run.h"

// Every call comes from the coordinator thread and reaches the windows only
// through sent messages and calls the system carries out on the
// user-interface thread.
AnalysisView MainWindowAnalysisView(HWND mainWindow);
