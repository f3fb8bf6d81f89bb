// The main window with workbooks: the worksheet drop-down beside edt_file
// (shown for more than one sheet), choosing another sheet rebinds as an
// option change does, the separator and encoding controls disabled while a
// workbook is bound, a refused workbook leaves the binding before it, an
// exclusion workbook, the private folder gone when the window closes.
#include <QtTest>
#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "app/status_line.h"
#include "window_under_test.h"
#include "xlsx_list_book.h"

using namespace testsupport;

namespace {

QStringList itemsOf(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

// Every file under a folder.
QStringList filesUnder(const QString& dir) {
    QStringList files;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) files << it.next();
    return files;
}

BookSheet listSheet() {
    BookSheet sheet{"名单", {}};
    sheet.rows = {{text("email"), text("name")},     {text("alice@qq.com"), text("张三")},
                  {text("bob@163.com"), text("李四")}, {text("bad-address"), text("王五")},
                  {text("carol@qq.com"), text("赵六")}};
    return sheet;
}

}  // namespace

class WindowWorkbookTest : public QObject {
    Q_OBJECT

    QTemporaryDir cache;
    WindowUnderTest w;

    QString panel(int i) const { return w.form->status_bar1->panelText(i); }
    QAbstractItemModel* grid() const { return w.form->DBGridEh_preview_data->model(); }
    void open(const QString& file) {
        w.ports->fileAnswers.push_back(file);
        w.form->btn_fileopen->click();
    }
    void writeBook(const QString& name, const std::vector<BookSheet>& sheets) {
        writeListBook(w.path(name).toStdString(), sheets);
    }
    void chooseSheet(int index) {
        w.form->cbx_sheet->setCurrentIndex(index);
        emit w.form->cbx_sheet->activated(index);
    }
    bool sheetChoiceShown() const { return w.form->cbx_sheet->isVisible() && w.form->Label16->isVisible(); }

private slots:
    void initTestCase() {
        // The private folders go under a cache folder of the test's own.
        QVERIFY(cache.isValid());
        qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    }
    void init() {
        w.dir = std::make_unique<QTemporaryDir>();
        w.newWindow(true);
    }
    void cleanup() {
        w.form.reset();
        QCOMPARE(filesUnder(cache.path()), QStringList());  // the private folder went with the window
    }

