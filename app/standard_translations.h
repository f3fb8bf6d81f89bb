// Qt's own Chinese texts for the standard buttons and dialogs ("确定", "取消",
// "打开", the file dialog's labels), from Qt's translations folder (Debian
// package qt6-translations-l10n).  The tool's own texts are Chinese already.
#pragma once

class QCoreApplication;
class QString;

namespace app {

// Installs the catalogue "qtbase_zh_CN" into application; false when it is
// missing, and the standard texts stay English.  (Dates and sizes in the
// file dialog follow the desktop's own locale.)
bool installStandardTranslations(QCoreApplication& application);
// The same from another folder.
bool installStandardTranslations(QCoreApplication& application, const QString& folder);

}  // namespace app
