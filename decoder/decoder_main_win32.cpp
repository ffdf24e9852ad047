// tovrik-decode.exe: the process in which Tovrik's plug-ins run, so that a
// plug-in that crashes, hangs or eats memory costs this process and never
// Tovrik. Tovrik starts it with the name of a pipe, sends one request at a
// time and ends it whenever it misbehaves. It has no window and no console,
// and a fault ends it at once, without the system's crash dialog. It ends
// by itself when the pipe closes, that is when Tovrik has gone. Tovrik
// starts it with lowered rights where the system allows.
#include <windows.h>
#include <objbase.h>

#include <string>

#include "decoder/fault_guard_win32.h"
#include "decoder/plugin_calls_win32.h"
#include "platform/kernel_handles.h"
#include "plugins/decoder_protocol.h"

namespace {

bool ReadExactly(HANDLE pipe, void* data, DWORD size) {
    auto* bytes = static_cast<unsigned char*>(data);
    while (size > 0) {
        DWORD got = 0;
        if (!ReadFile(pipe, bytes, size, &got, nullptr) || got == 0) return false;
        bytes += got;
        size -= got;
    }
    return true;
}

bool ReadRequest(HANDLE pipe, DecoderRequest& request) {
    unsigned char header[4];
    uint32_t length = 0;
    if (!ReadExactly(pipe, header, sizeof header) || !FramePayloadLength(header, length)) return false;
    std::string payload(length, '\0');
    return ReadExactly(pipe, &payload[0], length) && DecodeRequest(payload, request);
}

bool WriteWhole(HANDLE pipe, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(pipe, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// The pipe's name is the last word of the command line (it holds no blank;
// the program's path before it may). Read by hand, not by shell32, which
// would load half the window system into a process that shows none.
std::wstring PipeNameFromCommandLine() {
    const std::wstring line = GetCommandLineW();
    const size_t at = line.rfind(L' ');
    return at == std::wstring::npos ? std::wstring() : line.substr(at + 1);
}

// Every reply tells how much memory this process still holds, measured
// once the call is over.
std::string Answer(const DecoderRequest& request, DecodedPicture& picture) {
    switch (request.kind) {
    case DecoderRequestKind::kPicture: {
        PictureReply reply = DecodePicture(request.pluginPath, request.filePath, picture);
        reply.committedKiB = CommittedKiB();
        return EncodePictureReply(reply);
    }
    case DecoderRequestKind::kCopyPicture: {
        CopyReply reply;
        reply.result =
            CopyDecodedPicture(picture, reinterpret_cast<HANDLE>(static_cast<uintptr_t>(request.section)));
        reply.committedKiB = CommittedKiB();
        return EncodeCopyReply(reply);
    }
    case DecoderRequestKind::kPluginFilters:
        break;
    }
    LetGo(picture);
    FiltersReply reply = AskPluginFilters(request.pluginPath);
    reply.committedKiB = CommittedKiB();
    return EncodeFiltersReply(reply);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ApplyFaultHandling();
    // The plug-ins find COM initialised on their thread, as they did when
    // they ran on Tovrik's window thread.
    CoInitialize(nullptr);

    const std::wstring pipeName = PipeNameFromCommandLine();
    if (pipeName.empty()) return 1;
    UniqueHandle pipe = AdoptFileHandle(
        CreateFileW(pipeName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!pipe) return 1;
    DecoderRequest request;
    DecodedPicture picture;
    while (ReadRequest(pipe.get(), request)) {
        ApplyFaultHandling();
        if (!WriteWhole(pipe.get(), Frame(Answer(request, picture)))) break;
    }
    LetGo(picture);
    return 0;
}
