#include "link/downloadprotocol.h"

#include "link/wireencoding.h"

#include <algorithm>
#include <cstring>

namespace zent5 {

namespace {

// Characters of the archive header: record count and record size, 16-bit each.
constexpr size_t kHeaderChars = 8;
// An odd trailing character is not a byte, so one more than twice the image fits.
constexpr size_t kMaxArchiveChars = 2 * ArchiveImage::kCapacity + 1;

std::string twoDigits(uint8_t v)
{
    return (v < 10 ? "0" : "") + std::to_string(v);
}

} // namespace

DownloadProtocol::DownloadProtocol(ArchiveImage& image) : m_image(image), m_buffer(kReceiveCapacity) {}

void DownloadProtocol::start()
{
    clearReply();
    m_phase = Phase::Identify;
    m_complete = false;
    // A new dialogue shows no instrument until this one identifies itself.
    m_kindModel.reset();
}

void DownloadProtocol::clearReply()
{
    m_startSeen = false;
    m_endSeen = false;
    m_count = 0;
    m_frameStart = kNone;
    m_frameEnd = kNone;
}

std::string DownloadProtocol::versionText(uint8_t b2, uint8_t b3, uint8_t b4)
{
    return twoDigits(b4) + "." + twoDigits(b3) + "." + twoDigits(b2);
}

void DownloadProtocol::scanFrame(size_t from)
{
    for (size_t i = from; i < m_count && m_frameEnd == kNone; ++i) {
        if (m_buffer[i] == wire::kStart && m_frameStart == kNone)
            m_frameStart = i;
        else if (m_buffer[i] == wire::kEnd && m_frameStart != kNone)
            m_frameEnd = i;
    }
}

size_t DownloadProtocol::charsAfterStart() const
{
    const size_t s = m_frameStart;
    if (s == kNone)
        return 0;
    return (m_frameEnd == kNone ? m_count : m_frameEnd) - s - 1;
}

std::optional<uint16_t> DownloadProtocol::recordCount() const
{
    if (m_phase != Phase::Archive || !m_startSeen || charsAfterStart() < 4)
        return std::nullopt;
    return wire::decodeWord(m_buffer.data() + m_frameStart + 1);
}

int DownloadProtocol::progressPercent() const
{
    if (m_complete)
        return 100;
    if (m_phase != Phase::Archive || !m_startSeen)
        return 0;
    const size_t have = charsAfterStart();
    if (have < kHeaderChars)
        return 0;
    const char* header = m_buffer.data() + m_frameStart + 1;
    const size_t expected = 2 * (4 + size_t{wire::decodeWord(header)} * wire::decodeWord(header + 4));
    return static_cast<int>(std::min<size_t>(99, have * 100 / expected));
}

DownloadProtocol::Step DownloadProtocol::feed(const uint8_t* data, size_t size)
{
    Step step;
    if (size == 0 || m_complete)
        return step;

    // A reply begins at its "S". What comes before belongs to none we asked
    // for: line noise, or the tail of an archive the instrument was still
    // sending when this dialogue began, with its closing "P", which would
    // otherwise end the identification before it has arrived.
    if (!m_startSeen) {
        size_t start = 0;
        while (start < size && data[start] != uint8_t(wire::kStart) && data[start] != uint8_t(wire::kProbe))
            ++start;
        if (start == size)
            return step;
        data += start;
        size -= start;
    }

    for (size_t i = 0; i < size; ++i) {
        switch (static_cast<char>(data[i])) {
        case wire::kEnd:
            m_endSeen = true;
            break;
        case wire::kStart:
            m_startSeen = true;
            step.stopTimer = true;
            break;
        case wire::kProbe:
            // The instrument started over: what came so far is void, and so
            // are the markers already seen, or a "P" of the abandoned reply
            // would end the next one before it is complete.
            m_phase = Phase::Identify;
            clearReply();
            step.stopTimer = true;
            step.send = wire::kIdentify;
            step.outcome = Outcome::Restarted;
            return step;
        default:
            break;
        }
    }

    if (m_count + size > kReceiveCapacity) {
        m_complete = true;
        step.outcome = Outcome::ReplyTooLong;
        return step;
    }
    std::memcpy(m_buffer.data() + m_count, data, size);
    m_count += size;
    scanFrame(m_count - size);

    if (m_phase == Phase::Identify && m_endSeen) {
        Step id = identify();
        id.stopTimer = step.stopTimer;
        return id;
    }
    if (m_phase == Phase::Archive) {
        if (m_endSeen) {
            Step done = finishArchive();
            done.stopTimer = step.stopTimer;
            return done;
        }
        if (m_startSeen && charsAfterStart() > kMaxArchiveChars) {
            m_complete = true;
            step.outcome = Outcome::ArchiveTooLong;
        }
    }
    return step;
}

DownloadProtocol::Step DownloadProtocol::identify()
{
    Step step;
    const size_t s = m_frameStart;
    if (s == kNone || charsAfterStart() < wire::kIdentificationChars) {
        m_complete = true;
        step.outcome = Outcome::WrongInstrument;
        return step;
    }
    const char* c = m_buffer.data() + s + 1;
    const uint8_t kind = wire::decodePair(c[0], c[1]);
    const uint8_t model = wire::decodePair(c[2], c[3]);
    m_kindModel = std::make_pair(kind, model);
    m_image.kind = kind;
    m_image.model = model;
    m_image.versionText =
        versionText(wire::decodePair(c[4], c[5]), wire::decodePair(c[6], c[7]), wire::decodePair(c[8], c[9]));
    m_image.serialNumber = wire::decodeWord(c + 10);
    if (kind != kKind || model < kFirstModel || model > kLastModel) {
        m_complete = true;
        step.outcome = Outcome::WrongInstrument;
        return step;
    }
    clearReply();
    m_phase = Phase::Archive;
    step.outcome = Outcome::Identified;
    step.send = wire::kArchive;
    return step;
}

DownloadProtocol::Step DownloadProtocol::finishArchive()
{
    Step step;
    m_complete = true;
    m_startSeen = false;
    m_endSeen = false;
    const size_t s = m_frameStart;
    if (s == kNone) {
        step.outcome = Outcome::WrongInstrument;
        return step;
    }
    const size_t chars = charsAfterStart();
    const size_t bytes = chars / 2;
    if (bytes > ArchiveImage::kCapacity) {
        step.outcome = Outcome::ArchiveTooLong;
        return step;
    }
    const char* c = m_buffer.data() + s + 1;
    for (size_t i = 0; i < bytes; ++i)
        m_image.bytes[i] = wire::decodePair(c[2 * i], c[2 * i + 1]);
    m_image.decodedLength = bytes;
    step.outcome = Outcome::Received;
    return step;
}

} // namespace zent5
