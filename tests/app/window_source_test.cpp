// The main window with real GBK files: opening and binding, the separator and
// header options, the previews of both pages, the row count, the description
// file, and the failure paths.
#include <QtTest>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

#include "app/status_line.h"
#include "app/tform1.h"
#include "fake_ports.h"
#include "platform/code_page.h"
#include "schema_text.h"

namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

// The description file the window writes into a folder that had none.
QByteArray tool(const std::string& section, const std::string& header, const std::string& format) {
    return QByteArray::fromStdString(testsupport::toolSchema(section, header, format));
}

// Eight addresses: one invalid, one erroneous, one long prefix, one listed
// prefix, four at qq.com (one of them twice).
const char* const kRows[][2] = {
    {"alice@qq.com", "张三"},  {"bob@163.com", "李四"},    {"carol@qq.com", "王五"},
    {"bad-address", "赵六"},   {"dave@.com", "钱七"},      {"averyverylongname@qq.com", "孙八"},
    {"webmaster@site.com", "周九"}, {"alice@qq.com", "张三"},
};
constexpr int kRowCount = 8;

std::string listFile(char separator, bool header) {
    std::string text;
    if (header) text += std::string("email") + separator + "name\r\n";
    for (const auto& row : kRows) text += std::string(row[0]) + separator + row[1] + "\r\n";
    return platform::gbk(text);
}

void writeBytes(const QString& path, const std::string& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

QStringList columnOf(QAbstractItemModel* model, int column) {
    QStringList values;
    for (int r = 0; r < model->rowCount(); ++r) values << model->index(r, column).data().toString();
    return values;
}

QStringList fieldItems(QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
}

}  // namespace

class WindowSourceTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<FakePorts> ports;
    std::unique_ptr<TForm1> form;

    QString path(const QString& name) const { return dir->filePath(name); }
    QString panel(int i) const { return form->status_bar1->panelText(i); }
    QAbstractItemModel* dataGrid() const { return form->DBGridEh_preview_data->model(); }
    QAbstractItemModel* domainGrid() const { return form->DBGridEh_preview_domain->model(); }

    void open(const QString& file) {
        ports->fileAnswers.push_back(file);
        form->btn_fileopen->click();
    }
    void search() { form->btn_search->click(); }

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        ports = std::make_unique<FakePorts>();
        form = std::make_unique<TForm1>(ports.get());
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup() {
        form.reset();
        ports.reset();
        dir.reset();
    }

    void openWithHeaderLine() {
        writeBytes(path("list.csv"), listFile(',', true));
        form->cbx_hdr->click();  // unbound: only the control changes
        QVERIFY(!QFile::exists(path("Schema.ini")));
        open(path("list.csv"));
        QCOMPARE(ports->messages, QStringList());
        QCOMPARE(ports->failures, QStringList());
        QCOMPARE(form->edt_file->text(), path("list.csv"));
        QCOMPARE(QString::fromStdString(form->sourceDir()), dir->path());
        QCOMPARE(form->sourceFile(), std::string("list.csv"));
        QCOMPARE(form->edt_output_dir->text(), dir->path());
        QCOMPARE(readBytes(path("Schema.ini")), tool("list.csv", "True", "CSVDelimited"));

        QCOMPARE(fieldItems(form->cbx_field), QStringList({u("email"), u("name")}));
        QCOMPARE(form->cbx_field->currentIndex(), 0);
        QCOMPARE(dataGrid()->rowCount(), kRowCount);
        QCOMPARE(dataGrid()->headerData(0, Qt::Horizontal).toString(), u("email"));
        QCOMPARE(dataGrid()->index(0, 1).data().toString(), u("张三"));
        QCOMPARE(dataGrid()->index(5, 0).data().toString(), u("averyverylongname@qq.com"));
        QCOMPARE(form->DBGridEh_preview_data->columnWidth(0), 180);
        QCOMPARE(form->DBGridEh_preview_data->columnWidth(1), 180);

        QCOMPARE(panel(0), u(" 当前操作：预览查询[查询条件:无条件]"));
        QCOMPARE(panel(1), u(" 记录总数：8"));
        QVERIFY(form->btn_search->isEnabled() && form->btn_export_all->isEnabled() &&
                form->btn_export_domain->isEnabled());
        QCOMPARE(form->pgc_preview->currentIndex(), 0);
        QVERIFY(form->rbt_viewoption_all->isChecked());
        QCOMPARE(ports->busyDepth, 0);
        QVERIFY(ports->busyCount >= 2);
    }

    void openWithoutHeaderLine() {
        writeBytes(path("list.csv"), listFile(',', true));
        open(path("list.csv"));
        QCOMPARE(ports->messages, QStringList());
        QCOMPARE(readBytes(path("Schema.ini")), tool("list.csv", "False", "CSVDelimited"));
        // The engine's generated names; the first line is a row.
        QCOMPARE(form->cbx_field->count(), 2);
        QCOMPARE(form->cbx_field->itemText(0), dataGrid()->headerData(0, Qt::Horizontal).toString());
        QVERIFY(form->cbx_field->itemText(0) != u("email"));
        QCOMPARE(dataGrid()->rowCount(), kRowCount + 1);
        QCOMPARE(dataGrid()->index(0, 0).data().toString(), u("email"));
        QCOMPARE(panel(1), u(" 记录总数：9"));
    }

    void separators_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<char>("separator");
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("comma") << 0 << ',' << QByteArray("CSVDelimited");
        QTest::newRow("semicolon") << 1 << ';' << QByteArray("Delimited(;)");
        QTest::newRow("tab") << 2 << '\t' << QByteArray("TabDelimited");
        QTest::newRow("blank") << 3 << ' ' << QByteArray("Delimited( )");
    }
    void separators() {
        QFETCH(int, index);
        QFETCH(char, separator);
        QFETCH(QByteArray, format);
        writeBytes(path("list.txt"), listFile(separator, true));
        form->cbx_delimite->setCurrentIndex(index);
        form->cbx_hdr->setChecked(true);
        open(path("list.txt"));
        QCOMPARE(ports->messages, QStringList());
        QCOMPARE(readBytes(path("Schema.ini")), tool("list.txt", "True", format.toStdString()));
        QCOMPARE(fieldItems(form->cbx_field), QStringList({u("email"), u("name")}));
        QCOMPARE(dataGrid()->rowCount(), kRowCount);
        QCOMPARE(dataGrid()->index(1, 1).data().toString(), u("李四"));
        QCOMPARE(panel(1), u(" 记录总数：8"));
    }

    void optionChangesRebindWithoutRecounting() {
        writeBytes(path("list.csv"), listFile(';', true));
        open(path("list.csv"));  // comma, no header: one column per line
        QCOMPARE(form->cbx_field->count(), 1);
        QCOMPARE(panel(1), u(" 记录总数：9"));

        form->cbx_delimite->setCurrentIndex(1);
        emit form->cbx_delimite->activated(1);
        QCOMPARE(ports->messages, QStringList());
        QCOMPARE(panel(0), u(" 当前操作：文件格式选项[列分隔符]"));
        QCOMPARE(form->cbx_field->count(), 2);
        QCOMPARE(form->cbx_field->currentIndex(), 0);
        QCOMPARE(panel(1), u(" 记录总数：9"));  // not recounted
        QCOMPARE(readBytes(path("Schema.ini")), tool("list.csv", "False", "Delimited(;)"));

        form->cbx_field->setCurrentIndex(1);
        form->rbt_viewoption_error->setChecked(true);
        form->DBGridEh_preview_data->setColumnWidth(0, 40);
        form->cbx_hdr->click();
        QCOMPARE(panel(0), u(" 当前操作：文件格式选项[第一行是否含有列名称]"));
        QCOMPARE(fieldItems(form->cbx_field), QStringList({u("email"), u("name")}));
        QCOMPARE(form->cbx_field->currentIndex(), 0);
        QVERIFY(form->rbt_viewoption_all->isChecked());
        QCOMPARE(dataGrid()->rowCount(), kRowCount);
        QCOMPARE(form->DBGridEh_preview_data->columnWidth(0), 180);
        QCOMPARE(panel(1), u(" 记录总数：9"));
        QCOMPARE(readBytes(path("Schema.ini")), tool("list.csv", "True", "Delimited(;)"));
    }

    void previewStopsAt200Rows() {
        std::string text = "email\r\n";
        for (int i = 0; i < 250; ++i) text += "user" + std::to_string(i) + "@qq.com\r\n";
        writeBytes(path("big.csv"), text);
        form->cbx_hdr->setChecked(true);
        open(path("big.csv"));
        QCOMPARE(dataGrid()->rowCount(), 200);
        QCOMPARE(panel(1), u(" 记录总数：250"));
    }

    void dataConditions_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QStringList>("addresses");
        QTest::newRow("all") << 0 << u("无条件")
                             << QStringList({"alice@qq.com", "bob@163.com", "carol@qq.com", "bad-address", "dave@.com",
                                             "averyverylongname@qq.com", "webmaster@site.com", "alice@qq.com"});
        QTest::newRow("invalid") << 1 << u("无效Email地址") << QStringList({"bad-address"});
        QTest::newRow("error") << 2 << u("错误Email地址") << QStringList({"dave@.com"});
        QTest::newRow("prefix length") << 3 << u("@前缀长度") << QStringList({"averyverylongname@qq.com"});
        QTest::newRow("prefix list") << 4 << u("@前缀等于") << QStringList({"webmaster@site.com"});
        QTest::newRow("suffix list") << 5 << u("@后缀等于")
                                     << QStringList({"alice@qq.com", "carol@qq.com", "averyverylongname@qq.com",
                                                     "alice@qq.com"});
    }
    void dataConditions() {
        QFETCH(int, option);
        QFETCH(QString, label);
        QFETCH(QStringList, addresses);
        writeBytes(path("list.csv"), listFile(',', true));
        form->cbx_hdr->setChecked(true);
        open(path("list.csv"));
        form->edt_viewoption_end->setText(u("qq.com"));
        QRadioButton* buttons[] = {form->rbt_viewoption_all,    form->rbt_viewoption_invalid,
                                   form->rbt_viewoption_error,  form->rbt_viewoption_start1,
                                   form->rbt_viewoption_start2, form->rbt_viewoption_end};
        buttons[option]->setChecked(true);
        search();
        QCOMPARE(ports->messages, QStringList());
        QCOMPARE(columnOf(dataGrid(), 0), addresses);
        QCOMPARE(panel(0), u(" 当前操作：数据预览[查询条件:") + label + u("]"));
        QCOMPARE(form->DBGridEh_preview_data->columnWidth(1), 180);
        QCOMPARE(panel(1), u(" 记录总数：8"));
    }

    void prefixLengthSmallerThan() {
        writeBytes(path("list.csv"), listFile(',', true));
        form->cbx_hdr->setChecked(true);
        open(path("list.csv"));
        form->rbt_viewoption_start1->setChecked(true);
        form->cbx_viewoption_start1->setCurrentIndex(1);
        form->edt_viewoption_start1->setText(u("4"));
        search();
        // An address without "@" has the length -1.
        QCOMPARE(columnOf(dataGrid(), 0), QStringList({"bob@163.com", "bad-address"}));
    }

    void emptyInputMessages_data() {
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("message");
        QTest::newRow("prefix length") << 3 << u("前缀长度不能为空!");
        QTest::newRow("prefix list") << 4 << u("前缀内容不能为空!");
        QTest::newRow("suffix list") << 5 << u("后缀内容不能为空!");
    }
    void emptyInputMessages() {
        QFETCH(int, option);
        QFETCH(QString, message);
        writeBytes(path("list.csv"), listFile(',', true));
        form->cbx_hdr->setChecked(true);
        open(path("list.csv"));
        const QString before = panel(0);
        QRadioButton* buttons[] = {nullptr, nullptr, nullptr, form->rbt_viewoption_start1,
                                   form->rbt_viewoption_start2, form->rbt_viewoption_end};
        QLineEdit* fields[] = {nullptr, nullptr, nullptr, form->edt_viewoption_start1, form->edt_viewoption_start2,
                               form->edt_viewoption_end};
        buttons[option]->setChecked(true);
        fields[option]->clear();
        search();
        QCOMPARE(ports->messages, QStringList(message));
        QCOMPARE(panel(0), before);
        QCOMPARE(dataGrid()->rowCount(), kRowCount);  // nothing queried
        // A field of blanks is not empty: it passes the check.
        ports->messages.clear();
        fields[option]->setText(u(" "));
        search();
        QVERIFY(!ports->messages.contains(message));
    }

    void textGbkCannotHoldMatchesNothingInAGbkList() {
        writeBytes(path("list.csv"), listFile(',', true));
        form->cbx_hdr->setChecked(true);
        open(path("list.csv"));
        // Pasted text that GBK cannot hold: in fields the chosen condition
        // does not use it plays no part; in its own field it matches nothing.
        form->edt_viewoption_end->setText(u("qq.com😀"));
        form->edt_viewoption_start2->setText(u("admin😀"));
        form->rbt_viewoption_invalid->setChecked(true);
        search();
        QCOMPARE(ports->messages, QStringList());
        QCOMPARE(columnOf(dataGrid(), 0), QStringList({"bad-address"}));
        QCOMPARE(panel(0), u(" 当前操作：数据预览[查询条件:无效Email地址]"));
        form->rbt_viewoption_end->setChecked(true);
        search();
        QCOMPARE(ports->messages, QStringList());
        QCOMPARE(dataGrid()->rowCount(), 0);
        QCOMPARE(panel(0), u(" 当前操作：数据预览[查询条件:@后缀等于]"));
    }

    void exportIgnoresTextsOfOptionsNotInForce() {
        writeBytes(path("list.csv"), listFile(',', true));
        form->cbx_hdr->setChecked(true);
        open(path("list.csv"));
        form->edt_filter_end->setText(u("qq.com😀"));  // cbx_filter_end unticked
        form->edt_split_size->setText(u("4😀"));        // no split
        form->btn_export_all->click();
        QCOMPARE(ports->failures, QStringList());
        QCOMPARE(ports->messages, QStringList(u("Email地址按条件全部导出 执行完毕!")));
        QVERIFY(QFile::exists(path("list-Export.csv")));
        // Ticked, the same text excludes nothing of a GBK list.
        const QByteArray exported = readBytes(path("list-Export.csv"));
        QFile::remove(path("list-Export.csv"));
        ports->messages.clear();
        form->cbx_filter_end->click();
        form->btn_export_all->click();
        QCOMPARE(ports->failures, QStringList());
        QCOMPARE(ports->messages, QStringList(u("Email地址按条件全部导出 执行完毕!")));
        QCOMPARE(readBytes(path("list-Export.csv")), exported);
        QVERIFY(!QFile::exists(path("list-Exclude.csv")));
        QCOMPARE(ports->busyDepth, 0);
    }

    void domainPreviews() {
        writeBytes(path("list.csv"), listFile(',', true));
        form->cbx_hdr->setChecked(true);
        open(path("list.csv"));
        form->rbt_top50->setChecked(true);
        form->pgc_preview->setCurrentIndex(1);  // the user turns the page
        QCOMPARE(ports->messages, QStringList());
        QVERIFY(form->rbt_top10->isChecked());
        QVERIFY(form->domainResultOpen());
        QCOMPARE(panel(0), u(" 当前操作：@后缀预览[查询条件:数据量排名 Top 10 的邮件域]"));
        QCOMPARE(domainGrid()->headerData(0, Qt::Horizontal).toString(), u("domain"));
        QCOMPARE(domainGrid()->headerData(1, Qt::Horizontal).toString(), u("quantity"));
        QCOMPARE(domainGrid()->index(0, 0).data().toString(), u("qq.com"));
        QCOMPARE(domainGrid()->index(0, 1).data().toString(), u("4"));  // duplicates count
        QCOMPARE(domainGrid()->rowCount(), 4);
        QCOMPARE(form->DBGridEh_preview_domain->columnWidth(0), 180);
        QCOMPARE(form->DBGridEh_preview_domain->columnWidth(1), 180);

        // Turning back and forth runs nothing.
        form->status_bar1->setPanelText(0, u("marker"));
        form->pgc_preview->setCurrentIndex(0);
        form->pgc_preview->setCurrentIndex(1);
        QCOMPARE(panel(0), u("marker"));

        form->rbt_alldomain->setChecked(true);
        search();
        QCOMPARE(panel(0), u(" 当前操作：@后缀预览[查询条件:全部邮件域]"));
        QCOMPARE(domainGrid()->rowCount(), 4);
        form->rbt_top10->setChecked(true);
        search();
        QCOMPARE(panel(0), u(" 当前操作：@后缀预览[查询条件:数据量排名前10个邮件域]"));
        form->rbt_top30->setChecked(true);
        search();
        QCOMPARE(panel(0), u(" 当前操作：@后缀预览[查询条件:数据量排名前30个邮件域]"));
        QCOMPARE(ports->messages, QStringList());
        // The data page's search is unaffected by the domain page.
        QCOMPARE(dataGrid()->rowCount(), kRowCount);
    }

    void outputDirectoryResetOnOpening() {
        writeBytes(path("list.csv"), listFile(',', true));
        ports->folderAnswers.push_back(u("/tmp"));
        form->btn_select_dir->click();
        QCOMPARE(form->edt_output_dir->text(), u("/tmp"));
        open(path("list.csv"));
        QCOMPARE(form->edt_output_dir->text(), dir->path());
        // Option changes leave the chosen folder.
        ports->folderAnswers.push_back(u("/tmp"));
        form->btn_select_dir->click();
        form->cbx_hdr->click();
        QCOMPARE(form->edt_output_dir->text(), u("/tmp"));
    }

    void missingFileTypedIntoTheDialog() {
        writeBytes(path("list.csv"), listFile(',', true));
        form->cbx_hdr->setChecked(true);
        open(path("list.csv"));
        open(path("nothere.csv"));
        QCOMPARE(ports->messages.size(), 1);  // the engine's message
        QCOMPARE(panel(0), u(" 当前操作：正在读取文件......"));
        QCOMPARE(panel(1), u(" 记录总数：8"));
        QCOMPARE(dataGrid()->rowCount(), 0);
        QCOMPARE(fieldItems(form->cbx_field), QStringList({u("email"), u("name")}));
        QVERIFY(form->btn_search->isEnabled() && form->btn_export_all->isEnabled());
        QCOMPARE(form->sourceFile(), std::string("nothere.csv"));
        QVERIFY(readBytes(path("Schema.ini")).startsWith("[nothere.csv]\r\n"));
    }

    void firstOpenOfAMissingFileKeepsTheButtonsDisabled() {
        open(path("nothere.csv"));
        QCOMPARE(ports->messages.size(), 1);
        QVERIFY(!form->btn_search->isEnabled());
        QVERIFY(!form->btn_export_all->isEnabled());
        QVERIFY(!form->btn_export_domain->isEnabled());
    }

    void unwritableDirectory() {
        const QString gone = dir->filePath("gone/list.csv");
        open(gone);
        QCOMPARE(ports->messages, QStringList());
        QCOMPARE(ports->failures, QStringList(u("Unable to write to ") + dir->filePath("gone/Schema.ini") + u(".")));
        QCOMPARE(form->edt_file->text(), gone);
        QCOMPARE(form->edt_output_dir->text(), dir->filePath("gone"));
        QCOMPARE(panel(0), u(" 当前操作：打开文件"));
        QCOMPARE(ports->busyDepth, 0);
        // The program goes on: a later opening works.
        writeBytes(path("list.csv"), listFile(',', true));
        open(path("list.csv"));
        QCOMPARE(dataGrid()->rowCount(), kRowCount + 1);
    }

    void badColumnName() {
        writeBytes(path("list.csv"), listFile(',', true));
        form->cbx_hdr->setChecked(true);
        open(path("list.csv"));
        // The file changes under the binding: its address column is gone.
        std::string renamed = listFile(',', true);
        renamed.replace(0, 5, "mail_");
        writeBytes(path("list.csv"), renamed);
        form->rbt_viewoption_invalid->setChecked(true);
        search();
        QCOMPARE(ports->messages.size(), 1);
        QCOMPARE(dataGrid()->rowCount(), 0);
        QCOMPARE(panel(0), u(" 当前操作：正在读取文件......"));
        QVERIFY(form->btn_search->isEnabled());

        form->status_bar1->setPanelText(0, u("marker"));
        form->pgc_preview->setCurrentIndex(1);
        QCOMPARE(ports->messages.size(), 2);
        QVERIFY(!form->domainResultOpen());
        QCOMPARE(domainGrid()->rowCount(), 0);
        QCOMPARE(panel(0), u("marker"));
        // After a failed domain preview the next turn tries again.
        writeBytes(path("list.csv"), listFile(',', true));
        form->pgc_preview->setCurrentIndex(0);
        form->pgc_preview->setCurrentIndex(1);
        QVERIFY(form->domainResultOpen());
        QCOMPARE(panel(0), u(" 当前操作：@后缀预览[查询条件:数据量排名 Top 10 的邮件域]"));
    }

    void descriptionFileOfTheToolGoes() {
        writeBytes(path("a.csv"), listFile(',', true));
        writeBytes(path("b.csv"), listFile(',', true));
        open(path("a.csv"));
        open(path("b.csv"));
        QCOMPARE(readBytes(path("Schema.ini")), tool("b.csv", "False", "CSVDelimited"));
        QTemporaryDir other;
        writeBytes(other.filePath("c.csv"), listFile(',', true));
        open(other.filePath("c.csv"));
        QVERIFY(!QFile::exists(path("Schema.ini")));
        QVERIFY(QFile::exists(other.filePath("Schema.ini")));
        form.reset();  // shut-down
        QVERIFY(!QFile::exists(other.filePath("Schema.ini")));
    }

    void usersDescriptionFileIsKept() {
        const QByteArray users = "[other.csv]\r\nColNameHeader=True\r\nFormat=TabDelimited\r\n";
        writeBytes(path("Schema.ini"), users.toStdString());
        writeBytes(path("a.csv"), listFile(',', true));
        open(path("a.csv"));
        QVERIFY(readBytes(path("Schema.ini")).contains("[a.csv]"));
        form.reset();
        QCOMPARE(readBytes(path("Schema.ini")), users);
    }

    // A GBK list whose name GBK cannot hold: the name is the file system's,
    // the description file's section is named in UTF-8.
    void fileNameThatGbkCannotHold() {
        writeBytes(path(u("名单😀.csv")), listFile(',', true));
        form->cbx_hdr->setChecked(true);
        open(path(u("名单😀.csv")));
        QCOMPARE(ports->messages, QStringList());
        QCOMPARE(form->edt_file->text(), path(u("名单😀.csv")));
        QCOMPARE(form->sourceFile(), std::string("名单😀.csv"));
        QCOMPARE(panel(1), u(" 记录总数：8"));
        QCOMPARE(dataGrid()->index(0, 1).data().toString(), u("张三"));
        QVERIFY(readBytes(path("Schema.ini")).startsWith("[名单😀.csv]\r\n"));
        form->btn_export_all->click();
        QCOMPARE(ports->messages, QStringList(u("Email地址按条件全部导出 执行完毕!")));
        QVERIFY(QFile::exists(path(u("名单😀-Export.csv"))));
    }

    // The encoding drop-down: detected on opening, the user's choice rebinds
    // as a separator change does, and the note says what is in force.
    void encodingDetectedAndChosen() {
        writeBytes(path("u.csv"), "\xEF\xBB\xBF" "email,name\r\nalice@qq.com,张三\r\n");
        form->cbx_hdr->setChecked(true);
        open(path("u.csv"));
        QCOMPARE(ports->messages, QStringList());
        QCOMPARE(form->Label15->text(), u("检测为 UTF-8 (BOM)"));
        QCOMPARE(fieldItems(form->cbx_field), QStringList({u("email"), u("name")}));
        QCOMPARE(dataGrid()->index(0, 1).data().toString(), u("张三"));

        form->cbx_encoding->setCurrentIndex(1);
        emit form->cbx_encoding->activated(1);
        QCOMPARE(panel(0), u(" 当前操作：文件格式选项[文件编码]"));
        QCOMPARE(form->Label15->text(), u("指定为 ANSI (GBK)"));
        QCOMPARE(fieldItems(form->cbx_field), QStringList({u("email"), u("name")}));  // the mark is still no part of a name
        QVERIFY(dataGrid()->index(0, 1).data().toString() != u("张三"));  // UTF-8 bytes read as GBK

        form->cbx_encoding->setCurrentIndex(0);
        emit form->cbx_encoding->activated(0);
        QCOMPARE(dataGrid()->index(0, 1).data().toString(), u("张三"));
        QCOMPARE(form->Label15->text(), u("检测为 UTF-8 (BOM)"));
    }

    void chineseFileNameAndBadBytes() {
        std::string text = platform::gbk("邮箱,备注\r\nalice@qq.com,好\r\n");
        text += "bob@qq.com,\x80\xff\r\n";
        writeBytes(path(u("客户名单.csv")), text);
        form->cbx_hdr->setChecked(true);
        open(path(u("客户名单.csv")));
        QCOMPARE(ports->messages, QStringList());
        QCOMPARE(form->sourceFile(), std::string("客户名单.csv"));
        QCOMPARE(fieldItems(form->cbx_field), QStringList({u("邮箱"), u("备注")}));
        QCOMPARE(dataGrid()->index(0, 1).data().toString(), u("好"));
        QVERIFY(dataGrid()->index(1, 1).data().toString().contains(QChar(0xFFFD)));
        QCOMPARE(panel(1), u(" 记录总数：2"));
        form->pgc_preview->setCurrentIndex(1);
        QCOMPARE(domainGrid()->index(0, 0).data().toString(), u("qq.com"));
    }

    void fullExportFromTheWindow() {
        writeBytes(path("list.csv"), listFile(',', true));
        form->cbx_hdr->setChecked(true);
        open(path("list.csv"));
        form->btn_export_all->click();
        QCOMPARE(ports->failures, QStringList());
        QCOMPARE(ports->messages, QStringList(u("Email地址按条件全部导出 执行完毕!")));
        QCOMPARE(panel(0), u(" 当前操作：Email地址按条件全部导出"));
        QVERIFY(QFile::exists(path("list-Invalid.csv")));
        QVERIFY(QFile::exists(path("list-Error.csv")));
        const QByteArray exported = readBytes(path("list-Export.csv"));
        QCOMPARE(exported.count("alice@qq.com"), 1);
        QVERIFY(!exported.contains("bad-address"));
        QCOMPARE(ports->busyDepth, 0);
        // The shared result set was rebound by the pipeline; the next opening still counts.
        open(path("list.csv"));
        QCOMPARE(ports->messages.size(), 1);
        QCOMPARE(panel(1), u(" 记录总数：8"));
    }

    void domainExportFromTheWindow() {
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        writeBytes(path("list.csv"), listFile(',', true));
        form->cbx_hdr->setChecked(true);
        open(path("list.csv"));
        form->btn_export_domain->click();
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(ports->failures, QStringList());
        QCOMPARE(ports->messages, QStringList(u("Email地址按条件,按@后缀分类导出 执行完毕!")));
        QCOMPARE(panel(0), u(" 当前操作：Email地址按条件,按@后缀分类导出"));
        QVERIFY(QFile::exists(path("list-Export-qq.com.csv")));
    }

    void exportSplitTextThatIsNotANumber() {
        writeBytes(path("list.csv"), listFile(',', true));
        form->cbx_hdr->setChecked(true);
        open(path("list.csv"));
        form->cbx_split->setChecked(true);
        form->edt_split_row->setText(u("12a"));  // pasted, not typed
        form->btn_export_all->click();
        QCOMPARE(ports->failures, QStringList(u("'12a' is not a valid integer value.")));
        QCOMPARE(ports->messages, QStringList());
        QCOMPARE(ports->busyDepth, 0);
    }
};

QTEST_MAIN(WindowSourceTest)
#include "window_source_test.moc"
