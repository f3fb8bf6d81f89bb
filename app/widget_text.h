// The one crossing between the tool's texts and the Unicode text of the
// widgets, for the window and its dialogs: the tool's own texts, names and
// statements are UTF-8; a list's values are in the list's encoding.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace app {

// UTF-8 to widget text; bytes that are not UTF-8 become replacement characters.
QString widgetText(std::string_view utf8);

// Widget text to UTF-8.
std::string utf8Of(const QString& text);

// GBK bytes to widget text; bytes that are not GBK become replacement characters.
QString fromGbk(std::string_view gbk);

// A value of a list: GBK bytes, or UTF-8 bytes when utf8.
QString valueText(std::string_view bytes, bool utf8);

}  // namespace app
