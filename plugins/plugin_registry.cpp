#include "plugins/plugin_registry.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "engine/folder_listing.h"
#include "platform/path_text.h"
#include "platform/wide_text.h"
#include "plugins/decoder_helper.h"
#include "plugins/decoder_protocol.h"
#include "plugins/plugin_filter.h"

PluginRegistry g_pluginRegistry;

namespace {

constexpr char kPluginSuffix[] = ".spi";
// The whole load, however many plug-ins hang: the window waits for it.
constexpr DWORD kRegistryLoadWaitMs = 3000;
// A plug-in that has not answered within this long keeps its helper, and
// other helpers ask the plug-ins after it: one helper while all answer, a
// few side by side once one hangs, so that a row of hanging plug-ins costs
// the load's allowance once rather than each its own.
constexpr ULONGLONG kPatienceMs = 200;
constexpr size_t kHelpersWhileAllAnswer = 1;
constexpr size_t kHelpersOnceOneHangs = 4;
constexpr size_t kMostRegistryHelpers = 16;

bool HasPluginSuffix(const std::string& name) {
    const size_t suffixLength = sizeof kPluginSuffix - 1;
    return name.size() >= suffixLength &&
           EqualsIgnoringCase(name.substr(name.size() - suffixLength), kPluginSuffix);
}

// One helper asking plug-ins in turn on a thread of its own.
struct Lane {
    DecoderHelper helper;
    ULONGLONG askingSince = 0;  // when its current plug-in was asked; 0 while it asks none
    bool finished = false;
    std::thread thread;
};

// The plug-ins to ask and what each answered, shared by the lanes under
// `lock`; the user-interface thread waits on `changed`.
struct FilterQueries {
    explicit FilterQueries(const std::vector<std::string>& plugins)
        : pluginPaths(plugins), replies(plugins.size()), deadline(HelperDeadlineAfter(kRegistryLoadWaitMs)) {}
    const std::vector<std::string>& pluginPaths;
    std::vector<std::optional<FiltersReply>> replies;  // by plug-in, in listing order
    const HelperDeadline deadline;
    std::mutex lock;
    std::condition_variable changed;
    size_t next = 0;           // the first plug-in no lane has taken
    bool helperFailed = false;  // a helper would not start: none will
};

bool NothingLeftToAsk(const FilterQueries& queries) {
    return queries.next == queries.pluginPaths.size() || GetTickCount64() >= queries.deadline;
}

void AskInTurn(FilterQueries& queries, Lane& lane) {
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(queries.lock);
            if (NothingLeftToAsk(queries)) break;
        }
        // Started before a plug-in is taken: the start is no plug-in's wait.
        const bool ready = ReadyDecoderHelper(lane.helper);
        size_t index = 0;
        {
            std::lock_guard<std::mutex> guard(queries.lock);
            queries.helperFailed = queries.helperFailed || !ready;
            if (!ready || NothingLeftToAsk(queries)) break;
            index = queries.next++;
            lane.askingSince = GetTickCount64();
        }
        const DecoderRequest request{DecoderRequestKind::kPluginFilters, queries.pluginPaths[index], std::string()};
        std::string answer;
        FiltersReply reply;
        const bool answered = AskDecoderHelper(lane.helper, EncodeRequest(request), queries.deadline, answer) &&
                              DecodeFiltersReply(answer, reply);
        if (answered) {
            EndDecoderHelperHoldingTooMuch(lane.helper, reply.committedKiB);
        } else {
            EndDecoderHelper(lane.helper);
        }
        std::lock_guard<std::mutex> guard(queries.lock);
        if (answered) queries.replies[index] = std::move(reply);
        lane.askingSince = 0;
        queries.changed.notify_all();
    }
    std::lock_guard<std::mutex> guard(queries.lock);
    lane.finished = true;
    queries.changed.notify_all();
}

bool Stuck(const Lane& lane, ULONGLONG now) {
    return !lane.finished && lane.askingSince != 0 && now - lane.askingSince >= kPatienceMs;
}

