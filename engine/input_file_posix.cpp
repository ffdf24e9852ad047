#include "engine/input_file.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

struct OpenedFile {
    int descriptor;
};

void OpenedFileCloser::operator()(OpenedFile* file) const {
    close(file->descriptor);
    delete file;
}

InputFile OpenInputFile(const std::string& path) {
    // O_NONBLOCK keeps a FIFO put in place after the scan from hanging a worker.
    int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) return nullptr;
    posix_fadvise(descriptor, 0, 0, POSIX_FADV_SEQUENTIAL);
    return InputFile(new OpenedFile{descriptor});
}

size_t ReadInputFile(OpenedFile& file, void* buffer, size_t count) {
    size_t total = 0;
    char* bytes = static_cast<char*>(buffer);
    while (total < count) {
        ssize_t got = read(file.descriptor, bytes + total, count - total);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        total += static_cast<size_t>(got);
    }
    return total;
}
