// Long work from the command line: the summary after the completion message
// and --report's JSON, worked out by hand; the progress line on a terminal
// only; a run killed with SIGKILL leaves no partial file under a result's
// name, and the next run removes what it left.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <thread>

#include "cli_process.h"
#include "sample_list.h"

namespace clitest {
namespace {

// Fifteen addresses and one empty field (the list of the core's summary test):
//   valid: alice (three spellings), bob (twice), carol, dave, erin -> 5 distinct, 3 repeats
//   invalid: not-an-address (three spellings), x@y                  -> 2 distinct, 2 repeats
//   erroneous: c@@163.com (two spellings), "d @qq.com"              -> 2 distinct, 1 repeat
const char* const kList =
    "email,name\r\n"
    "Alice@QQ.com,1\r\nalice@qq.com,2\r\nALICE@qq.COM,3\r\nbob@163.com,4\r\nnot-an-address,5\r\n"
    "bob@163.com,6\r\nc@@163.com,7\r\ncarol@gmail.com,8\r\n,9\r\nNOT-AN-ADDRESS,10\r\ndave@sina.com,11\r\n"
    "C@@163.com,12\r\nx@y,13\r\nd @qq.com,14\r\nnot-an-address,15\r\nerin@qq.com,16\r\n";

class CliLongWorkTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeBytes(dir / "list.csv", kList);
        writeBytes(dir / "excl.csv", "carol@gmail.com\r\nerin@qq.com\r\n");
    }
    CliRun cli(std::vector<std::string> extra) const {
        std::vector<std::string> args{"--source", dir / "list.csv", "--header"};
        args.insert(args.end(), extra.begin(), extra.end());
        return runCli(args);
    }
    TempDir dir;
};

