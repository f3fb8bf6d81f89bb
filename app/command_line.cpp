#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

namespace app {

CommandLineRequest parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8("Varnotek 电子邮件地址清理工具"));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QString::fromUtf8("文件"),
                                 QString::fromUtf8("启动后打开的CSV或文本文件，与用“浏览”选择的文件相同"),
                                 QString::fromUtf8("[文件]"));
    CommandLineRequest request;
    const auto wrong = [&](const QString& message) {
        request.exitCode = 2;
        request.error = message + QLatin1Char('\n') + parser.helpText();
        return request;
    };
    if (!parser.parse(arguments)) return wrong(parser.errorText());
    if (parser.isSet(help)) {
        request.exitCode = 0;
        request.output = parser.helpText();
        return request;
    }
    if (parser.isSet(version)) {
        request.exitCode = 0;
        request.output = QCoreApplication::applicationName() + QLatin1Char(' ') +
                         QCoreApplication::applicationVersion() + QLatin1Char('\n');
        return request;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) return wrong(QString::fromUtf8("只能打开一个文件。"));
    if (files.size() == 1 && !files.front().isEmpty())
        request.file = QDir::cleanPath(QDir::current().absoluteFilePath(files.front()));
    return request;
}

}  // namespace app
