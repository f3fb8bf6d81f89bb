// A result file is written under a temporary name and put in place whole: an
// earlier file of that name stays until then, a dropped or failed file leaves
// nothing, and a killed run's temporary file is removed by the next run.
#include "platform/staged_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <future>
#include <memory>

#include "faulty_file_system.h"
#include "temp_dir.h"

using namespace platform;
using testsupport::FaultyFileSystem;
using testsupport::listNames;
using testsupport::readBytes;
using testsupport::TempDir;
using testsupport::writeBytes;

namespace {

// The process id of a child that has ended: no process of that id runs.
pid_t endedProcess() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

}  // namespace

TEST(StagedFile, TheNameShowsOnlyTheWholeFile) {
    TempDir dir;
    writeBytes(dir / "list-Export.csv", "earlier");
    StagedFile file(dir / "list-Export.csv");
    EXPECT_EQ(file.temporaryPath(), dir / (".list-Export.csv." + std::to_string(::getpid()) + ".partial"));
    file.append("new ");
    file.append("bytes");
    EXPECT_EQ(readBytes(dir / "list-Export.csv"), "earlier");
    EXPECT_EQ(readBytes(file.temporaryPath()), "new bytes");
    file.commit();
    EXPECT_EQ(readBytes(dir / "list-Export.csv"), "new bytes");
    EXPECT_EQ(listNames(dir.path()), std::vector<std::string>{"list-Export.csv"});
}

TEST(StagedFile, DroppedBeforeCommitLeavesNothing) {
    TempDir dir;
    writeBytes(dir / "a.csv", "earlier");
    {
        StagedFile file(dir / "a.csv");
        file.append("half of it");
    }
    {
        StagedFile file(dir / "b.csv");
        file.append("half of it");
    }
    EXPECT_EQ(listNames(dir.path()), std::vector<std::string>{"a.csv"});
    EXPECT_EQ(readBytes(dir / "a.csv"), "earlier");
}

TEST(StagedFile, AFailureAtAnyCallKeepsTheEarlierFile) {
    using Call = FaultyFileSystem::Call;
    TempDir dir;
    const std::string path = dir / "a.csv";
    const struct {
        Call call;
        std::string message;
    } cases[] = {
        {Call::Create, "Cannot create file \"" + path + "\". No space left on device"},
        {Call::Append, "Cannot write file \"" + path + "\". No space left on device"},
        {Call::Sync, "Cannot write file \"" + path + "\". No space left on device"},
        {Call::Close, "Cannot write file \"" + path + "\". No space left on device"},
        // The file cannot be made under its name.
        {Call::Rename, "Cannot create file \"" + path + "\". No space left on device"},
    };
    for (const auto& c : cases) {
        writeBytes(path, "earlier");
        FaultyFileSystem disk;
        disk.failAt(c.call, 1);
        ScopedFileSystem installed(disk);
        try {
            StagedFile file(path);
            file.append("new");
            file.commit();
            ADD_FAILURE() << "no failure for " << c.message;
        } catch (const FileError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
            EXPECT_EQ(e.errorNumber(), ENOSPC);
        }
        EXPECT_EQ(readBytes(path), "earlier") << c.message;
        EXPECT_EQ(listNames(dir.path()), std::vector<std::string>{"a.csv"}) << c.message;
    }
}

TEST(StagedFile, TheFolderIsSyncedAfterTheRename) {
    TempDir dir;
    FaultyFileSystem disk;
    ScopedFileSystem installed(disk);
    StagedFile file(dir / "a.csv");
    file.append("x");
    EXPECT_TRUE(disk.syncedDirectories.empty());
    file.commit();
    EXPECT_EQ(disk.renamedTo, std::vector<std::string>{dir / "a.csv"});
    EXPECT_EQ(disk.syncedDirectories, std::vector<std::string>{dir.path()});
}

TEST(StagedFile, ChineseNames) {
    TempDir dir;
    StagedFile file(dir / "名单-Export.csv");
    file.append("x");
    file.commit();
    EXPECT_EQ(readBytes(dir / "名单-Export.csv"), "x");
}

TEST(StagedFile, APipeUnderTheNameIsWrittenNotReplaced) {
    TempDir dir;
    const std::string fifo = dir / "out.csv";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    auto reader = std::async(std::launch::async, [&] { return readBytes(fifo); });
    {
        StagedFile file(fifo);
        file.append("through the pipe");
        file.commit();
    }
    EXPECT_EQ(reader.get(), "through the pipe");
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(listNames(dir.path()), std::vector<std::string>{"out.csv"});
}

TEST(LeftoverTemporaries, OnlyThoseOfEndedRunsAreRemoved) {
    TempDir dir;
    const std::string dead = std::to_string(endedProcess());
    const std::string alive = std::to_string(::getppid());
    const std::vector<std::string> kept = {
        ".list-Export.csv." + alive + ".partial",  // a run still going
        ".list-Export.csv.partial",                // not a name of ours
        ".list.csv.12a.partial",
        "list-Export.csv." + dead + ".partial",
        ".hidden",
        "list-Export.csv",
    };
    const std::vector<std::string> removed = {
        ".list-Export.csv." + dead + ".partial",
        ".list-Export-3.csv." + dead + ".partial",
        ".list-Invalid.csv." + std::to_string(::getpid()) + ".partial",  // this process writes none now
    };
    for (const auto& name : kept) writeBytes(dir / name, "x");
    for (const auto& name : removed) writeBytes(dir / name, "x");
    FaultyFileSystem disk;  // removals go through the file system in force
    ScopedFileSystem installed(disk);
    EXPECT_EQ(removeLeftoverTemporaries(dir.path()), 3);
    EXPECT_EQ(disk.removed.size(), 3u);
    std::vector<std::string> expected = kept;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listNames(dir.path()), expected);
    EXPECT_EQ(removeLeftoverTemporaries(dir / "no-such-folder"), 0);
}

