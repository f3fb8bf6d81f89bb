// Draws the setup dialog, in custom mode with two groups, into a PNG:
//   frm_suffix_snapshot OUT.png [SETTINGS.ini [edit]]
// With "edit" the second row's value cell is being edited.
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>

#include "app/setup_dialog/frm_suffix.h"
#include "app/setup_dialog/value_list_editor.h"
#include "dialog_test_support.h"
#include "settings/domain_export_settings.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUT.png [SETTINGS.ini]\n", argv[0]);
        return 2;
    }
    const std::string settingsPath = argc > 2 && *argv[2] ? argv[2] : settings::defaultSettingsPath();
    test_support::RecordingFailureBox box;  // a snapshot shows no failure
    settings::Tfrm_suffix dialog(settingsPath, box);
    dialog.show();
    if (argc > 3 && std::string(argv[3]) == "edit") {
        settings::ValueListEditor& table = *dialog.ValueListEditor_custom;
        table.setFocus();
        table.setCurrentCell(1, 1);
        table.editItem(table.item(1, 1));
        if (table.cellEditor()) table.cellEditor()->end(false);
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QTimer::singleShot(300, [&] {
        dialog.grab().save(out);
        app.quit();
    });
    return app.exec();
}
