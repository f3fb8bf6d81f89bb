// Start-up: the application title, the main window, then the domain export
// setup dialog; a file named on the command line is opened once the window
// shows; the message loop runs until the main window closes.
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "app/application_title.h"
#include "app/command_line.h"
#include "app/program_icon.h"
#include "app/program_identity.h"
#include "app/setup_dialog/frm_suffix.h"
#include "app/standard_translations.h"
#include "app/tform1.h"
#include "settings/domain_export_settings.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // The caption of every message box and the program's name on the desktop.
    // (Not the display name: Qt would append that to the window's caption.)
    QApplication::setApplicationName(QString::fromUtf8(app::kApplicationTitle));
    QApplication::setApplicationVersion(QString::fromUtf8(app::kVersion));
    // The desktop entry the desktop matches the windows with, and their icon.
    QGuiApplication::setDesktopFileName(QString::fromUtf8(app::kApplicationId));
    QApplication::setWindowIcon(app::programIcon());
    // Standard buttons and dialogs in Chinese; English when the catalogue is missing.
    app::installStandardTranslations(application);

    // emailclean [FILE]: the file is opened as if chosen with "浏览".
    const app::CommandLineRequest request = app::parseCommandLine(QCoreApplication::arguments());
    if (request.exitCode) {
        std::fputs(request.output.toLocal8Bit().constData(), stdout);
        std::fputs(request.error.toLocal8Bit().constData(), stderr);
        return *request.exitCode;
    }

    TForm1 form1;
    // Owned by the window, which deletes it with its other children; its
    // failures go to the window's failure box.  The settings file's path is
    // looked up when the dialog needs it.
    form1.setSetupDialog(new settings::Tfrm_suffix(&settings::defaultSettingsPath, form1, &form1));
    form1.show();
    if (request.file) {
        // Once the window is up, so that its messages stand over it.
        QTimer::singleShot(0, &form1, [&form1, file = *request.file] { form1.openFile(file); });
    }
    return application.exec();
}
