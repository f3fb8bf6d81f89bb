// The list the end-to-end tests run over: semicolon separated, a header line,
// Chinese names; addresses valid, invalid, repeated in another case, of
// several domains, one with a long prefix.
#pragma once

#include <string>

namespace clitest {

inline constexpr const char* kNamedList =
    "name;email\r\n"
    "张三;Alice@QQ.com\r\n"
    "李四;bob@163.com\r\n"
    "王五;alice@qq.com\r\n"
    "赵六;not-an-address\r\n"
    "钱七;c@@163.com\r\n"
    "孙八;admin@sina.com\r\n"
    "周九;verylongprefix123@163.com\r\n"
    "吴十;Carol@Gmail.com\r\n"
    "郑一;dave@mail.qq.com\r\n";

// A long list for runs that are stopped on the way: a header line "email",
// then rows distinct addresses over 97 domains, CRLF line ends (ASCII, so
// GBK as it is).
inline std::string generatedList(int rows) {
    std::string text = "email\r\n";
    text.reserve(static_cast<std::size_t>(rows) * 32);
    for (int i = 0; i < rows; ++i)
        text += "someone" + std::to_string(i) + "@example" + std::to_string(i % 97) + ".com\r\n";
    return text;
}

}  // namespace clitest
