// tovrik-find: one full analysis of a folder from the command line, printing
// the groups exactly as the results tree labels them.
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "engine/analysis_run.h"
#include "engine/analysis_state.h"
#include "engine/catalogue.h"
#include "engine/folder_listing.h"
#include "engine/group_list.h"
#include "results/new_groups.h"
#include "results/results_csv.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitBadFolder = 3;
constexpr int kExitInterrupted = 130;

void PrintUsage(std::FILE* out) {
    std::fputs(
        "Usage: tovrik-find [--csv] FOLDER\n"
        "\n"
        "Finds files with identical contents beneath FOLDER and prints each set\n"
        "as a numbered group:\n"
        "  No.0  (1,234,567 byte)\n"
        "  <tab>full path of each member, the reference first\n"
        "With --csv, one line per file instead: group,size,path,first (RFC 4180\n"
        "quoting, UTF-8, first is 1 for the reference, else 0).\n"
        "Names starting with '.' are skipped; files are compared byte by byte.\n"
        "A summary line goes to standard error. Ctrl+C stops the analysis: the\n"
        "groups found so far are printed and the exit code is 130.\n",
        out);
}

extern "C" void OnInterrupt(int) { RequestStop(); }

struct RunSummary {
    size_t groups = 0;
    size_t filesInGroups = 0;
    double seconds = 0;
    int32_t cancelCode = kNoCancel;
};

void PrintGroups(int32_t& cursor, bool csv, RunSummary& summary) {
    for (const PresentedGroup& group : CollectNewGroups(cursor)) {
        ++summary.groups;
        summary.filesInGroups += group.paths.size();
        if (csv) {
            const std::string lines = ResultsCsvLines(group);
            std::fwrite(lines.data(), 1, lines.size(), stdout);
            continue;
        }
        std::fputs(group.label.c_str(), stdout);
        std::fputc('\n', stdout);
        for (const std::string& path : group.paths) {
            std::fputc('\t', stdout);
            std::fwrite(path.data(), 1, path.size(), stdout);
            std::fputc('\n', stdout);
        }
    }
}

AnalysisView CommandLineView(bool csv, RunSummary& summary) {
    AnalysisView view;
    view.clearResults = [] {};
    view.addNewGroups = [csv, &summary](int32_t& cursor) { PrintGroups(cursor, csv, summary); };
    view.setProgress = [](unsigned) {};
    view.switchRunMenu = [](bool) {};
    view.closeProgress = [] {};
    view.reportOutcome = [&summary](int32_t cancelCode, double seconds, const char*) {
        summary.cancelCode = cancelCode;
        summary.seconds = seconds;
    };
    return view;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        PrintUsage(stdout);
        return 0;
    }
    const bool csv = argc == 3 && std::strcmp(argv[1], "--csv") == 0;
    if ((argc != 2 && !csv) || argv[argc - 1][0] == '\0' || (argc == 2 && argv[1][0] == '-')) {
        PrintUsage(stderr);
        return kExitUsage;
    }
    std::string folder = argv[argc - 1];
    if (!IsListableFolder(folder)) {
        std::fprintf(stderr, "tovrik-find: cannot read folder '%s'\n", folder.c_str());
        return kExitBadFolder;
    }

#ifdef _WIN32
    // CSV lines end in CR LF already; text mode would make that CR CR LF.
    if (csv) _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::signal(SIGINT, OnInterrupt);
    RunSummary summary;
    BeginAnalysis();
    AnalysisCoordinator(folder, CommandLineView(csv, summary));
    std::fflush(stdout);
    std::fprintf(stderr, "%zu groups, %zu files in groups, %zu files catalogued, %.3f s\n", summary.groups,
                 summary.filesInGroups, RecordCount(), summary.seconds);
    return summary.cancelCode == kNoCancel ? 0 : kExitInterrupted;
}
