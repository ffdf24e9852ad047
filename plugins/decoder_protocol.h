// What Tovrik and its decoder helper (tovrik-decode.exe, the process in
// which every plug-in call runs) say to each other over their pipe. Each
// message is one frame: a 32-bit little-endian length, then that many bytes.
// Tovrik sends one request and waits for its one reply. A picture itself
// travels in a shared memory section that the reply names; the reply only
// says where. Every reply is checked here before Tovrik believes it: the
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
};

struct DecoderRequest {
    DecoderRequestKind kind = DecoderRequestKind::kPluginFilters;
    // Both UTF-8, the real names: the helper makes what the narrow plug-in
    // interface needs of them.
    std::string pluginPath;
    std::string filePath;  // the picture's path; empty for a filter request
};

struct FiltersReply {
    bool asked = false;                // false: no DLL to load, or no GetPluginInfo
    std::vector<std::string> filters;  // information numbers 2, 4, 6, ... in order, code page 932
};

// Results of a picture request that no plug-in gave.
constexpr int32_t kPluginUnusable = -1001;   // not loaded, or no GetPicture
constexpr int32_t kPictureUnusable = -1002;  // blocks missing, malformed or too large to hand over

struct PictureReply {
    int32_t result = kPictureUnusable;  // 0, or GetPicture's error, or one of the two above
    // With result 0 only: the helper's handle of the section, which passes
    // to Tovrik with the reply, and the bitmap information (header, masks,
    // colour table) at the section's start, the pixels at PixelOffset.
    uint32_t section = 0;
    uint32_t infoBytes = 0;
    uint32_t pixelBytes = 0;
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
