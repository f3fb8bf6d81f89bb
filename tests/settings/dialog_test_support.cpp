#include "dialog_test_support.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QTest>
#include <fstream>

#include "app/widget_text.h"
#include "platform/code_page.h"
#include "app/setup_dialog/value_list_editor.h"

namespace test_support {

void ModalFailureBox::showFailure(const std::string& text) {
    RecordingFailureBox::showFailure(text);
    QMessageBox box(QMessageBox::Critical, QStringLiteral("test"), app::widgetText(text));
    QTimer::singleShot(0, &box, &QMessageBox::accept);
    box.exec();
}

std::string gbk(const char* utf8) { return platform::gbk(utf8); }

bool fileExists(const std::string& path) { return std::ifstream(path).good(); }

namespace {

bool isLatin1(QChar c) { return c.unicode() < 0x100; }

void typeOne(settings::ValueListEditor& table, QChar c) {
    QWidget* target = table.cellEditor() ? static_cast<QWidget*>(table.cellEditor()) : &table;
    if (isLatin1(c)) {
        QTest::keyClick(target, c.toLatin1());
    } else {
        QInputMethodEvent commit;
        commit.setCommitString(QString(c));
        QCoreApplication::sendEvent(target, &commit);
    }
}

}  // namespace

void typeIntoCurrentCell(settings::ValueListEditor& table, const QString& text) {
    for (QChar c : text) typeOne(table, c);
}

void pressKey(settings::ValueListEditor& table, int key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = table.cellEditor() ? static_cast<QWidget*>(table.cellEditor()) : &table;
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

}  // namespace test_support
