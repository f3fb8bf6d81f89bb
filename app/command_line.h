// The program's command line, "emailclean [FILE]": a file manager opens a
// file with the program this way (the desktop entry's "Exec=emailclean %f").
// Qt's own options (-platform, -style, ...) are taken by QApplication first.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace app {

struct CommandLineRequest {
    // The file to open at start-up, absolute (a relative one is taken from
    // the current folder).
    std::optional<QString> file;
    // Set when the program is to end at once: --help and --version (0, their
    // text in output) or a wrong command line (2, its message in error).
    std::optional<int> exitCode;
    QString output;
    QString error;
};

// arguments: the program's name first, as QCoreApplication::arguments().
CommandLineRequest parseCommandLine(const QStringList& arguments);

}  // namespace app