TEST_F(CliLongWorkTest, SummaryAndReport) {
    const CliRun r =
        cli({"--exclude-file", "excl.csv", "--split-rows", "2", "--export-all", "--report", dir / "report.json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "Email地址按条件全部导出 执行完毕!\n"
              "读取的非空地址：15\n"
              "无效地址（去重，存入 list-Invalid.csv）：2\n"
              "错误地址（去重，存入 list-Error.csv）：2\n"
              "重复地址（不区分大小写）：6\n"
              "排除地址（存入 list-Exclude.csv）：2\n"
              "导出地址（存入 list-Export.csv）：3\n"
              "拆分文件：2 个\n");
    EXPECT_EQ(r.err, "");  // no progress line: standard error is not a terminal
    EXPECT_EQ(readBytes(dir / "report.json"),
              "{\"read\": 15, \"invalid\": 2, \"erroneous\": 2, \"bad_syntax\": 0, \"corrected\": 0, "
              "\"duplicates\": 6, \"disposable\": 0, \"role\": 0, \"no_mail_domain\": 0, \"dns_unchecked\": 0, "
              "\"excluded\": 2, \"exported\": 3, "
              "\"files\": [{\"name\": \"list-Invalid.csv\", \"rows\": 2}, {\"name\": \"list-Error.csv\", \"rows\": 2}, "
              "{\"name\": \"list-Exclude.csv\", \"rows\": 2}, {\"name\": \"list-Export.csv\", \"rows\": 3}, "
              "{\"name\": \"list-Export-1.csv\", \"rows\": 2}, {\"name\": \"list-Export-2.csv\", \"rows\": 1}]}\n");
}

TEST_F(CliLongWorkTest, DomainReportNamesItsFilesInUtf8) {
    writeGbkFile(dir / "groups.ini", "[SetupOption]\r\nSelected=1\r\n[SetupCustom]\r\n网易=163.com\r\n");
    const CliRun r = cli({"--export-domain", "--settings", dir / "groups.ini", "--report", dir / "r.json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("邮件域文件：2 个\n"), std::string::npos) << r.out;
    EXPECT_EQ(readBytes(dir / "r.json"),
              "{\"read\": 15, \"invalid\": 2, \"erroneous\": 2, \"bad_syntax\": 0, \"corrected\": 0, "
              "\"duplicates\": 6, \"disposable\": 0, \"role\": 0, \"no_mail_domain\": 0, \"dns_unchecked\": 0, "
              "\"excluded\": 0, \"exported\": 5, "
              "\"files\": [{\"name\": \"list-Invalid.csv\", \"rows\": 2}, {\"name\": \"list-Error.csv\", \"rows\": 2}, "
              "{\"name\": \"list-Export.csv\", \"rows\": 5}, {\"name\": \"list-Export-网易.csv\", \"rows\": 1}, "
              "{\"name\": \"list-Export-OtherDomain.csv\", \"rows\": 4}]}\n");
}

TEST_F(CliLongWorkTest, NoReportWithoutACompletedExport) {
    writeBytes(dir / "r.json", "earlier");
    const CliRun refused = cli({"--split-rows", "0", "--export-all", "--report", dir / "r.json"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(readBytes(dir / "r.json"), "earlier");

    const CliRun usage = cli({"--count", "--report", dir / "r.json"});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_NE(usage.err.find("--report belongs to --export-all and --export-domain"), std::string::npos);
}

// Standard error on a terminal: a pseudo-terminal whose output is read here.
class Terminal {
public:
    Terminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) throw std::runtime_error("no pty");
        name_ = ::ptsname(master_);
        // Held open here too: a terminal nobody has open reads as hung up.
        slave_ = ::open(name_.c_str(), O_RDWR | O_NOCTTY);
        reader_ = std::thread([this] {
            char buffer[4096];
            for (;;) {
                pollfd p{master_, POLLIN, 0};
                if (::poll(&p, 1, 100) <= 0) {
                    if (stop_) return;
                    continue;
                }
                const ssize_t n = ::read(master_, buffer, sizeof buffer);
                if (n <= 0) return;
                text_.append(buffer, static_cast<std::size_t>(n));
            }
        });
    }
    ~Terminal() {
        stop_ = true;
        if (reader_.joinable()) reader_.join();
        ::close(slave_);
        ::close(master_);
    }
    const std::string& name() const { return name_; }
    // What was written to it, once the writer has ended.
    std::string text() {
        stop_ = true;
        reader_.join();
        return text_;
    }

private:
    int master_ = -1, slave_ = -1;
    std::string name_;
    std::string text_;
    std::atomic<bool> stop_{false};
    std::thread reader_;
};

TEST(CliProgressLine, OnlyOnATerminalAndNotWhenQuiet) {
    TempDir dir;
    writeBytes(dir / "big.csv", generatedList(50000));
    for (const bool quiet : {false, true}) {
        Terminal terminal;
        std::vector<std::string> args{"--source", dir / "big.csv", "--header", "--export-all"};
        if (quiet) args.push_back("--quiet");
        CliProcess process(args, {}, {}, terminal.name());
        const CliRun run = process.wait();
        ASSERT_EQ(run.exitCode, 0);
        const std::string shown = terminal.text();
        if (quiet) {
            EXPECT_EQ(shown, "");
        } else {
            // Rewritten in place, one line: a carriage return before each
            // state, the line's rest wiped, the line wiped at the end.
            EXPECT_EQ(shown.front(), '\r') << shown;
            EXPECT_NE(shown.find("\r正在导出无效Email地址……"), std::string::npos) << shown;
            EXPECT_NE(shown.find("%  0:"), std::string::npos) << shown;
            EXPECT_EQ(shown.find('\n'), std::string::npos) << shown;
            EXPECT_EQ(shown.substr(shown.size() - 4), "\r\033[K") << shown;
        }
        EXPECT_EQ(run.out.rfind("Email地址按条件全部导出 执行完毕!\n", 0), 0u);
    }
}

// A run killed while it writes (SIGKILL: no handler runs) leaves its
// temporary file, never a partial file under a result's name; the next run
// in that folder removes the temporary file.
TEST(CliKilledRun, LeavesNoPartialFileUnderAResultsName) {
    TempDir root;
    const std::string reference = root.makeDir("reference");
    const std::string killed = root.makeDir("killed");
    const std::string list = generatedList(300000);
    writeBytes(reference + "/big.csv", list);
    writeBytes(killed + "/big.csv", list);
    const std::vector<std::string> options{"--header", "--split-rows", "500", "--export-all"};
    auto args = [&](const std::string& folder) {
        std::vector<std::string> a{"--source", folder + "/big.csv"};
        a.insert(a.end(), options.begin(), options.end());
        return a;
    };
    ASSERT_EQ(runCli(args(reference)).exitCode, 0);

    CliProcess process(args(killed));
    std::string caught;
    while (caught.empty() && process.running()) {
        for (const auto& name : listNames(killed))
            if (name.find(".partial") != std::string::npos) caught = name;
    }
    if (caught.empty()) GTEST_SKIP() << "the run ended before a file was seen being written";
    process.signal(SIGKILL);
    EXPECT_EQ(process.wait().exitCode, 128 + SIGKILL);

    // Every result the killed run left under its name is whole; the file it
    // was writing is not among them.
    bool leftTemporary = false;
    for (const auto& name : listNames(killed)) {
        if (name.find(".partial") != std::string::npos) {
            leftTemporary = true;
            const std::string finalName = name.substr(1, name.find(".csv.") + 3);
            EXPECT_FALSE(exists(killed + "/" + finalName)) << finalName << " stands beside its temporary file";
            continue;
        }
        if (name == "big.csv" || name == "Schema.ini") continue;
        EXPECT_EQ(readBytes(killed + "/" + name), readBytes(reference + "/" + name)) << name;
    }
    EXPECT_TRUE(leftTemporary);

    // The next run in the folder removes the temporary file and completes.
    const CliRun again = runCli(args(killed));
    ASSERT_EQ(again.exitCode, 0) << again.err;
    std::vector<std::string> results;
    for (const auto& name : listNames(killed)) {
        EXPECT_EQ(name.find(".partial"), std::string::npos) << name;
        // The killed run could not remove its description file; it is not a result.
        if (name == "Schema.ini") continue;
        results.push_back(name);
        if (name != "big.csv") EXPECT_EQ(readBytes(killed + "/" + name), readBytes(reference + "/" + name)) << name;
    }
    EXPECT_EQ(results, listNames(reference));
}

}  // namespace
}  // namespace clitest
