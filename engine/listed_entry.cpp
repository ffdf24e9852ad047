#include "engine/listed_entry.h"

#include "platform/utf8_text.h"

FolderEntry FolderEntryFromListing(const ListedEntry& listed) {
    FolderEntry entry;
    entry.name = Utf8FromUtf16(listed.name);
    if (!listed.isLink) {
        entry.isFolder = listed.isFolder;
        entry.size = entry.isFolder ? 0 : static_cast<int64_t>(listed.size);
    }
    return entry;
}
