// UTF-16 tables: turned into UTF-8 a block at a time, then read as UTF-8
// tables; the same rows as the same list saved as UTF-8.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "encoding_test_support.h"
#include "engine/utf16_decoder.h"

namespace {

using namespace enginetest;
using engine::CodePage;
using engine::Utf16Decoder;

// Decodes the whole file through read(dest, room) calls of the given room.
std::string decodeAll(const std::string& path, bool bigEndian, std::uint64_t start, std::size_t room) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    EXPECT_GE(fd, 0);
    const auto size = static_cast<std::uint64_t>(::lseek(fd, 0, SEEK_END));
    Utf16Decoder decoder(fd, bigEndian, start, size);
    std::string out;
    std::string block(room, '\0');
    for (;;) {
        const std::size_t got = decoder.read(block.data(), room);
        if (got == 0) break;
        out.append(block.data(), got);
    }
    EXPECT_EQ(decoder.fileOffset(), size);
    ::close(fd);
    return out;
}

TEST(Utf16Decoder, SurrogatePairsAcrossEveryBlockBoundary) {
    // An emoji (a surrogate pair) just before, across and just after the end
    // of the first block the decoder reads.
    const std::size_t units = Utf16Decoder::kChunk / 2;
    for (std::size_t pad : {units - 3, units - 2, units - 1, units, units + 1}) {
        const std::string text = std::string(pad, 'a') + "😀张\r\n" + std::string(1000, 'b') + "é😀";
        for (bool bigEndian : {false, true}) {
            TempDir dir;
            dir.write("t.txt", utf16(text, bigEndian));
            for (std::size_t room : {4u, 5u, 7u, 4096u, 3u << 20}) {
                EXPECT_EQ(decodeAll(dir.path() + "/t.txt", bigEndian, 2, room), text)
                    << "pad " << pad << " room " << room << (bigEndian ? " BE" : " LE");
            }
        }
    }
}

TEST(Utf16Decoder, RunsOfSingleByteCharactersAtEveryAlignment) {
    // Runs below 0x80 (taken eight units at a time) broken by characters
    // just above it, at every offset.
    const std::string breakers[] = {"\x7F", "\u0080", "\u00FF", "\u0100", "é", "张", "😀", "\r\n"};
    std::string text;
    std::uint64_t seed = 7;
    for (int i = 0; i < 3000; ++i) {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        text += std::string((seed >> 40) % 21, static_cast<char>('A' + (seed >> 20) % 26));
        text += breakers[(seed >> 33) % 8];
    }
    for (bool bigEndian : {false, true}) {
        TempDir dir;
        dir.write("t.txt", utf16(text, bigEndian));
        for (std::size_t room : {4u, 9u, 17u, 4096u})
            EXPECT_EQ(decodeAll(dir.path() + "/t.txt", bigEndian, 2, room), text) << room << (bigEndian ? " BE" : " LE");
    }
}

TEST(Utf16Decoder, BrokenUnitsBecomeReplacementCharacters) {
    const std::string r = "\xEF\xBF\xBD";  // U+FFFD
    struct Case {
        std::string label;
        std::string le;  // the file's bytes after the mark, little endian
        std::string expected;
    };
    const Case cases[] = {
        {"odd last byte", std::string("a\0b", 3), "a" + r},
        {"high surrogate at the end", std::string("a\0\x3D\xD8", 4), "a" + r},
        {"low surrogate alone", std::string("\x00\xDEx\0", 4), r + "x"},
        {"high surrogate then a letter", std::string("\x3D\xD8x\0", 4), r + "x"},
        {"two highs then a low", std::string("\x3D\xD8\x3D\xD8\x00\xDE", 6), r + "😀"},
        {"nul", std::string("\0\0a\0", 4), std::string("\0a", 2)},
    };
    for (const auto& c : cases) {
        TempDir dir;
        dir.write("t.txt", "\xFF\xFE" + c.le);
        EXPECT_EQ(decodeAll(dir.path() + "/t.txt", false, 2, 4096), c.expected) << c.label;
    }
}

