#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "platform/ini_file.h"
#include "source/source_binding.h"
#include "temp_dir.h"

using platform::gbk;
using testsupport::readBytes;
using testsupport::TempDir;
using testsupport::writeBytes;

namespace {

struct FormatCase {
    int index;
    std::string word;
};

class SchemaFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(SchemaFormat, FreshFileHoldsThreeCrlfLines) {
    TempDir dir;
    source::SourceBinding binding;
    binding.bind(dir.file("list.csv"));
    EXPECT_EQ(binding.WriteSchemaHeader(true), "Yes");
    EXPECT_EQ(binding.WriteSchemaFormat(GetParam().index), GetParam().word);
    EXPECT_EQ(readBytes(dir.file("Schema.ini")),
              "[list.csv]\r\nColNameHeader=True\r\nFormat=" + GetParam().word + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(Separators, SchemaFormat,
                         testing::Values(FormatCase{0, "CSVDelimited"}, FormatCase{1, "Delimited(;)"},
                                         FormatCase{2, "TabDelimited"}, FormatCase{3, "Delimited( )"},
                                         FormatCase{7, ""}));

TEST(SchemaFile, RewritingReplacesTheKeysInPlace) {
    TempDir dir;
    source::SourceBinding binding;
    binding.bind(dir.file("list.csv"));
    binding.WriteSchemaHeader(true);
    binding.WriteSchemaFormat(0);
    EXPECT_EQ(binding.WriteSchemaHeader(false), "No");
    binding.WriteSchemaFormat(2);
    EXPECT_EQ(readBytes(dir.file("Schema.ini")), "[list.csv]\r\nColNameHeader=False\r\nFormat=TabDelimited\r\n");
}

// The section is named in GBK, as the description file has always named it,
// while GBK can hold the name; else in UTF-8.
TEST(SchemaFile, SectionNameInGbkWhereGbkHoldsIt) {
    const struct {
        std::string file, section;
    } cases[] = {
        {"客户名单.csv", gbk("客户名单.csv")},
        {"list😀.csv", "list😀.csv"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        source::SourceBinding binding;
        binding.bind(dir.path() + "/" + c.file);
        binding.WriteSchemaHeader(false);
        binding.WriteSchemaFormat(1);
        EXPECT_EQ(binding.sectionName(), c.section);
        EXPECT_EQ(readBytes(dir.file("Schema.ini")),
                  "[" + c.section + "]\r\nColNameHeader=False\r\nFormat=Delimited(;)\r\n");
    }
}

// A user's section for the file, in either form of its name, is the one used.
TEST(SchemaFile, UsersSectionInEitherFormIsUsed) {
    for (const std::string& section : {gbk("名单.csv"), std::string("名单.csv")}) {
        TempDir dir;
        writeBytes(dir.file("Schema.ini"), "[" + section + "]\r\nFormat=TabDelimited\r\n");
        source::SourceBinding binding;
        binding.bind(dir.file("名单.csv"));
        binding.WriteSchemaFormat(0);
        EXPECT_EQ(readBytes(dir.file("Schema.ini")), "[" + section + "]\r\nFormat=CSVDelimited\r\n");
        binding.deleteSchema();
        EXPECT_EQ(readBytes(dir.file("Schema.ini")), "[" + section + "]\r\nFormat=TabDelimited\r\n");
    }
}

// A GBK list gets no CharacterSet key (the file stays as it always was),
// unless the section has one, which then says GBK.
TEST(SchemaFile, CharacterSetOfEachEncoding) {
    using source::TextEncoding;
    const struct {
        TextEncoding encoding;
        std::string before, after;
    } cases[] = {
        {TextEncoding::Gbk, "", "[list.csv]\r\nFormat=CSVDelimited\r\n"},
        {TextEncoding::Utf8, "", "[list.csv]\r\nFormat=CSVDelimited\r\nCharacterSet=65001\r\n"},
        {TextEncoding::Utf8Bom, "", "[list.csv]\r\nFormat=CSVDelimited\r\nCharacterSet=65001\r\n"},
        {TextEncoding::Utf16Le, "", "[list.csv]\r\nFormat=CSVDelimited\r\nCharacterSet=1200\r\n"},
        {TextEncoding::Utf16Be, "", "[list.csv]\r\nFormat=CSVDelimited\r\nCharacterSet=1201\r\n"},
        {TextEncoding::Gbk, "[list.csv]\r\nCharacterSet=65001\r\n",
         "[list.csv]\r\nCharacterSet=936\r\nFormat=CSVDelimited\r\n"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        if (!c.before.empty()) writeBytes(dir.file("Schema.ini"), c.before);
        source::SourceBinding binding;
        binding.bind(dir.file("list.csv"));
        binding.WriteSchemaFormat(0);
        binding.WriteSchemaCharacterSet(c.encoding);
        EXPECT_EQ(readBytes(dir.file("Schema.ini")), c.after);
        binding.deleteSchema();
        if (c.before.empty())
            EXPECT_FALSE(std::filesystem::exists(dir.file("Schema.ini")));
        else
            EXPECT_EQ(readBytes(dir.file("Schema.ini")), c.before);
    }
}

TEST(SchemaFile, MissingDirectoryCannotBeWritten) {
    TempDir dir;
    source::SourceBinding binding;
    binding.bind(dir.path() + "/gone/list.csv");
    try {
        binding.WriteSchemaHeader(true);
        FAIL() << "no failure";
    } catch (const platform::IniWriteError& failure) {
        EXPECT_EQ(std::string(failure.what()), "Unable to write to " + dir.path() + "/gone/Schema.ini");
    }
    EXPECT_THROW(binding.WriteSchemaFormat(0), platform::IniWriteError);
}

// --- deleting the description file: keep what the user had -----------------

// A binding in a fresh folder; Schema.ini is the folder's description file.
class SchemaDeletion : public testing::Test {
protected:
    std::string schema() const { return dir.file("Schema.ini"); }
    // Binds name and writes its section the way the window does.
    void bindAndWrite(const std::string& name, bool header, int format) {
        binding.bind(dir.file(name));
        binding.WriteSchemaHeader(header);
        binding.WriteSchemaFormat(format);
    }

    TempDir dir;
    source::SourceBinding binding;
};

TEST_F(SchemaDeletion, FileTheToolCreatedIsRemoved) {
    bindAndWrite("list.csv", true, 0);
    binding.deleteSchema();
    EXPECT_FALSE(std::filesystem::exists(schema()));
}

TEST_F(SchemaDeletion, UsersFileKeepsEverythingButTheToolsSection) {
    const std::string original = "[other.csv]\r\nColNameHeader=True\r\nFormat=TabDelimited\r\nCol1=a Text\r\n";
    writeBytes(schema(), original);
    bindAndWrite("list.csv", true, 1);
    ASSERT_TRUE(platform::ini::sectionExists(schema(), "list.csv"));
    binding.deleteSchema();
    ASSERT_TRUE(std::filesystem::exists(schema()));
    EXPECT_FALSE(platform::ini::sectionExists(schema(), "list.csv"));
    EXPECT_EQ(platform::ini::readString(schema(), "other.csv", "Format"), "TabDelimited");
    EXPECT_EQ(platform::ini::readString(schema(), "other.csv", "Col1"), "a Text");
    EXPECT_EQ(readBytes(schema()), original);
}

TEST_F(SchemaDeletion, UsersOwnSectionForTheFileGetsItsValuesBack) {
    const std::string original = "[list.csv]\r\nColNameHeader=False\r\nFormat=TabDelimited\r\nCol1=mail Text\r\n";
    writeBytes(schema(), original);
    bindAndWrite("list.csv", true, 0);
    EXPECT_EQ(platform::ini::readString(schema(), "list.csv", "Format"), "CSVDelimited");
    binding.deleteSchema();
    EXPECT_EQ(readBytes(schema()), original);
}

TEST_F(SchemaDeletion, UsersSectionWithoutTheKeysLosesOnlyTheToolsKeys) {
    writeBytes(schema(), "[list.csv]\r\nCol1=mail Text\r\n");
    bindAndWrite("list.csv", true, 0);
    binding.deleteSchema();
    const auto entries = platform::ini::readSection(schema(), "list.csv");
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].first, "Col1");
    EXPECT_EQ(entries[0].second, "mail Text");
}

TEST_F(SchemaDeletion, NextFileInTheSameDirectoryOfTheUsersFile) {
    const std::string original = "[other.csv]\r\nFormat=TabDelimited\r\n";
    writeBytes(schema(), original);
    bindAndWrite("a.csv", true, 0);
    binding.deleteSchema();
    bindAndWrite("b.csv", false, 0);
    EXPECT_FALSE(platform::ini::sectionExists(schema(), "a.csv"));
    binding.deleteSchema();
    EXPECT_EQ(readBytes(schema()), original);
}

TEST_F(SchemaDeletion, NextFileInTheSameDirectoryAfterTheToolsFile) {
    bindAndWrite("a.csv", true, 0);
    binding.deleteSchema();
    bindAndWrite("b.csv", false, 0);
    // the second binding holds only its own section
    EXPECT_EQ(readBytes(schema()), "[b.csv]\r\nColNameHeader=False\r\nFormat=CSVDelimited\r\n");
    binding.deleteSchema();
    EXPECT_FALSE(std::filesystem::exists(schema()));
}

TEST_F(SchemaDeletion, UsersFileUntouchedWhenNothingWasWritten) {
    const std::string original = "[list.csv]\r\nFormat=TabDelimited\r\n";
    writeBytes(schema(), original);
    binding.bind(dir.file("list.csv"));
    binding.deleteSchema();
    EXPECT_EQ(readBytes(schema()), original);
}

TEST_F(SchemaDeletion, UnboundDeletesNothing) {
    EXPECT_NO_THROW(binding.deleteSchema());
    EXPECT_FALSE(binding.isBound());
}

}  // namespace
