// Every control of the main window at its designed place, with its caption,
// default and hint.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

#include "app/banner.h"
#include "app/digit_filter.h"
#include "app/domain_chart.h"
#include "app/preview_grid.h"
#include "app/program_icon.h"
#include "app/result_set_model.h"
#include "app/status_line.h"
#include "app/tform1.h"
#include "app/view_switch.h"

namespace {

const char* const kPrefixDefaults = "master,root,sales,info,tech,bill,webmaster,admin,adm,abuse,complaint";
const QColor kBlue(0x00, 0x00, 0xff);

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

QLabel* label(QWidget* parent, int x, int y, const char* text, const QColor* color = nullptr) {
    auto* l = new QLabel(u(text), parent);
    if (color) {
        QPalette palette = l->palette();
        palette.setColor(QPalette::WindowText, *color);
        l->setPalette(palette);
    }
    l->adjustSize();
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    l->setGeometry(x, y, l->width(), 17);
    return l;
}

QLineEdit* edit(QWidget* parent, int x, int y, int w, int h, const char* text = "") {
    auto* e = new QLineEdit(u(text), parent);
    e->setGeometry(x, y, w, h);
    e->setCursorPosition(0);
    return e;
}

QComboBox* dropDown(QWidget* parent, int x, int y, int w, int h, std::initializer_list<const char*> items,
                    int selected) {
    auto* c = new QComboBox(parent);
    c->setEditable(false);
    for (const char* item : items) c->addItem(u(item));
    c->setCurrentIndex(selected);
    c->setGeometry(x, y, w, h);
    return c;
}

template <class Box>
Box* box(QWidget* parent, int x, int y, const char* text, bool checked) {
    auto* b = new Box(u(text), parent);
    b->setChecked(checked);
    b->adjustSize();
    b->setGeometry(x, y, b->width(), 17);
    return b;
}

void inputMethodOff(QLineEdit* e) { e->setAttribute(Qt::WA_InputMethodEnabled, false); }

// The edits that take a comma list of prefixes or suffixes: 24 high, a hint,
// input method off.
QLineEdit* listEdit(QWidget* parent, int x, int y, int w, const char* text, const char* hint) {
    QLineEdit* e = edit(parent, x, y, w, 24, text);
    e->setToolTip(u(hint));
    inputMethodOff(e);
    return e;
}

// The three rows of the address check boxes in the export group make the
// window, the export group and the preview page this much higher.
constexpr int kCheckRows = 72;

}  // namespace