    void severalSheetsOfferTheDropDown() {
        writeBook("名单.xlsx", {{"说明", {}}, listSheet(), textColumn("第二", {"email", "x@qq.com", "Y@163.com"})});
        open(w.path("名单.xlsx"));
        QCOMPARE(w.ports->messages, QStringList());
        QCOMPARE(w.form->edt_file->text(), w.path("名单.xlsx"));
        QCOMPARE(w.form->edt_output_dir->text(), w.dir->path());
        QVERIFY(sheetChoiceShown());
        QCOMPARE(w.form->Label16->text(), u("工作表："));
        QCOMPARE(itemsOf(w.form->cbx_sheet), QStringList({u("说明"), u("名单"), u("第二")}));
        QCOMPARE(w.form->cbx_sheet->currentIndex(), 1);  // the first with data
        QVERIFY(!w.form->cbx_sheet->isEditable());
        // Beside edt_file, which makes room, and before the button.
        QVERIFY(w.form->edt_file->geometry().right() < w.form->Label16->x());
        QVERIFY(w.form->cbx_sheet->geometry().right() < w.form->btn_fileopen->x());
        QCOMPARE(w.form->cbx_sheet->y(), w.form->edt_file->y());
        QVERIFY(!w.form->cbx_delimite->isEnabled());
        QVERIFY(!w.form->cbx_encoding->isEnabled());
        QVERIFY(w.form->cbx_hdr->isEnabled());
        QCOMPARE(itemsOf(w.form->cbx_field), QStringList({u("email"), u("name")}));
        QCOMPARE(grid()->rowCount(), 4);
        QCOMPARE(grid()->index(0, 1).data().toString(), u("张三"));
        QCOMPARE(panel(1), u(" 记录总数：4"));
        // Nothing beside the workbook.
        QCOMPARE(QDir(w.dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList({u("名单.xlsx")}));

        chooseSheet(2);
        QCOMPARE(w.ports->messages, QStringList());
        QCOMPARE(panel(0), u(" 当前操作：文件格式选项[工作表]"));
        QCOMPARE(panel(1), u(" 记录总数：2"));  // the sheet's own count
        QCOMPARE(itemsOf(w.form->cbx_field), QStringList({u("email")}));
        QCOMPARE(grid()->rowCount(), 2);
        QCOMPARE(grid()->index(1, 0).data().toString(), u("Y@163.com"));
        QCOMPARE(w.form->cbx_sheet->currentIndex(), 2);

        // The header option applies to the sheet bound.
        w.form->cbx_hdr->click();
        QCOMPARE(panel(0), u(" 当前操作：文件格式选项[第一行是否含有列名称]"));
        QCOMPARE(grid()->rowCount(), 3);
        QCOMPARE(grid()->index(0, 0).data().toString(), u("email"));
        QCOMPARE(w.form->cbx_sheet->currentIndex(), 2);

        // An empty sheet is refused: its message, and the sheet bound stays chosen.
        chooseSheet(0);
        QCOMPARE(w.ports->messages.size(), 1);
        QVERIFY2(w.ports->messages[0].contains(u("的工作表\"说明\"中没有数据")), qPrintable(w.ports->messages[0]));
        QCOMPARE(w.form->cbx_sheet->currentIndex(), 2);
        QCOMPARE(grid()->rowCount(), 3);
        QCOMPARE(w.ports->busyDepth, 0);
    }

    void oneSheetAndTextFilesShowNoDropDown() {
        writeBook("one.xlsx", {listSheet()});
        writeBook("two.xlsx", {listSheet(), textColumn("第二", {"x@qq.com"})});
        writeBytes(w.path("list.csv"), "email\r\nalice@qq.com\r\n");
        open(w.path("two.xlsx"));
        QVERIFY(sheetChoiceShown());
        open(w.path("one.xlsx"));
        QCOMPARE(w.ports->messages, QStringList());
        QVERIFY(!sheetChoiceShown());
        QVERIFY(!w.form->cbx_delimite->isEnabled());
        QCOMPARE(w.form->edt_file->geometry(), QRect(64, 16, 793, 24));
        open(w.path("list.csv"));
        QVERIFY(!sheetChoiceShown());
        QVERIFY(w.form->cbx_delimite->isEnabled());
        QVERIFY(w.form->cbx_encoding->isEnabled());
        QCOMPARE(w.form->edt_file->geometry(), QRect(64, 16, 793, 24));
        QCOMPARE(panel(1), u(" 记录总数：1"));
    }

    void aRefusedWorkbookLeavesTheBindingBeforeIt() {
        writeBook("two.xlsx", {listSheet(), textColumn("第二", {"x@qq.com"})});
        writeBytes(w.path("broken.xlsx"), "PK\x03\x04 not really");
        open(w.path("two.xlsx"));
        open(w.path("broken.xlsx"));
        QCOMPARE(w.ports->messages.size(), 1);
        QVERIFY2(w.ports->messages[0].contains(u("\"broken.xlsx\"")), qPrintable(w.ports->messages[0]));
        QCOMPARE(w.form->edt_file->text(), w.path("two.xlsx"));
        QCOMPARE(w.form->sourceFile(), std::string("two.xlsx"));
        QVERIFY(sheetChoiceShown());
        QCOMPARE(grid()->rowCount(), 4);
        QCOMPARE(panel(1), u(" 记录总数：4"));
        QCOMPARE(QDir(w.dir->path()).entryList(QDir::Files), QStringList({u("broken.xlsx"), u("two.xlsx")}));
    }

    void exportsBesideTheWorkbookWithAnExclusionWorkbook() {
        writeBook("名单.xlsx", {listSheet()});
        writeBook("排除.xlsx", {textColumn("Sheet1", {"bob@163.com"})});
        open(w.path("名单.xlsx"));
        w.ports->fileAnswers.push_back(w.path("排除.xlsx"));
        w.form->btn_filter_fileopen->click();
        QCOMPARE(w.form->edt_filter_email->text(), u("排除.xlsx"));
        w.form->cbx_filter_email->click();
        w.form->btn_export_all->click();
        QCOMPARE(w.ports->messages, QStringList({u("Email地址按条件全部导出 执行完毕!")}));
        const QByteArray bom("\xEF\xBB\xBF");
        QCOMPARE(readAll(w.path("名单-Export.csv")), bom + "\"alice@qq.com\"\r\n\"carol@qq.com\"");
        QCOMPARE(readAll(w.path("名单-Exclude.csv")), bom + "\"bob@163.com\"");
        QCOMPARE(readAll(w.path("名单-Invalid.csv")), bom + "\"bad-address\"");
        QVERIFY(!QFile::exists(w.path("Schema.ini")));
    }
};

QTEST_MAIN(WindowWorkbookTest)
#include "window_workbook_test.moc"
