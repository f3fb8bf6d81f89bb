// Statement text through the tokenizer, parser, binder and executor over a
// small fixed folder of tables, on a GBK connection (textsql's) or a UTF-8
// one (the tool's), chosen by the statement's bytes.  Any statement may fail
// with the engine's message; none may crash, and reading by two threads must
// give what one thread gives.
//
// Input: the statement.
#include <unistd.h>

#include <cstdint>
#include <functional>
#include <fstream>

#include "fuzz_support.h"

using namespace fuzzsupport;

namespace {

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// t.csv: a header and addresses (GBK characters with trail bytes "@", "[",
// "]", a duplicate in other letter case, a null, numbers); u.csv: no header,
// semicolons; e.csv: empty; g.txt: tab separated by its section.
std::string tableFolder() {
    const std::string d = scratchFolder("emailclean-sql-fuzz");
    writeFile(d + "/t.csv",
              "email,name,n\r\na@b.com,Ann,1\r\nA@B.COM,ann,2\r\n\xD5\xC5\x81@x@qq.com,\x81[\x81],3\r\n"
              "bad,,-4\r\n\"q,\"\"x\"\"@y.org\",\"multi\nline\",5.5\r\n,,\r\nz@z.z,zed,10\r\n");
    writeFile(d + "/u.csv", "a@b.com;1\r\nc@d.net;2\r\na@b.com;3\r\n");
    writeFile(d + "/e.csv", "");
    writeFile(d + "/g.txt", "k\tv\r\n1\tx\r\n2\ty\r\n");
    // w.csv: UTF-8 with a byte-order mark; x.csv: UTF-16 (little endian, by its section).
    writeFile(d + "/w.csv", "\xEF\xBB\xBFmail,n\r\na@b.com,1\r\n\xE5\xBC\xA0@qq.com,2\r\nA@B.COM,3\r\n");
    writeFile(d + "/x.csv", std::string("m\0a\0i\0l\0\r\0\n\0a\0@\0b\0.\0c\0n\0\r\0\n\0\x20\x5F@\0x\0.\0c\0n\0", 40));
    writeFile(d + "/Schema.ini",
              "[u.csv]\r\nColNameHeader=False\r\nFormat=Delimited(;)\r\n[g.txt]\r\nFormat=TabDelimited\r\n"
              "[x.csv]\r\nCharacterSet=1200\r\n");
    return d;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string folder = tableFolder();
    const std::string statement(reinterpret_cast<const char*>(data), size);
    engine::QueryContext context;
    context.dataSource = folder;
    const std::size_t hash = std::hash<std::string>{}(statement);
    if (hash & 8) context.chars = engine::CharStepper(engine::CodePage::Utf8);
    const Rows one = run(context, statement);
    // Two threads for one statement in four, chosen by its bytes (a thread
    // costs as much as the rest of the run).
    if (!one.error && hash % 4 == 0) {
        engine::QueryContext twoThreads = context;
        twoThreads.parallelMinimum = 1;
        const Rows two = run(twoThreads, statement);
        check(one == two, "two threads differ from one: " + describe(one) + "\n  against " + describe(two));
    }
    return 0;
}
