// Qt's own Chinese texts for the standard buttons and dialogs ("确定", "取消",
// "打开", the file dialog's labels), from Qt's translations folder (Debian
// package qt6-translations-l10n).  The tool's own texts are Chinese already.
#pragma once

class QCoreApplication;

namespace app {

// Installs the catalogue "qtbase_zh_CN" into application; false when it is
// missing, and the standard texts stay English.  Also makes Chinese the
// default locale, for the dates and sizes the file dialog shows.
bool installStandardTranslations(QCoreApplication& application);

}  // namespace app
