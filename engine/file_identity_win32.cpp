#include "engine/file_identity.h"

#include <windows.h>

#include "engine/file_information_win32.h"
#include "platform/wide_path.h"

bool QueryFileIdentity(const std::string& path, FileIdentity& identity) {
    std::wstring wide = WidePathFromUtf8(path);
    if (wide.empty()) return false;
    UniqueHandle handle = OpenForQuery(wide);
    int64_t length = 0;
    return handle && DescribeFileHandle(handle.get(), length, identity);
}
