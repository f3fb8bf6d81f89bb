// The domain page's chart beside its grid, the grids' cells and scrolling,
// and the window's icon, on the real main window with real GBK files.
#include <QtTest>
#include <QBarSet>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

#include "app/domain_chart.h"
#include "app/status_line.h"
#include "app/view_switch.h"
#include "platform/code_page.h"
#include "window_under_test.h"

namespace {

constexpr int kDomains = 35;  // more than the chart's 30 bars for all domains

// Domain k of 1..35 ("d01.com" ...) holds 36 - k addresses: 630 in all.
// Every name is a long Chinese text; four more columns make the grid wider
// than its place.
std::string domainList() {
    std::string text = "email,name,a,b,c,d\r\n";
    for (int k = 1; k <= kDomains; ++k)
        for (int i = 0; i < 36 - k; ++i) {
            char line[64];
            std::snprintf(line, sizeof line, "u%d.%d@d%02d.com,", k, i, k);
            text += line + platform::gbk("吴王夫差勾践卧薪尝胆三千越甲可吞吴百二秦关终属楚") + ",1,2,3,4\r\n";
        }
    return text;
}
constexpr qint64 kAddresses = 35 * 36 / 2;

}  // namespace

class WindowDomainViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowUnderTest> window;
    FakePorts* ports = nullptr;
    TForm1* form = nullptr;

    QAbstractItemModel* domainGrid() const { return form->DBGridEh_preview_domain->model(); }
    app::DomainChart* chart() const { return form->domainChart; }

    void openList() {
        writeBytes(window->path("list.csv"), domainList());
        ports->fileAnswers.push_back(window->path("list.csv"));
        form->btn_fileopen->click();
        QCOMPARE(ports->messages, QStringList());
    }
    void previewDomains(QRadioButton* choice) {
        choice->setChecked(true);
        form->btn_search->click();
        QCOMPARE(ports->messages, QStringList());
    }
    // The chart's bars against the grid's rows, one for one.
    void compareBarsWithGridRows(int bars) {
        QCOMPARE(static_cast<int>(chart()->bars().size()), bars);
        QCOMPARE(chart()->barSet()->count(), bars);
        QCOMPARE(chart()->barLabels().size(), bars);
        for (int row = 0; row < bars; ++row) {
            const auto& bar = chart()->bars()[static_cast<std::size_t>(row)];
            QCOMPARE(bar.domain, domainGrid()->index(row, 0).data().toString());
            QCOMPARE(QString::number(bar.count), domainGrid()->index(row, 1).data().toString());
            QCOMPARE(chart()->barLabels()[row], app::barLabel(bar.count, kAddresses));
        }
    }

