#include "engine/input_file.h"

namespace {

ReadFaultRule g_readFaultRule;

}  // namespace

void SetReadFaultRule(ReadFaultRule rule) { g_readFaultRule = std::move(rule); }

InputFile OpenInputFile(const std::string& path, ReadPattern pattern, InputSharing sharing) {
    auto platform = OpenPlatformFile(path, pattern, sharing);
    if (!platform) return nullptr;
    InputFile file(new OpenedFile);
    file->platform = std::move(platform);
    if (g_readFaultRule) {
        uint64_t failsAt = 0;
        if (g_readFaultRule(path, failsAt)) file->failsAt = failsAt;
    }
    return file;
}

bool DescribeInputFile(OpenedFile& file, int64_t& length, FileIdentity& identity) {
    return DescribePlatformFile(*file.platform, length, identity);
}

InputRead ReadInputFileAt(OpenedFile& file, int64_t offset, void* buffer, size_t count) {
    InputRead read;
    char* bytes = static_cast<char*>(buffer);
    while (read.bytes < count) {
        const uint64_t at = static_cast<uint64_t>(offset) + read.bytes;
        if (at >= file.failsAt) {
            read.failed = true;
            return read;
        }
        const uint64_t beforeFault = file.failsAt - at;
        const size_t wanted = beforeFault < count - read.bytes ? static_cast<size_t>(beforeFault) : count - read.bytes;
        size_t got = 0;
        if (!ReadPlatformFileAt(*file.platform, at, bytes + read.bytes, wanted, got)) {
            read.failed = true;
            return read;
        }
        if (got == 0) return read;  // the end of the file
        read.bytes += got;
    }
    return read;
}

InputRead ReadInputFile(OpenedFile& file, void* buffer, size_t count) {
    const InputRead read = ReadInputFileAt(file, static_cast<int64_t>(file.position), buffer, count);
    file.position += read.bytes;
    return read;
}
