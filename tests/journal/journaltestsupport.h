#pragma once

#include "journal/journal.h"
#include "journal/journalentry.h"
#include "records/error.h"
#include "table/fileio.h"
#include "table/tablefixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace zent5::testing {

// The text of the Error the call raises, or "no error".
inline std::string errorOf(const std::function<void()>& run)
{
    try {
        run();
    } catch (const Error& e) {
        return e.what();
    }
    return "no error";
}

// 2024-03-05 10:00:00 UTC, 13:00 on a Moscow clock.
constexpr int64_t kMarch5 = 1709632800;
constexpr int32_t kMoscow = 3 * 3600;

// A download of `records` records of 16 bytes (one test a minute from
// 05.03.2014 10:00:00), as the download window leaves it.
inline void fillImage(ArchiveImage& image, uint16_t serial, int records)
{
    image = ArchiveImage{};
    image.bytes[0] = uint8_t(records);
    image.bytes[1] = uint8_t(records >> 8);
    image.bytes[2] = 16;
    for (int i = 0; i < records; ++i) {
        uint8_t* r = image.bytes.data() + 4 + 16 * i;
        r[1] = uint8_t(i % 60);
        r[2] = uint8_t(10 + i / 60 % 14);
        r[3] = 5;
        r[4] = 3;
        r[5] = 14;
        r[6] = uint8_t(1000 + i);
        r[7] = uint8_t((1000 + i) >> 8);
        r[8] = 0x2C;
        r[9] = 0x01;
        r[10] = uint8_t(i % 15);
    }
    image.decodedLength = 4 + 16 * size_t(records);
    image.serialNumber = serial;
    image.versionText = "10.10.14";
    image.kind = 1;
    image.model = 25;
}

inline journal::Entry sampleEntry(uint16_t serial = 321, int64_t utcSeconds = kMarch5, int records = 3)
{
    auto image = std::make_unique<ArchiveImage>();
    fillImage(*image, serial, records);
    journal::Download d;
    d.moment = {utcSeconds, kMoscow};
    d.portName = "\\\\.\\COM1";
    d.action = journal::TableAction::NewTable;
    d.tablePath = "/home/инженер/анкеры.db";
    d.rowsAdded = uint32_t(records);
    return journal::makeEntry(*image, d);
}

// A fresh folder per test (see TableFolder); the journal lives in its
// "journal" subfolder, which the first write makes.
class JournalFolder : public TableFolder {
protected:
    std::string journalDir() const { return path("journal"); }
    std::string entryFile(const std::string& id) const { return journalDir() + "/" + id + ".zje"; }

    // The names in the journal's folder.
    std::set<std::string> names() const
    {
        std::set<std::string> out;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(journalDir(), ec))
            out.insert(e.path().filename().string());
        return out;
    }

    static std::vector<uint8_t> readBytes(const std::string& p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }
    static void writeBytes(const std::string& p, const std::vector<uint8_t>& bytes)
    {
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
};

} // namespace zent5::testing