private slots:
    void init() {
        window = std::make_unique<WindowUnderTest>();
        window->newWindow(true);
        ports = window->ports.get();
        form = window->form.get();
    }
    void cleanup() { window.reset(); }

    void gridIsTheDefaultView() {
        form->pgc_preview->setCurrentIndex(1);
        QCOMPARE(form->domainViewSwitch->view(), app::ViewSwitch::Table);
        QCOMPARE(form->domainViewSwitch->tableButton->text(), u("表格"));
        QCOMPARE(form->domainViewSwitch->chartButton->text(), u("图表"));
        QVERIFY(form->DBGridEh_preview_domain->isVisible());
        QVERIFY(!chart()->isVisible());
        QCOMPARE(chart()->geometry(), form->DBGridEh_preview_domain->geometry());
    }

    void switchShowsOneViewAtATime() {
        openList();
        form->pgc_preview->setCurrentIndex(1);
        form->domainViewSwitch->chartButton->click();
        QVERIFY(chart()->isVisible());
        QVERIFY(!form->DBGridEh_preview_domain->isVisible());
        // The view chosen stays through further previews.
        previewDomains(form->rbt_top20);
        QVERIFY(chart()->isVisible());
        form->domainViewSwitch->tableButton->click();
        QVERIFY(form->DBGridEh_preview_domain->isVisible());
        QVERIFY(!chart()->isVisible());
    }

    void chartHasOneBarPerGridRow() {
        openList();
        form->pgc_preview->setCurrentIndex(1);  // the automatic top 10
        QCOMPARE(domainGrid()->rowCount(), 10);
        compareBarsWithGridRows(10);
        QCOMPARE(chart()->bars().front().domain, u("d01.com"));
        QCOMPARE(chart()->barLabels().front(), u("35 (5.6%)"));  // 35 of 630

        previewDomains(form->rbt_top30);
        compareBarsWithGridRows(30);
        // A top N of 50 keeps every row as a bar of its own, no "其他".
        previewDomains(form->rbt_top50);
        QCOMPARE(domainGrid()->rowCount(), kDomains);
        compareBarsWithGridRows(kDomains);
        QVERIFY(!chart()->barSet()->isBarSelected(0));
    }

    void allDomainsShow30BarsAndTheRest() {
        openList();
        form->pgc_preview->setCurrentIndex(1);
        previewDomains(form->rbt_alldomain);
        QCOMPARE(domainGrid()->rowCount(), kDomains);
        QCOMPARE(static_cast<int>(chart()->bars().size()), 31);
        qint64 rest = 0;
        for (int row = 30; row < kDomains; ++row) rest += domainGrid()->index(row, 1).data().toString().toLongLong();
        QCOMPARE(rest, qint64(5 + 4 + 3 + 2 + 1));
        const app::DomainBar& other = chart()->bars().back();
        QCOMPARE(other.domain, u("其他"));
        QCOMPARE(other.count, rest);
        QCOMPARE(chart()->barLabels().back(), app::barLabel(rest, kAddresses));
        for (int row = 0; row < 30; ++row)
            QCOMPARE(chart()->bars()[static_cast<std::size_t>(row)].domain, domainGrid()->index(row, 0).data().toString());
        // The bars go in bottom up: "其他" is the set's first, drawn apart.
        QCOMPARE(chart()->barSet()->at(0), static_cast<qreal>(rest));
        QVERIFY(chart()->barSet()->isBarSelected(0));
        // Taller than its place: the chart scrolls.
        QVERIFY(chart()->widget()->minimumHeight() > chart()->viewport()->height());
    }

    void gridCellsAreCutAtTheirRightEnd() {
        openList();
        for (QTableView* grid : {form->DBGridEh_preview_data, form->DBGridEh_preview_domain}) {
            QVERIFY(!grid->wordWrap());
            QCOMPARE(grid->textElideMode(), Qt::ElideRight);
        }
        const QModelIndex name = form->DBGridEh_preview_data->model()->index(0, 1);
        QCOMPARE(name.data(Qt::ToolTipRole).toString(), u("吴王夫差勾践卧薪尝胆三千越甲可吞吴百二秦关终属楚"));
        QCOMPARE(name.data(Qt::ToolTipRole), name.data(Qt::DisplayRole));
    }

    void newPreviewStartsAtTheTopLeft() {
        openList();
        QTableView* data = form->DBGridEh_preview_data;
        QCOMPARE(data->model()->rowCount(), 200);
        data->verticalScrollBar()->setValue(data->verticalScrollBar()->maximum());
        data->horizontalScrollBar()->setValue(data->horizontalScrollBar()->maximum());
        QVERIFY(data->verticalScrollBar()->value() > 0 && data->horizontalScrollBar()->value() > 0);
        form->btn_search->click();
        QCOMPARE(data->verticalScrollBar()->value(), 0);
        QCOMPARE(data->horizontalScrollBar()->value(), 0);

        form->pgc_preview->setCurrentIndex(1);
        previewDomains(form->rbt_alldomain);
        QTableView* domains = form->DBGridEh_preview_domain;
        QTRY_VERIFY(domains->verticalScrollBar()->maximum() > 0);  // laid out once shown
        domains->verticalScrollBar()->setValue(domains->verticalScrollBar()->maximum());
        QVERIFY(domains->verticalScrollBar()->value() > 0);
        previewDomains(form->rbt_alldomain);
        QCOMPARE(domains->verticalScrollBar()->value(), 0);
        QCOMPARE(domains->horizontalScrollBar()->value(), 0);
    }

    void windowShowsTheProgramIcon() {
        const QList<QSize> sizes = form->windowIcon().availableSizes();
        QVERIFY(sizes.contains(QSize(48, 48)));
        QVERIFY(sizes.contains(QSize(256, 256)));
        QVERIFY(!form->windowIcon().pixmap(48, 48).toImage().isNull());
    }
};

QTEST_MAIN(WindowDomainViewTest)
#include "window_domain_view_test.moc"
