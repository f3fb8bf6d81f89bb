#include "app/standard_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace app {

bool installStandardTranslations(QCoreApplication& application) {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    auto* catalogue = new QTranslator(&application);
    if (!catalogue->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete catalogue;
        return false;
    }
    return QCoreApplication::installTranslator(catalogue);
}

}  // namespace app
