#include "app/url_opener.h"

#include <QProcess>
#include <QStandardPaths>

namespace app {

void openUrlQuietly(const QString& url) {
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) return;
    QProcess process;
    process.setProgram(opener);
    process.setArguments({url});
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.startDetached();
}

}  // namespace app
