// The one crossing between the GBK bytes of files, statements and settings
// and the Unicode text of the widgets, for the window and its dialogs.
#pragma once

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace app {

// GBK bytes to widget text; bytes that are not GBK become replacement characters.
QString fromGbk(std::string_view gbk);

// Widget text to GBK bytes, or nullopt when GBK cannot hold one of its characters.
std::optional<std::string> toGbk(const QString& text);

// Widget text to GBK bytes with "?" for every character GBK cannot hold.
std::string toGbkLossy(const QString& text);

}  // namespace app