// A tab-separated list of n rows with Chinese names and an emoji now and then.
std::string tabList(std::size_t n) {
    std::string s = "name\temail\tnote\r\n";
    for (std::size_t i = 0; i < n; ++i) {
        s += (i % 3 == 0 ? "张三" : i % 3 == 1 ? "李四😀" : "bob") + std::to_string(i % 1000) + "\t";
        s += (i % 5 == 0 ? "Zhang" : "user") + std::to_string(i % 7000) + "@" + (i % 2 ? "QQ.com" : "163.com") + "\t";
        s += i % 11 == 0 ? "\"a \"\"quoted\"\"\ttab\"\r\n" : "备注\r\n";
    }
    return s;
}

TEST(Utf16Table, SameRowsAsTheUtf8List) {
    // Large enough that its UTF-8 text spans more than one read block of the
    // table reader (8 MiB) and many of the decoder's.
    const std::string list = tabList(280000);
    ASSERT_GT(list.size(), (8u << 20) + (1u << 20));
    TempDir dir;
    dir.write("utf8.txt", "\xEF\xBB\xBF" + list);
    dir.write("le.txt", utf16(list, false));
    dir.write("be.txt", utf16(list, true));
    const std::string statements[] = {
        "select * from [T]",
        "select count(*) as n, count(note) as c from [T]",
        "select distinct lcase(email) from [T] where email like '%@qq.com'",
        "select mid(email, instr(email, '@') + 1, len(email)) as [domain], count(email) as quantity from [T] "
        "where email like '%@%.%' group by mid(email, instr(email, '@') + 1, len(email)) order by count(email) desc",
        "select top 5 name, len(name) as n from [T] where name like '李四%' and note = '备注'",
    };
    for (const auto& sql : statements) {
        auto on = [&](const std::string& table) {
            return runIn(CodePage::Utf8, dir.path(), onTable(sql, table), "Yes", "TabDelimited");
        };
        const Result expected = on("utf8.txt");
        ASSERT_FALSE(expected.rows.empty()) << sql;
        for (const std::string table : {"le.txt", "be.txt"}) {
            const Result got = on(table);
            EXPECT_EQ(got.names, expected.names) << sql << " " << table;
            EXPECT_TRUE(got.rows == expected.rows) << sql << " " << table;
        }
    }
    // An emoji is one character.
    auto n = runIn(CodePage::Utf8, dir.path(), "select top 1 len(name) as n from [le.txt] where name like '李四%'", "Yes",
                   "TabDelimited");
    EXPECT_EQ(column(n), (std::vector<std::string>{"4"}));
}

TEST(Utf16Table, ValuesAreUtf8AndProgressCountsFileBytes) {
    TempDir dir;
    const std::string file = utf16("a\tb\r\n张三\t😀\r\n", true);
    dir.write("t.txt", file);
    engine::Connection conn;
    conn.open(connectionString(dir.path(), "Yes", "TabDelimited"));  // GBK statements
    struct Observer : engine::ScanObserver {
        std::uint64_t last = 0, total = 0;
        bool progress(std::uint64_t read, std::uint64_t size) override {
            last = read;
            total = size;
            return true;
        }
    } observer;
    engine::ResultSet rs;
    rs.open(conn, gbkOf("select a, b from [t.txt] where a = '张三'"), &observer);
    ASSERT_EQ(rs.recordCount(), 1u);
    EXPECT_EQ(*rs.value(0), "张三");
    EXPECT_EQ(*rs.value(1), "😀");
    EXPECT_EQ(rs.columnEncoding(0), CodePage::Utf8);
    EXPECT_EQ(observer.total, file.size());
    EXPECT_EQ(observer.last, file.size());
}

TEST(Utf16Table, UnterminatedQuoteNamesItsLine) {
    TempDir dir;
    dir.write("t.txt", utf16("a\r\n1\r\n2\r\n\"open\r\n3\r\n", false));
    const std::string msg = failure(dir.path(), "select * from [t.txt]", "Yes", "TabDelimited");
    EXPECT_NE(msg.find("line 4"), std::string::npos) << msg;
}

}  // namespace
