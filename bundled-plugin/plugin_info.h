// The texts GetPluginInfo hands out: number 0 is the interface version
// ("00IN", an import filter), 1 the plug-in's name, then for each format a
// filter text (wildcards separated by ";") followed by its description.
#pragma once

// Copies text number `infoNumber` into `buffer`, cut short where needed so
// that it and its terminator fit in `bufferLength` bytes. Returns the number
// of characters written, 0 for a number that does not exist.
int CopyPluginInfo(int infoNumber, char* buffer, int bufferLength);
