#include "shell/recycle_bin.h"

#include <shellapi.h>

#include "platform/wide_path.h"
#include "platform/wide_text.h"

namespace {

bool FileExists(const std::string& path) {
    std::wstring wide = WidePathFromUtf8(path);
    return !wide.empty() && GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The shell takes no "\\?\" prefix and stops at the classic limit; a longer
// path goes to it in its 8.3 form, where that is short enough.
std::wstring PathForTheShell(const std::string& path) {
    const std::wstring wide = WideFromUtf8(path);
    if (wide.size() < MAX_PATH) return wide;
    std::wstring shortPath = ShortPathOf(WidePathForAnyLength(wide));
    if (shortPath.compare(0, 8, L"\\\\?\\UNC\\") == 0) {
        shortPath.replace(0, 8, L"\\\\");
    } else if (shortPath.compare(0, 4, L"\\\\?\\") == 0) {
        shortPath.erase(0, 4);
    }
    return !shortPath.empty() && shortPath.size() < MAX_PATH ? shortPath : wide;
}

struct ShellDeleteOutcome {
    int result = -1;
    bool aborted = false;
    std::vector<bool> gone;
};

ShellDeleteOutcome DeleteWithUndo(HWND owner, const std::vector<std::string>& paths) {
    ShellDeleteOutcome outcome;
    // Built afresh for every call: a reused list could still hold a stale
    // name after the double zero the shell reads up to.
    std::wstring sources;  // names separated by one zero, ended by two
    for (const std::string& path : paths) {
        const std::wstring shellPath = PathForTheShell(path);
        if (shellPath.empty()) continue;
        sources += shellPath;
        sources.push_back(L'\0');
    }
    if (!sources.empty()) {
        sources.push_back(L'\0');
        SHFILEOPSTRUCTW operation = {};
        operation.hwnd = owner;
        operation.wFunc = FO_DELETE;
        operation.pFrom = sources.c_str();
        // FOF_WANTNUKEWARNING: where there is no recycle bin the shell would
        // otherwise delete for good without a word.
        operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING;
        outcome.result = SHFileOperationW(&operation);
        outcome.aborted = operation.fAnyOperationsAborted != FALSE;
    }
    // The shell reports 0 also when the user declined its warning: a file
    // counts as recycled only once it is gone.
    for (const std::string& path : paths) outcome.gone.push_back(!FileExists(path));
    return outcome;
}

}  // namespace

bool SendToRecycleBin(HWND owner, const std::string& path) {
    const ShellDeleteOutcome outcome = DeleteWithUndo(owner, {path});
    return outcome.result == 0 && !outcome.aborted && outcome.gone[0];
}

std::vector<bool> SendFilesToRecycleBin(HWND owner, const std::vector<std::string>& paths) {
    return DeleteWithUndo(owner, paths).gone;
}
