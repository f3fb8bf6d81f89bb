// The setup dialog of the domain export: loading at each showing, OK, the
// ways of closing without writing, the two modes, the file's bytes.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "dialog_test_support.h"
#include "app/setup_dialog/frm_suffix.h"
#include "app/widget_text.h"
#include "app/setup_dialog/value_list_editor.h"
#include "settings/domain_export_settings.h"

using settings::Tfrm_suffix;
using test_support::gbk;
using test_support::pressKey;
using test_support::readBytes;
using test_support::RecordingFailureBox;
using test_support::typeIntoCurrentCell;
using test_support::writeBytes;
using Rows = settings::ValueListEditor::Rows;

namespace {

const char* const kOneGroupFile =
    "[SetupOption]\r\nSelected=1\r\n[SetupTop]\r\nTop=30\r\n[SetupCustom]\r\nqq=qq.com,foxmail.com\r\n";

}  // namespace

class FrmSuffixTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> configHome;
    std::string path;
    std::unique_ptr<RecordingFailureBox> box;
    std::unique_ptr<Tfrm_suffix> dialog;

    void writeSettings(const std::string& bytes) {
        QDir().mkpath(QString::fromStdString(path.substr(0, path.rfind('/'))));
        writeBytes(path, bytes);
    }
    void show() {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }
    settings::ValueListEditor& table() { return *dialog->ValueListEditor_custom; }
    // The settings file's bytes (QByteArray: a difference shows in the log).
    QByteArray fileBytes() const { return QByteArray::fromStdString(readBytes(path)); }

