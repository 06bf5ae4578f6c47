#pragma once

#include "records/archiveimage.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zent5 {

// The instrument dialogue as plain code: it is fed the byte batches that the
// serial port delivers and says what the caller has to do next. It owns the
// receive buffer of the current reply and fills the shared archive image.
//
//   system "V"  ->  "S" + 7 encoded bytes (kind, model, version x3, serial) + "P"
//   system "N"  ->  "S" + the encoded archive image + "P"
//   instrument "Z" at any time: ask for the identification again.
class DownloadProtocol {
public:
    static constexpr size_t kReceiveCapacity = 262144; // characters of one reply
    static constexpr uint8_t kKind = 1;
    static constexpr uint8_t kFirstModel = 24;
    static constexpr uint8_t kLastModel = 25;

    enum class Phase { Identify, Archive }; // last letter sent: "V" or "N"

    enum class Outcome {
        Waiting,         // nothing decided yet
        Restarted,       // a "Z" came: the caller sends "V" again
        Identified,      // a valid instrument: the caller sends "N"
        WrongInstrument, // kind, model or the reply's form is not ours
        ReplyTooLong,    // the reply does not fit the receive buffer
        ArchiveTooLong,  // the archive does not fit the image
        Received,        // the archive is in the image
    };

    struct Step {
        Outcome outcome = Outcome::Waiting;
        bool stopTimer = false; // the instrument has started to answer
        char send = 0;          // letter to send now, 0 for none
    };

    explicit DownloadProtocol(ArchiveImage& image);

    // A fresh dialogue in phase "V" (the caller sends "V").
    void start();
    // Forgets the current reply: the flags and the received count.
    void clearReply();

    Step feed(const uint8_t* data, size_t size);

    Phase phase() const { return m_phase; }
    bool startSeen() const { return m_startSeen; }
    bool endSeen() const { return m_endSeen; }
    size_t receivedCount() const { return m_count; }

    // The archive's record count, once its first four characters are in.
    std::optional<uint16_t> recordCount() const;
    // 0..99 while the archive arrives (characters against the size its
    // header announces), 100 once it is complete.
    int progressPercent() const;
    // Kind and model of the last identification that had them.
    std::optional<std::pair<uint8_t, uint8_t>> kindAndModel() const { return m_kindModel; }

    // "byte4.byte3.byte2", each at least two digits.
    static std::string versionText(uint8_t b2, uint8_t b3, uint8_t b4);

private:
    Step identify();
    Step finishArchive();
    // Characters after the reply's "S" and before the first "P" after it.
    size_t charsAfterStart() const;
    void scanFrame(size_t from);

    static constexpr size_t kNone = static_cast<size_t>(-1);

    ArchiveImage& m_image;
    std::vector<char> m_buffer;
    size_t m_count = 0;
    Phase m_phase = Phase::Identify;
    bool m_startSeen = false;
    bool m_endSeen = false;
    bool m_complete = false;
    size_t m_frameStart = kNone; // the reply's "S", the first character kept
    size_t m_frameEnd = kNone;
    std::optional<std::pair<uint8_t, uint8_t>> m_kindModel;
};

} // namespace zent5
