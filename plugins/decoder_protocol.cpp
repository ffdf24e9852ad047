#include "plugins/decoder_protocol.h"

namespace {

// Tags that open each message, so that a reply of the wrong kind, or bytes
// that are no message at all, do not read as a valid one.
constexpr uint32_t kFiltersReplyTag = 0x53544C46;  // "FLTS"
constexpr uint32_t kPictureReplyTag = 0x54434950;  // "PICT"
constexpr uint32_t kRequestTag = 0x51455254;       // "TREQ"
constexpr uint32_t kCopyReplyTag = 0x59504F43;     // "COPY"

void PutU32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>(value >> shift));
}

void PutText(std::string& out, const std::string& text) {
    PutU32(out, static_cast<uint32_t>(text.size()));
    out += text;
}

uint32_t U32At(const unsigned char* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// Reads a payload front to back; once a read fails, every later one fails.
class PayloadReader {
public:
    explicit PayloadReader(const std::string& payload) : payload_(payload) {}

    bool U32(uint32_t& value) {
        if (!ok_ || payload_.size() - position_ < 4) return Fail();
        value = U32At(reinterpret_cast<const unsigned char*>(payload_.data()) + position_);
        position_ += 4;
        return true;
    }

    bool Text(std::string& text, uint32_t mostBytes) {
        uint32_t length = 0;
        if (!U32(length) || length > mostBytes || payload_.size() - position_ < length) return Fail();
        text.assign(payload_, position_, length);
        position_ += length;
        return true;
    }

    bool Tag(uint32_t expected) {
        uint32_t tag = 0;
        if (!U32(tag)) return false;
        return tag == expected || Fail();
    }

    // True when everything read well and nothing is left over.
    bool Finished() const { return ok_ && position_ == payload_.size(); }

private:
    bool Fail() {
        ok_ = false;
        return false;
    }

    const std::string& payload_;
    size_t position_ = 0;
    bool ok_ = true;
};

}  // namespace

uint64_t PixelOffset(uint32_t infoBytes) { return (uint64_t{infoBytes} + 15) & ~uint64_t{15}; }

std::string Frame(const std::string& payload) {
    std::string frame;
    PutU32(frame, static_cast<uint32_t>(payload.size()));
    return frame + payload;
}

bool FramePayloadLength(const unsigned char header[4], uint32_t& length) {
    length = U32At(header);
    return length <= kMostFrameBytes;
}

std::string EncodeRequest(const DecoderRequest& request) {
    std::string out;
    PutU32(out, kRequestTag);
    PutU32(out, static_cast<uint32_t>(request.kind));
    PutText(out, request.pluginPath);
    PutText(out, request.filePath);
    PutU32(out, request.section);
    return out;
}

bool DecodeRequest(const std::string& payload, DecoderRequest& request) {
    PayloadReader reader(payload);
    uint32_t kind = 0;
    if (!reader.Tag(kRequestTag) || !reader.U32(kind) || !reader.Text(request.pluginPath, kMostPathBytes) ||
        !reader.Text(request.filePath, kMostPathBytes) || !reader.U32(request.section) || !reader.Finished()) {
        return false;
    }
    request.kind = static_cast<DecoderRequestKind>(kind);
    if (request.kind == DecoderRequestKind::kCopyPicture)
        return request.pluginPath.empty() && request.filePath.empty() && request.section != 0;
    if (request.pluginPath.empty() || request.section != 0) return false;
    switch (request.kind) {
    case DecoderRequestKind::kPluginFilters:
        return request.filePath.empty();
    case DecoderRequestKind::kPicture:
        return !request.filePath.empty();
    case DecoderRequestKind::kCopyPicture:
        break;
    }
    return false;
}

std::string EncodeFiltersReply(const FiltersReply& reply) {
    std::string out;
    PutU32(out, kFiltersReplyTag);
    PutU32(out, reply.asked ? 1 : 0);
    PutU32(out, static_cast<uint32_t>(reply.filters.size()));
    for (const std::string& filter : reply.filters) PutText(out, filter);
    PutU32(out, reply.committedKiB);
    return out;
}

bool DecodeFiltersReply(const std::string& payload, FiltersReply& reply) {
    PayloadReader reader(payload);
    uint32_t asked = 0, count = 0;
    if (!reader.Tag(kFiltersReplyTag) || !reader.U32(asked) || !reader.U32(count) || asked > 1 ||
        count > static_cast<uint32_t>(kMostFilterTexts) || (asked == 0 && count != 0)) {
        return false;
    }
    reply.asked = asked == 1;
    reply.filters.assign(count, std::string());
    // A text never holds its terminator: it fits the plug-in's buffer.
    for (std::string& filter : reply.filters) {
        if (!reader.Text(filter, kFilterTextBytes - 1)) return false;
    }
    return reader.U32(reply.committedKiB) && reader.Finished();
}

std::string EncodePictureReply(const PictureReply& reply) {
    std::string out;
    PutU32(out, kPictureReplyTag);
    PutU32(out, static_cast<uint32_t>(reply.result));
    PutU32(out, reply.infoBytes);
    PutU32(out, reply.pixelBytes);
    PutU32(out, reply.committedKiB);
    return out;
}

bool DecodePictureReply(const std::string& payload, PictureReply& reply) {
    PayloadReader reader(payload);
    uint32_t result = 0;
    if (!reader.Tag(kPictureReplyTag) || !reader.U32(result) || !reader.U32(reply.infoBytes) ||
        !reader.U32(reply.pixelBytes) || !reader.U32(reply.committedKiB) || !reader.Finished()) {
        return false;
    }
    reply.result = static_cast<int32_t>(result);
    if (reply.result != 0) return reply.infoBytes == 0 && reply.pixelBytes == 0;
    // The smallest header of the family is 40 bytes; the rest are the limits.
    return reply.infoBytes >= 40 && reply.infoBytes <= kMostInfoBytes && reply.pixelBytes > 0 &&
           PixelOffset(reply.infoBytes) + reply.pixelBytes <= kMostPictureBytes;
}

std::string EncodeCopyReply(const CopyReply& reply) {
    std::string out;
    PutU32(out, kCopyReplyTag);
    PutU32(out, static_cast<uint32_t>(reply.result));
    PutU32(out, reply.committedKiB);
    return out;
}

bool DecodeCopyReply(const std::string& payload, CopyReply& reply) {
    PayloadReader reader(payload);
    uint32_t result = 0;
    if (!reader.Tag(kCopyReplyTag) || !reader.U32(result) || !reader.U32(reply.committedKiB)) return false;
    reply.result = static_cast<int32_t>(result);
    return reader.Finished();
}
