#include "tests/support/temp_tree.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <system_error>

#include "engine/folder_listing.h"
#ifdef _WIN32
#include "platform/wide_path.h"
#include "platform/wide_text.h"
#endif

namespace fs = std::filesystem;

fs::path NativePath(const std::string& path) {
#ifdef _WIN32
    return fs::path(WidePathFromUtf8(path));
#else
    return fs::path(path);
#endif
}

TempTree::TempTree() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path base = fs::temp_directory_path() /
                    ("tovrik-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(base);
#ifdef _WIN32
    root_ = Utf8FromWide(base.wstring());
#else
    root_ = base.string();
#endif
    while (root_.size() > 1 && (root_.back() == '/' || root_.back() == '\\')) root_.pop_back();
}

TempTree::~TempTree() {
    std::error_code ignored;
    fs::remove_all(NativePath(root_), ignored);
}

std::string TempTree::Path(const std::string& relative) const {
    std::string path = root_;
    path.push_back(kPathSeparator);
    for (char c : relative) path.push_back(c == '/' ? kPathSeparator : c);
    return path;
}

void TempTree::Folder(const std::string& relative) const { fs::create_directories(NativePath(Path(relative))); }

void TempTree::File(const std::string& relative, const std::string& contents) const {
    fs::path path = NativePath(Path(relative));
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

void TempTree::SparseFile(const std::string& relative, int64_t size, const std::string& head) const {
    File(relative, head);
    fs::resize_file(NativePath(Path(relative)), static_cast<std::uintmax_t>(size));
}

bool TempTree::HardLink(const std::string& existing, const std::string& link) const {
    std::error_code error;
    fs::create_directories(NativePath(Path(link)).parent_path(), error);
    fs::create_hard_link(NativePath(Path(existing)), NativePath(Path(link)), error);
    return !error;
}

std::string PatternBytes(size_t length, unsigned seed) {
    std::string bytes(length, '\0');
    uint32_t state = seed * 2654435761u + 12345u;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}
