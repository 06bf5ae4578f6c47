#pragma once

#include "table/dbftable.h"
#include "table/fileio.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zent5::testing {

// A fresh folder per test; tables are written only there.
class TableFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zent5-table-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_dir = pattern;
        fileio::testhook::reset();
    }
    void TearDown() override
    {
        fileio::testhook::reset();
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    std::string path(const std::string& name) const { return (m_dir / name).string(); }
    std::string folder() const { return m_dir.string(); }

    static std::string readFile(const std::string& p)
    {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void writeFile(const std::string& p, const std::string& bytes)
    {
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    static bool exists(const std::string& p) { return std::filesystem::exists(p); }

    // Points the table at `name` in the folder.
    void aim(DbfTable& t, const std::string& name = "t.db") const
    {
        t.setFilePath(folder());
        t.setTableName(name);
    }

    // Creates and opens a new measurement table.
    void createOpen(DbfTable& t, const std::string& name = "t.db") const
    {
        aim(t, name);
        t.CreateNew();
        t.Open();
    }

    static void appendRow(DbfTable& t, double n, double p, const std::string& comment = {})
    {
        t.Append();
        t.SetFieldValue("N", n);
        t.SetFieldValue("P", p);
        if (!comment.empty())
            t.SetFieldValue("COMMENT", comment);
        t.Post();
    }

    // The N values of the visible rows in view order.
    static std::vector<int> viewNs(DbfTable& t)
    {
        std::vector<int> out;
        for (uint32_t r : t.ViewOrder())
            out.push_back(int(std::get<double>(t.ReadField(r, "N"))));
        return out;
    }

    std::filesystem::path m_dir;
};

} // namespace zent5::testing
