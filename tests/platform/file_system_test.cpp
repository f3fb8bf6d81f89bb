#include "platform/file_system.h"

#include <gtest/gtest.h>

#include "temp_dir.h"

using namespace platform;
using testsupport::TempDir;
using testsupport::writeBytes;

TEST(FileSystem, PathParts) {
    struct Case {
        std::string path, dir, name;
    } cases[] = {
        {"/home/u/list.csv", "/home/u", "list.csv"},
        {"/list.csv", "/", "list.csv"},
        {"list.csv", "", "list.csv"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(directoryOf(c.path), c.dir) << c.path;
        EXPECT_EQ(fileNameOf(c.path), c.name) << c.path;
    }
    EXPECT_EQ(joinPath("/", "a.csv"), "/a.csv");
    EXPECT_EQ(joinPath("/d", "a.csv"), "/d/a.csv");
}

// Names are the file system's own: Chinese characters and characters GBK
// cannot hold alike.
TEST(FileSystem, AnyNameTheFileSystemHolds) {
    for (const std::string name : {"邮件.csv", "list😀.csv", "a]b.csv"}) {
        TempDir dir;
        const std::string path = dir.path() + "/" + name;
        writeBytes(path, "x");
        EXPECT_TRUE(fileExists(path)) << name;
        EXPECT_EQ(fileSize(path), 1) << name;
        EXPECT_TRUE(renameFile(path, dir.path() + "/新" + name)) << name;
        EXPECT_TRUE(fileExists(dir.path() + "/新" + name)) << name;
        EXPECT_TRUE(removeFile(dir.path() + "/新" + name)) << name;
        EXPECT_FALSE(removeFile(dir.path() + "/新" + name)) << name;
        EXPECT_EQ(fileSize(path), -1) << name;
        EXPECT_TRUE(directoryExists(dir.path()));
    }
}
