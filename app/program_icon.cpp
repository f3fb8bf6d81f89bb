#include "app/program_icon.h"

namespace app {

QIcon programIcon() {
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/48/emailclean.png"), QSize(48, 48));
    icon.addFile(QStringLiteral(":/icons/256/emailclean.png"), QSize(256, 256));
    return icon;
}

}  // namespace app