// Whether one more lane would move things on: fewer lanes are starting or
// asking within the patience than are wanted, and than plug-ins wait.
bool WantsAnotherLane(const std::deque<Lane>& lanes, size_t waitingPlugins, ULONGLONG now) {
    size_t moving = 0;
    bool anyStuck = false;
    for (const Lane& lane : lanes) {
        if (Stuck(lane, now)) {
            anyStuck = true;
        } else if (!lane.finished) {
            ++moving;
        }
    }
    return moving < std::min(waitingPlugins, anyStuck ? kHelpersOnceOneHangs : kHelpersWhileAllAnswer);
}

bool AllLanesIdle(const std::deque<Lane>& lanes) {
    for (const Lane& lane : lanes) {
        if (!lane.finished && lane.askingSince != 0) return false;
    }
    return true;
}

// Each plug-in's filter texts, in the order of `pluginPaths`; none for a
// plug-in that could not be asked or gave no answer by the load's deadline.
// Well-behaved plug-ins are all asked by one helper, one after another; a
// plug-in that hangs holds up only its own helper.
std::vector<std::optional<FiltersReply>> AskFiltersSideBySide(const std::vector<std::string>& pluginPaths) {
    FilterQueries queries(pluginPaths);
    std::deque<Lane> lanes;  // a deque: a lane stays where it is while others are added
    {
        std::unique_lock<std::mutex> guard(queries.lock);
        for (;;) {
            const ULONGLONG now = GetTickCount64();
            const size_t waiting = pluginPaths.size() - queries.next;
            if ((waiting == 0 && AllLanesIdle(lanes)) || queries.helperFailed || now >= queries.deadline) break;
            if (lanes.size() < kMostRegistryHelpers && WantsAnotherLane(lanes, waiting, now)) {
                lanes.emplace_back();
                Lane& lane = lanes.back();
                lane.thread = std::thread(AskInTurn, std::ref(queries), std::ref(lane));
                continue;
            }
            queries.changed.wait_for(guard, std::chrono::milliseconds(20));
        }
    }
    // Every lane's wait ends at the deadline at the latest.
    {
        std::lock_guard<std::mutex> guard(queries.lock);
        queries.next = pluginPaths.size();
    }
    for (Lane& lane : lanes) lane.thread.join();
    // An idle helper goes on to decode the previews; the others end.
    for (Lane& lane : lanes) {
        if (!g_decoderHelper.process && lane.helper.process) {
            g_decoderHelper = std::move(lane.helper);
        } else {
            EndDecoderHelper(lane.helper);
        }
    }
    std::lock_guard<std::mutex> guard(queries.lock);
    return std::move(queries.replies);
}

void AppendRows(const std::string& pluginPath, const FiltersReply& reply) {
    // The plug-in writes its filters in code page 932; paths compare in UTF-8.
    for (const std::string& filter : reply.filters) {
        for (const std::string& extension : ParseFilterExtensions(filter))
            g_pluginRegistry.entries.push_back(PluginEntry{Utf8FromWide(WideFromCp932(extension)), pluginPath});
    }
}

void RegisterPlugins(const std::vector<std::string>& pluginPaths) {
    const std::vector<std::optional<FiltersReply>> replies = AskFiltersSideBySide(pluginPaths);
    for (size_t i = 0; i < pluginPaths.size(); ++i) {
        if (replies[i]) AppendRows(pluginPaths[i], *replies[i]);
    }
}

}  // namespace

void RegisterPlugin(const std::string& pluginPath) { RegisterPlugins({pluginPath}); }

void LoadPlugins(const std::string& folder) {
    std::vector<PluginEntry>().swap(g_pluginRegistry.entries);
    if (folder.empty()) return;
    std::string prefix = folder;
    if (prefix.back() != '\\') prefix.push_back('\\');
    std::vector<FolderEntry> entries;
    if (!ListFolderEntries(prefix, entries)) return;
    std::vector<std::string> pluginPaths;
    for (const FolderEntry& entry : entries) {
        if (entry.name.empty() || entry.name[0] == '.' || entry.isFolder || !HasPluginSuffix(entry.name)) continue;
        pluginPaths.push_back(prefix + entry.name);
    }
    RegisterPlugins(pluginPaths);
}
