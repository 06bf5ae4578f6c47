#include "journal/instrumentregister.h"

#include <map>

namespace zent5::journal {
namespace {

// Order of downloads: by moment, and by id within one second.
bool later(const EntryInfo& entry, const Moment& moment, const std::string& id)
{
    if (entry.download.moment.utcSeconds != moment.utcSeconds)
        return entry.download.moment.utcSeconds > moment.utcSeconds;
    return entry.id > id;
}

struct Seen {
    Instrument instrument;
    std::string firstId;
    std::string lastId;
};

} // namespace

std::vector<Instrument> buildRegister(const std::vector<EntryInfo>& entries, const VerificationDates& dates)
{
    std::map<std::pair<uint16_t, uint8_t>, Seen> seen; // by serial number, then model
    for (const EntryInfo& e : entries) {
        const InstrumentKey key{e.model, e.serialNumber};
        auto [it, fresh] = seen.try_emplace({e.serialNumber, e.model});
        Seen& s = it->second;
        Instrument& in = s.instrument;
        if (fresh) {
            in.key = key;
            in.firstDownload = in.lastDownload = e.download.moment;
            s.firstId = s.lastId = e.id;
            in.kind = e.kind;
            in.versionText = e.versionText;
            in.verificationDue = dates.dueDate(key);
        } else if (later(e, in.lastDownload, s.lastId)) {
            in.lastDownload = e.download.moment;
            s.lastId = e.id;
            in.kind = e.kind;
            in.versionText = e.versionText;
        } else if (!later(e, in.firstDownload, s.firstId)) {
            in.firstDownload = e.download.moment;
            s.firstId = e.id;
        }
        ++in.downloads;
    }
    std::vector<Instrument> out;
    out.reserve(seen.size());
    for (auto& [order, s] : seen)
        out.push_back(std::move(s.instrument));
    return out;
}

} // namespace zent5::journal
