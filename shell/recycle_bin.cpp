#include "shell/recycle_bin.h"

#include <shellapi.h>
#include <shobjidl.h>

#include "engine/file_information_win32.h"
#include "engine/input_file.h"
#include "platform/com_handles.h"
#include "platform/wide_path.h"
#include "platform/wide_text.h"

namespace {

bool IdentityAt(const std::wstring& path, FileIdentity& identity) {
    UniqueHandle handle = OpenForQuery(WidePathForAnyLength(path));
    int64_t length = 0;
    return handle && DescribeFileHandle(handle.get(), length, identity);
}

bool NamesHeldFile(const std::wstring& path, const FileIdentity& held) {
    FileIdentity identity;
    return IdentityAt(path, identity) && identity == held;
}

// The shell reads no "\\?\" path and normalises the ones it reads (a name
// ending in a space or a dot loses it): it gets the bare path only where
// that normal form is the path itself and fits the classic limit, else the
// 8.3 form where that does and names the same file. Empty when neither.
std::wstring PathForTheShell(const FileToRecycle& file) {
    const std::wstring wide = WideFromUtf8(file.path);
    if (wide.empty()) return std::wstring();
    if (wide.size() < MAX_PATH && NormalFormOf(wide) == wide) return wide;
    std::wstring shortPath = ShortPathOf(WidePathForAnyLength(wide));
    if (shortPath.compare(0, 8, L"\\\\?\\UNC\\") == 0) {
        shortPath.replace(0, 8, L"\\\\");
    } else if (shortPath.compare(0, 4, L"\\\\?\\") == 0) {
        shortPath.erase(0, 4);
    }
    if (shortPath.empty() || shortPath.size() >= MAX_PATH || NormalFormOf(shortPath) != shortPath ||
        !NamesHeldFile(shortPath, file.identity)) {
        return std::wstring();
    }
    return shortPath;
}

DWORD OperationFlags(ShellProgress progress) {
    // FOF_WANTNUKEWARNING: where there is no recycle bin the shell would
    // otherwise delete for good without a word. No flag silences errors.
    return FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_WANTNUKEWARNING | (progress == ShellProgress::kSilent ? FOF_SILENT : 0);
}

// A COM object goes through Release, never deleted through its interface,
// whose destructor is not virtual by design.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// Checks every item the shell is about to delete against the file held for
// it, right before the shell acts: a mismatch cancels what remains (the
// only way a sink can refuse an item), and the caller goes on without it.
class ExactDeleteSink final : public IFileOperationProgressSink {
public:
    ExactDeleteSink(const std::vector<FileToRecycle>& files, const std::vector<UniqueCom<IShellItem>>& items,
                    bool (*stopRequested)())
        : files_(files), items_(items), stopRequested_(stopRequested), handled_(files.size(), false) {}

    static constexpr size_t kNone = static_cast<size_t>(-1);
    size_t mismatched = kNone;  // the item that was not its held file
    bool stopped = false;

    bool Handled(size_t i) const { return handled_[i]; }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IFileOperationProgressSink) {
            *out = static_cast<IFileOperationProgressSink*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on its caller's stack, longer than the operation.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP PreDeleteItem(DWORD, IShellItem* item) override {
        if (stopRequested_ && stopRequested_()) {
            stopped = true;
            return HRESULT_FROM_WIN32(ERROR_CANCELLED);
        }
        FileIdentity identity;
        const bool known = ItemIdentity(item, identity);
        current_ = Position(item, known ? &identity : nullptr);
        if (current_ != kNone && !handled_[current_] && known && identity == files_[current_].identity) return S_OK;
        // An item that is none of ours cancels the rest, with no retry.
        mismatched = current_;
        return HRESULT_FROM_WIN32(ERROR_CANCELLED);
    }
    STDMETHODIMP PostDeleteItem(DWORD, IShellItem*, HRESULT, IShellItem*) override {
        if (current_ != kNone) handled_[current_] = true;
        current_ = kNone;
        return S_OK;
    }

