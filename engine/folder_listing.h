// Lists one folder's entries, the one place where the walk meets the file
// system's enumeration (FindFirstFile on Windows, readdir on POSIX).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/file_identity.h"

// The separator the scan appends after a folder path.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

struct FolderEntry {
    std::string name;  // the real name in UTF-8, never an 8.3 alias
    bool isFolder = false;
    int64_t size = 0;  // the length of the file a link leads to, for links
    // A folder's identity, where the listing learns it at no extra cost;
    // otherwise the walk asks for it.
    bool identityKnown = false;
    FileIdentity identity;
};

// Every entry of the folder `prefix` names (a folder path followed by one
// separator), in the order the file system delivers them, "." and ".."
// included, each by its real name. Links whose target cannot be queried,
// and on POSIX anything other than regular files and folders, are left out.
// Returns false when the folder cannot be listed at all.
bool ListFolderEntries(const std::string& prefix, std::vector<FolderEntry>& entries);

// True when `folder` exists and can be listed (for front ends that report).
bool IsListableFolder(const std::string& folder);
