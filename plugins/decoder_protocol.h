// What Tovrik and its decoder helper (tovrik-decode.exe, the process in
// which every plug-in call runs) say to each other over their pipe. Each
// message is one frame: a 32-bit little-endian length, then that many bytes.
// Tovrik sends one request and waits for its one reply. A picture itself
// travels in a shared memory section: the picture reply gives its sizes,
// Tovrik makes a section of them, hands the helper a handle that can only
// map it, and asks for the copy. A section the helper made itself could
// be reserved but not committed, or backed by a file on a network, and
// fault when Tovrik reads it. Every reply also tells how much memory the
// helper holds once the call is over, so that a plug-in that leaves much
// behind costs that helper, not the next picture. Every reply is checked here before Tovrik believes it: the
// helper runs foreign code and may answer anything.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A plug-in that never reports the end of its filter texts (GetPluginInfo
// never returning 0) is asked no further than this many texts, far more
// than any plug-in declares formats.
constexpr int kMostFilterTexts = 1000;
// The plug-in's information buffer, terminator included.
constexpr int kFilterTextBytes = 200;

constexpr uint32_t kMostFrameBytes = 1u << 20;
constexpr uint32_t kMostPathBytes = 65536;
// Header, masks and colour table: a version 5 header with a full palette
// takes about 1,200 bytes.
constexpr uint32_t kMostInfoBytes = 65536;
// One picture in its section: 100 megapixels at 32 bits take 400 MB.
constexpr uint64_t kMostPictureBytes = uint64_t{512} << 20;

enum class DecoderRequestKind : uint32_t {
    kPluginFilters = 1,  // load the plug-in and ask its filter texts
    kPicture = 2,        // load the plug-in and have it decode a file
    kCopyPicture = 3,    // copy the picture just decoded into Tovrik's section
};

struct DecoderRequest {
    DecoderRequestKind kind = DecoderRequestKind::kPluginFilters;
    // Both UTF-8, the real names: the helper makes what the narrow plug-in
    // interface needs of them.
    std::string pluginPath;
    std::string filePath;  // the picture's path; empty for a filter request
    uint32_t section = 0;  // kCopyPicture only: the helper's handle of the section
};

struct FiltersReply {
    bool asked = false;                // false: no DLL to load, or no GetPluginInfo
    std::vector<std::string> filters;  // information numbers 2, 4, 6, ... in order, code page 932
    uint32_t committedKiB = 0;         // the helper's committed memory after the call
};

// Results of a picture request that no plug-in gave.
constexpr int32_t kPluginUnusable = -1001;   // not loaded, or no GetPicture
constexpr int32_t kPictureUnusable = -1002;  // blocks missing, malformed or too large to hand over

struct PictureReply {
    int32_t result = kPictureUnusable;  // 0, or GetPicture's error, or one of the two above
    // With result 0 only: the bytes of the bitmap information (header,
    // masks, colour table), which go at the section's start, and of the
    // pixels, which go at PixelOffset. The helper keeps the picture until
    // the next request.
    uint32_t infoBytes = 0;
    uint32_t pixelBytes = 0;
    uint32_t committedKiB = 0;  // with the picture still held when result is 0
};

struct CopyReply {
    int32_t result = kPictureUnusable;  // 0 when the picture is in the section
    uint32_t committedKiB = 0;
};

// Where the pixels start in the section: after the information, aligned.
uint64_t PixelOffset(uint32_t infoBytes);

std::string Frame(const std::string& payload);
// The payload length a frame's first four bytes announce; false beyond
// kMostFrameBytes.
bool FramePayloadLength(const unsigned char header[4], uint32_t& length);

// Each Decode is strict: false unless the payload is exactly one well-formed
// message within the limits above.
std::string EncodeRequest(const DecoderRequest& request);
bool DecodeRequest(const std::string& payload, DecoderRequest& request);
std::string EncodeFiltersReply(const FiltersReply& reply);
bool DecodeFiltersReply(const std::string& payload, FiltersReply& reply);
std::string EncodePictureReply(const PictureReply& reply);
bool DecodePictureReply(const std::string& payload, PictureReply& reply);
std::string EncodeCopyReply(const CopyReply& reply);
bool DecodeCopyReply(const std::string& payload, CopyReply& reply);
