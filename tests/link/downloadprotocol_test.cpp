#include "link/downloadprotocol.h"
#include "link/wireencoding.h"
#include "tools/sim/archivegenerator.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace zent5 {
namespace {

using Outcome = DownloadProtocol::Outcome;
using Phase = DownloadProtocol::Phase;

std::string idReply(uint8_t kind, uint8_t model, uint16_t serial = 1234)
{
    wire::Identification id;
    id.kind = kind;
    id.model = model;
    id.serialNumber = serial;
    return wire::identificationReply(id);
}

std::string archiveReply(const std::vector<uint8_t>& image)
{
    return wire::archiveReply(image.data(), image.size());
}

std::vector<uint8_t> threeRecords()
{
    return sim::generateArchive(sim::ArchiveRecipe{});
}

class DownloadProtocolTest : public ::testing::Test {
protected:
    DownloadProtocolTest() { protocol.start(); }

    DownloadProtocol::Step feed(const std::string& text)
    {
        return protocol.feed(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    }
    // Feeds in pieces of `chunk` bytes; returns the last step that decided something.
    DownloadProtocol::Step feedChunked(const std::string& text, size_t chunk)
    {
        DownloadProtocol::Step last;
        for (size_t at = 0; at < text.size(); at += chunk) {
            const auto step = feed(text.substr(at, chunk));
            if (step.outcome != Outcome::Waiting)
                last = step;
        }
        return last;
    }

    std::unique_ptr<ArchiveImage> image = std::make_unique<ArchiveImage>();
    DownloadProtocol protocol{*image};
};

TEST_F(DownloadProtocolTest, IdentificationThenArchive)
{
    const auto id = feed(idReply(1, 24, 0xBEEF));
    EXPECT_EQ(id.outcome, Outcome::Identified);
    EXPECT_EQ(id.send, 'N');
    EXPECT_TRUE(id.stopTimer);
    EXPECT_EQ(protocol.phase(), Phase::Archive);
    EXPECT_EQ(protocol.receivedCount(), 0u);
    EXPECT_EQ(image->serialNumber, 0xBEEF);
    EXPECT_EQ(image->versionText, "10.10.14");
    EXPECT_EQ(image->kind, 1);
    EXPECT_EQ(image->model, 24);

    const auto archive = threeRecords();
    const auto done = feed(archiveReply(archive));
    EXPECT_EQ(done.outcome, Outcome::Received);
    EXPECT_EQ(done.send, 0);
    ASSERT_EQ(image->decodedLength, archive.size());
    EXPECT_TRUE(std::equal(archive.begin(), archive.end(), image->bytes.begin()));
    EXPECT_EQ(protocol.progressPercent(), 100);
}

TEST_F(DownloadProtocolTest, KindAndModelDecideTheInstrument)
{
    struct Case {
        uint8_t kind, model;
        Outcome outcome;
    };
    const Case cases[] = {
        {1, 24, Outcome::Identified},      {1, 25, Outcome::Identified},
        {1, 23, Outcome::WrongInstrument}, {1, 26, Outcome::WrongInstrument},
        {0, 24, Outcome::WrongInstrument}, {2, 25, Outcome::WrongInstrument},
        {1, 0, Outcome::WrongInstrument},  {255, 255, Outcome::WrongInstrument},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << int{c.kind} << " model " << int{c.model});
        protocol.start();
        const auto step = feed(idReply(c.kind, c.model));
        EXPECT_EQ(step.outcome, c.outcome);
        EXPECT_EQ(step.send, c.outcome == Outcome::Identified ? 'N' : 0);
        // Kept even when refused, as the instrument reported them.
        EXPECT_EQ(image->kind, c.kind);
        EXPECT_EQ(image->model, c.model);
    }
}

TEST_F(DownloadProtocolTest, VersionTextIsByte4Byte3Byte2WithLeadingZeros)
{
    EXPECT_EQ(DownloadProtocol::versionText(14, 10, 10), "10.10.14");
    EXPECT_EQ(DownloadProtocol::versionText(1, 2, 3), "03.02.01");
    EXPECT_EQ(DownloadProtocol::versionText(0, 9, 10), "10.09.00");
    EXPECT_EQ(DownloadProtocol::versionText(255, 100, 99), "99.100.255");
}

TEST_F(DownloadProtocolTest, OneByteBatchesDecodeLikeOneBatch)
{
    const auto archive = sim::generateArchive({.recordCount = 40, .recordSize = 13});
    const std::string id = "\r\n" + idReply(1, 25, 777) + "\xff";
    const std::string reply = "!" + archiveReply(archive);

    ArchiveImage whole;
    DownloadProtocol reference(whole);
    reference.start();
    ASSERT_EQ(reference.feed(reinterpret_cast<const uint8_t*>(id.data()), id.size()).outcome, Outcome::Identified);
    ASSERT_EQ(reference.feed(reinterpret_cast<const uint8_t*>(reply.data()), reply.size()).outcome,
              Outcome::Received);

    for (size_t chunk : {size_t{1}, size_t{2}, size_t{3}, size_t{7}, size_t{64}}) {
        SCOPED_TRACE(testing::Message() << "chunk " << chunk);
        image = std::make_unique<ArchiveImage>();
        DownloadProtocol chunked(*image);
        chunked.start();
        DownloadProtocol::Step last;
        for (const std::string* text : {&id, &reply})
            for (size_t at = 0; at < text->size(); at += chunk) {
                const std::string piece = text->substr(at, chunk);
                const auto step = chunked.feed(reinterpret_cast<const uint8_t*>(piece.data()), piece.size());
                if (step.outcome != Outcome::Waiting)
                    last = step;
            }
        EXPECT_EQ(last.outcome, Outcome::Received);
        EXPECT_EQ(image->decodedLength, whole.decodedLength);
        EXPECT_EQ(image->bytes, whole.bytes);
        EXPECT_EQ(image->serialNumber, 777);
        EXPECT_EQ(image->versionText, whole.versionText);
    }
}

TEST_F(DownloadProtocolTest, StartThenEndGivesAnEmptyArchive)
{
    image->bytes[0] = 0x77; // left from an earlier download
    ASSERT_EQ(feed(idReply(1, 24)).outcome, Outcome::Identified);
    const auto step = feed("SP");
    EXPECT_EQ(step.outcome, Outcome::Received);
    EXPECT_EQ(image->decodedLength, 0u);
    EXPECT_EQ(image->bytes[0], 0x77);
}

TEST_F(DownloadProtocolTest, OddCharacterBeforeEndIsDropped)
{
    ASSERT_EQ(feed(idReply(1, 24)).outcome, Outcome::Identified);
    EXPECT_EQ(feed("S41?P").outcome, Outcome::Received);
    EXPECT_EQ(image->decodedLength, 1u);
    EXPECT_EQ(image->bytes[0], 0x14);
}

TEST_F(DownloadProtocolTest, ProbeLetterRestartsWithIdentification)
{
    ASSERT_EQ(feed(idReply(1, 24)).outcome, Outcome::Identified);
    const std::string reply = archiveReply(threeRecords());
    EXPECT_EQ(feed(reply.substr(0, 30)).outcome, Outcome::Waiting);
    const auto restart = feed("0123Z4567");
    EXPECT_EQ(restart.outcome, Outcome::Restarted);
    EXPECT_EQ(restart.send, 'V');
    EXPECT_TRUE(restart.stopTimer);
    EXPECT_EQ(protocol.phase(), Phase::Identify);
    EXPECT_EQ(protocol.receivedCount(), 0u);

    ASSERT_EQ(feed(idReply(1, 24)).outcome, Outcome::Identified);
    EXPECT_EQ(feed(reply).outcome, Outcome::Received);
    EXPECT_EQ(image->decodedLength, threeRecords().size());
}

TEST_F(DownloadProtocolTest, EndMarkerBeforeProbeDoesNotEndTheNextReply)
{
    // "P" and "Z" in one batch: the "P" belongs to the abandoned reply. The
    // next identification must be read whole, not from its first piece.
    ASSERT_EQ(feed("S10P").outcome, Outcome::WrongInstrument);
    protocol.start();
    EXPECT_EQ(feed("S10PZ").outcome, Outcome::Restarted);
    const std::string id = idReply(1, 24);
    EXPECT_EQ(feed(id.substr(0, 5)).outcome, Outcome::Waiting);
    EXPECT_EQ(feed(id.substr(5)).outcome, Outcome::Identified);
}

TEST_F(DownloadProtocolTest, MalformedRepliesCountAsWrongInstrument)
{
    const std::string id = idReply(1, 24);
    struct Case {
        const char* name;
        std::string reply;
    };
    const Case cases[] = {
        {"thirteen characters", "S" + id.substr(1, 13) + "P"},
        {"empty", "SP"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        *image = ArchiveImage{};
        protocol.start();
        EXPECT_EQ(feed(c.reply).outcome, Outcome::WrongInstrument);
        EXPECT_EQ(image->versionText, "");
    }
}

// A reply begins at its "S": what comes before it, "P" included, is passed
// over in both phases (the tail of an archive still arriving from a download
// that was cancelled, or noise), and a "Z" there still restarts.
TEST_F(DownloadProtocolTest, WhatComesBeforeAReplysStartIsPassedOver)
{
    const std::string id = idReply(1, 24);
    const std::string archive = archiveReply(threeRecords());
    const std::string oldTail = archive.substr(archive.size() / 2); // ends with "P"
    struct Case {
        const char* name;
        std::vector<std::string> identification; // batches before the identification is whole
        std::vector<std::string> archive;
    };
    const Case cases[] = {
        {"end alone", {"P", id}, {archive}},
        {"an old archive's tail", {oldTail + id}, {archive}},
        {"the tail in pieces", {oldTail.substr(0, 7), oldTail.substr(7), id.substr(0, 3), id.substr(3)}, {archive}},
        {"end before the archive", {id}, {"0000P", "P" + archive}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        *image = ArchiveImage{};
        protocol.start();
        for (size_t k = 0; k + 1 < c.identification.size(); ++k)
            EXPECT_EQ(feed(c.identification[k]).outcome, Outcome::Waiting);
        EXPECT_EQ(feed(c.identification.back()).outcome, Outcome::Identified);
        for (size_t k = 0; k + 1 < c.archive.size(); ++k)
            EXPECT_EQ(feed(c.archive[k]).outcome, Outcome::Waiting);
        EXPECT_EQ(feed(c.archive.back()).outcome, Outcome::Received);
        EXPECT_EQ(std::vector<uint8_t>(image->bytes.begin(), image->bytes.begin() + long(image->decodedLength)),
                  threeRecords());
    }
    protocol.start();
    EXPECT_EQ(feed(oldTail.substr(0, 9) + "Z").outcome, Outcome::Restarted);
    EXPECT_EQ(feed(id).outcome, Outcome::Identified);
}

TEST_F(DownloadProtocolTest, ANewDialogueForgetsTheLastInstrument)
{
    ASSERT_EQ(feed(idReply(1, 24)).outcome, Outcome::Identified);
    ASSERT_TRUE(protocol.kindAndModel());
    protocol.start();
    EXPECT_FALSE(protocol.kindAndModel());
}

TEST_F(DownloadProtocolTest, NoiseBeforeTheFrameIsIgnored)
{
    EXPECT_EQ(feed(std::string("\0\r\n\x7f!", 5) + idReply(1, 25)).outcome, Outcome::Identified);
    EXPECT_EQ(feed("\xff" + archiveReply(threeRecords())).outcome, Outcome::Received);
    EXPECT_EQ(image->decodedLength, threeRecords().size());
}

TEST_F(DownloadProtocolTest, ProgressFollowsTheArchiveHeader)
{
    ASSERT_EQ(feed(idReply(1, 24)).outcome, Outcome::Identified);
    const auto archive = sim::generateArchive({.recordCount = 10, .recordSize = 16}); // 164 bytes
    const std::string reply = archiveReply(archive);
    EXPECT_EQ(protocol.progressPercent(), 0);
    EXPECT_FALSE(protocol.recordCount());
    feed(reply.substr(0, 5)); // "S" and the record count
    EXPECT_EQ(protocol.recordCount(), 10);
    EXPECT_EQ(protocol.progressPercent(), 0);
    feed(reply.substr(5, 164 - 4)); // half of 328 characters
    EXPECT_EQ(protocol.progressPercent(), 50);
    feed(reply.substr(165, reply.size() - 165 - 1)); // all but "P"
    EXPECT_EQ(protocol.progressPercent(), 99);
    feed("P");
    EXPECT_EQ(protocol.progressPercent(), 100);
}

TEST_F(DownloadProtocolTest, ReplyLongerThanTheReceiveBufferStops)
{
    const std::string filler(DownloadProtocol::kReceiveCapacity - 1, '\r');
    EXPECT_EQ(feed("S" + filler).outcome, Outcome::Waiting);
    EXPECT_EQ(feed("\r").outcome, Outcome::ReplyTooLong);
    EXPECT_EQ(protocol.receivedCount(), DownloadProtocol::kReceiveCapacity);
    EXPECT_EQ(feed(idReply(1, 24)).outcome, Outcome::Waiting); // over until started again
}

TEST_F(DownloadProtocolTest, ArchiveLongerThanTheImageStops)
{
    ASSERT_EQ(feed(idReply(1, 24)).outcome, Outcome::Identified);
    image->decodedLength = 5;
    // 65,536 bytes fit exactly, with or without a stray last character.
    const std::string full = "S" + std::string(2 * ArchiveImage::kCapacity, '1');
    EXPECT_EQ(feed(full + "2").outcome, Outcome::Waiting);
    EXPECT_EQ(feed("P").outcome, Outcome::Received);
    EXPECT_EQ(image->decodedLength, ArchiveImage::kCapacity);
    EXPECT_EQ(image->bytes.back(), 0x11);

    protocol.start();
    ASSERT_EQ(feed(idReply(1, 24)).outcome, Outcome::Identified);
    image->decodedLength = 5;
    EXPECT_EQ(feed(full + "23").outcome, Outcome::ArchiveTooLong); // no need to wait for "P"
    EXPECT_EQ(image->decodedLength, 5u);

    protocol.start();
    ASSERT_EQ(feed(idReply(1, 24)).outcome, Outcome::Identified);
    EXPECT_EQ(feed(full + "23P").outcome, Outcome::ArchiveTooLong);
    EXPECT_EQ(image->decodedLength, 5u);
}

} // namespace
} // namespace zent5
