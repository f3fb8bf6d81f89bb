#include <gtest/gtest.h>

#include <vector>

#include "platform/ini_file.h"
#include "source/source_connections.h"
#include "recording_feedback.h"
#include "schema_text.h"
#include "temp_dir.h"

using testsupport::readBytes;
using testsupport::TempDir;
using testsupport::writeBytes;

namespace {

TEST(OpenSourceConnections, OpensBothOnTheFilesDirectory) {
    TempDir dir;
    writeBytes(dir.file("list.csv"), "email\r\na@b.com\r\n");
    source::SourceBinding binding;
    binding.bind(dir.file("list.csv"));
    engine::Connection preview, csv;
    RecordingFeedback feedback;
    ASSERT_TRUE(source::OpenSourceConnections(binding, true, 3, source::TextEncoding::Gbk, preview, csv, feedback));
    EXPECT_TRUE(preview.isOpen());
    EXPECT_TRUE(csv.isOpen());
    EXPECT_EQ(preview.dataSource(), dir.path());
    EXPECT_EQ(csv.dataSource(), dir.path());
    EXPECT_TRUE(feedback.messages.empty());
    EXPECT_EQ(readBytes(dir.file("Schema.ini")), testsupport::toolSchema("list.csv", "True", "Delimited( )"));

    // A second binding sequence reopens the open connections.
    ASSERT_TRUE(source::OpenSourceConnections(binding, false, 1, source::TextEncoding::Gbk, preview, csv, feedback));
    EXPECT_TRUE(preview.isOpen());
    EXPECT_TRUE(csv.isOpen());
    EXPECT_EQ(readBytes(dir.file("Schema.ini")), testsupport::toolSchema("list.csv", "False", "Delimited(;)"));
}

TEST(OpenSourceConnections, UnwritableDescriptionFileIsNotCaught) {
    TempDir dir;
    source::SourceBinding binding;
    binding.bind(dir.path() + "/gone/list.csv");
    engine::Connection preview, csv;
    RecordingFeedback feedback;
    EXPECT_THROW(source::OpenSourceConnections(binding, true, 0, source::TextEncoding::Gbk, preview, csv, feedback),
                 platform::IniWriteError);
    EXPECT_FALSE(preview.isOpen());
    EXPECT_FALSE(csv.isOpen());
    EXPECT_TRUE(feedback.messages.empty());
}

}  // namespace