    STDMETHODIMP StartOperations() override { return S_OK; }
    STDMETHODIMP FinishOperations(HRESULT) override { return S_OK; }
    STDMETHODIMP PreRenameItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
    STDMETHODIMP PostRenameItem(DWORD, IShellItem*, LPCWSTR, HRESULT, IShellItem*) override { return S_OK; }
    STDMETHODIMP PreMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override { return S_OK; }
    STDMETHODIMP PostMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT, IShellItem*) override { return S_OK; }
    STDMETHODIMP PreCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override { return S_OK; }
    STDMETHODIMP PostCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT, IShellItem*) override { return S_OK; }
    STDMETHODIMP PreNewItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
    STDMETHODIMP PostNewItem(DWORD, IShellItem*, LPCWSTR, LPCWSTR, DWORD, HRESULT, IShellItem*) override {
        return S_OK;
    }
    STDMETHODIMP UpdateProgress(UINT, UINT) override { return S_OK; }
    STDMETHODIMP ResetTimer() override { return S_OK; }
    STDMETHODIMP PauseTimer() override { return S_OK; }
    STDMETHODIMP ResumeTimer() override { return S_OK; }

private:
    // The queued item the shell names, else the unhandled one of the same
    // identity (the shell may hand over an item of its own making).
    size_t Position(IShellItem* item, const FileIdentity* identity) const {
        for (size_t i = 0; i < items_.size(); ++i) {
            int order = 1;
            if (items_[i] && SUCCEEDED(items_[i]->Compare(item, SICHINT_CANONICAL, &order)) && order == 0) return i;
        }
        for (size_t i = 0; identity && i < files_.size(); ++i) {
            if (!handled_[i] && files_[i].identity == *identity) return i;
        }
        return kNone;
    }

    static bool ItemIdentity(IShellItem* item, FileIdentity& identity) {
        LPWSTR path = nullptr;
        if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &path)) || !path) return false;
        const bool known = IdentityAt(path, identity);
        CoTaskMemFree(path);
        return known;
    }

    const std::vector<FileToRecycle>& files_;
    const std::vector<UniqueCom<IShellItem>>& items_;
    bool (*stopRequested_)();
    std::vector<bool> handled_;
    size_t current_ = kNone;
};

#pragma GCC diagnostic pop

// The file operation with the sink set up, or null where the system does
// not have it (Wine's reports E_NOTIMPL).
UniqueCom<IFileOperation> FileOperationWithSink(HWND owner, ShellProgress progress, ExactDeleteSink& sink,
                                                DWORD& cookie) {
    IFileOperation* created = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOperation, nullptr, CLSCTX_ALL, IID_IFileOperation,
                                reinterpret_cast<void**>(&created)))) {
        return nullptr;
    }
    UniqueCom<IFileOperation> operation(created);
    if (FAILED(operation->SetOwnerWindow(owner)) || FAILED(operation->SetOperationFlags(OperationFlags(progress))) ||
        FAILED(operation->Advise(&sink, &cookie))) {
        return nullptr;
    }
    return operation;
}

