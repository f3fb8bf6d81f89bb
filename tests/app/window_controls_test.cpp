// The main window without a bound file: places, captions and defaults, the
// status line, the option rules, the digit filter and the choices of folder
// and exclusion file.
#include <QtTest>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

#include "app/status_line.h"
#include "app/tform1.h"
#include "fake_ports.h"

namespace {
QString u(const char* utf8) { return QString::fromUtf8(utf8); }
}  // namespace

class WindowControlsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakePorts> ports;
    std::unique_ptr<TForm1> form;

private slots:
    void init() {
        ports = std::make_unique<FakePorts>();
        form = std::make_unique<TForm1>(ports.get());
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup() {
        form.reset();
        ports.reset();
    }

    void windowFrame() {
        QCOMPARE(form->windowTitle(), u("Varnotek 电子邮件地址清理工具"));
        QCOMPARE(form->size(), QSize(938, 659));  // three rows of address checks more
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(form->windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(form->font().pixelSize(), 11);
        QCOMPARE(form->font().families().value(0), u("微软雅黑"));
        QVERIFY(form->font().families().contains(u("Noto Sans CJK SC")));
        QCOMPARE(form->Image1->geometry(), QRect(0, 0, 938, 73));
        QVERIFY(!form->Image1->pixmap().isNull());
        QCOMPARE(form->Image1->pixmap().size(), QSize(938, 73));
    }

    void placesOfTheControls() {
        TForm1* f = form.get();
        const auto row = [](const char* name, QWidget* w, QRect r) {
            if (w->geometry() != r) QFAIL(qPrintable(QStringLiteral("%1 at the wrong place").arg(QLatin1String(name))));
        };
        row("GroupBox1", f->GroupBox1, {2, 72, 935, 81});
        row("grb_search", f->grb_search, {2, 153, 522, 472});
        row("grb_filter", f->grb_filter, {528, 153, 409, 232});
        row("grb_export", f->grb_export, {528, 392, 409, 233});
        row("edt_file", f->edt_file, {64, 16, 793, 24});
        row("btn_fileopen", f->btn_fileopen, {864, 16, 57, 25});
        row("cbx_delimite", f->cbx_delimite, {64, 48, 100, 24});
        row("cbx_field", f->cbx_field, {256, 48, 150, 24});
        row("cbx_hdr", f->cbx_hdr, {432, 48, 113, 17});
        row("pgc_preview", f->pgc_preview, {8, 18, 505, 447});
        row("btn_search", f->btn_search, {444, 72, 61, 60});
        row("cbx_viewoption_start1", f->cbx_viewoption_start1, {388, 0, 41, 24});
        row("edt_viewoption_start1", f->edt_viewoption_start1, {433, 0, 28, 24});
        row("edt_viewoption_start2", f->edt_viewoption_start2, {88, 28, 340, 24});
        row("edt_viewoption_end", f->edt_viewoption_end, {88, 60, 340, 24});
        row("DBGridEh_preview_data", f->DBGridEh_preview_data, {8, 103, 489, 313});
        row("DBGridEh_preview_domain", f->DBGridEh_preview_domain, {8, 103, 489, 313});
        row("cmbx_filter_start1", f->cmbx_filter_start1, {112, 102, 41, 24});
        row("edt_filter_start1", f->edt_filter_start1, {157, 102, 28, 24});
        row("edt_filter_start2", f->edt_filter_start2, {112, 134, 289, 24});
        row("edt_filter_end", f->edt_filter_end, {112, 166, 289, 24});
        row("edt_filter_email", f->edt_filter_email, {112, 198, 257, 24});
        row("btn_filter_fileopen", f->btn_filter_fileopen, {374, 196, 25, 25});
        row("edt_output_dir", f->edt_output_dir, {64, 23, 305, 24});
        row("btn_select_dir", f->btn_select_dir, {374, 23, 25, 25});
        row("edt_export_file_format", f->edt_export_file_format, {64, 57, 337, 24});
        row("edt_split_row", f->edt_split_row, {188, 92, 48, 24});
        row("edt_split_size", f->edt_split_size, {309, 92, 41, 24});
        row("cbx_split_size", f->cbx_split_size, {355, 92, 45, 24});
        row("btn_export_all", f->btn_export_all, {10, 196, 170, 25});
        row("btn_export_domain", f->btn_export_domain, {202, 196, 170, 25});
        row("btn_export_domain_setup", f->btn_export_domain_setup, {374, 196, 25, 25});
        row("DBGridEh_csv", f->DBGridEh_csv, {792, 8, 121, 65});
        row("status_bar1", f->status_bar1, {0, 629, 938, 30});
    }

    void topLeftOfCaptionedControls() {
        const struct {
            QWidget* w;
            QPoint at;
        } rows[] = {
            {form->Label1, {8, 16}},           {form->Label4, {8, 48}},
            {form->Label7, {192, 48}},         {form->Label3, {560, 48}},
            {form->rbt_viewoption_all, {8, 4}}, {form->rbt_viewoption_invalid, {88, 4}},
            {form->rbt_viewoption_error, {198, 4}}, {form->rbt_viewoption_start1, {308, 4}},
            {form->Label10, {463, 4}},         {form->rbt_viewoption_start2, {8, 28}},
            {form->rbt_viewoption_end, {8, 60}}, {form->Label9, {89, 85}},
            {form->rbt_top10, {8, 4}},         {form->rbt_top15, {192, 4}},
            {form->rbt_top20, {8, 32}},        {form->rbt_top30, {192, 32}},
            {form->rbt_top50, {8, 58}},        {form->rbt_alldomain, {192, 58}},
            {form->Label5, {26, 85}},          {form->cbx_filter_distinct, {10, 26}},
            {form->cbx_filter_lowercase, {120, 26}}, {form->cbx_filter_invalid, {10, 51}},
            {form->Label12, {108, 51}},        {form->cbx_filter_error, {10, 75}},
            {form->Label13, {108, 75}},        {form->cbx_filter_start1, {10, 102}},
            {form->Label11, {191, 102}},       {form->Label14, {227, 102}},
            {form->cbx_filter_start2, {10, 134}}, {form->cbx_filter_end, {10, 166}},
            {form->cbx_filter_email, {10, 198}}, {form->Label6, {10, 23}},
            {form->Label8, {10, 57}},          {form->cbx_split, {10, 92}},
            {form->rbt_split_row, {122, 92}},  {form->rbt_split_size, {243, 92}},
            {form->cbx_check_syntax, {10, 122}}, {form->cbx_check_typos, {202, 122}},
            {form->cbx_check_gmail, {10, 146}}, {form->cbx_check_disposable, {202, 146}},
            {form->cbx_check_role, {10, 170}}, {form->cbx_check_dns, {202, 170}},
        };
        for (const auto& row : rows) QCOMPARE(row.w->pos(), row.at);
    }

    void captionsAndDefaults() {
        QCOMPARE(form->GroupBox1->title(), QString());
        QCOMPARE(form->grb_search->title(), u("预览窗口"));
        QCOMPARE(form->grb_filter->title(), u("Email地址清理"));
        QCOMPARE(form->grb_export->title(), u("Email地址导出"));
        QCOMPARE(form->Label1->text(), u("文件名："));
        QVERIFY(form->edt_file->isReadOnly());
        QCOMPARE(form->edt_file->text(), QString());
        QCOMPARE(form->btn_fileopen->text(), u("浏览"));
        QCOMPARE(form->cbx_delimite->count(), 4);
        QCOMPARE(form->cbx_delimite->itemText(0), u("逗号 {,}"));
        QCOMPARE(form->cbx_delimite->itemText(1), u("分号 {;}"));
        QCOMPARE(form->cbx_delimite->itemText(2), u("<TAB>"));
        QCOMPARE(form->cbx_delimite->itemText(3), u("<SPACE>"));
        QCOMPARE(form->cbx_delimite->currentIndex(), 0);
        QVERIFY(!form->cbx_delimite->isEditable());
        QCOMPARE(form->cbx_field->count(), 0);
        QCOMPARE(form->cbx_hdr->text(), u("第一行含有列名称"));
        QVERIFY(!form->cbx_hdr->isChecked());
        // The list's encoding, where a hint once asked for lists converted by hand.
        QCOMPARE(form->Label3->text(), u("文件编码："));
        QCOMPARE(form->cbx_encoding->count(), 4);
        QCOMPARE(form->cbx_encoding->itemText(0), u("自动检测"));
        QCOMPARE(form->cbx_encoding->itemText(1), u("ANSI (GBK)"));
        QCOMPARE(form->cbx_encoding->itemText(2), u("UTF-8"));
        QCOMPARE(form->cbx_encoding->itemText(3), u("UTF-16"));
        QCOMPARE(form->cbx_encoding->currentIndex(), 0);
        QVERIFY(!form->cbx_encoding->isEditable());
        QCOMPARE(form->Label15->text(), QString());

        QCOMPARE(form->pgc_preview->count(), 3);
        QCOMPARE(form->pgc_preview->tabText(0), u("数据预览"));
        QCOMPARE(form->pgc_preview->tabText(1), u("@后缀预览"));
        QCOMPARE(form->pgc_preview->tabText(2), u("域名检查"));
        QCOMPARE(form->pgc_preview->currentIndex(), 0);
        QCOMPARE(form->btn_search->text(), u("预览"));
        QVERIFY(form->rbt_viewoption_all->isChecked());
        QCOMPARE(form->cbx_viewoption_start1->currentText(), u(">"));
        QCOMPARE(form->cbx_viewoption_start1->itemText(1), u("<"));
        QCOMPARE(form->edt_viewoption_start1->text(), u("9"));
        QCOMPARE(form->edt_viewoption_start1->maxLength(), 2);
        const QString prefixes = u("master,root,sales,info,tech,bill,webmaster,admin,adm,abuse,complaint");
        QCOMPARE(form->edt_viewoption_start2->text(), prefixes);
        QCOMPARE(form->edt_viewoption_start2->toolTip(), u("用逗号分割多个@前缀"));
        QCOMPARE(form->edt_viewoption_end->toolTip(), u("用逗号分割多个@后缀"));
        QCOMPARE(form->Label9->text(), u("注：文件中的数据量可能较大，为提升效率，只预览前200条数据"));
        QVERIFY(form->rbt_top10->isChecked());
        QCOMPARE(form->rbt_alldomain->text(), u("全部邮件域"));
        QCOMPARE(form->Label5->text(), u("注：以下各邮件域统计数量为未去重数量"));

        for (QCheckBox* on : {form->cbx_filter_distinct, form->cbx_filter_lowercase, form->cbx_filter_invalid,
                              form->cbx_filter_error})
            QVERIFY(on->isChecked());
        for (QCheckBox* off : {form->cbx_filter_start1, form->cbx_filter_start2, form->cbx_filter_end,
                               form->cbx_filter_email, form->cbx_split})
            QVERIFY(!off->isChecked());
        QCOMPARE(form->edt_filter_start1->text(), u("9"));
        QCOMPARE(form->edt_filter_start1->maxLength(), 2);
        QCOMPARE(form->edt_filter_start2->text(), prefixes);
        QCOMPARE(form->edt_filter_email->toolTip(),
                 u("请将排除Email地址文件与要清理的Email地址文件放在同一文件夹中"));
        QVERIFY(form->edt_filter_email->isReadOnly());
        QCOMPARE(form->btn_filter_fileopen->text(), u("···"));
        QVERIFY(form->edt_output_dir->isReadOnly());
        QCOMPARE(form->edt_output_dir->text(), QString());
        QCOMPARE(form->edt_export_file_format->text(),
                 u("[ 文件名 ] - [ Export ] - [ (序列号) / (邮件域) ] . [ CSV ]"));
        QVERIFY(form->rbt_split_row->isChecked());
        QCOMPARE(form->edt_split_row->text(), u("50000"));
        QCOMPARE(form->edt_split_size->text(), u("4"));
        QCOMPARE(form->cbx_split_size->currentText(), u("MB"));
        QCOMPARE(form->btn_export_all->text(), u("全部导出"));
        QCOMPARE(form->btn_export_domain->text(), u("@后缀分类导出"));
        QCOMPARE(form->btn_export_domain_setup->toolTip(), u("@后缀分类导出设置"));
        QVERIFY(!form->DBGridEh_csv->isVisible());
    }

    void threeButtonsDisabledWhenShown() {
        QVERIFY(!form->btn_search->isEnabled());
        QVERIFY(!form->btn_export_all->isEnabled());
        QVERIFY(!form->btn_export_domain->isEnabled());
        QVERIFY(form->btn_fileopen->isEnabled());
        QVERIFY(form->btn_export_domain_setup->isEnabled());
    }

    void statusLinePanels() {
        QCOMPARE(form->status_bar1->panelText(0), u(" 当前执行操作：无"));
        QCOMPARE(form->status_bar1->panelText(1), u(" 记录总数：0"));
        QCOMPARE(form->status_bar1->panelText(2), u(" ") + u(app::publisher::kName));
        QCOMPARE(form->status_bar1->panelText(3), u(" ") + u(app::publisher::kWebAddress));
        QCOMPARE(form->status_bar1->panelText(4), u(" 电话:") + u(app::publisher::kTelephone) + u(" "));
        QVERIFY(QString::fromUtf8(app::publisher::kUrl).contains(u(".example")));
        // Right edges at the running sums of the widths; the last reaches the edge.
        const int rightEdges[] = {320, 470, 640, 800};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(form->status_bar1->panelGeometry(i).x(), i == 0 ? 0 : rightEdges[i - 1]);
            QVERIFY(form->status_bar1->panelGeometry(i).right() < rightEdges[i]);
        }
        QCOMPARE(form->status_bar1->panelGeometry(4).x(), 800);
        QVERIFY(form->status_bar1->panelGeometry(4).right() >= 930);
    }

    void statusLineClickOpensTheAddress() {
        for (int x : {10, 400, 900}) QTest::mouseClick(form->status_bar1, Qt::LeftButton, {}, QPoint(x, 15));
        QCOMPARE(ports->urls, QStringList(3, u(app::publisher::kUrl)));
    }

    void alwaysOnOptionsStayTicked() {
        for (QCheckBox* box : {form->cbx_filter_distinct, form->cbx_filter_lowercase, form->cbx_filter_invalid,
                               form->cbx_filter_error}) {
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
            QVERIFY(box->isChecked());
        }
        QVERIFY(!form->cbx_filter_email->isChecked());
        QVERIFY(!form->cbx_filter_start1->isChecked());
    }

    void exclusionRule() {
        form->cbx_filter_start1->click();
        form->cbx_filter_start2->click();
        form->cbx_filter_end->click();
        QVERIFY(form->cbx_filter_start1->isChecked() && form->cbx_filter_start2->isChecked() &&
                form->cbx_filter_end->isChecked());
        form->cbx_filter_email->click();
        QVERIFY(form->cbx_filter_email->isChecked());
        QVERIFY(!form->cbx_filter_start1->isChecked());
        QVERIFY(!form->cbx_filter_start2->isChecked());
        QVERIFY(!form->cbx_filter_end->isChecked());
        form->cbx_filter_end->click();
        QVERIFY(form->cbx_filter_end->isChecked());
        QVERIFY(!form->cbx_filter_email->isChecked());
        QVERIFY(!form->cbx_filter_start1->isChecked());
        QVERIFY(!form->cbx_filter_start2->isChecked());
        // Unticking changes nothing else.
        form->cbx_filter_start2->click();
        form->cbx_filter_end->click();
        QVERIFY(!form->cbx_filter_end->isChecked());
        QVERIFY(form->cbx_filter_start2->isChecked());
        form->cbx_filter_email->click();
        form->cbx_filter_email->click();
        QVERIFY(!form->cbx_filter_email->isChecked());
        QVERIFY(!form->cbx_filter_start2->isChecked());
    }

    void digitFilter() {
        for (QLineEdit* e : {form->edt_split_row, form->edt_split_size}) {
            e->clear();
            e->setFocus();
            QTest::keyClicks(e, "a-. 0x1+2");
            QCOMPARE(e->text(), QStringLiteral("012"));
            QTest::keyClick(e, Qt::Key_Backspace);
            QCOMPARE(e->text(), QStringLiteral("01"));
            QTest::keyClicks(e, "007");
            QCOMPARE(e->text(), QStringLiteral("01007"));
        }
        for (QLineEdit* e : {form->edt_viewoption_start1, form->edt_filter_start1}) {
            e->clear();
            QTest::keyClicks(e, "x9y9z9");
            QCOMPARE(e->text(), QStringLiteral("99"));  // at most two characters
        }
        // Pasted text is not filtered.
        form->edt_split_row->clear();
        form->edt_split_row->insert(QStringLiteral("12a"));
        QCOMPARE(form->edt_split_row->text(), QStringLiteral("12a"));
        // The other edits take any character.
        form->edt_viewoption_end->clear();
        QTest::keyClicks(form->edt_viewoption_end, "qq.com, 163.com");
        QCOMPARE(form->edt_viewoption_end->text(), QStringLiteral("qq.com, 163.com"));
    }

    void outputDirectoryChoice() {
        ports->folderAnswers.push_back(u("/tmp/输出"));
        form->btn_select_dir->click();
        QCOMPARE(ports->folderTitles, QStringList(u("请选择文件夹")));
        QCOMPARE(form->edt_output_dir->text(), u("/tmp/输出"));
        ports->folderAnswers.push_back(std::nullopt);  // cancelled: nothing changes
        form->btn_select_dir->click();
        QCOMPARE(form->edt_output_dir->text(), u("/tmp/输出"));
        ports->folderAnswers.push_back(u("/tmp/😀"));  // any name the file system holds
        form->btn_select_dir->click();
        QCOMPARE(form->edt_output_dir->text(), u("/tmp/😀"));
        QVERIFY(ports->messages.isEmpty());
    }

    void exclusionFileChoiceTakesTheBareName() {
        ports->fileAnswers.push_back(u("/elsewhere/排除/remove.csv"));
        form->btn_filter_fileopen->click();
        QCOMPARE(form->edt_filter_email->text(), u("remove.csv"));
        QVERIFY(!form->cbx_filter_email->isChecked());
        // The one dialog offers the file chosen last.
        ports->fileAnswers.push_back(std::nullopt);
        form->btn_filter_fileopen->click();
        QCOMPARE(ports->offeredFiles.last(), u("/elsewhere/排除/remove.csv"));
        QCOMPARE(form->edt_filter_email->text(), u("remove.csv"));
    }

    void cancelledOpenChangesNothing() {
        ports->fileAnswers.push_back(std::nullopt);
        form->btn_fileopen->click();
        QCOMPARE(form->edt_file->text(), QString());
        QCOMPARE(form->status_bar1->panelText(0), u(" 当前执行操作：无"));
        QVERIFY(ports->messages.isEmpty() && ports->failures.isEmpty());
    }

    void optionChangesWhileUnboundOnlyChangeTheControl() {
        form->cbx_delimite->setCurrentIndex(2);
        emit form->cbx_delimite->activated(2);
        form->cbx_hdr->click();
        QVERIFY(form->cbx_hdr->isChecked());
        QCOMPARE(form->status_bar1->panelText(0), u(" 当前执行操作：无"));
        QVERIFY(form->sourceDir().empty());
        QVERIFY(ports->messages.isEmpty() && ports->failures.isEmpty());
    }

    void domainPageBeforeAnyFile() {
        form->rbt_top30->setChecked(true);
        form->pgc_preview->setCurrentIndex(1);
        QVERIFY(form->rbt_top10->isChecked());
        QVERIFY(!form->domainResultOpen());
        QCOMPARE(form->DBGridEh_preview_domain->model()->rowCount(), 0);
        QCOMPARE(form->status_bar1->panelText(0), u(" 当前执行操作：无"));
        QVERIFY(ports->messages.isEmpty());
    }

    void cleaningOptionsFromTheControls() {
        form->cbx_filter_start2->click();
        form->edt_filter_end->setText(u("qq.com"));
        form->cbx_split->click();
        form->rbt_split_size->click();
        form->cbx_split_size->setCurrentIndex(0);
        const exporting::CleaningOptions options = form->readCleaningOptions();
        QVERIFY(options.prefixList && !options.prefixLength && !options.suffixList && !options.excludeFile);
        QCOMPARE(QString::fromStdString(options.prefixListText),
                 u("master,root,sales,info,tech,bill,webmaster,admin,adm,abuse,complaint"));
        QCOMPARE(options.suffixListText, std::string("qq.com"));
        QCOMPARE(options.prefixLengthOperator, std::string(">"));
        QCOMPARE(options.prefixLengthNumber, std::string("9"));
        QVERIFY(options.split && !options.splitByRows);
        QCOMPARE(options.splitRows, std::string("50000"));
        QCOMPARE(options.splitSize, std::string("4"));
        QCOMPARE(options.splitSizeUnitIndex, 0);
    }

    // The six address checks: captions, unticked at start, inside the export
    // group without touching each other or the buttons, and each read into
    // its own option.
    void addressCheckBoxes() {
        const struct {
            QCheckBox* box;
            const char* caption;
            bool checks::CheckOptions::*option;
        } rows[] = {
            {form->cbx_check_syntax, "严格检查地址格式", &checks::CheckOptions::strictSyntax},
            {form->cbx_check_typos, "纠正疑似拼写错误的域名", &checks::CheckOptions::fixDomainTypos},
            {form->cbx_check_gmail, "合并Gmail别名", &checks::CheckOptions::mergeGmailAliases},
            {form->cbx_check_disposable, "排除一次性邮箱", &checks::CheckOptions::dropDisposable},
            {form->cbx_check_role, "排除角色邮箱", &checks::CheckOptions::dropRole},
            {form->cbx_check_dns, "排除无法收信的域名(DNS)", &checks::CheckOptions::dropNoMailDomain},
        };
        QVERIFY(!form->readCleaningOptions().checks.options.any());
        QList<QRect> taken{form->btn_export_all->geometry(), form->btn_export_domain->geometry(),
                           form->cbx_split_size->geometry(), form->edt_split_row->geometry()};
        for (const auto& row : rows) {
            QCOMPARE(row.box->text(), u(row.caption));
            QVERIFY(!row.box->isChecked());
            QCOMPARE(row.box->parentWidget(), form->grb_export);
            QVERIFY(form->grb_export->rect().contains(row.box->geometry()));
            QVERIFY(row.box->sizeHint().width() <= row.box->width());  // the caption is not cut
            for (const QRect& other : taken) QVERIFY(!other.intersects(row.box->geometry()));
            taken << row.box->geometry();
            row.box->click();
            const checks::CheckOptions options = form->readCleaningOptions().checks.options;
            QVERIFY(options.*(row.option));
            row.box->click();
        }
        QVERIFY(!form->readCleaningOptions().checks.options.any());
    }

    void setupButtonShowsTheDialogModally() {
        QDialog dialog;
        bool wasModal = false;
        QTimer::singleShot(0, &dialog, [&] {
            wasModal = dialog.isVisible() && dialog.isModal();
            dialog.reject();
        });
        form->setSetupDialog(&dialog);
        form->btn_export_domain_setup->click();
        QVERIFY(wasModal);
        QVERIFY(!dialog.isVisible());
        form->setSetupDialog(nullptr);
        form->btn_export_domain_setup->click();  // none yet: nothing happens
        QVERIFY(ports->failures.isEmpty());
    }

    void closingBeforeAnyFileDeletesNothing() {
        QTemporaryDir dir;
        QFile schema(dir.filePath("Schema.ini"));
        QVERIFY(schema.open(QIODevice::WriteOnly));
        schema.write("[a.csv]\r\n");
        schema.close();
        QDir::setCurrent(dir.path());
        form.reset();
        QVERIFY(QFile::exists(dir.filePath("Schema.ini")));
    }
};

QTEST_MAIN(WindowControlsTest)
#include "window_controls_test.moc"
