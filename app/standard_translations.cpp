#include "app/standard_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace app {

bool installStandardTranslations(QCoreApplication& application) {
    return installStandardTranslations(application, QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

bool installStandardTranslations(QCoreApplication& application, const QString& folder) {
    auto* catalogue = new QTranslator(&application);
    if (!catalogue->load(QStringLiteral("qtbase_zh_CN"), folder)) {
        delete catalogue;
        return false;
    }
    return QCoreApplication::installTranslator(catalogue);
}

}  // namespace app
