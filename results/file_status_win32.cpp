#include "results/file_status.h"

#include <windows.h>

#include "platform/wide_path.h"

bool ReadLastWriteTime(const std::string& path, int64_t& time) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(WidePathFromUtf8(path).c_str(), GetFileExInfoStandard, &data)) return false;
    time = static_cast<int64_t>((static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                data.ftLastWriteTime.dwLowDateTime);
    return true;
}

bool ReadFileStatus(const std::string& path, FileStatus& status) {
    const std::wstring wide = WidePathFromUtf8(path);
    if (wide.empty()) return false;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data)) return false;
    // FileTimeToLocalFileTime would apply today's daylight-saving offset to
    // every date; this applies the one in force when the file was written,
    // as localtime does on the other platform.
    SYSTEMTIME universal;
    SYSTEMTIME fields;
    if (!FileTimeToSystemTime(&data.ftLastWriteTime, &universal) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &fields)) {
        return false;
    }
    status.length = static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    status.year = fields.wYear;
    status.month = fields.wMonth;
    status.day = fields.wDay;
    status.hour = fields.wHour;
    status.minute = fields.wMinute;
    status.second = fields.wSecond;
    return true;
}
