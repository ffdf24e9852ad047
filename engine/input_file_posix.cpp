#include "engine/input_file.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

struct PlatformFile {
    int descriptor;
};

void PlatformFileCloser::operator()(PlatformFile* file) const {
    close(file->descriptor);
    delete file;
}

std::unique_ptr<PlatformFile, PlatformFileCloser> OpenPlatformFile(const std::string& path, ReadPattern pattern,
                                                                   InputSharing /*sharing*/) {
    // O_NONBLOCK keeps a FIFO put in place after the scan from hanging a worker.
    int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) return nullptr;
    std::unique_ptr<PlatformFile, PlatformFileCloser> file(new PlatformFile{descriptor});
    // A folder put in a file's place opens here but reads nothing: it must
    // count as unopenable, not as an empty file.
    struct stat status;
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) return nullptr;
    // A probe reads a block or two; the default read-ahead already covers
    // them, while sequential read-ahead would fetch far more than is used.
    if (pattern == ReadPattern::kSequential) posix_fadvise(descriptor, 0, 0, POSIX_FADV_SEQUENTIAL);
    return file;
}

bool ReadPlatformFileAt(PlatformFile& file, uint64_t offset, void* buffer, size_t count, size_t& got) {
    for (;;) {
        const ssize_t read = pread(file.descriptor, buffer, count, static_cast<off_t>(offset));
        if (read < 0 && errno == EINTR) continue;
        if (read < 0) return false;
        got = static_cast<size_t>(read);
        return true;
    }
}

bool DescribePlatformFile(PlatformFile& file, int64_t& length, FileIdentity& identity) {
    struct stat status;
    if (fstat(file.descriptor, &status) != 0) return false;
    length = static_cast<int64_t>(status.st_size);
    identity = FileIdentity{static_cast<uint64_t>(status.st_dev), 0, static_cast<uint64_t>(status.st_ino)};
    return true;
}