void TForm1::createControls() {
    setWindowTitle(u("Varnotek 电子邮件地址清理工具"));
    setWindowIcon(app::programIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(938, 587 + kCheckRows);
    setAcceptDrops(true);  // a file dropped onto the window is opened
    move(189, 93);
    QFont font;
    font.setFamilies({u("微软雅黑"), u("Noto Sans CJK SC")});
    font.setPixelSize(11);
    setFont(font);

    ds_preview = new app::ResultSetModel(workspace_.previewResult(), this);
    ds_domain = new app::ResultSetModel(workspace_.domainResult(), this);
    ds_csv = new app::ResultSetModel(workspace_.csvResult(), this);
    digitFilter_ = new app::DigitFilter(this);

    Image1 = new QLabel(this);
    Image1->setGeometry(0, 0, 938, 73);
    Image1->setPixmap(app::drawBanner(938, 73));

    createSourceControls();
    createSearchControls();
    createFilterControls();
    createExportControls();

    DBGridEh_csv = app::createPreviewGrid(this, 792, 8, 121, 65, ds_csv);
    DBGridEh_csv->setVisible(false);

    status_bar1 = new app::StatusLine(this);
    status_bar1->setGeometry(0, 587 + kCheckRows - 30, 938, 30);
    status_bar1->setPanelText(0, u(" 当前执行操作：无"));
    status_bar1->setPanelText(1, u(" 记录总数：0"));
    status_bar1->setPanelText(2, u(" ") + u(app::publisher::kName));
    status_bar1->setPanelText(3, u(" ") + u(app::publisher::kWebAddress));
    status_bar1->setPanelText(4, u(" 电话:") + u(app::publisher::kTelephone) + u(" "));
}

void TForm1::createSourceControls() {
    GroupBox1 = new QGroupBox(this);
    GroupBox1->setGeometry(2, 72, 935, 81);
    Label1 = label(GroupBox1, 8, 16, "文件名：");
    edt_file = edit(GroupBox1, 64, 16, 793, 24);
    edt_file->setReadOnly(true);
    btn_fileopen = new QPushButton(u("浏览"), GroupBox1);
    btn_fileopen->setGeometry(864, 16, 57, 25);
    // Shown beside edt_file (which then makes room) while a workbook with
    // several worksheets is bound.
    cbx_sheet = dropDown(GroupBox1, 704, 16, 153, 24, {}, -1);
    Label16 = label(GroupBox1, 652, 16, "工作表：");
    Label16->setVisible(false);
    cbx_sheet->setVisible(false);
    Label4 = label(GroupBox1, 8, 48, "列分隔符：");
    cbx_delimite = dropDown(GroupBox1, 64, 48, 100, 24, {"逗号 {,}", "分号 {;}", "<TAB>", "<SPACE>"}, 0);
    Label7 = label(GroupBox1, 192, 48, "Email字段：");
    cbx_field = dropDown(GroupBox1, 256, 48, 150, 24, {}, -1);
    cbx_hdr = box<QCheckBox>(GroupBox1, 432, 48, "第一行含有列名称", false);
    cbx_hdr->setGeometry(432, 48, 113, 17);
    // The list's encoding, where a hint once asked for lists converted by hand.
    Label3 = label(GroupBox1, 560, 48, "文件编码：");
    cbx_encoding = dropDown(GroupBox1, 622, 48, 110, 24, {"自动检测", "ANSI (GBK)", "UTF-8", "UTF-16"}, 0);
    static const QColor blue = kBlue;
    Label15 = label(GroupBox1, 744, 49, "", &blue);
    Label15->setGeometry(744, 49, 180, 17);
}

void TForm1::createSearchControls() {
    static const QColor blue = kBlue;
    grb_search = new QGroupBox(u("预览窗口"), this);
    grb_search->setGeometry(2, 153, 522, 400 + kCheckRows);
    pgc_preview = new QTabWidget(grb_search);
    pgc_preview->setGeometry(8, 18, 505, 375 + kCheckRows);

    TabSheet_Data = new QWidget;
    pgc_preview->addTab(TabSheet_Data, u("数据预览"));
    rbt_viewoption_all = box<QRadioButton>(TabSheet_Data, 8, 4, "无条件", true);
    rbt_viewoption_invalid = box<QRadioButton>(TabSheet_Data, 88, 4, "无效Email地址", false);
    rbt_viewoption_error = box<QRadioButton>(TabSheet_Data, 198, 4, "错误Email地址", false);
    rbt_viewoption_start1 = box<QRadioButton>(TabSheet_Data, 308, 4, "@前缀长度", false);
    cbx_viewoption_start1 = dropDown(TabSheet_Data, 388, 0, 41, 24, {">", "<"}, 0);
    edt_viewoption_start1 = edit(TabSheet_Data, 433, 0, 28, 24, "9");
    edt_viewoption_start1->setMaxLength(2);
    inputMethodOff(edt_viewoption_start1);
    Label10 = label(TabSheet_Data, 463, 4, "个字符");
    rbt_viewoption_start2 = box<QRadioButton>(TabSheet_Data, 8, 28, "@前缀等于", false);
    edt_viewoption_start2 = listEdit(TabSheet_Data, 88, 28, 340, kPrefixDefaults, "用逗号分割多个@前缀");
    rbt_viewoption_end = box<QRadioButton>(TabSheet_Data, 8, 60, "@后缀等于", false);
    edt_viewoption_end = listEdit(TabSheet_Data, 88, 60, 340, "", "用逗号分割多个@后缀");
    Label9 = label(TabSheet_Data, 89, 85, "注：文件中的数据量可能较大，为提升效率，只预览前200条数据", &blue);
    DBGridEh_preview_data = app::createPreviewGrid(TabSheet_Data, 8, 103, 489, 241 + kCheckRows, ds_preview);

    TabSheet_Domain = new QWidget;
    pgc_preview->addTab(TabSheet_Domain, u("@后缀预览"));
    rbt_top10 = box<QRadioButton>(TabSheet_Domain, 8, 4, "数据量排名前10个邮件域", true);
    rbt_top15 = box<QRadioButton>(TabSheet_Domain, 192, 4, "数据量排名前15个邮件域", false);
    rbt_top20 = box<QRadioButton>(TabSheet_Domain, 8, 32, "数据量排名前20个邮件域", false);
    rbt_top30 = box<QRadioButton>(TabSheet_Domain, 192, 32, "数据量排名前30个邮件域", false);
    rbt_top50 = box<QRadioButton>(TabSheet_Domain, 8, 58, "数据量排名前50个邮件域", false);
    rbt_alldomain = box<QRadioButton>(TabSheet_Domain, 192, 58, "全部邮件域", false);
    Label5 = label(TabSheet_Domain, 26, 85, "注：以下各邮件域统计数量为未去重数量", &blue);
    DBGridEh_preview_domain = app::createPreviewGrid(TabSheet_Domain, 8, 103, 489, 241 + kCheckRows, ds_domain);
    domainChart = new app::DomainChart(ds_domain, TabSheet_Domain);
    domainChart->setGeometry(DBGridEh_preview_domain->geometry());
    domainChart->setVisible(false);
    // Left of the preview button, which reaches down to this line.
    domainViewSwitch = new app::ViewSwitch(TabSheet_Domain);
    domainViewSwitch->setGeometry(330, 81, 96, 20);
    connect(domainViewSwitch, &app::ViewSwitch::viewChanged, this, [this](int view) {
        DBGridEh_preview_domain->setVisible(view == app::ViewSwitch::Table);
        domainChart->setVisible(view == app::ViewSwitch::Chart);
    });
    createCheckControls();
    pgc_preview->setCurrentIndex(0);

    // Lies over the right-hand part of the page control, visible on both pages.
    btn_search = new QToolButton(grb_search);
    btn_search->setText(u("预览"));
    btn_search->setIcon(app::drawPreviewIcon());
    btn_search->setIconSize(QSize(32, 32));
    btn_search->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    btn_search->setGeometry(444, 72, 61, 60);
    btn_search->raise();
}

void TForm1::createFilterControls() {
    static const QColor blue = kBlue;
    grb_filter = new QGroupBox(u("Email地址清理"), this);
    grb_filter->setGeometry(528, 153, 409, 232);
    cbx_filter_distinct = box<QCheckBox>(grb_filter, 10, 26, "数据去重", true);
    cbx_filter_lowercase = box<QCheckBox>(grb_filter, 120, 26, "转小写", true);
    cbx_filter_invalid = box<QCheckBox>(grb_filter, 10, 51, "无效Email地址", true);
    Label12 = label(grb_filter, 108, 51, "(无效Email地址保存至Invalid文件)", &blue);
    cbx_filter_error = box<QCheckBox>(grb_filter, 10, 75, "错误Email地址", true);
    Label13 = label(grb_filter, 108, 75, "(错误Email地址保存至Error文件)", &blue);
    cbx_filter_start1 = box<QCheckBox>(grb_filter, 10, 102, "排除@前缀长度", false);
    cmbx_filter_start1 = dropDown(grb_filter, 112, 102, 41, 24, {">", "<"}, 0);
    edt_filter_start1 = edit(grb_filter, 157, 102, 28, 24, "9");
    edt_filter_start1->setMaxLength(2);
    inputMethodOff(edt_filter_start1);
    Label11 = label(grb_filter, 191, 102, "个字符");
    Label14 = label(grb_filter, 227, 102, "(排除Email地址保存至Exclude文件)", &blue);
    cbx_filter_start2 = box<QCheckBox>(grb_filter, 10, 134, "排除@前缀等于", false);
    edt_filter_start2 = listEdit(grb_filter, 112, 134, 289, kPrefixDefaults, "用逗号分割多个@前缀");
    cbx_filter_end = box<QCheckBox>(grb_filter, 10, 166, "排除@后缀等于", false);
    edt_filter_end = listEdit(grb_filter, 112, 166, 289, "", "用逗号分割多个@后缀");
    cbx_filter_email = box<QCheckBox>(grb_filter, 10, 198, "排除Email地址", false);
    edt_filter_email = edit(grb_filter, 112, 198, 257, 24);
    edt_filter_email->setReadOnly(true);
    edt_filter_email->setToolTip(u("请将排除Email地址文件与要清理的Email地址文件放在同一文件夹中"));
    btn_filter_fileopen = new QPushButton(u("···"), grb_filter);
    btn_filter_fileopen->setGeometry(374, 196, 25, 25);
}

void TForm1::createExportControls() {
    grb_export = new QGroupBox(u("Email地址导出"), this);
    grb_export->setGeometry(528, 392, 409, 161 + kCheckRows);
    Label6 = label(grb_export, 10, 23, "输出目录:");
    edt_output_dir = edit(grb_export, 64, 23, 305, 24);
    edt_output_dir->setReadOnly(true);
    btn_select_dir = new QPushButton(grb_export);
    btn_select_dir->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    btn_select_dir->setGeometry(374, 23, 25, 25);
    Label8 = label(grb_export, 10, 57, "文件名:");
    edt_export_file_format =
        edit(grb_export, 64, 57, 337, 24, "[ 文件名 ] - [ Export ] - [ (序列号) / (邮件域) ] . [ CSV ]");
    edt_export_file_format->setReadOnly(true);
    cbx_split = box<QCheckBox>(grb_export, 10, 92, "全部导出分割条件:", false);
    rbt_split_row = box<QRadioButton>(grb_export, 122, 92, "数据行数", true);
    edt_split_row = edit(grb_export, 188, 92, 48, 24, "50000");
    inputMethodOff(edt_split_row);
    rbt_split_size = box<QRadioButton>(grb_export, 243, 92, "文件大小", false);
    edt_split_size = edit(grb_export, 309, 92, 41, 24, "4");
    inputMethodOff(edt_split_size);
    cbx_split_size = dropDown(grb_export, 355, 92, 45, 24, {"KB", "MB"}, 1);
    // The address checks, in the order they run, between the options and
    // the buttons: two columns lined up with the buttons.
    cbx_check_syntax = box<QCheckBox>(grb_export, 10, 122, "严格检查地址格式", false);
    cbx_check_typos = box<QCheckBox>(grb_export, 202, 122, "纠正疑似拼写错误的域名", false);
    cbx_check_gmail = box<QCheckBox>(grb_export, 10, 146, "合并Gmail别名", false);
    cbx_check_disposable = box<QCheckBox>(grb_export, 202, 146, "排除一次性邮箱", false);
    cbx_check_role = box<QCheckBox>(grb_export, 10, 170, "排除角色邮箱", false);
    cbx_check_dns = box<QCheckBox>(grb_export, 202, 170, "排除无法收信的域名(DNS)", false);
    btn_export_all = new QPushButton(u("全部导出"), grb_export);
    btn_export_all->setGeometry(10, 124 + kCheckRows, 170, 25);
    btn_export_domain = new QPushButton(u("@后缀分类导出"), grb_export);
    btn_export_domain->setGeometry(202, 124 + kCheckRows, 170, 25);
    btn_export_domain_setup = new QPushButton(grb_export);
    btn_export_domain_setup->setIcon(app::drawSetupIcon());
    btn_export_domain_setup->setToolTip(u("@后缀分类导出设置"));
    btn_export_domain_setup->setGeometry(374, 124 + kCheckRows, 25, 25);

    for (QLineEdit* e : {edt_viewoption_start1, edt_filter_start1, edt_split_row, edt_split_size})
        e->installEventFilter(digitFilter_);
}
