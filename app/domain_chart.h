// The domain page's rows as a horizontal bar chart, fed from the domain
// grid's model (columns "domain" and "quantity", largest first): one bar per
// row, largest on top, each labelled with its domain, its count and its share
// of the list.  For all domains the 30 largest get a bar each and one bar
// "其他" holds the rest.  Taller than its place when there are many bars: it
// then scrolls.
#pragma once

#include <QScrollArea>
#include <QStringList>
#include <vector>

class QAbstractItemModel;
class QBarCategoryAxis;
class QBarSet;
class QChart;
class QChartView;
class QGraphicsSimpleTextItem;
class QHorizontalBarSeries;
class QValueAxis;

namespace app {

struct DomainBar {
    QString domain;
    qint64 count = 0;
};

// The bars for the rows of model: one per row, or, with foldAfter > 0 and
// more rows than that, the first foldAfter rows and one bar "其他" summing the
// others.  A count that is not a whole number counts as 0.
std::vector<DomainBar> domainBars(const QAbstractItemModel& model, int foldAfter);

// A bar's label after its domain: "1,234 (12.5%)", the share of listSize.
QString barLabel(qint64 count, qint64 listSize);

class DomainChart : public QScrollArea {
    Q_OBJECT
public:
    // For all domains, the number of bars before "其他".
    static constexpr int kBarsForAllDomains = 30;

    explicit DomainChart(QAbstractItemModel* model, QWidget* parent = nullptr);

    // The top count of the rows the model is about to hold (0: all domains).
    void setTopCount(int top);
    // The number of addresses in the list: the whole of each bar's share.
    // Never less than the sum of the bars (a count made before the file's
    // options changed may be).
    void setListSize(qint64 addresses);

    const std::vector<DomainBar>& bars() const { return bars_; }
    // The text beside each bar, top to bottom.
    QStringList barLabels() const;
    QChart* chart() const { return chart_; }
    QBarSet* barSet() const { return set_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void rebuild();
    void fitHeight();
    void placeLabels();
    qint64 shareBase() const;

    QAbstractItemModel* model_;
    QChartView* view_;
    QChart* chart_;
    QHorizontalBarSeries* series_;
    QBarSet* set_;
    QBarCategoryAxis* domains_;
    QValueAxis* counts_;
    std::vector<DomainBar> bars_;
    std::vector<QGraphicsSimpleTextItem*> labels_;
    int top_ = 10;
    qint64 listSize_ = 0;
};

}  // namespace app
