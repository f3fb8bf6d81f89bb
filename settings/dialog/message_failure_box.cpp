#include "settings/dialog/message_failure_box.h"

#include <QMessageBox>

#include "settings/dialog/gbk_text.h"

namespace settings {

std::string failureBoxText(const std::string& gbkText) {
    if (!gbkText.empty() && static_cast<unsigned char>(gbkText.back()) > '.') return gbkText + '.';
    return gbkText;
}

void MessageFailureBox::showUncaughtFailure(const std::string& gbkText) {
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8("Email地址清理"),
                    fromGbk(failureBoxText(gbkText)), QMessageBox::Ok, parent_);
    box.exec();
}

}  // namespace settings
