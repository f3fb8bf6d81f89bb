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

TEST(SchemaFile, GbkFileNameIsTheSectionName) {
    TempDir dir;
    source::SourceBinding binding;
    binding.bind(dir.path() + gbk("/客户名单.csv"));
    binding.WriteSchemaHeader(false);
    binding.WriteSchemaFormat(1);
    EXPECT_EQ(readBytes(dir.file("Schema.ini")),
              "[" + gbk("客户名单.csv") + "]\r\nColNameHeader=False\r\nFormat=Delimited(;)\r\n");
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
