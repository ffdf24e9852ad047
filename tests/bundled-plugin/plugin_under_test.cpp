#include "tests/bundled-plugin/plugin_under_test.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/wide_path.h"

namespace {

struct LibraryFreer {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using UniqueLibrary = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFreer>;

template <typename Function>
Function Export(HMODULE module, const char* name) {
    FARPROC procedure = module ? GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(procedure));
}

ReceivedPicture CallGetPicture(LPCSTR input, LONG length, unsigned int flags, SusieProgressCallback progress,
                               LONG progressData) {
    ReceivedPicture picture;
    HLOCAL info = nullptr;
    HLOCAL bits = nullptr;
    picture.result = Plugin().getPicture(input, length, flags, &info, &bits,
                                         reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(progress)),
                                         progressData);
    picture.info.reset(info);
    picture.bits.reset(bits);
    return picture;
}

}  // namespace

const PluginExports& Plugin() {
    static const UniqueLibrary library(LoadLibraryW(WidePathFromUtf8(FixturePath("TOVRIK_IMAGE_PLUGIN")).c_str()));
    static const PluginExports exports{
        Export<GetPluginInfoFunction>(library.get(), "GetPluginInfo"),
        Export<IsSupportedFunction>(library.get(), "IsSupported"),
        Export<GetPictureInfoFunction>(library.get(), "GetPictureInfo"),
        Export<GetPictureFunction>(library.get(), "GetPicture"),
    };
    return exports;
}

TestPicture ReceivedPicture::Pixels() const {
    if (!info || !bits) return TestPicture();
    const BITMAPINFOHEADER& header = Header();
    return PictureFromDib(header.biWidth, header.biHeight, header.biBitCount,
                          static_cast<const unsigned char*>(bits.get()));
}

ReceivedPicture PictureFromMemory(const std::string& bytes, SusieProgressCallback progress, LONG progressData) {
    return CallGetPicture(bytes.data(), static_cast<LONG>(bytes.size()), kSusieInputMemory, progress, progressData);
}

ReceivedPicture PictureFromFile(const std::string& path, LONG offset) {
    return CallGetPicture(path.c_str(), offset, kSusieInputFile, nullptr, 0);
}

std::string FixturePath(const char* variable) {
    const char* value = std::getenv(variable);
    return value ? std::string(value) : std::string();
}

std::string TestPicturePath(const std::string& name) { return FixturePath("TOVRIK_TEST_PICTURES") + "\\" + name; }

std::string ReadTestPicture(const std::string& name) {
    std::ifstream in(TestPicturePath(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
