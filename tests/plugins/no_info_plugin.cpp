// A DLL named like a plug-in that lacks GetPluginInfo.
#include <windows.h>

extern "C" __declspec(dllexport) int WINAPI GetPicture(const char*, long, unsigned, HANDLE*, HANDLE*, FARPROC, long) {
    return 2;
}
