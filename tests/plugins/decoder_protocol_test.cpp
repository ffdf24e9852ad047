// The messages between Tovrik and its decoder helper: what one side writes
// the other reads back, and nothing else reads as a message, since the
// helper runs foreign code and may send anything.
#include "plugins/decoder_protocol.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Every cut of a message, and the message with a byte added, is refused.
template <typename Reply, typename Decode>
void ExpectOnlyTheWholeMessageReads(const std::string& payload, Decode decode) {
    Reply reply;
    for (size_t length = 0; length < payload.size(); ++length)
        EXPECT_FALSE(decode(payload.substr(0, length), reply)) << length;
    EXPECT_FALSE(decode(payload + '\0', reply));
    EXPECT_TRUE(decode(payload, reply));
}

PictureReply Picture(int32_t result, uint32_t section, uint32_t infoBytes, uint32_t pixelBytes) {
    PictureReply reply;
    reply.result = result;
    reply.section = section;
    reply.infoBytes = infoBytes;
    reply.pixelBytes = pixelBytes;
    return reply;
}

bool PictureReads(const PictureReply& sent) {
    PictureReply received;
    return DecodePictureReply(EncodePictureReply(sent), received);
}

TEST(DecoderProtocolTest, RequestsReadBackAndNeedThePathsTheirKindTakes) {
    const DecoderRequest picture{DecoderRequestKind::kPicture, "C:\\spi\\a.spi", "C:\\\x89\xe6\x91\x9c\\b.png"};
    DecoderRequest received;
    ASSERT_TRUE(DecodeRequest(EncodeRequest(picture), received));
    EXPECT_EQ(received.kind, DecoderRequestKind::kPicture);
    EXPECT_EQ(received.pluginPath, picture.pluginPath);
    EXPECT_EQ(received.filePath, picture.filePath);
    ExpectOnlyTheWholeMessageReads<DecoderRequest>(EncodeRequest(picture), DecodeRequest);

    EXPECT_TRUE(DecodeRequest(EncodeRequest({DecoderRequestKind::kPluginFilters, "a.spi", ""}), received));
    EXPECT_FALSE(DecodeRequest(EncodeRequest({DecoderRequestKind::kPluginFilters, "a.spi", "b.png"}), received));
    EXPECT_FALSE(DecodeRequest(EncodeRequest({DecoderRequestKind::kPicture, "a.spi", ""}), received));
    EXPECT_FALSE(DecodeRequest(EncodeRequest({DecoderRequestKind::kPicture, "", "b.png"}), received));
    EXPECT_FALSE(DecodeRequest(EncodeRequest({static_cast<DecoderRequestKind>(3), "a.spi", "b.png"}), received));
}

TEST(DecoderProtocolTest, FilterRepliesReadBackWithinThePluginsBufferAndTheTextLimit) {
    FiltersReply sent;
    sent.asked = true;
    sent.filters = {"*.jpg;*.jpeg", "", std::string(kFilterTextBytes - 1, 'x')};
    FiltersReply received;
    ASSERT_TRUE(DecodeFiltersReply(EncodeFiltersReply(sent), received));
    EXPECT_TRUE(received.asked);
    EXPECT_EQ(received.filters, sent.filters);
    ExpectOnlyTheWholeMessageReads<FiltersReply>(EncodeFiltersReply(sent), DecodeFiltersReply);

    // A text as long as the buffer would have had no room for its terminator.
    sent.filters = {std::string(kFilterTextBytes, 'x')};
    EXPECT_FALSE(DecodeFiltersReply(EncodeFiltersReply(sent), received));
    sent.filters.assign(kMostFilterTexts, "*.a");
    EXPECT_TRUE(DecodeFiltersReply(EncodeFiltersReply(sent), received));
    sent.filters.push_back("*.a");
    EXPECT_FALSE(DecodeFiltersReply(EncodeFiltersReply(sent), received));
    // A plug-in that was never asked has no filters to tell.
    sent.asked = false;
    sent.filters = {"*.a"};
    EXPECT_FALSE(DecodeFiltersReply(EncodeFiltersReply(sent), received));
    sent.filters.clear();
    ASSERT_TRUE(DecodeFiltersReply(EncodeFiltersReply(sent), received));
    EXPECT_FALSE(received.asked);
}

