// Start-up: the application title, the main window, then the domain export
// setup dialog; the message loop runs until the main window closes.
#include <QApplication>

#include "app/tform1.h"

#ifdef EMAILCLEAN_HAS_SETUP_DIALOG
#include "settings/dialog/frm_suffix.h"
#include "settings/dialog/message_failure_box.h"
#include "settings/domain_export_settings.h"
#endif

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // The caption of every message box and the program's name on the desktop.
    // (Not the display name: Qt would append that to the window's caption.)
    QApplication::setApplicationName(QString::fromUtf8(app::kApplicationTitle));

    QDialog* setupDialog = nullptr;
#ifdef EMAILCLEAN_HAS_SETUP_DIALOG
    settings::MessageFailureBox failureBox;  // outlives the window and its dialog
#endif
    TForm1 form1(nullptr, nullptr);
#ifdef EMAILCLEAN_HAS_SETUP_DIALOG
    // Owned by the window, which deletes it with its other children.  The
    // settings file's path is looked up when the dialog needs it: a
    // configuration folder that GBK cannot name fails the showing, not the start.
    setupDialog = new settings::Tfrm_suffix(&settings::defaultSettingsPath, failureBox, &form1);
#endif
    form1.setSetupDialog(setupDialog);
    form1.show();
    return application.exec();
}
