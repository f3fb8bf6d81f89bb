// A run ended by a signal puts the description file back as it was.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include "cli_process.h"
#include "sample_list.h"

namespace clitest {
namespace {

// Signals the export as soon as its description file section exists; skips
// when the run ended before that could be seen.
void interruptWhileBound(const TempDir& dir, int signalNumber, const std::string& schemaBefore) {
    writeBytes(dir / "big.csv", generatedList(400000));
    if (!schemaBefore.empty()) writeBytes(dir / "Schema.ini", schemaBefore);

    CliProcess process({"--source", dir / "big.csv", "--header", "--export-all"});
    bool sawSection = false;
    while (process.running()) {
        if (readBytes(dir / "Schema.ini").find("[big.csv]") != std::string::npos) {
            sawSection = true;
            break;
        }
        ::usleep(500);
    }
    if (!sawSection) GTEST_SKIP() << "the run ended before it could be interrupted";
    process.signal(signalNumber);
    const CliRun run = process.wait();
    if (run.exitCode == 0) GTEST_SKIP() << "the run ended before the signal arrived";
    EXPECT_EQ(run.exitCode, 128 + signalNumber);
    if (schemaBefore.empty()) EXPECT_FALSE(exists(dir / "Schema.ini"));
    else EXPECT_EQ(readBytes(dir / "Schema.ini"), schemaBefore);
    // It stopped as a cancelled run: the file being written is gone, and
    // unless the export had come to its end, the message says so.
    for (const auto& name : listNames(dir.path())) EXPECT_EQ(name.find(".partial"), std::string::npos) << name;
    if (run.err.find("执行完毕") == std::string::npos) EXPECT_EQ(run.err, "操作已取消。\n");
}

TEST(CliInterruptTest, SigtermRemovesTheDescriptionFileTheRunCreated) {
    TempDir dir;
    interruptWhileBound(dir, SIGTERM, "");
}

TEST(CliInterruptTest, SigintRestoresAUsersDescriptionFile) {
    TempDir dir;
    interruptWhileBound(dir, SIGINT, "[other.csv]\r\nColNameHeader=True\r\nFormat=CSVDelimited\r\n");
}

TEST(CliInterruptTest, AClosedPipeOnStandardOutputLeavesNoDescriptionFile) {
    TempDir dir;
    writeBytes(dir / "list.csv", "email\r\na@b.com\r\n");
    const std::string fifo = dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    CliProcess process({"--source", dir / "list.csv", "--header", "--preview"}, {}, fifo);
    const int reader = ::open(fifo.c_str(), O_RDONLY);  // meets the program's open
    ASSERT_GE(reader, 0);
    ::close(reader);  // gone before the program prints
    const CliRun run = process.wait();
    if (run.exitCode == 0) GTEST_SKIP() << "the rows went into the pipe before it was closed";
    EXPECT_EQ(run.exitCode, 128 + SIGPIPE);
    EXPECT_FALSE(exists(dir / "Schema.ini"));
}

}  // namespace
}  // namespace clitest
