#include "plugins/plugin_registry.h"

#include <windows.h>

#include "engine/folder_listing.h"
#include "platform/cp932_text.h"
#include "platform/kernel_handles.h"
#include "platform/wide_path.h"
#include "plugins/plugin_filter.h"

PluginRegistry g_pluginRegistry;

namespace {

using GetPluginInfoFunction = int(WINAPI*)(int infoNumber, char* buffer, int bufferLength);

constexpr int kPluginInfoBufferSize = 200;
constexpr char kPluginSuffix[] = ".spi";

bool HasPluginSuffix(const std::string& name) {
    const size_t suffixLength = sizeof kPluginSuffix - 1;
    return name.size() >= suffixLength &&
           EqualsIgnoringCase(name.substr(name.size() - suffixLength), kPluginSuffix);
}

// The plug-in is trusted with 200 bytes, not with terminating them: the
// last byte is always the terminator.
std::string PluginInfoText(GetPluginInfoFunction getPluginInfo, int infoNumber, bool& exists) {
    char buffer[kPluginInfoBufferSize] = {};
    exists = getPluginInfo(infoNumber, buffer, kPluginInfoBufferSize) != 0;
    buffer[kPluginInfoBufferSize - 1] = '\0';
    return buffer;
}

}  // namespace

void RegisterPlugin(const std::string& pluginPath) {
    std::wstring widePath = WidePathFromNarrow(pluginPath);
    if (widePath.empty()) return;
    UniqueModule module(LoadLibraryExW(widePath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!module) return;
    auto getPluginInfo = reinterpret_cast<GetPluginInfoFunction>(
        reinterpret_cast<void*>(GetProcAddress(module.get(), "GetPluginInfo")));
    if (!getPluginInfo) return;
    // The even numbers from 2 on are the file-type filters.
    for (int infoNumber = 2;; infoNumber += 2) {
        bool exists = false;
        std::string filter = PluginInfoText(getPluginInfo, infoNumber, exists);
        if (!exists) break;
        for (std::string& extension : ParseFilterExtensions(filter))
            g_pluginRegistry.entries.push_back(PluginEntry{std::move(extension), pluginPath});
    }
}

void LoadPlugins(const std::string& folder) {
    std::vector<PluginEntry>().swap(g_pluginRegistry.entries);
    if (folder.empty()) return;
    std::string prefix = folder;
    if (!EndsWithBackslash(prefix)) prefix.push_back('\\');
    std::vector<FolderEntry> entries;
    if (!ListFolderEntries(prefix, entries)) return;
    for (const FolderEntry& entry : entries) {
        if (entry.name.empty() || entry.name[0] == '.' || entry.isFolder || !HasPluginSuffix(entry.name)) continue;
        RegisterPlugin(prefix + entry.name);
    }
}
