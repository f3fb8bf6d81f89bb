#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/code_page.h"
#include "platform/file_system.h"
#include "platform/ini_file.h"
#include "source/schema_marker.h"
#include "source/source_binding.h"
#include "schema_text.h"
#include "temp_dir.h"

using platform::gbk;
using testsupport::readBytes;
using testsupport::TempDir;
using testsupport::toolSchema;
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
    EXPECT_EQ(readBytes(dir.file("Schema.ini")), toolSchema("list.csv", "True", GetParam().word));
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
    EXPECT_EQ(readBytes(dir.file("Schema.ini")), toolSchema("list.csv", "False", "TabDelimited"));
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
        EXPECT_EQ(readBytes(dir.file("Schema.ini")), toolSchema(c.section, "False", "Delimited(;)"));
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
// unless the section has one, which then says GBK.  A section the tool
// creates holds its mark line beside the keys.
TEST(SchemaFile, CharacterSetOfEachEncoding) {
    using source::TextEncoding;
    const std::string mark = testsupport::toolMarkLine();
    const struct {
        TextEncoding encoding;
        std::string before, after;
    } cases[] = {
        {TextEncoding::Gbk, "", "[list.csv]\r\n" + mark + "Format=CSVDelimited\r\n"},
        {TextEncoding::Utf8, "", "[list.csv]\r\n" + mark + "Format=CSVDelimited\r\nCharacterSet=65001\r\n"},
        {TextEncoding::Utf8Bom, "", "[list.csv]\r\n" + mark + "Format=CSVDelimited\r\nCharacterSet=65001\r\n"},
        {TextEncoding::Utf16Le, "", "[list.csv]\r\n" + mark + "Format=CSVDelimited\r\nCharacterSet=1200\r\n"},
        {TextEncoding::Utf16Be, "", "[list.csv]\r\n" + mark + "Format=CSVDelimited\r\nCharacterSet=1201\r\n"},
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
    EXPECT_EQ(readBytes(schema()), toolSchema("b.csv", "False", "CSVDelimited"));
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

// --- what a killed run leaves behind ----------------------------------------

// A run of the tool that binds path, writes its section and is killed with
// SIGKILL before it can clean up: a child process of this test.
void killedRun(const std::string& path) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        source::SourceBinding binding;
        binding.bind(path);
        binding.WriteSchemaHeader(true);
        binding.WriteSchemaFormat(1);
        ::raise(SIGKILL);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}

struct LeftoverCase {
    std::string label;
    std::string before;       // the folder's Schema.ini before the killed run ("" = none)
    std::string killedFile;   // the file the killed run had bound
    std::string nextFile;     // the file the next run binds
};

TEST(SchemaLeftovers, TheNextRunRemovesWhatAKilledRunLeft) {
    const std::string users = "; mine\r\n[other.csv]\r\nFormat=TabDelimited\r\n\r\n";
    const LeftoverCase cases[] = {
        {"the file it created, same source file", "", "list.csv", "list.csv"},
        {"the file it created, another source file", "", "a.csv", "b.csv"},
        {"its section in the user's file", users, "list.csv", "list.csv"},
        {"its section in the user's file, another source file", users, "a.csv", "b.csv"},
        {"its section named with a leading blank", users, " list.csv", "b.csv"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string schema = dir.file("Schema.ini");
        if (!c.before.empty()) writeBytes(schema, c.before);
        killedRun(dir.file(c.killedFile));
        ASSERT_TRUE(platform::ini::sectionExists(schema, c.killedFile)) << c.label;

        source::SourceBinding next;
        next.bind(dir.file(c.nextFile));
        // Gone as soon as the next run binds: the folder is as it was.
        EXPECT_EQ(std::filesystem::exists(schema), !c.before.empty()) << c.label;
        EXPECT_EQ(readBytes(schema), c.before) << c.label;
        next.WriteSchemaHeader(false);
        next.WriteSchemaFormat(0);
        EXPECT_EQ(platform::ini::readString(schema, c.nextFile, "Format"), "CSVDelimited") << c.label;
        next.deleteSchema();
        EXPECT_EQ(std::filesystem::exists(schema), !c.before.empty()) << c.label;
        EXPECT_EQ(readBytes(schema), c.before) << c.label;
    }
}

TEST(SchemaLeftovers, SectionsOfRunningProcessesAndUsersStay) {
    TempDir dir;
    const std::string schema = dir.file("Schema.ini");
    // This process is running; another host cannot be asked; a user's comment
    // that resembles the mark is no mark.
    std::string running = source::ownSectionComment(false);
    std::string otherHost = running;
    otherHost.replace(otherHost.find("host ") + 5, 0, "elsewhere-");
    const std::string content = "[a.csv]\r\n;" + running + "\r\nFormat=TabDelimited\r\n" +
                                "[b.csv]\r\n;" + otherHost + "\r\nFormat=TabDelimited\r\n" +
                                "[c.csv]\r\n; emailclean (host x)\r\nFormat=TabDelimited\r\n";
    writeBytes(schema, content);
    source::SourceBinding binding;
    binding.bind(dir.file("d.csv"));
    EXPECT_EQ(readBytes(schema), content);
}

TEST(SchemaLeftovers, TheMarkNamesThisProcess) {
    const auto own = source::parseOwnSectionComment(source::ownSectionComment(true));
    ASSERT_TRUE(own.has_value());
    EXPECT_TRUE(own->createdFile);
    EXPECT_EQ(own->writer.pid, static_cast<long>(::getpid()));
    EXPECT_EQ(own->writer, platform::currentProcessMark());
    EXPECT_EQ(platform::writerState(own->writer), platform::WriterState::Running);
    EXPECT_FALSE(source::parseOwnSectionComment(source::ownSectionComment(false))->createdFile);
    EXPECT_EQ(source::ownSectionComment(false).rfind(" emailclean (host ", 0), 0u);
}

TEST(SchemaFile, ALeadingBlankInTheFileNameFindsItsSectionAgain) {
    TempDir dir;
    const std::string schema = dir.file("Schema.ini");
    const std::string users = "[other.csv]\r\nFormat=TabDelimited\r\n";
    writeBytes(schema, users);
    for (int run = 0; run < 2; ++run) {
        source::SourceBinding binding;
        binding.bind(dir.file(" list.csv"));
        binding.WriteSchemaHeader(true);
        binding.WriteSchemaFormat(1);
        binding.WriteSchemaFormat(2);
        EXPECT_EQ(platform::ini::readSection(schema, " list.csv").size(), 2u);
        EXPECT_FALSE(platform::ini::sectionExists(schema, "list.csv"));
        binding.deleteSchema();
        EXPECT_EQ(readBytes(schema), users);
    }
}

TEST(SchemaFile, AFolderNamedSchemaIniIsNamedInTheFailure) {
    TempDir dir;
    dir.makeDir("Schema.ini");
    source::SourceBinding binding;
    binding.bind(dir.file("list.csv"));
    try {
        binding.WriteSchemaHeader(true);
        FAIL() << "no failure";
    } catch (const platform::FileError& failure) {
        EXPECT_EQ(std::string(failure.what()), "Cannot read file \"" + dir.file("Schema.ini") + "\". Is a directory");
    }
    binding.deleteSchema();
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("Schema.ini")));
}

TEST(SchemaFile, RestoringAReadOnlyUsersFileKeepsItsMode) {
    TempDir dir;
    const std::string schema = dir.file("Schema.ini");
    const std::string users = "[list.csv]\r\nColNameHeader=False\r\nFormat=TabDelimited\r\n";
    writeBytes(schema, users);
    ASSERT_EQ(::chmod(schema.c_str(), 0444), 0);
    source::SourceBinding binding;
    binding.bind(schema.substr(0, schema.size() - 10) + "list.csv");
    binding.WriteSchemaHeader(true);
    binding.WriteSchemaFormat(0);
    binding.deleteSchema();
    EXPECT_EQ(readBytes(schema), users);
    struct stat st {};
    ASSERT_EQ(::stat(schema.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
}

}  // namespace
