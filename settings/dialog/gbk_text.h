// GBK bytes, the code page of the settings file, meet Unicode only here, at
// the widgets.
#pragma once

#include <QString>
#include <string>

namespace settings {

QString fromGbk(const std::string& gbk);
// Characters GBK cannot hold become "?".
std::string toGbk(const QString& text);

}  // namespace settings
