#include "engine/file_identity.h"

#include <sys/stat.h>

bool QueryFileIdentity(const std::string& path, FileIdentity& identity) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) return false;
    identity = FileIdentity{static_cast<uint64_t>(status.st_dev), 0, static_cast<uint64_t>(status.st_ino)};
    return true;
}
