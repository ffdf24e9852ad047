// The plug-in registry: which Susie plug-in (.spi) declared which file
// extension, in registration order. The earliest row wins a lookup.
#pragma once

#include <string>
#include <vector>

struct PluginEntry {
    std::string extension;   // without the dot, letter case as declared, UTF-8
    std::string pluginPath;  // full path of the .spi file, UTF-8
};

struct PluginRegistry {
    std::vector<PluginEntry> entries;
};

extern PluginRegistry g_pluginRegistry;

// Replaces the registry with the plug-ins of `folder` (empty: none).
void LoadPlugins(const std::string& folder);

// Appends the rows one plug-in declares. The decoder helper loads it only
// for the asking; a plug-in that fails there contributes no row.
void RegisterPlugin(const std::string& pluginPath);
