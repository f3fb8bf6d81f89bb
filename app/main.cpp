// Start-up: the application title, the main window, then the domain export
// setup dialog; the message loop runs until the main window closes.
#include <QApplication>

#include "app/application_title.h"
#include "app/setup_dialog/frm_suffix.h"
#include "app/tform1.h"
#include "settings/domain_export_settings.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // The caption of every message box and the program's name on the desktop.
    // (Not the display name: Qt would append that to the window's caption.)
    QApplication::setApplicationName(QString::fromUtf8(app::kApplicationTitle));

    TForm1 form1;
    // Owned by the window, which deletes it with its other children; its
    // failures go to the window's failure box.  The settings file's path is
    // looked up when the dialog needs it: a configuration folder that GBK
    // cannot name fails the showing, not the start.
    form1.setSetupDialog(new settings::Tfrm_suffix(&settings::defaultSettingsPath, form1, &form1));
    form1.show();
    return application.exec();
}
