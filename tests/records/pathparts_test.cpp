#include "records/pathparts.h"

#include <gtest/gtest.h>

namespace zent5 {
namespace {

TEST(PathParts, FolderNameAndStem)
{
    struct Case {
        const char* path;
        const char* directory;
        const char* fileName;
        const char* stem;
    };
    const Case cases[] = {
        {"/data/May.db", "/data", "May.db", "May"},
        {"/data/Испытания мая.db", "/data", "Испытания мая.db", "Испытания мая"},
        {"May.db", "", "May.db", "May"},
        {"/May.db", "/", "May.db", "May"},
        {"C:\\Data\\May.db", "C:\\Data", "May.db", "May"},
        {"C:\\May.db", "C:\\", "May.db", "May"},
        {"C:/Data\\May.db", "C:/Data", "May.db", "May"},
        // Only the last extension goes; a dot in a folder's name is no extension.
        {"/data/archive.2014.db", "/data", "archive.2014.db", "archive.2014"},
        {"/data.old/May", "/data.old", "May", "May"},
        {"/data/", "/data", "", ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const PathParts parts = splitPath(c.path);
        EXPECT_EQ(parts.directory, c.directory);
        EXPECT_EQ(parts.fileName, c.fileName);
        EXPECT_EQ(parts.stem, c.stem);
    }
}

} // namespace
} // namespace zent5
