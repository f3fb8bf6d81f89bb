#include "app/standard_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace app {

bool installStandardTranslations(QCoreApplication& application) {
    auto* catalogue = new QTranslator(&application);
    if (!catalogue->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete catalogue;
        return false;
    }
    return QCoreApplication::installTranslator(catalogue);
}

}  // namespace app
