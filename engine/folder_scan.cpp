#include "engine/folder_scan.h"

#include <vector>

#include "engine/analysis_state.h"
#include "engine/catalogue.h"
#include "engine/file_identity.h"
#include "engine/folder_listing.h"

namespace {

// One folder on the current walk path. The walk keeps them on the heap, not
// on the call stack, so no depth of folders overflows the stack; each
// folder's entries are read whole, so no depth exhausts open handles either.
struct WalkFrame {
    std::string folder;
    std::string prefix;  // folder + separator, always appended
    std::vector<FolderEntry> entries;
    size_t next = 0;
    // The folder's entry in the catalogue's folder table, made with its first file.
    bool catalogued = false;
    uint32_t catalogueFolder = 0;
    bool identityKnown = false;
    bool identityValid = false;
    FileIdentity identity;
};

const FileIdentity* FrameIdentity(WalkFrame& frame) {
    if (!frame.identityKnown) {
        frame.identityValid = QueryFileIdentity(frame.folder, frame.identity);
        frame.identityKnown = true;
    }
    return frame.identityValid ? &frame.identity : nullptr;
}

// A folder link or junction back to a folder on the walk path would make
// the walk endless. An unknown identity matches nothing.
bool LeadsBackToWalkPath(const FileIdentity* identity, std::vector<WalkFrame>& path) {
    if (!identity) return false;
    for (WalkFrame& frame : path) {
        const FileIdentity* ancestor = FrameIdentity(frame);
        if (ancestor && *ancestor == *identity) return true;
    }
    return false;
}

// `identity`, when known, is kept for the cycle checks of the folders below.
bool EnterFolder(const std::string& folder, const FileIdentity* identity, std::vector<WalkFrame>& path) {
    WalkFrame frame;
    frame.folder = folder;
    frame.prefix = folder + kPathSeparator;
    if (identity) {
        frame.identity = *identity;
        frame.identityKnown = frame.identityValid = true;
    }
    if (!ListFolderEntries(frame.prefix, frame.entries)) return false;
    path.push_back(std::move(frame));
    return true;
}

}  // namespace

void ScanFolder(const std::string& folder, const AnalysisFilter& filter) {
    std::vector<WalkFrame> path;
    EnterFolder(folder, nullptr, path);
    while (!path.empty()) {
        WalkFrame& frame = path.back();
        if (frame.next >= frame.entries.size()) {
            path.pop_back();
            continue;
        }
        // Every entry after a folder's first comes from a find-next, after
        // which a stop request ends that folder's listing.
        if (frame.next > 0 && StopRequested()) {
            path.pop_back();
            continue;
        }
        const FolderEntry& entry = frame.entries[frame.next++];
        if (entry.name.empty() || entry.name[0] == '.') continue;
        if (entry.isFolder) {
            if (SkipsFolderNamed(filter, entry.name)) continue;
            const std::string fullPath = frame.prefix + entry.name;
            FileIdentity identity = entry.identity;
            const bool identityValid = entry.identityKnown || QueryFileIdentity(fullPath, identity);
            const FileIdentity* known = identityValid ? &identity : nullptr;
            if (!LeadsBackToWalkPath(known, path)) EnterFolder(fullPath, known, path);
        } else {
            if (entry.size < filter.minimumSize) continue;
            if (!frame.catalogued) {
                frame.catalogueFolder = AddFolder(frame.prefix);
                frame.catalogued = true;
            }
            AddFile(frame.catalogueFolder, entry.name, entry.size);
        }
    }
}
