// The address checks end to end: the command line's check options over a
// list worked out by hand (its files, the report's figures and identity),
// the same files from the core, byte-identical files while the checks are
// off or find nothing, and the DNS step against a local dnsmasq and a server
// that never answers.
#include <gtest/gtest.h>

#include <map>

#include "cli_process.h"
#include "core_run.h"
#include "local_dns_server.h"
#include "platform/code_page.h"

namespace clitest {
namespace {

// Worked out by hand (18 non-null values):
//   bad                              invalid
//   Zhang@qq.com, zhang@qq.com       one value: 1 duplicate
//   zhang@qq.con -> zhang@qq.com     typo fixed, meets it: 1 duplicate
//   joe@googlemail.com, j.o.e+x@gmail.com -> joe@gmail.com: 1 duplicate
//   .test@iana.org, test@-iana.org   bad syntax
//   foo@mailinator.com, bar@sub.mailinator.com   disposable (the second by its parent)
//   admin@example.com, Kefu@example.com          role (the second a pinyin role)
//   li@163.cm, wang@gmial.com        typo fixed
//   x@139.com (on disposable lists, a real provider), 张三@qq.com,
//   me@126.com, me@foxmail.com       kept as they are
// 18 = 1 invalid + 0 erroneous + 2 bad syntax + 3 duplicates + 2 disposable
//      + 2 role + 0 no mail domain + 0 excluded + 8 exported
const char* const kHandList =
    "email\r\nzhang@qq.con\r\nZhang@qq.com\r\nzhang@qq.com\r\n.test@iana.org\r\ntest@-iana.org\r\n"
    "admin@example.com\r\nKefu@example.com\r\nfoo@mailinator.com\r\nbar@sub.mailinator.com\r\nx@139.com\r\n"
    "j.o.e+x@gmail.com\r\njoe@googlemail.com\r\n张三@qq.com\r\nli@163.cm\r\nwang@gmial.com\r\nbad\r\n"
    "me@126.com\r\nme@foxmail.com\r\n";

const std::vector<std::string> kOfflineChecks = {"--strict-syntax", "--fix-domain-typos", "--merge-gmail-aliases",
                                                 "--drop-disposable", "--drop-role"};

std::vector<std::string> argsFor(const std::string& dir, std::vector<std::string> extra) {
    std::vector<std::string> args{"--source", dir + "/list.csv", "--header", "--column", "email"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

std::vector<std::string> plus(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The lines of a GBK result file, in UTF-8, sorted (the order of distinct
// values is the engine's).
std::vector<std::string> sortedUtf8Lines(const std::string& path) {
    std::vector<std::string> lines;
    for (const auto& line : crlfLines(readBytes(path))) lines.push_back(platform::gbkToUtf8(line));
    return sorted(lines);
}

class CliChecksTest : public ::testing::Test {
protected:
    CliRun cli(const std::string& dir, const std::vector<std::string>& extra) const {
        return runCli(argsFor(dir, extra), {{"XDG_CACHE_HOME", root.path() + "/cache"}});
    }
    std::string report(const std::string& dir) const { return readBytes(dir + "/r.json"); }
    TempDir root;
};

TEST_F(CliChecksTest, AListWorkedOutByHand) {
    const std::string dir = root.makeDir("hand");
    writeGbkFile(dir + "/list.csv", kHandList);
    const CliRun run = cli(dir, plus({"--export-all", "--report", dir + "/r.json"}, kOfflineChecks));
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const std::map<std::string, std::vector<std::string>> expected{
        {"list-Invalid.csv", {"\"bad\""}},
        {"list-BadSyntax.csv", {"\".test@iana.org\"", "\"test@-iana.org\""}},
        {"list-Corrected.csv",
         {"\"j.o.e+x@gmail.com\";\"joe@gmail.com\"", "\"joe@googlemail.com\";\"joe@gmail.com\"",
          "\"li@163.cm\";\"li@163.com\"", "\"wang@gmial.com\";\"wang@gmail.com\"",
          "\"zhang@qq.con\";\"zhang@qq.com\""}},
        {"list-Disposable.csv", {"\"bar@sub.mailinator.com\"", "\"foo@mailinator.com\""}},
        {"list-Role.csv", {"\"admin@example.com\"", "\"kefu@example.com\""}},
        {"list-Export.csv",
         {"\"joe@gmail.com\"", "\"li@163.com\"", "\"me@126.com\"", "\"me@foxmail.com\"", "\"wang@gmail.com\"",
          "\"x@139.com\"", "\"zhang@qq.com\"", "\"张三@qq.com\""}},
    };
    std::vector<std::string> names{"list.csv", "r.json"};
    for (const auto& [name, lines] : expected) {
        names.push_back(name);
        EXPECT_EQ(sortedUtf8Lines(dir + "/" + name), sorted(lines)) << name;
    }
    EXPECT_EQ(listNames(dir), sorted(names));  // no -NoMailDomain.csv, no -Temp.csv left
    EXPECT_EQ(report(dir),
              "{\"read\": 18, \"invalid\": 1, \"erroneous\": 0, \"bad_syntax\": 2, \"corrected\": 5, "
              "\"duplicates\": 3, \"disposable\": 2, \"role\": 2, \"no_mail_domain\": 0, \"dns_unchecked\": 0, "
              "\"excluded\": 0, \"exported\": 8, \"files\": [{\"name\": \"list-Invalid.csv\", \"rows\": 1}, "
              "{\"name\": \"list-BadSyntax.csv\", \"rows\": 2}, {\"name\": \"list-Corrected.csv\", \"rows\": 5}, "
              "{\"name\": \"list-Disposable.csv\", \"rows\": 2}, {\"name\": \"list-Role.csv\", \"rows\": 2}, "
              "{\"name\": \"list-Export.csv\", \"rows\": 8}]}\n");
    EXPECT_NE(run.out.find("格式不合格地址（存入 list-BadSyntax.csv）：2"), std::string::npos) << run.out;
}

// Each check alone sets aside or rewrites only its own addresses; the
// exclusion pass follows the checks (the identity holds with it).
TEST_F(CliChecksTest, EachCheckAloneAndTheExclusionsAfterThem) {
    struct Case {
        std::vector<std::string> flags;
        const char* figures;  // bad_syntax .. dns_unchecked, excluded, exported of the report
    };
    const Case cases[] = {
        {{}, "\"bad_syntax\": 0, \"corrected\": 0, \"duplicates\": 1, \"disposable\": 0, \"role\": 0, "
             "\"no_mail_domain\": 0, \"dns_unchecked\": 0, \"excluded\": 1, \"exported\": 15"},
        {{"--strict-syntax"}, "\"bad_syntax\": 2, \"corrected\": 0, \"duplicates\": 1, \"disposable\": 0, "
                              "\"role\": 0, \"no_mail_domain\": 0, \"dns_unchecked\": 0, \"excluded\": 1, "
                              "\"exported\": 13"},
        {{"--fix-domain-typos"}, "\"bad_syntax\": 0, \"corrected\": 3, \"duplicates\": 2, \"disposable\": 0, "
                                 "\"role\": 0, \"no_mail_domain\": 0, \"dns_unchecked\": 0, \"excluded\": 1, "
                                 "\"exported\": 14"},
        {{"--merge-gmail-aliases"}, "\"bad_syntax\": 0, \"corrected\": 2, \"duplicates\": 2, \"disposable\": 0, "
                                    "\"role\": 0, \"no_mail_domain\": 0, \"dns_unchecked\": 0, \"excluded\": 1, "
                                    "\"exported\": 14"},
        // gmial.com is on the disposable list: alone, the step takes
        // wang@gmial.com too; with the typo fix it has become gmail.com first.
        {{"--drop-disposable"}, "\"bad_syntax\": 0, \"corrected\": 0, \"duplicates\": 1, \"disposable\": 3, "
                                "\"role\": 0, \"no_mail_domain\": 0, \"dns_unchecked\": 0, \"excluded\": 1, "
                                "\"exported\": 12"},
        // "test" is a role: alone, the step takes test@-iana.org too; with
        // strict syntax it is set aside before.
        {{"--drop-role"}, "\"bad_syntax\": 0, \"corrected\": 0, \"duplicates\": 1, \"disposable\": 0, \"role\": 3, "
                          "\"no_mail_domain\": 0, \"dns_unchecked\": 0, \"excluded\": 1, \"exported\": 12"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string dir = root.makeDir("case" + std::to_string(n++));
        writeGbkFile(dir + "/list.csv", kHandList);
        const CliRun run =
            cli(dir, plus({"--export-all", "--exclude-suffixes", "126.com", "--report", dir + "/r.json"}, c.flags));
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_NE(report(dir).find(c.figures), std::string::npos) << report(dir);
    }
}

// The command line and the core write the same files with the checks on,
// for the full export and the domain export.
TEST_F(CliChecksTest, TheCoreWritesTheSameFiles) {
    const std::string cliDir = root.makeDir("cli"), coreDir = root.makeDir("core");
    writeGbkFile(cliDir + "/list.csv", kHandList);
    writeGbkFile(coreDir + "/list.csv", kHandList);
    exporting::CleaningOptions options;
    auto& k = options.checks.options;
    k.strictSyntax = k.fixDomainTypos = k.mergeGmailAliases = k.dropDisposable = k.dropRole = true;
    ASSERT_EQ(cli(cliDir, plus({"--export-all"}, kOfflineChecks)).exitCode, 0);
    ASSERT_TRUE(runCoreFullExport({coreDir + "/list.csv", true, 0, "email", ""}, options).ok);
    expectSameFiles(cliDir, coreDir);

    const std::string settings = root.path() + "/none.ini";  // no file: the top 10 domains
    const std::string cliDomain = root.makeDir("clid"), coreDomain = root.makeDir("cored");
    writeGbkFile(cliDomain + "/list.csv", kHandList);
    writeGbkFile(coreDomain + "/list.csv", kHandList);
    ASSERT_EQ(cli(cliDomain, plus({"--export-domain", "--settings", settings}, kOfflineChecks)).exitCode, 0);
    ASSERT_TRUE(runCoreDomainExport({coreDomain + "/list.csv", true, 0, "email", ""}, options, settings).ok);
    expectSameFiles(cliDomain, coreDomain);
    // The domain files are cut from the checked addresses.
    EXPECT_TRUE(exists(cliDomain + "/list-Role.csv"));
    EXPECT_FALSE(exists(cliDomain + "/list-Export-example.com.csv"));
    EXPECT_FALSE(exists(cliDomain + "/list-Export-mailinator.com.csv"));
    EXPECT_EQ(sortedUtf8Lines(cliDomain + "/list-Export-gmail.com.csv"),
              sorted({"\"joe@gmail.com\"", "\"wang@gmail.com\""}));
}

// Checks that find nothing leave every file byte for byte as without them,
// in every encoding of results (GBK, UTF-8, UTF-8 with its byte-order mark),
// split parts included.
TEST_F(CliChecksTest, ChecksThatFindNothingChangeNoByte) {
    const std::string clean = "email\r\nAlice@QQ.com\r\n张三@qq.com\r\nbob@163.com\r\ncarol@gmail.com\r\n"
                              "bob@163.com\r\nnot-an-address\r\nd@mail.qq.com\r\n";
    const std::pair<const char*, std::string> encodings[] = {
        {"gbk", gbk(clean)},
        {"utf8", clean},
        {"utf8bom", "\xEF\xBB\xBF" + clean},
    };
    for (const auto& [name, bytes] : encodings) {
        const std::string off = root.makeDir(std::string(name) + "-off"), on = root.makeDir(std::string(name) + "-on");
        writeBytes(off + "/list.csv", bytes);
        writeBytes(on + "/list.csv", bytes);
        ASSERT_EQ(cli(off, {"--export-all", "--split-rows", "2"}).exitCode, 0);
        ASSERT_EQ(cli(on, plus({"--export-all", "--split-rows", "2"}, kOfflineChecks)).exitCode, 0);
        expectSameFiles(off, on);
        EXPECT_EQ(listNames(on).size(), 6u) << name;  // the list, -Invalid, -Export, three parts
    }
}

// Every DNS outcome: no such domain, a null MX and no mail records set
// aside; MX or an A record alone kept; a refused answer kept and counted
// as unchecked.  A server that never answers sets nothing aside.
TEST_F(CliChecksTest, MailDomainsOverDns) {
    testsupport::LocalDnsServer server({"--mx-host=mx.test,mail.mx.test,10", "--host-record=mail.mx.test,127.0.0.2",
                                        "--dns-rr=nullmx.test,15,000000", "--host-record=aonly.test,127.0.0.3",
                                        "--txt-record=txtonly.test,no mail here"});
    const std::string list = "email\r\na@mx.test\r\nb@nullmx.test\r\nc@txtonly.test\r\nd@nosuch.test\r\n"
                             "e@aonly.test\r\nf@outside.example\r\ng@mx.test\r\n";
    const std::string dir = root.makeDir("dns");
    writeGbkFile(dir + "/list.csv", list);
    const CliRun run = cli(dir, {"--export-all", "--drop-no-mail-domain", "--dns-server", server.address(),
                                 "--report", dir + "/r.json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(sortedUtf8Lines(dir + "/list-NoMailDomain.csv"),
              sorted({"\"b@nullmx.test\"", "\"c@txtonly.test\"", "\"d@nosuch.test\""}));
    EXPECT_EQ(sortedUtf8Lines(dir + "/list-Export.csv"),
              sorted({"\"a@mx.test\"", "\"e@aonly.test\"", "\"f@outside.example\"", "\"g@mx.test\""}));
    EXPECT_NE(report(dir).find("\"no_mail_domain\": 3, \"dns_unchecked\": 1, \"excluded\": 0, \"exported\": 4"),
              std::string::npos)
        << report(dir);
    server.stop();
    // Each distinct domain was asked once for its MX.
    EXPECT_EQ(server.queriesSeen("MX", "mx.test"), 1);

    testsupport::SilentDnsServer silent;
    const std::string quiet = root.makeDir("silent");
    writeGbkFile(quiet + "/list.csv", list);
    const CliRun unanswered = cli(quiet, {"--export-all", "--drop-no-mail-domain", "--dns-server", silent.address(),
                                          "--dns-timeout", "200", "--report", quiet + "/r.json"});
    ASSERT_EQ(unanswered.exitCode, 0) << unanswered.err;
    EXPECT_FALSE(exists(quiet + "/list-NoMailDomain.csv"));
    EXPECT_EQ(crlfLines(readBytes(quiet + "/list-Export.csv")).size(), 7u);
    EXPECT_NE(report(quiet).find("\"no_mail_domain\": 0, \"dns_unchecked\": 7"), std::string::npos) << report(quiet);
}

// The domain check's table: findings by count, largest first, then domain;
// DNS findings only with --check-dns.
TEST_F(CliChecksTest, CheckDomainsPrintsTheFindings) {
    const std::string dir = root.makeDir("domains");
    writeGbkFile(dir + "/list.csv", std::string(kHandList) + "wu@qq.con\r\nzhou@nosuch.test\r\nzhao@nullmx.test\r\n");
    const CliRun offline = cli(dir, {"--check-domains"});
    ASSERT_EQ(offline.exitCode, 0) << offline.err;
    EXPECT_EQ(offline.out,
              "domain,count,finding,suggestion\n"
              "qq.con,2,typo,qq.com\n"
              "163.cm,1,typo,163.com\n"
              "gmial.com,1,typo,gmail.com\n"
              "mailinator.com,1,disposable,\n"
              "sub.mailinator.com,1,disposable,\n");

    testsupport::LocalDnsServer server({"--dns-rr=nullmx.test,15,000000"});
    const CliRun withDns = cli(dir, {"--check-domains", "--check-dns", "--dns-server", server.address()});
    ASSERT_EQ(withDns.exitCode, 0) << withDns.err;
    // Names outside the server's zone are refused: unanswered, so with DNS
    // on they get no suggestion (only a domain that fails DNS does), and
    // gmial.com, not corrected, is found disposable.
    EXPECT_EQ(withDns.out,
              "domain,count,finding,suggestion\n"
              "gmial.com,1,disposable,\n"
              "mailinator.com,1,disposable,\n"
              "nosuch.test,1,no-such-domain,\n"
              "nullmx.test,1,no-mail-server,\n"
              "sub.mailinator.com,1,disposable,\n");
}

TEST_F(CliChecksTest, UsageErrors) {
    const std::string dir = root.makeDir("usage");
    writeGbkFile(dir + "/list.csv", kHandList);
    const std::vector<std::string> wrong[] = {
        {"--count", "--drop-role"},
        {"--preview", "--dns-server", "127.0.0.1:53"},
        {"--export-all", "--dns-timeout", "abc"},
        {"--export-all", "--dns-timeout", "0"},
        {"--export-all", "--dns-server", ""},
        {"--export-all", "--strict-syntax=yes"},
        {"--check-domains", "--drop-role"},
        {"--export-all", "--check-dns"},
    };
    for (const auto& args : wrong) {
        const CliRun run = cli(dir, args);
        EXPECT_EQ(run.exitCode, 2) << args[1];
        EXPECT_FALSE(exists(dir + "/list-Export.csv"));
    }
    // A server text c-ares cannot use is the operation's failure.
    const CliRun bad = cli(dir, {"--export-all", "--drop-no-mail-domain", "--dns-server", "not a server"});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_FALSE(bad.err.empty());
}

}  // namespace
}  // namespace clitest
