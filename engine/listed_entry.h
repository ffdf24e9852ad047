// What the walk makes of one entry that the system's folder listing reports
// (FindFirstFileW's find data on Windows), decided without the system.
#pragma once

#include <cstdint>
#include <string>

#include "engine/folder_listing.h"

struct ListedEntry {
    std::u16string name;       // the entry's real name
    std::u16string shortName;  // its 8.3 alias, where the volume keeps one
    bool isFolder = false;
    bool isLink = false;  // a reparse point: the find data describe the link itself
    uint64_t size = 0;
};

// The entry as the walk takes it: always by its real name, in UTF-8, which
// every volume has and the user recognises; the alias, which exFAT, most
// network shares and new NTFS volumes lack, is never used. A link's folder
// flag, size and identity are left for the listing to read from what it
// leads to.
FolderEntry FolderEntryFromListing(const ListedEntry& listed);
