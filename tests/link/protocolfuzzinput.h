#pragma once

#include "link/downloadprotocol.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace zent5::testing {

// Plays fuzzer bytes into the download protocol as a script of batches:
//   0xFF             start a fresh dialogue (the window shown again)
//   0xFE             forget the current reply (a search step, "Отмена")
//   0xFD lo hi c     a batch of 8 * (lo + 256 * hi) copies of c, so that
//                    short inputs reach the limits of the buffers
//   0xF0..0xFC lo hi a batch of lo + 256 * hi bytes
//   0x00..0xEF       a batch of that many bytes (0 = an empty batch)
// A batch takes what is left when the input is shorter. Returns false when
// an invariant breaks: nothing may ever exceed the receive buffer or the
// image, and progress stays within 0..100.
inline bool invariantsHold(const DownloadProtocol& protocol, const ArchiveImage& image,
                           const DownloadProtocol::Step& step)
{
    if (protocol.receivedCount() > DownloadProtocol::kReceiveCapacity)
        return false;
    if (image.decodedLength > ArchiveImage::kCapacity)
        return false;
    const int percent = protocol.progressPercent();
    if (percent < 0 || percent > 100)
        return false;
    if (step.send != 0 && step.send != 'V' && step.send != 'N')
        return false;
    return step.outcome != DownloadProtocol::Outcome::Received || percent == 100;
}

inline bool playProtocolScript(const uint8_t* data, size_t size)
{
    auto image = std::make_unique<ArchiveImage>();
    DownloadProtocol protocol(*image);
    protocol.start();
    size_t at = 0;
    while (at < size) {
        const uint8_t op = data[at++];
        if (op == 0xFF) {
            protocol.start();
            continue;
        }
        if (op == 0xFE) {
            protocol.clearReply();
            continue;
        }
        if (op == 0xFD) {
            size_t n = 0;
            uint8_t c = 0;
            if (at < size)
                n = data[at++];
            if (at < size)
                n += 256u * data[at++];
            if (at < size)
                c = data[at++];
            const std::vector<uint8_t> filler(8 * n, c);
            const auto step = protocol.feed(filler.data(), filler.size());
            if (!invariantsHold(protocol, *image, step))
                return false;
            continue;
        }
        size_t length = op;
        if (op >= 0xF0) {
            length = 0;
            if (at < size)
                length = data[at++];
            if (at < size)
                length += 256u * data[at++];
        }
        if (length > size - at)
            length = size - at;
        const auto step = protocol.feed(data + at, length);
        at += length;
        if (!invariantsHold(protocol, *image, step))
            return false;
    }
    return true;
}

} // namespace zent5::testing