TEST(DecoderProtocolTest, PictureRepliesNameASectionOnlyOnSuccessAndWithinTheLimits) {
    PictureReply received;
    ASSERT_TRUE(DecodePictureReply(EncodePictureReply(Picture(0, 0x1c4, 40, 12)), received));
    EXPECT_EQ(received.result, 0);
    EXPECT_EQ(received.section, 0x1c4u);
    EXPECT_EQ(received.infoBytes, 40u);
    EXPECT_EQ(received.pixelBytes, 12u);
    ExpectOnlyTheWholeMessageReads<PictureReply>(EncodePictureReply(Picture(0, 0x1c4, 40, 12)), DecodePictureReply);
    ASSERT_TRUE(DecodePictureReply(EncodePictureReply(Picture(kPictureUnusable, 0, 0, 0)), received));
    EXPECT_EQ(received.result, kPictureUnusable);
    EXPECT_TRUE(PictureReads(Picture(2, 0, 0, 0)));

    EXPECT_FALSE(PictureReads(Picture(2, 0x1c4, 0, 0)));   // a failure hands nothing over
    EXPECT_FALSE(PictureReads(Picture(2, 0, 40, 12)));
    EXPECT_FALSE(PictureReads(Picture(0, 0, 40, 12)));     // success without a section
    EXPECT_FALSE(PictureReads(Picture(0, 0x1c4, 39, 12)));  // no room for a header
    EXPECT_FALSE(PictureReads(Picture(0, 0x1c4, 40, 0)));
    EXPECT_TRUE(PictureReads(Picture(0, 0x1c4, kMostInfoBytes, 12)));
    EXPECT_FALSE(PictureReads(Picture(0, 0x1c4, kMostInfoBytes + 1, 12)));
    const auto mostPixels = static_cast<uint32_t>(kMostPictureBytes - PixelOffset(40));
    EXPECT_TRUE(PictureReads(Picture(0, 0x1c4, 40, mostPixels)));
    EXPECT_FALSE(PictureReads(Picture(0, 0x1c4, 40, mostPixels + 1)));
}

TEST(DecoderProtocolTest, MessagesOfOneKindDoNotReadAsAnother) {
    PictureReply picture;
    FiltersReply filters;
    DecoderRequest request;
    const std::string pictureReply = EncodePictureReply(Picture(0, 0x1c4, 40, 12));
    EXPECT_FALSE(DecodeFiltersReply(pictureReply, filters));
    EXPECT_FALSE(DecodeRequest(pictureReply, request));
    EXPECT_FALSE(DecodePictureReply(EncodeFiltersReply(FiltersReply()), picture));
    EXPECT_FALSE(DecodePictureReply(std::string(20, '\0'), picture));
}

TEST(DecoderProtocolTest, FramesCarryTheirLengthAndRefuseOverlongOnes) {
    const std::string frame = Frame("abc");
    ASSERT_EQ(frame.size(), 7u);
    uint32_t length = 0;
    ASSERT_TRUE(FramePayloadLength(reinterpret_cast<const unsigned char*>(frame.data()), length));
    EXPECT_EQ(length, 3u);
    EXPECT_EQ(frame.substr(4), "abc");
    const unsigned char most[4] = {0x00, 0x00, 0x10, 0x00};   // 1 MiB
    const unsigned char over[4] = {0x01, 0x00, 0x10, 0x00};
    EXPECT_TRUE(FramePayloadLength(most, length));
    EXPECT_FALSE(FramePayloadLength(over, length));
    const unsigned char huge[4] = {0xff, 0xff, 0xff, 0xff};
    EXPECT_FALSE(FramePayloadLength(huge, length));
}

}  // namespace
