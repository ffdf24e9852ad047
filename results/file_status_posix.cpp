#include "results/file_status.h"

#include <sys/stat.h>
#include <time.h>

bool ReadLastWriteTime(const std::string& path, int64_t& time) {
    struct stat fileStatus;
    if (stat(path.c_str(), &fileStatus) != 0) return false;
    time = static_cast<int64_t>(fileStatus.st_mtim.tv_sec) * 1000000000 + fileStatus.st_mtim.tv_nsec;
    return true;
}

bool ReadFileStatus(const std::string& path, FileStatus& status) {
    struct stat fileStatus;
    if (stat(path.c_str(), &fileStatus) != 0) return false;
    struct tm local;
    if (localtime_r(&fileStatus.st_mtime, &local) == nullptr) return false;
    status.length = static_cast<int64_t>(fileStatus.st_size);
    status.year = local.tm_year + 1900;
    status.month = local.tm_mon + 1;
    status.day = local.tm_mday;
    status.hour = local.tm_hour;
    status.minute = local.tm_min;
    status.second = local.tm_sec;
    return true;
}
