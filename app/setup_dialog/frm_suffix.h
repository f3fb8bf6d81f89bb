// The setup dialog of the domain-classified export: top-N mode or custom
// domain groups, kept in the settings file.  The dialog and the export meet
// only through that file: each showing reloads every control from it, OK
// writes it, Cancel, Escape and the close box write nothing.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "platform/operation_feedback.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace settings {

class ValueListEditor;

class Tfrm_suffix : public QDialog {
    Q_OBJECT

public:
    // settingsPath: the settings file (see defaultSettingsPath()).
    // failureBox: where a failure no handler catches is shown.
    Tfrm_suffix(std::string settingsPath, platform::OperationFeedback& failureBox, QWidget* parent = nullptr);
    // The settings file's path is asked for at each showing and each OK, so
    // that a path that cannot be found is a failure of that showing or OK,
    // not of the start-up.
    Tfrm_suffix(std::function<std::string()> settingsPath, platform::OperationFeedback& failureBox, QWidget* parent = nullptr);

    // May throw when the path cannot be named.
    std::string settingsPath() const { return settingsPath_(); }

    // The controls, named as in the designer.
    QGroupBox* grp_outputsetup;
    QRadioButton* rbt_setup_top;
    QComboBox* cbx_top;
    QLabel* Label2;
    QRadioButton* rbt_setup_custom;
    ValueListEditor* ValueListEditor_custom;
    QPushButton* btn_ok;
    QPushButton* btn_cancel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void rbt_setup_topClick();
    void rbt_setup_customClick();
    // Writes the settings file; throws platform::IniWriteError.
    void btn_okClick();
    void okPressed();

    std::function<std::string()> settingsPath_;
    platform::OperationFeedback& failureBox_;
};

}  // namespace settings
