// The system DPI (Win32 builds only). The program declares itself system DPI
// aware, so this is the DPI every window of it is drawn at, fixed for the
// life of the process.
#pragma once

int SystemDpi();

// A layout size designed at 96 DPI, in pixels at the system DPI.
int ScaleToSystemDpi(int pixels);
