// The key/value table of the domain groups: every rule of its editing.
#include <QLineEdit>
#include <QTest>
#include <memory>

#include "dialog_test_support.h"
#include "platform/operation_feedback.h"
#include "app/widget_text.h"
#include "app/setup_dialog/value_list_editor.h"

using settings::ValueListEditor;
using test_support::pressKey;
using test_support::RecordingFailureBox;
using test_support::typeIntoCurrentCell;
using Rows = ValueListEditor::Rows;

namespace {
const std::string kEqualsMessage = "Key may not contain equals sign (\"=\")";
}

class ValueListEditorTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<RecordingFailureBox> box;
    std::unique_ptr<ValueListEditor> table;

    void makeTable(const Rows& rows) {
        table->setRows(rows);
        table->setFocus();
    }
    QString cell(int row, int column) const { return table->item(row, column)->text(); }

private slots:
    void init() {
        box = std::make_unique<RecordingFailureBox>();
        table = std::make_unique<ValueListEditor>(*box);
        table->resize(361, 177);
        table->show();
        QVERIFY(QTest::qWaitForWindowExposed(table.get()));
    }
    void cleanup() {
        table.reset();
        box.reset();
    }

    void titleRowAndColumns() {
        QCOMPARE(table->columnCount(), 2);
        QCOMPARE(table->horizontalHeaderItem(0)->text(), QStringLiteral("Key"));
        QCOMPARE(table->horizontalHeaderItem(1)->text(), QStringLiteral("Value"));
        QCOMPARE(table->columnWidth(0), 150);
    }

    void emptyTableShowsOneBlankRow() {
        makeTable({});
        QCOMPARE(table->rowCount(), 1);
        QVERIFY(table->rows().empty());
    }

    void typingIntoBlankRowCreatesFirstRow() {
        makeTable({});
        typeIntoCurrentCell(*table, "qq");
        QCOMPARE(table->rows(), (Rows{{"qq", ""}}));
        pressKey(*table, Qt::Key_Tab);  // to the value cell
        QCOMPARE(table->currentColumn(), 1);
        typeIntoCurrentCell(*table, "qq.com,foxmail.com");
        QCOMPARE(table->rows(), (Rows{{"qq", "qq.com,foxmail.com"}}));
    }

    void setRowsShowsGbkTextAsUnicode() {
        makeTable({{"网易", "163.com,126.com"}, {"qq", "qq.com"}});
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(cell(0, 0), QString::fromUtf8("网易"));
        QCOMPARE(cell(0, 1), QStringLiteral("163.com,126.com"));
        QCOMPARE(table->rows(), (Rows{{"网易", "163.com,126.com"}, {"qq", "qq.com"}}));
    }

    void chineseTypedThroughInputMethodIsKept() {
        makeTable({});
        typeIntoCurrentCell(*table, QString::fromUtf8("新浪"));
        pressKey(*table, Qt::Key_Tab);
        typeIntoCurrentCell(*table, "sina.com");
        QCOMPARE(table->rows(), (Rows{{"新浪", "sina.com"}}));
    }

    void everyKeystrokeIsTakenWhileStillEditing() {
        makeTable({{"qq", "qq.com"}});
        table->setCurrentCell(0, 1);
        typeIntoCurrentCell(*table, "foxmail.com");
        QVERIFY(table->cellEditor() != nullptr);  // the cell is still being edited
        QCOMPARE(table->rows(), (Rows{{"qq", "foxmail.com"}}));
        QTest::keyClick(table->cellEditor(), Qt::Key_Backspace);
        QCOMPARE(table->rows(), (Rows{{"qq", "foxmail.co"}}));
    }

    void finishEditingTakesTheOpenCell() {
        makeTable({{"qq", "qq.com"}});
        table->setCurrentCell(0, 0);
        typeIntoCurrentCell(*table, "tencent");
        table->finishEditing();
        QVERIFY(table->cellEditor() == nullptr);
        QCOMPARE(table->rows(), (Rows{{"tencent", "qq.com"}}));
        QVERIFY(box->messages.empty());
    }

    void insertAddsBlankRowAboveCurrent() {
        makeTable({{"a", "1"}, {"b", "2"}});
        table->setCurrentCell(1, 1);
        pressKey(*table, Qt::Key_Insert);
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->currentRow(), 1);
        QCOMPARE(cell(1, 0), QString());
        QCOMPARE(cell(2, 0), QStringLiteral("b"));
        typeIntoCurrentCell(*table, "x");
        QCOMPARE(table->rows(), (Rows{{"a", "1"}, {"x", ""}, {"b", "2"}}));
    }

    void insertWhileEditingAddsRowAboveTheEditedRow() {
        makeTable({{"a", "1"}});
        table->setCurrentCell(0, 1);
        typeIntoCurrentCell(*table, "9");
        pressKey(*table, Qt::Key_Insert);
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->currentRow(), 0);
        QCOMPARE(table->rows(), (Rows{{"a", "9"}}));
    }

    void insertOnRowWithEmptyKeyDoesNothing() {
        makeTable({});
        pressKey(*table, Qt::Key_Insert);
        QCOMPARE(table->rowCount(), 1);
        makeTable({{"a", "1"}});
        table->setCurrentCell(0, 0);
        typeIntoCurrentCell(*table, "b");
        QTest::keyClick(table->cellEditor(), Qt::Key_Backspace);  // key now empty
        pressKey(*table, Qt::Key_Insert);
        QCOMPARE(table->rowCount(), 1);
    }

    void downOnLastRowAppendsBlankRow() {
        makeTable({{"a", "1"}, {"b", "2"}});
        table->setCurrentCell(0, 1);
        pressKey(*table, Qt::Key_Down);  // not the last row: just moves
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->currentRow(), 1);
        pressKey(*table, Qt::Key_Down);
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->currentRow(), 2);
        QCOMPARE(table->currentColumn(), 1);
    }

    void downOnLastRowWithEmptyKeyAppendsNothing() {
        makeTable({});
        pressKey(*table, Qt::Key_Down);
        QCOMPARE(table->rowCount(), 1);
        typeIntoCurrentCell(*table, "x");
        pressKey(*table, Qt::Key_Down);  // while editing: leaves the cell, appends
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->currentRow(), 1);
        pressKey(*table, Qt::Key_Down);  // the new row's key is empty
        QCOMPARE(table->rowCount(), 2);
    }

    void ctrlDeleteDeletesCurrentRow() {
        makeTable({{"a", "1"}, {"b", "2"}, {"c", "3"}});
        table->setCurrentCell(1, 0);
        pressKey(*table, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(table->rows(), (Rows{{"a", "1"}, {"c", "3"}}));
        QCOMPARE(table->currentRow(), 1);
    }

    void ctrlDeleteWhileEditingDeletesTheEditedRow() {
        makeTable({{"a", "1"}, {"b", "2"}});
        table->setCurrentCell(1, 1);
        typeIntoCurrentCell(*table, "changed");
        pressKey(*table, Qt::Key_Delete, Qt::ControlModifier);
        QVERIFY(table->cellEditor() == nullptr);
        QCOMPARE(table->rows(), (Rows{{"a", "1"}}));
    }

    void ctrlDeleteOfLastRowLeavesBlankRow() {
        makeTable({{"a", "1"}});
        pressKey(*table, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(table->rowCount(), 1);
        QVERIFY(table->rows().empty());
    }

    void plainDeleteDeletesNoRow() {
        makeTable({{"a", "1"}, {"b", "2"}});
        table->setCurrentCell(0, 0);
        pressKey(*table, Qt::Key_Delete);
        QCOMPARE(table->rowCount(), 2);
    }

    void leavingEmptyRowRemovesIt() {
        makeTable({{"a", "1"}, {"b", "2"}});
        table->setCurrentCell(1, 0);
        pressKey(*table, Qt::Key_Insert);
        QCOMPARE(table->rowCount(), 3);
        pressKey(*table, Qt::Key_Up);
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->currentRow(), 0);
        QCOMPARE(table->rows(), (Rows{{"a", "1"}, {"b", "2"}}));
    }

    void leavingRowEmptiedByEditingRemovesIt() {
        makeTable({{"a", "1"}, {"b", "2"}});
        table->setCurrentCell(0, 1);
        typeIntoCurrentCell(*table, "x");
        QTest::keyClick(table->cellEditor(), Qt::Key_Backspace);
        table->setCurrentCell(0, 0);
        typeIntoCurrentCell(*table, "x");
        QTest::keyClick(table->cellEditor(), Qt::Key_Backspace);
        pressKey(*table, Qt::Key_Down);
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->rows(), (Rows{{"b", "2"}}));
    }

    void rowWithKeyOrValueIsKeptWhenLeft() {
        makeTable({{"a", "1"}});
        pressKey(*table, Qt::Key_Down);
        pressKey(*table, Qt::Key_Tab);
        typeIntoCurrentCell(*table, "v");
        pressKey(*table, Qt::Key_Up);
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->rows(), (Rows{{"a", "1"}, {"", "v"}}));
    }

    void ctrlUpAndCtrlDownMoveToFirstAndLastRow() {
        makeTable({{"a", "1"}, {"b", "2"}, {"c", "3"}, {"d", "4"}});
        table->setCurrentCell(1, 1);
        pressKey(*table, Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(table->currentRow(), 3);
        QCOMPARE(table->currentColumn(), 1);
        QCOMPARE(table->rowCount(), 4);
        pressKey(*table, Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(table->currentRow(), 0);
    }

    void equalsSignInKeyIsRefusedAtEachChangeAndOnLeaving() {
        makeTable({{"a", "1"}, {"b", "2"}});
        table->setCurrentCell(0, 0);
        typeIntoCurrentCell(*table, "k");
        QVERIFY(box->messages.empty());
        typeIntoCurrentCell(*table, "=");
        QCOMPARE(box->messages, (std::vector<std::string>{kEqualsMessage}));
        QCOMPARE(table->rows()[0].first, std::string("k"));  // the key it last held
        typeIntoCurrentCell(*table, "x");
        QCOMPARE(box->messages.size(), std::size_t{2});
        pressKey(*table, Qt::Key_Down);  // leaving the cell
        QCOMPARE(box->messages.size(), std::size_t{3});
        QCOMPARE(box->messages.back(), kEqualsMessage);
        QCOMPARE(table->rows(), (Rows{{"k", "1"}, {"b", "2"}}));
    }

    // The real box takes the keyboard focus from the cell editor: that is no
    // leaving of the cell (no second refusal, the editor stays open).
    void refusalBoxTakingFocusKeepsCellBeingEdited() {
        test_support::ModalFailureBox modalBox;
        ValueListEditor focused(modalBox);
        focused.setRows({{"a", "1"}, {"b", "2"}});
        focused.show();
        focused.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&focused));
        focused.setFocus();
        focused.setCurrentCell(0, 0);
        typeIntoCurrentCell(focused, "k=");
        QVERIFY(focused.cellEditor() != nullptr);
        QCOMPARE(focused.focusWidget(), static_cast<QWidget*>(focused.cellEditor()));
        QCOMPARE(focused.cellEditor()->text(), QStringLiteral("k="));
        QCOMPARE(modalBox.messages, (std::vector<std::string>{kEqualsMessage}));
        typeIntoCurrentCell(focused, "x");
        QCOMPARE(modalBox.messages.size(), std::size_t{2});
        pressKey(focused, Qt::Key_Down);
        QCOMPARE(modalBox.messages.size(), std::size_t{3});
        QVERIFY(focused.cellEditor() == nullptr);
        QCOMPARE(focused.rows(), (Rows{{"k", "1"}, {"b", "2"}}));
    }

    void equalsSignInValueIsAccepted() {
        makeTable({{"a", "1"}});
        table->setCurrentCell(0, 1);
        typeIntoCurrentCell(*table, "x=y");
        table->finishEditing();
        QVERIFY(box->messages.empty());
        QCOMPARE(table->rows(), (Rows{{"a", "x=y"}}));
    }

    void duplicateKeyIsRefusedWithoutRegardToCase() {
        makeTable({{"abc", "1"}, {"x", "2"}});
        table->setCurrentCell(1, 0);
        typeIntoCurrentCell(*table, "ABC");
        QVERIFY(box->messages.empty());  // refused on leaving, not while typing
        pressKey(*table, Qt::Key_Up);
        QCOMPARE(box->messages,
                 (std::vector<std::string>{"A key with the name of \"ABC\" already exists"}));
        QCOMPARE(table->rows(), (Rows{{"abc", "1"}, {"x", "2"}}));
    }

    void duplicateKeyOfNewRowIsRefused() {
        makeTable({{"abc", "1"}});
        pressKey(*table, Qt::Key_Down);
        typeIntoCurrentCell(*table, "ABC");
        pressKey(*table, Qt::Key_Tab);
        QCOMPARE(box->messages.size(), std::size_t{1});
        QCOMPARE(table->rows(), (Rows{{"abc", "1"}}));
    }

    void duplicateChineseKeyNamesTheTypedText() {
        makeTable({{"网易", "163.com"}, {"x", "2"}});
        table->setCurrentCell(1, 0);
        typeIntoCurrentCell(*table, QString::fromUtf8("网易"));
        table->finishEditing();
        QCOMPARE(box->messages,
                 (std::vector<std::string>{"A key with the name of \"网易\" already exists"}));
        QCOMPARE(table->rows(), (Rows{{"网易", "163.com"}, {"x", "2"}}));
    }

    void duplicateKeyWithBlanksAroundIsRefused() {
        makeTable({{"qq", "1"}, {"x", "2"}});
        table->setCurrentCell(1, 0);
        typeIntoCurrentCell(*table, " QQ ");
        table->finishEditing();
        QCOMPARE(box->messages, (std::vector<std::string>{"A key with the name of \" QQ \" already exists"}));
        QCOMPARE(table->rows(), (Rows{{"qq", "1"}, {"x", "2"}}));
    }

    void keyChangedOnlyInLetterCaseIsAccepted() {
        makeTable({{"abc", "1"}});
        table->setCurrentCell(0, 0);
        typeIntoCurrentCell(*table, "ABC");
        table->finishEditing();
        QVERIFY(box->messages.empty());
        QCOMPARE(table->rows(), (Rows{{"ABC", "1"}}));
    }

    void setRowsDropsOpenEditor() {
        makeTable({{"a", "1"}});
        typeIntoCurrentCell(*table, "zzz");
        makeTable({{"b", "2"}});
        QVERIFY(table->cellEditor() == nullptr);
        QCOMPARE(table->rows(), (Rows{{"b", "2"}}));
    }

    void escapeWhileEditingAsksToCancel() {
        makeTable({{"a", "1"}});
        int asked = 0;
        connect(table.get(), &ValueListEditor::escapePressed, this, [&asked] { ++asked; });
        typeIntoCurrentCell(*table, "b");
        pressKey(*table, Qt::Key_Escape);
        QCOMPARE(asked, 1);
    }

    void failureBoxAppendsFullStopAfterLettersOnly_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "A key with the name of \"x\" already exists"
                                << "A key with the name of \"x\" already exists.";
        QTest::newRow("closing parenthesis") << "Key may not contain equals sign (\"=\")"
                                             << "Key may not contain equals sign (\"=\")";
        QTest::newRow("full stop") << "Done." << "Done.";
        QTest::newRow("exclamation") << "Stop!" << "Stop!";
        QTest::newRow("chinese") << QString::fromUtf8("写入失败") << QString::fromUtf8("写入失败.");
        QTest::newRow("empty") << "" << "";
    }
    void failureBoxAppendsFullStopAfterLettersOnly() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(app::widgetText(platform::uncaughtFailureText(app::utf8Of(text))), shown);
    }
};

QTEST_MAIN(ValueListEditorTest)
#include "value_list_editor_test.moc"
