#include "shell/recycle_bin.h"

#include <shellapi.h>

#include "platform/wide_path.h"

namespace {

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

std::vector<bool> SendFilesToRecycleBin(HWND owner, const std::vector<std::string>& paths) {
    std::vector<bool> gone(paths.size(), false);
    std::vector<std::wstring> widePaths;
    std::wstring sources;  // names separated by one zero, ended by two
    for (const std::string& path : paths) {
        widePaths.push_back(WidePathFromNarrow(path));
        if (widePaths.back().empty()) continue;
        sources += widePaths.back();
        sources.push_back(L'\0');
    }
    if (sources.empty()) return gone;
    sources.push_back(L'\0');
    SHFILEOPSTRUCTW operation = {};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = sources.c_str();
    // FOF_WANTNUKEWARNING: where there is no recycle bin the shell would
    // otherwise delete for good without a word.
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING;
    SHFileOperationW(&operation);
    // Whatever the shell reports (0 also when the user declined its warning
    // or cancelled), a file counts as recycled only once it is gone.
    for (size_t i = 0; i < paths.size(); ++i) gone[i] = !widePaths[i].empty() && !FileExists(widePaths[i]);
    return gone;
}
