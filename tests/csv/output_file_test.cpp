#include "csv/output_file.h"

#include <gtest/gtest.h>

#include "faulty_file_system.h"
#include "test_files.h"

using csv::OutputFile;
using csv::OutputFileError;
using testing_files::readFile;

TEST(OutputFile, SmallBufferKeepsEveryByteInOrder) {
    testing_files::TempDir dir;
    std::string expected;
    {
        OutputFile file(dir / "f.bin", 5);
        for (int i = 0; i < 50; ++i) {
            const std::string piece(static_cast<std::size_t>(i % 13), static_cast<char>('a' + i % 26));
            file.write(piece);
            file.write(';');
            expected += piece + ';';
        }
        EXPECT_EQ(file.size(), expected.size());
        file.close();
    }
    EXPECT_EQ(readFile(dir / "f.bin"), expected);
}

TEST(OutputFile, TruncatesAnExistingFile) {
    testing_files::TempDir dir;
    testing_files::writeFile(dir / "f.bin", std::string(1000, 'x'));
    OutputFile file(dir / "f.bin");
    file.write("ab");
    file.close();
    EXPECT_EQ(readFile(dir / "f.bin"), "ab");
}

TEST(OutputFile, CreateFailureNamesFileAndCause) {
    testing_files::TempDir dir;
    try {
        OutputFile file(dir / "missing/f.csv");
        FAIL();
    } catch (const OutputFileError& e) {
        EXPECT_EQ(e.stage(), OutputFileError::Stage::Create);
        EXPECT_EQ(std::string(e.what()),
                  "Cannot create file \"" + dir.path() + "/missing/f.csv\". No such file or directory");
    }
}

TEST(OutputFile, FullDiskSurfacesAtAWriteOrAtClose) {
    testing_files::TempDir dir;
    testsupport::FaultyFileSystem disk;
    platform::ScopedFileSystem installed(disk);
    {
        disk.failAt(testsupport::FaultyFileSystem::Call::Append, 1);
        OutputFile file(dir / "f.csv", 4);
        EXPECT_THROW(file.write("more than four bytes"), OutputFileError);
    }
    disk.failAt(testsupport::FaultyFileSystem::Call::Append, 2);
    OutputFile file(dir / "f.csv");
    file.write("a");
    try {
        file.close();
        FAIL() << "close hid a full disk";
    } catch (const OutputFileError& e) {
        EXPECT_EQ(e.stage(), OutputFileError::Stage::Write);
        EXPECT_EQ(e.errorNumber(), ENOSPC);
        EXPECT_EQ(std::string(e.what()), "Cannot write file \"" + dir.path() + "/f.csv\". No space left on device");
    }
    EXPECT_TRUE(testing_files::listDir(dir.path()).empty());  // nothing half-written, under any name
}
