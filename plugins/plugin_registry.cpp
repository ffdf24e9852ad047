#include "plugins/plugin_registry.h"

#include "engine/folder_listing.h"
#include "platform/path_text.h"
#include "platform/wide_text.h"
#include "plugins/decoder_helper.h"
#include "plugins/decoder_protocol.h"
#include "plugins/plugin_filter.h"

PluginRegistry g_pluginRegistry;

namespace {

constexpr char kPluginSuffix[] = ".spi";

bool HasPluginSuffix(const std::string& name) {
    const size_t suffixLength = sizeof kPluginSuffix - 1;
    return name.size() >= suffixLength &&
           EqualsIgnoringCase(name.substr(name.size() - suffixLength), kPluginSuffix);
}

}  // namespace

void RegisterPlugin(const std::string& pluginPath) {
    // The plug-in is asked in the decoder helper: one that crashes or hangs
    // there is left out, and the next plug-in goes to a new helper.
    std::string answer;
    const DecoderRequest request{DecoderRequestKind::kPluginFilters, pluginPath, std::string()};
    if (!AskDecoderHelper(EncodeRequest(request), kFiltersWaitMs, answer)) return;
    FiltersReply reply;
    if (!DecodeFiltersReply(answer, reply)) {
        EndDecoderHelper();
        return;
    }
    // The plug-in writes its filters in code page 932; paths compare in UTF-8.
    for (const std::string& filter : reply.filters) {
        for (const std::string& extension : ParseFilterExtensions(filter))
            g_pluginRegistry.entries.push_back(PluginEntry{Utf8FromWide(WideFromCp932(extension)), pluginPath});
    }
}

void LoadPlugins(const std::string& folder) {
    std::vector<PluginEntry>().swap(g_pluginRegistry.entries);
    if (folder.empty()) return;
    std::string prefix = folder;
    if (prefix.back() != '\\') prefix.push_back('\\');
    std::vector<FolderEntry> entries;
    if (!ListFolderEntries(prefix, entries)) return;
    for (const FolderEntry& entry : entries) {
        if (entry.name.empty() || entry.name[0] == '.' || entry.isFolder || !HasPluginSuffix(entry.name)) continue;
        RegisterPlugin(prefix + entry.name);
    }
}
