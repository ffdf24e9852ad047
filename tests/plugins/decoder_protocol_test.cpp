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

PictureReply Picture(int32_t result, uint32_t infoBytes, uint32_t pixelBytes) {
    PictureReply reply;
    reply.result = result;
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
    EXPECT_FALSE(DecodeRequest(EncodeRequest({static_cast<DecoderRequestKind>(4), "a.spi", "b.png"}), received));
    // A copy names the section Tovrik handed over, and nothing else.
    ASSERT_TRUE(DecodeRequest(EncodeRequest({DecoderRequestKind::kCopyPicture, "", "", 0x2a8}), received));
    EXPECT_EQ(received.section, 0x2a8u);
    EXPECT_FALSE(DecodeRequest(EncodeRequest({DecoderRequestKind::kCopyPicture, "", "", 0}), received));
    EXPECT_FALSE(DecodeRequest(EncodeRequest({DecoderRequestKind::kCopyPicture, "a.spi", "", 0x2a8}), received));
    EXPECT_FALSE(DecodeRequest(EncodeRequest({DecoderRequestKind::kPicture, "a.spi", "b.png", 0x2a8}), received));
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

TEST(DecoderProtocolTest, PictureRepliesGiveSizesOnlyOnSuccessAndWithinTheLimits) {
    PictureReply sent = Picture(0, 40, 12);
    sent.committedKiB = 51200;
    PictureReply received;
    ASSERT_TRUE(DecodePictureReply(EncodePictureReply(sent), received));
    EXPECT_EQ(received.result, 0);
    EXPECT_EQ(received.infoBytes, 40u);
    EXPECT_EQ(received.pixelBytes, 12u);
    EXPECT_EQ(received.committedKiB, 51200u);
    ExpectOnlyTheWholeMessageReads<PictureReply>(EncodePictureReply(sent), DecodePictureReply);
    ASSERT_TRUE(DecodePictureReply(EncodePictureReply(Picture(kPictureUnusable, 0, 0)), received));
    EXPECT_EQ(received.result, kPictureUnusable);
    EXPECT_TRUE(PictureReads(Picture(2, 0, 0)));

    EXPECT_FALSE(PictureReads(Picture(2, 40, 12)));  // a failure has no picture
    EXPECT_FALSE(PictureReads(Picture(0, 39, 12)));  // no room for a header
    EXPECT_FALSE(PictureReads(Picture(0, 40, 0)));
    EXPECT_TRUE(PictureReads(Picture(0, kMostInfoBytes, 12)));
    EXPECT_FALSE(PictureReads(Picture(0, kMostInfoBytes + 1, 12)));
    const auto mostPixels = static_cast<uint32_t>(kMostPictureBytes - PixelOffset(40));
    EXPECT_TRUE(PictureReads(Picture(0, 40, mostPixels)));
    EXPECT_FALSE(PictureReads(Picture(0, 40, mostPixels + 1)));

    CopyReply copy;
    ASSERT_TRUE(DecodeCopyReply(EncodeCopyReply({kPictureUnusable, 7}), copy));
    EXPECT_EQ(copy.result, kPictureUnusable);
    EXPECT_EQ(copy.committedKiB, 7u);
    ExpectOnlyTheWholeMessageReads<CopyReply>(EncodeCopyReply({0, 7}), DecodeCopyReply);
}

TEST(DecoderProtocolTest, MessagesOfOneKindDoNotReadAsAnother) {
    PictureReply picture;
    FiltersReply filters;
    DecoderRequest request;
    CopyReply copy;
    const std::string pictureReply = EncodePictureReply(Picture(0, 40, 12));
    EXPECT_FALSE(DecodeCopyReply(pictureReply, copy));
    EXPECT_FALSE(DecodePictureReply(EncodeCopyReply(CopyReply()), picture));
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
