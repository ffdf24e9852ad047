// A fresh temporary folder for one test, removed with everything in it when
// the test ends. Relative names use "/"; paths come back with the platform's
// separator, as the scan forms them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

class TempTree {
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& Root() const { return root_; }
    std::string Path(const std::string& relative) const;

    void Folder(const std::string& relative) const;
    void File(const std::string& relative, const std::string& contents) const;
    // A file of `size` bytes that starts with `head` and costs no disk space.
    void SparseFile(const std::string& relative, int64_t size, const std::string& head) const;
    // False where the platform or its permissions refuse the link.
    bool HardLink(const std::string& existing, const std::string& link) const;

private:
    std::string root_;
};

// The file system's view of a UTF-8 path (long paths included on Windows).
std::filesystem::path NativePath(const std::string& path);

// Bytes of a given length and seed, different for different seeds.
std::string PatternBytes(size_t length, unsigned seed);
