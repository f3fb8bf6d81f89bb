#include "platform/file_system.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"
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

TEST(FileSystem, GbkNamesMeetUtf8Files) {
    TempDir dir;
    const std::string gbkName = dir.path() + "/" + gbk("邮件.csv");
    writeBytes(dir.file("邮件.csv"), "x");
    EXPECT_TRUE(fileExists(gbkName));
    EXPECT_EQ(fileSize(gbkName), 1);
    EXPECT_TRUE(renameFile(gbkName, dir.path() + "/" + gbk("新.csv")));
    EXPECT_TRUE(fileExists(dir.path() + "/" + gbk("新.csv")));
    EXPECT_TRUE(removeFile(dir.path() + "/" + gbk("新.csv")));
    EXPECT_FALSE(removeFile(dir.path() + "/" + gbk("新.csv")));
    EXPECT_EQ(fileSize(gbkName), -1);
    EXPECT_TRUE(directoryExists(dir.path()));
}

TEST(FileSystem, NamesThatCannotBeConverted) {
    EXPECT_THROW(nativePath("/tmp/\xFF.csv"), FileError);
    EXPECT_THROW(gbkPath("/tmp/😀.csv"), FileError);
    EXPECT_EQ(gbkPath("/tmp/邮件.csv"), "/tmp/" + gbk("邮件.csv"));
}
