#include "link/wireencoding.h"

#include <gtest/gtest.h>

namespace zent5 {
namespace {

TEST(WireEncoding, PairsDecodeLowFourBitsFirst)
{
    struct Case {
        const char* chars;
        uint8_t byte;
    };
    const Case cases[] = {
        {"41", 0x14}, {"??", 0xFF}, {"00", 0x00}, {":0", 0x0A}, {"0:", 0xA0}, {"?0", 0x0F},
        // Characters outside '0'..'?' still give a byte, modulo 256.
        {"/0", 0xFF}, {"@0", 0x10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chars);
        EXPECT_EQ(wire::decodePair(c.chars[0], c.chars[1]), c.byte);
    }
}

TEST(WireEncoding, WordIsLowByteThenHighByte)
{
    EXPECT_EQ(wire::decodeWord("0100"), 0x0010);
    EXPECT_EQ(wire::decodeWord("0001"), 0x1000);
    EXPECT_EQ(wire::decodeWord("????"), 0xFFFF);
    std::string s;
    wire::appendWord(s, 0x1234);
    EXPECT_EQ(s, "4321");
}

TEST(WireEncoding, EveryByteRoundTripsThroughDataCharacters)
{
    for (int v = 0; v < 256; ++v) {
        std::string s;
        wire::appendByte(s, static_cast<uint8_t>(v));
        ASSERT_EQ(s.size(), 2u);
        for (char c : s) {
            EXPECT_GE(static_cast<unsigned char>(c), 0x30);
            EXPECT_LE(static_cast<unsigned char>(c), 0x3F);
        }
        EXPECT_EQ(wire::decodePair(s[0], s[1]), v);
    }
}

TEST(WireEncoding, IdentificationReplyLayout)
{
    wire::Identification id;
    id.kind = 1;
    id.model = 25;
    id.version[0] = 14;
    id.version[1] = 10;
    id.version[2] = 10;
    id.serialNumber = 0x0102;
    // S, kind, model, version bytes 2..4, serial low then high, P.
    EXPECT_EQ(wire::identificationReply(id), "S1091>0:0:02010P");
    const uint8_t image[] = {0x00, 0xFF};
    EXPECT_EQ(wire::archiveReply(image, 2), "S00??P");
    EXPECT_EQ(wire::archiveReply(nullptr, 0), "SP");
}

} // namespace
} // namespace zent5
