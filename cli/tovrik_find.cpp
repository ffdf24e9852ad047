// tovrik-find: one full analysis of a folder from the command line, printing
// the groups exactly as the results tree labels them, paths in UTF-8.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#endif

#include "cli/console_output.h"
#include "engine/analysis_run.h"
#include "engine/analysis_state.h"
#include "engine/catalogue.h"
#include "engine/folder_listing.h"
#include "engine/group_list.h"
#include "results/new_groups.h"
#include "results/results_csv.h"
#ifdef _WIN32
#include "platform/wide_text.h"
#endif

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

// The groups are written in one piece: a write per line or per byte would
// cost a system call each, minutes for a large tree.
void PrintGroups(int32_t& cursor, bool csv, RunSummary& summary) {
    std::string text;
    for (const PresentedGroup& group : CollectNewGroups(cursor)) {
        ++summary.groups;
        summary.filesInGroups += group.paths.size();
        if (csv) {
            text += ResultsCsvLines(group);
            continue;
        }
        text += GroupLabel(group.number, group.size);
        text += '\n';
        for (const std::string& path : group.paths) {
            text += '\t';
            text += path;
            text += '\n';
        }
    }
    WriteOutput(stdout, text);
}

// The arguments as UTF-8: on Windows from the wide command line, since the
// narrow one holds "?" for a folder name that the ANSI code page lacks.
std::vector<std::string> Arguments(int argc, char** argv) {
#ifdef _WIN32
    (void)argc;
    (void)argv;
    std::vector<std::string> arguments;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(Utf8FromWide(wide[i]));
    LocalFree(wide);
    return arguments;
#else
    return std::vector<std::string>(argv, argv + argc);
#endif
}

AnalysisView CommandLineView(RunSummary& summary) {
    AnalysisView view;
    view.clearResults = [] {};
    // The groups stay in the group list until the run is over and are
    // printed then, so the time the run reports is the analysis alone.
    view.addNewGroups = [](int32_t&, bool) {};
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
    const std::vector<std::string> arguments = Arguments(argc, argv);
    const size_t count = arguments.size();
    if (count == 2 && (arguments[1] == "--help" || arguments[1] == "-h")) {
        PrintUsage(stdout);
        return 0;
    }
    const bool csv = count == 3 && arguments[1] == "--csv";
    if ((count != 2 && !csv) || arguments[count - 1].empty() || (count == 2 && arguments[1][0] == '-')) {
        PrintUsage(stderr);
        return kExitUsage;
    }
    const std::string folder = arguments[count - 1];
    if (!IsListableFolder(folder)) {
        WriteOutput(stderr, "tovrik-find: cannot read folder '" + folder + "'\n");
        return kExitBadFolder;
    }

#ifdef _WIN32
    // Lines are written as they are: text mode would turn the CSV's CR LF
    // into CR CR LF and count bytes of UTF-8 as characters.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::signal(SIGINT, OnInterrupt);
    RunSummary summary;
    BeginAnalysis();
    AnalysisCoordinator(folder, CommandLineView(summary));
    int32_t cursor = 0;
    PrintGroups(cursor, csv, summary);
    std::fflush(stdout);
    std::fprintf(stderr, "%zu groups, %zu files in groups, %zu files catalogued, %.3f s\n", summary.groups,
                 summary.filesInGroups, RecordCount(), summary.seconds);
    return summary.cancelCode == kNoCancel ? 0 : kExitInterrupted;
}