// Where the system has the file operation with a progress sink: each item
// is checked by the shell's own call-back right before it goes. False when
// it is not to be had, with nothing done.
bool RecycleThroughFileOperation(HWND owner, const std::vector<FileToRecycle>& files,
                                 const std::vector<std::wstring>& shellPaths, ShellProgress progress,
                                 bool (*stopRequested)(), std::vector<bool>& acted) {
    std::vector<UniqueCom<IShellItem>> items(files.size());
    ExactDeleteSink sink(files, items, stopRequested);
    DWORD cookie = 0;
    UniqueCom<IFileOperation> operation = FileOperationWithSink(owner, progress, sink, cookie);
    if (!operation) return false;
    for (size_t i = 0; i < files.size(); ++i) {
        IShellItem* item = nullptr;
        if (!shellPaths[i].empty() &&
            SUCCEEDED(SHCreateItemFromParsingName(shellPaths[i].c_str(), nullptr, IID_IShellItem,
                                                  reinterpret_cast<void**>(&item)))) {
            items[i].reset(item);
        }
    }
    std::vector<bool> refused(files.size(), false);
    // A refused item cancels the rest: the rest goes in the next operation.
    while (operation) {
        bool queued = false;
        for (size_t i = 0; i < files.size(); ++i) {
            if (items[i] && !refused[i] && !sink.Handled(i) && SUCCEEDED(operation->DeleteItem(items[i].get(), nullptr)))
                queued = acted[i] = true;
        }
        if (!queued) break;
        sink.mismatched = ExactDeleteSink::kNone;
        operation->PerformOperations();
        operation->Unadvise(cookie);
        if (sink.mismatched == ExactDeleteSink::kNone || sink.stopped) break;
        refused[sink.mismatched] = true;
        acted[sink.mismatched] = false;
        operation = FileOperationWithSink(owner, progress, sink, cookie);
    }
    return true;
}

// The classic shell call, where the sink is not to be had: each path is
// checked just before the call, so only a swap in the moment between the
// check and the shell's own step can slip through.
void RecycleThroughShellCall(HWND owner, const std::vector<FileToRecycle>& files,
                             const std::vector<std::wstring>& shellPaths, ShellProgress progress,
                             std::vector<bool>& acted) {
    // Built afresh for every call: a reused list could still hold a stale
    // name after the double zero the shell reads up to.
    std::wstring sources;  // names separated by one zero, ended by two
    for (size_t i = 0; i < files.size(); ++i) {
        if (shellPaths[i].empty() || !NamesHeldFile(shellPaths[i], files[i].identity)) continue;
        sources += shellPaths[i];
        sources.push_back(L'\0');
        acted[i] = true;
    }
    if (sources.empty()) return;
    sources.push_back(L'\0');
    SHFILEOPSTRUCTW operation = {};
    operation.hwnd = owner;
    operation.wFunc = FO_DELETE;
    operation.pFrom = sources.c_str();
    operation.fFlags = static_cast<FILEOP_FLAGS>(OperationFlags(progress));
    SHFileOperationW(&operation);
}

}  // namespace

std::vector<bool> RecycleExactFiles(HWND owner, const std::vector<FileToRecycle>& files, ShellProgress progress,
                                    bool (*stopRequested)()) {
    std::vector<std::wstring> shellPaths;
    shellPaths.reserve(files.size());
    for (const FileToRecycle& file : files) shellPaths.push_back(PathForTheShell(file));
    std::vector<bool> acted(files.size(), false);
    const ScopedComInitialisation com;
    const bool done = com.usable() && RecycleThroughFileOperation(owner, files, shellPaths, progress, stopRequested, acted);
    if (!done && !(stopRequested && stopRequested())) RecycleThroughShellCall(owner, files, shellPaths, progress, acted);
    // The shell reports success also when the user declined its warning, and
    // what a cancel left: a file counts as gone only once its path no longer
    // leads to it.
    std::vector<bool> gone(files.size(), false);
    for (size_t i = 0; i < files.size(); ++i) {
        gone[i] = acted[i] && !NamesHeldFile(WidePathFromUtf8(files[i].path), files[i].identity);
    }
    return gone;
}

bool SendToRecycleBin(HWND owner, const std::string& path) {
    // Held only so that its identity names it until the shell is done; the
    // user chose this very file, whoever else has it open.
    InputFile held = OpenInputFile(path, ReadPattern::kProbe, InputSharing::kEveryone);
    int64_t length = 0;
    FileToRecycle file{path, FileIdentity{}};
    if (!held || !DescribeInputFile(*held, length, file.identity)) return false;
    return RecycleExactFiles(owner, {file}, ShellProgress::kShown)[0];
}