private slots:
    void init() {
        configHome = std::make_unique<QTemporaryDir>();
        QVERIFY(configHome->isValid());
        qputenv("XDG_CONFIG_HOME", configHome->path().toUtf8());
        path = settings::defaultSettingsPath();
        QCOMPARE(QString::fromStdString(path), configHome->path() + "/emailclean/exportdomainsetup.ini");
        box = std::make_unique<RecordingFailureBox>();
        dialog = std::make_unique<Tfrm_suffix>(path, *box);
    }
    void cleanup() {
        dialog.reset();
        box.reset();
        configHome.reset();
    }

    void designedControls() {
        QCOMPARE(dialog->windowTitle(), QString::fromUtf8("@后缀分类导出设置"));
        QCOMPARE(dialog->size(), QSize(417, 321));
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        QCOMPARE(dialog->font().pixelSize(), 11);
        QCOMPARE(dialog->font().families().value(0), QString::fromUtf8("微软雅黑"));
        QCOMPARE(dialog->grp_outputsetup->geometry(), QRect(8, 8, 393, 273));
        QCOMPARE(dialog->grp_outputsetup->title(), QString::fromUtf8("设置选项"));
        QCOMPARE(dialog->rbt_setup_top->geometry(), QRect(16, 26, 73, 17));
        QCOMPARE(dialog->rbt_setup_top->text(), QString::fromUtf8("数量排名前"));
        QCOMPARE(dialog->cbx_top->geometry(), QRect(96, 26, 41, 24));
        QVERIFY(!dialog->cbx_top->isEditable());
        QStringList choices;
        for (int i = 0; i < dialog->cbx_top->count(); ++i) choices << dialog->cbx_top->itemText(i);
        QCOMPARE(choices, (QStringList{"10", "15", "20", "30", "50"}));
        QCOMPARE(dialog->Label2->geometry(), QRect(144, 26, 198, 16));
        QCOMPARE(dialog->Label2->text(), QString::fromUtf8("个邮件域分类导出，其它邮件域汇总导出"));
        QCOMPARE(dialog->rbt_setup_custom->geometry(), QRect(16, 58, 265, 17));
        QCOMPARE(dialog->rbt_setup_custom->text(), QString::fromUtf8("自定义邮件域分类导出，未定义邮件域汇总导出："));
        QCOMPARE(dialog->ValueListEditor_custom->geometry(), QRect(16, 83, 361, 177));
        QCOMPARE(dialog->btn_ok->geometry(), QRect(208, 288, 75, 25));
        QCOMPARE(dialog->btn_ok->text(), QString::fromUtf8("确认"));
        QVERIFY(dialog->btn_ok->isDefault());
        QCOMPARE(dialog->btn_cancel->geometry(), QRect(312, 288, 75, 25));
        QCOMPARE(dialog->btn_cancel->text(), QString::fromUtf8("取消"));
        // At creation: top-N checked, "10" chosen, the table disabled.
        QVERIFY(dialog->rbt_setup_top->isChecked());
        QCOMPARE(dialog->cbx_top->currentText(), QStringLiteral("10"));
        QVERIFY(!dialog->ValueListEditor_custom->isEnabled());
    }

    void noFileShowsDefaults() {
        show();
        QVERIFY(dialog->rbt_setup_top->isChecked());
        QCOMPARE(dialog->cbx_top->currentText(), QStringLiteral("10"));
        QVERIFY(!table().isEnabled());
        QCOMPARE(table().rowCount(), 1);
        QVERIFY(table().rows().empty());
        QVERIFY(!test_support::fileExists(path));  // showing writes nothing
    }

    void showingLoadsTheFile() {
        writeSettings("[SetupOption]\r\nSelected=1\r\n[SetupTop]\r\nTop=30\r\n[SetupCustom]\r\n" +
                      gbk("网易") + "=163.com,126.com\r\nqq=qq.com,foxmail.com\r\n");
        show();
        QVERIFY(dialog->rbt_setup_custom->isChecked());
        QVERIFY(table().isEnabled());
        QCOMPARE(dialog->cbx_top->currentText(), QStringLiteral("30"));
        QCOMPARE(table().item(0, 0)->text(), QString::fromUtf8("网易"));
        QCOMPARE(table().rows(), (Rows{{"网易", "163.com,126.com"}, {"qq", "qq.com,foxmail.com"}}));
    }

    // What the file holds, what the dialog then shows, what OK stores back.
    void storedValuesReadAndWrittenBack_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("custom");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QString>("stored");
        const QString top = "[SetupOption]\r\nSelected=0\r\n[SetupTop]\r\nTop=%1\r\n";
        const QString written = "[SetupOption]\r\nSelected=%1\r\n[SetupTop]\r\nTop=%2\r\n";
        QTest::newRow("Top 25 chooses 10") << top.arg("25") << false << "10" << written.arg(0).arg(10);
        QTest::newRow("Top 50") << top.arg("50") << false << "50" << written.arg(0).arg(50);
        QTest::newRow("Top 0x14 is 20") << top.arg("0x14") << false << "20" << written.arg(0).arg(20);
        QTest::newRow("Top not a number") << top.arg("abc") << false << "10" << written.arg(0).arg(10);
        QTest::newRow("Selected 2 is custom")
            << "[SetupOption]\r\nSelected=2\r\n" << true << "10" << written.arg(1).arg(10);
        QTest::newRow("Selected not a number is top-N")
            << "[SetupOption]\r\nSelected=x\r\n[SetupTop]\r\nTop=15\r\n" << false << "15"
            << written.arg(0).arg(15);
    }
    void storedValuesReadAndWrittenBack() {
        QFETCH(QString, file);
        QFETCH(bool, custom);
        QFETCH(QString, choice);
        QFETCH(QString, stored);
        writeSettings(file.toStdString());
        show();
        QCOMPARE(dialog->rbt_setup_custom->isChecked(), custom);
        QCOMPARE(dialog->rbt_setup_top->isChecked(), !custom);
        QCOMPARE(table().isEnabled(), custom);
        QCOMPARE(dialog->cbx_top->currentText(), choice);
        dialog->btn_ok->click();
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(fileBytes(), stored.toUtf8());
    }

    void okWritesTheExactBytes() {
        show();
        QTest::mouseClick(dialog->rbt_setup_custom, Qt::LeftButton);
        QVERIFY(table().isEnabled());
        dialog->cbx_top->setCurrentIndex(2);  // "20"
        table().setFocus();
        typeIntoCurrentCell(table(), "qq");
        pressKey(table(), Qt::Key_Tab);
        typeIntoCurrentCell(table(), "qq.com,foxmail.com");
        pressKey(table(), Qt::Key_Down);  // a new row, still in the value column
        QCOMPARE(table().currentColumn(), 1);
        pressKey(table(), Qt::Key_Left);
        typeIntoCurrentCell(table(), QString::fromUtf8("网易"));
        pressKey(table(), Qt::Key_Tab);
        typeIntoCurrentCell(table(), "163.com,126.com");
        dialog->btn_ok->click();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(box->messages.empty());
        QCOMPARE(fileBytes(), QByteArray::fromStdString("[SetupOption]\r\nSelected=1\r\n[SetupTop]\r\nTop=20\r\n"
                                                      "[SetupCustom]\r\nqq=qq.com,foxmail.com\r\n" +
                                                      gbk("网易") + "=163.com,126.com\r\n"));
    }

    void okSavesTheCellStillBeingEdited() {
        writeSettings(kOneGroupFile);
        show();
        table().setFocus();
        table().setCurrentCell(0, 1);
        typeIntoCurrentCell(table(), "qq.com");
        QVERIFY(table().cellEditor() != nullptr);
        dialog->btn_ok->click();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(fileBytes(), QByteArray("[SetupOption]\r\nSelected=1\r\n[SetupTop]\r\nTop=30\r\n"
                                             "[SetupCustom]\r\nqq=qq.com\r\n"));
    }

    void enterInTheCellBeingEditedPressesOk() {
        writeSettings(kOneGroupFile);
        show();
        table().setFocus();
        table().setCurrentCell(0, 1);
        typeIntoCurrentCell(table(), "qq.com");
        QTest::keyClick(table().cellEditor(), Qt::Key_Return);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(fileBytes(), QByteArray("[SetupOption]\r\nSelected=1\r\n[SetupTop]\r\nTop=30\r\n"
                                         "[SetupCustom]\r\nqq=qq.com\r\n"));
    }

    void okRefusesDuplicateKeyStillBeingEdited() {
        writeSettings("[SetupOption]\r\nSelected=1\r\n[SetupCustom]\r\nqq=qq.com\r\nsina=sina.com\r\n");
        show();
        table().setFocus();
        table().setCurrentCell(1, 0);
        typeIntoCurrentCell(table(), "QQ");
        dialog->btn_ok->click();
        QCOMPARE(box->messages, (std::vector<std::string>{"A key with the name of \"QQ\" already exists"}));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(settings::loadDomainExportSettings(path).custom,
                 (Rows{{"qq", "qq.com"}, {"sina", "sina.com"}}));
    }

    void okWithEmptyTableErasesTheGroups() {
        writeSettings(std::string(kOneGroupFile) + "[Other]\r\nkept=1\r\n");
        show();
        table().setFocus();
        pressKey(table(), Qt::Key_Delete, Qt::ControlModifier);
        QVERIFY(table().rows().empty());
        dialog->btn_ok->click();
        QCOMPARE(fileBytes(),
                 QByteArray("[SetupOption]\r\nSelected=1\r\n[SetupTop]\r\nTop=30\r\n[Other]\r\nkept=1\r\n"));
    }

    void okReplacesTheGroupsInRowOrder() {
        writeSettings("[SetupCustom]\r\nb=2\r\na=1\r\nc=3\r\n[SetupOption]\r\nSelected=1\r\n");
        show();
        table().setFocus();
        table().setCurrentCell(1, 0);
        pressKey(table(), Qt::Key_Delete, Qt::ControlModifier);  // a
        pressKey(table(), Qt::Key_Insert);                       // above c
        typeIntoCurrentCell(table(), "d");
        dialog->btn_ok->click();
        QCOMPARE(fileBytes(), QByteArray("[SetupOption]\r\nSelected=1\r\n[SetupTop]\r\nTop=10\r\n"
                                             "[SetupCustom]\r\nb=2\r\nd=\r\nc=3\r\n"));
    }

    void refusedWriteShowsFailureAndStillCloses() {
        // The settings folder's place is taken by a file: nothing can be written.
        const std::string folder = path.substr(0, path.rfind('/'));
        writeBytes(folder, "not a folder");
        show();
        dialog->btn_ok->click();
        QCOMPARE(box->messages, (std::vector<std::string>{"Unable to write to " + path}));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
    }

    void configFolderOfAnyNameHoldsTheSettings() {
        // The program creates the dialog with the path looked up on demand;
        // a folder named with characters GBK cannot hold is a folder like any.
        const QString folder = configHome->path() + QString::fromUtf8("/配置😀");
        qputenv("XDG_CONFIG_HOME", folder.toUtf8());
        Tfrm_suffix lazy(&settings::defaultSettingsPath, *box);
        lazy.show();
        QVERIFY(QTest::qWaitForWindowExposed(&lazy));
        QVERIFY(box->messages.empty());
        lazy.btn_ok->click();
        QVERIFY(box->messages.empty());
        QVERIFY(!lazy.isVisible());
        QVERIFY(QFile::exists(folder + QStringLiteral("/emailclean/exportdomainsetup.ini")));
    }

    void longValueReadsBackWhole() {
        std::string longList;
        while (longList.size() < 3000) longList += "domain" + std::to_string(longList.size()) + ".com,";
        longList.resize(3000);
        writeSettings("[SetupOption]\r\nSelected=1\r\n[SetupCustom]\r\nbig=" + longList + "\r\n");
        show();
        QCOMPARE(table().item(0, 1)->text().size(), 3000);
        table().setFocus();
        table().setCurrentCell(0, 1);
        table().editItem(table().item(0, 1));
        QVERIFY(table().cellEditor() != nullptr);
        table().cellEditor()->end(false);
        QTest::keyClick(table().cellEditor(), 'x');
        dialog->btn_ok->click();
        const auto groups = settings::loadDomainExportSettings(path).custom;
        QCOMPARE(groups.size(), std::size_t{1});
        QCOMPARE(groups[0].second.size(), std::size_t{3001});
        QCOMPARE(groups[0].second, longList + "x");
        show();
        QCOMPARE(table().item(0, 1)->text().size(), 3001);
    }

    // Every way of closing without OK writes nothing; the next showing
    // shows the file again.
    void closingWithoutOkWritesNothing_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "cancel";
        QTest::newRow("Escape") << "escape";
        QTest::newRow("Escape while editing") << "escape while editing";
        QTest::newRow("close box") << "close";
    }
    void closingWithoutOkWritesNothing() {
        QFETCH(QString, how);
        writeSettings(kOneGroupFile);
        show();
        dialog->cbx_top->setCurrentIndex(4);
        table().setFocus();
        table().setCurrentCell(0, 1);
        typeIntoCurrentCell(table(), "changed");
        pressKey(table(), Qt::Key_Down);
        typeIntoCurrentCell(table(), "new");
        if (how != "escape while editing") table().finishEditing();
        QTest::mouseClick(dialog->rbt_setup_top, Qt::LeftButton);
        if (how == "escape while editing") table().editItem(table().item(1, 0));
        if (how == "cancel") QTest::mouseClick(dialog->btn_cancel, Qt::LeftButton);
        if (how == "escape") QTest::keyClick(dialog.get(), Qt::Key_Escape);
        if (how == "escape while editing") pressKey(table(), Qt::Key_Escape);
        if (how == "close") dialog->close();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QCOMPARE(fileBytes(), QByteArray(kOneGroupFile));
        show();
        QVERIFY(dialog->rbt_setup_custom->isChecked());
        QVERIFY(table().isEnabled());
        QCOMPARE(dialog->cbx_top->currentText(), QStringLiteral("30"));
        QCOMPARE(table().rows(), (Rows{{"qq", "qq.com,foxmail.com"}}));
    }

    void eachShowingReloadsTheFile() {
        writeSettings(kOneGroupFile);
        show();
        dialog->hide();
        writeSettings("[SetupOption]\r\nSelected=0\r\n[SetupTop]\r\nTop=15\r\n");
        show();
        QVERIFY(dialog->rbt_setup_top->isChecked());
        QVERIFY(!table().isEnabled());
        QCOMPARE(dialog->cbx_top->currentText(), QStringLiteral("15"));
        QVERIFY(table().rows().empty());
    }

    void modeSwitchingEnablesTheTableOnlyInCustomMode() {
        show();
        QVERIFY(!table().isEnabled());
        QTest::mouseClick(dialog->rbt_setup_custom, Qt::LeftButton);
        QVERIFY(dialog->rbt_setup_custom->isChecked());
        QVERIFY(!dialog->rbt_setup_top->isChecked());
        QVERIFY(table().isEnabled());
        QVERIFY(dialog->cbx_top->isEnabled());
        QTest::mouseClick(dialog->rbt_setup_custom, Qt::LeftButton);  // already checked
        QVERIFY(table().isEnabled());
        QTest::mouseClick(dialog->rbt_setup_top, Qt::LeftButton);
        QVERIFY(!table().isEnabled());
        QVERIFY(dialog->cbx_top->isEnabled());
        dialog->cbx_top->setCurrentIndex(3);
        dialog->btn_ok->click();
        QCOMPARE(fileBytes(), QByteArray("[SetupOption]\r\nSelected=0\r\n[SetupTop]\r\nTop=30\r\n"));
    }

    void enterPressesOk() {
        show();
        QTest::mouseClick(dialog->rbt_setup_custom, Qt::LeftButton);
        QTest::keyClick(dialog->rbt_setup_custom, Qt::Key_Return);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(fileBytes(), QByteArray("[SetupOption]\r\nSelected=1\r\n[SetupTop]\r\nTop=10\r\n"));
    }
};

QTEST_MAIN(FrmSuffixTest)
#include "frm_suffix_test.moc"
