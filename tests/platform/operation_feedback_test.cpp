#include "platform/operation_feedback.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"


// The failure box appends a full stop when the last character sorts after ".".
TEST(UncaughtFailureText, FullStopRule) {
    const struct {
        std::string message, shown;
    } cases[] = {
        {"Unable to write to /x/Schema.ini", "Unable to write to /x/Schema.ini."},
        {"Done.", "Done."},
        {"Stop!", "Stop!"},
        {"(x)", "(x)"},
        {"a/", "a/."},
        {"code 7", "code 7."},
        {"", ""},
        {std::string("写入失败"), std::string("写入失败") + "."},
        // A lone lead byte before "-" is a character of its own: "-" is last.
        {"x\x81-", "x\x81-"},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::uncaughtFailureText(c.message), c.shown) << c.message;
}
