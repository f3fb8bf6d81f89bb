#include <gtest/gtest.h>

#include "source/source_binding.h"


namespace {

struct BindCase {
    std::string path, dir, file, base;
};

class BindTable : public testing::TestWithParam<BindCase> {};

TEST_P(BindTable, SplitsDirectoryFileAndBaseName) {
    const BindCase& c = GetParam();
    source::SourceBinding binding;
    binding.bind(c.path);
    EXPECT_EQ(binding.sourceDir(), c.dir);
    EXPECT_EQ(binding.sourceFile(), c.file);
    EXPECT_EQ(binding.baseName(), c.base);
    EXPECT_EQ(binding.isBound(), !c.dir.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, BindTable,
    testing::Values(BindCase{"/nonexistent-dir/u/list.csv", "/nonexistent-dir/u", "list.csv", "list"},
                    BindCase{"/list.txt", "/", "list.txt", "list"},
                    BindCase{"/nonexistent-dir/a.b.csv", "/nonexistent-dir", "a.b.csv", "a.b"},
                    // four characters or fewer leave an empty stem
                    BindCase{"/nonexistent-dir/.csv", "/nonexistent-dir", ".csv", ""},
                    BindCase{"/nonexistent-dir/abc", "/nonexistent-dir", "abc", ""},
                    // Chinese names: characters, not bytes, are dropped
                    BindCase{"/nonexistent-dir/客户名单.csv", "/nonexistent-dir", "客户名单.csv", "客户名单"},
                    BindCase{"/nonexistent-dir/x客户名单", "/nonexistent-dir", "x客户名单", "x"},
                    BindCase{"/数据/邮件.csv", "/数据", "邮件.csv", "邮件"},
                    BindCase{"/数据/名单😀.csv", "/数据", "名单😀.csv", "名单😀"},
                    BindCase{"list.csv", "", "list.csv", "list"}));

TEST(SourceBinding, UnboundAtStart) {
    source::SourceBinding binding;
    EXPECT_FALSE(binding.isBound());
    EXPECT_EQ(binding.sourceDir(), "");
    EXPECT_EQ(binding.sourceFile(), "");
}

TEST(SourceBinding, SchemaPathBesideTheFile) {
    source::SourceBinding binding;
    binding.bind("/nonexistent-dir/u/list.csv");
    EXPECT_EQ(binding.schemaPath(), "/nonexistent-dir/u/Schema.ini");
    binding.bind("/list.csv");
    EXPECT_EQ(binding.schemaPath(), "/Schema.ini");
}

TEST(SourceBinding, WordsOfTheOptions) {
    EXPECT_EQ(source::headerWordFor(true), "Yes");
    EXPECT_EQ(source::headerWordFor(false), "No");
    EXPECT_EQ(source::formatWordFor(0), "CSVDelimited");
    EXPECT_EQ(source::formatWordFor(1), "Delimited(;)");
    EXPECT_EQ(source::formatWordFor(2), "TabDelimited");
    EXPECT_EQ(source::formatWordFor(3), "Delimited( )");
    EXPECT_EQ(source::formatWordFor(4), "");
    EXPECT_EQ(source::formatWordFor(-1), "");
}

}  // namespace
