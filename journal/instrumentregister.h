#pragma once

#include "journal/journalentry.h"
#include "journal/verificationdates.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zent5::journal {

// An instrument as the journal knows it.
struct Instrument {
    InstrumentKey key;
    uint8_t kind = 0;
    std::string versionText; // of its latest download
    Moment firstDownload;
    Moment lastDownload;
    uint32_t downloads = 0;
    std::optional<Day> verificationDue;
};

// The instruments of the journal's entries, by serial number and model,
// with the due dates the user entered.
std::vector<Instrument> buildRegister(const std::vector<EntryInfo>& entries, const VerificationDates& dates);

} // namespace zent5::journal
