// What each menu command does.
#pragma once

#include <windows.h>

void DispatchCommand(HWND mainWindow, int commandId);