TEST(StagedFile, ManyFilesArePutInPlaceWithOneWaitForTheDisk) {
    TempDir dir;
    FaultyFileSystem disk;
    ScopedFileSystem installed(disk);
    std::vector<std::unique_ptr<StagedFile>> files;
    for (int i = 1; i <= 5; ++i) {
        files.push_back(std::make_unique<StagedFile>(dir / ("part-" + std::to_string(i) + ".csv")));
        files.back()->append("part " + std::to_string(i));
        files.back()->close();
    }
    EXPECT_EQ(listNames(dir.path()).size(), 5u);  // all still under their temporary names
    EXPECT_EQ(readBytes(dir / "part-1.csv"), "");  // not under its name yet
    StagedFile::commitAll(files);
    EXPECT_TRUE(files.empty());
    EXPECT_EQ(disk.syncedFileSystems, std::vector<std::string>{dir.path()});
    EXPECT_EQ(disk.syncedDirectories, std::vector<std::string>{dir.path()});
    EXPECT_EQ(listNames(dir.path()),
              (std::vector<std::string>{"part-1.csv", "part-2.csv", "part-3.csv", "part-4.csv", "part-5.csv"}));
    EXPECT_EQ(readBytes(dir / "part-3.csv"), "part 3");
}

TEST(StagedFile, AFailedRenameAmongManyLeavesTheEarlierOnesInPlace) {
    TempDir dir;
    writeBytes(dir / "part-3.csv", "earlier");
    FaultyFileSystem disk;
    disk.failAt(FaultyFileSystem::Call::Rename, 3);
    ScopedFileSystem installed(disk);
    std::vector<std::unique_ptr<StagedFile>> files;
    for (int i = 1; i <= 4; ++i) {
        files.push_back(std::make_unique<StagedFile>(dir / ("part-" + std::to_string(i) + ".csv")));
        files.back()->append("new");
        files.back()->close();
    }
    EXPECT_THROW(StagedFile::commitAll(files), FileError);
    EXPECT_TRUE(files.empty());
    EXPECT_EQ(listNames(dir.path()), (std::vector<std::string>{"part-1.csv", "part-2.csv", "part-3.csv"}));
    EXPECT_EQ(readBytes(dir / "part-2.csv"), "new");
    EXPECT_EQ(readBytes(dir / "part-3.csv"), "earlier");
}

// A final name close to the 255-byte limit leaves no room for the marks: the
// temporary name is cut short (at a character's start) and kept apart from
// another cut name by a hash of the whole name; such a file is put in place,
// and its leftover is still known as one.
TEST(StagedFile, ANameNearTheLimit) {
    TempDir dir;
    std::string stem;
    while (stem.size() < 231) stem += "名";  // 3 bytes each: 231 bytes
    // Shifted by one and two bytes, so that the cut falls inside a character
    // in at least one of them, whatever the length of the process id.
    const std::vector<std::string> names = {
        stem + "-Export-1.csv",             // 244 bytes
        stem + "-Export-2.csv",             // the same until its last characters
        "x" + stem + "-Export-1.csv",
        "xy" + stem + "-Export-1.csv",
        std::string(255 - 4, 'a') + ".csv",  // the longest name there is
        "list-Export.csv",                  // a short one keeps its whole name
    };
    std::vector<std::string> temporaries;
    {
        std::vector<std::unique_ptr<StagedFile>> files;
        for (const auto& name : names) {
            files.push_back(std::make_unique<StagedFile>(dir / name));
            files.back()->append(name);
            const std::string temporary = fileNameOf(files.back()->temporaryPath());
            EXPECT_LE(temporary.size(), 255u) << name;
            EXPECT_EQ(temporary.front(), '.');
            EXPECT_EQ(temporary.substr(temporary.size() - 8), ".partial");
            temporaries.push_back(temporary);
        }
        EXPECT_EQ(temporaries.back(), ".list-Export.csv." + std::to_string(::getpid()) + ".partial");
        // Cut at a character's start: what is kept of a long name is its beginning, whole characters.
        for (std::size_t i = 0; i + 1 < names.size(); ++i) {
            const std::string& temporary = temporaries[i];
            const std::size_t mark = temporary.find('~');
            ASSERT_NE(mark, std::string::npos) << temporary;
            const std::string kept = temporary.substr(1, mark - 1);
            ASSERT_LT(kept.size(), names[i].size());
            EXPECT_EQ(names[i].compare(0, kept.size(), kept), 0) << temporary;
            EXPECT_NE(static_cast<unsigned char>(names[i][kept.size()]) & 0xC0, 0x80) << temporary;
        }
        EXPECT_NE(temporaries[0], temporaries[1]);
        for (const auto& file : files) file->commit();
    }
    for (const auto& name : names) EXPECT_EQ(readBytes(dir / name), name);

    // A killed run's long temporary file is removed by the next run.
    const std::string left = "." + stem.substr(0, 210) + "~0123abcd." + std::to_string(endedProcess()) + ".partial";
    writeBytes(dir / left, "x");
    EXPECT_EQ(removeLeftoverTemporaries(dir.path()), 1);
    EXPECT_FALSE(std::filesystem::exists(dir / left));
}
