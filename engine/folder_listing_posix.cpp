#include "engine/folder_listing.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <memory>

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

}  // namespace

bool ListFolderEntries(const std::string& prefix, std::vector<FolderEntry>& entries) {
    entries.clear();
    DirHandle dir(opendir(prefix.c_str()));
    if (!dir) return false;
    const int dirFd = dirfd(dir.get());
    while (const dirent* item = readdir(dir.get())) {
        FolderEntry entry;
        entry.name = item->d_name;
        if (entry.name[0] == '.') {
            // Skipped by the walk anyway; spare the status query.
            entries.push_back(std::move(entry));
            continue;
        }
        struct stat status;
        // Follows links, as the status query of a path does.
        if (fstatat(dirFd, item->d_name, &status, 0) != 0) continue;
        if (S_ISDIR(status.st_mode)) {
            entry.isFolder = true;
            entry.identityKnown = true;
            entry.identity = FileIdentity{static_cast<uint64_t>(status.st_dev), 0, static_cast<uint64_t>(status.st_ino)};
        } else if (S_ISREG(status.st_mode)) {
            entry.size = static_cast<int64_t>(status.st_size);
        } else {
            continue;  // a FIFO or device would block or never end when read
        }
        entries.push_back(std::move(entry));
    }
    return true;
}

bool IsListableFolder(const std::string& folder) {
    DirHandle dir(opendir(folder.c_str()));
    return dir != nullptr;
}
