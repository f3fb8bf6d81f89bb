#include "app/domain_chart.h"

#include <QAbstractItemModel>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QFontMetrics>
#include <QGraphicsSimpleTextItem>
#include <QHorizontalBarSeries>
#include <QLocale>
#include <QValueAxis>
#include <algorithm>

namespace app {

namespace {

const QColor kBarColor(0x1f, 0x6f, 0xb2);    // the banner's blue
const QColor kOtherColor(0x9a, 0xa7, 0xb4);  // the "其他" bar, not a domain
constexpr int kBarPitch = 20;                // pixels per bar
constexpr int kChartPadding = 24;            // above the first and below the last bar
constexpr int kDomainChars = 26;             // longer domains are cut in the middle
// The value axis reaches this far beyond the longest bar: room for its label.
constexpr double kLabelRoom = 1.45;

qint64 countAt(const QAbstractItemModel& model, int row) {
    bool ok = false;
    const qint64 count = model.index(row, 1).data().toString().trimmed().toLongLong(&ok);
    return ok && count > 0 ? count : 0;
}

// The category axis needs distinct names; two long domains may be cut to the
// same text.
QStringList categoryNames(const std::vector<DomainBar>& bars) {
    QStringList names;
    for (const DomainBar& bar : bars) {
        QString name = bar.domain.size() > kDomainChars
                           ? bar.domain.left(kDomainChars / 2 - 1) + QChar(0x2026) + bar.domain.right(kDomainChars / 2)
                           : bar.domain;
        while (names.contains(name)) name += QChar(0x200B);  // zero width space
        names << name;
    }
    return names;
}

}  // namespace

std::vector<DomainBar> domainBars(const QAbstractItemModel& model, int foldAfter) {
    std::vector<DomainBar> bars;
    const int rows = model.rowCount();
    const bool fold = foldAfter > 0 && rows > foldAfter;
    const int own = fold ? foldAfter : rows;
    for (int row = 0; row < own; ++row) bars.push_back({model.index(row, 0).data().toString(), countAt(model, row)});
    if (fold) {
        DomainBar other{QString::fromUtf8("其他"), 0};
        for (int row = own; row < rows; ++row) other.count += countAt(model, row);
        bars.push_back(other);
    }
    return bars;
}

QString barLabel(qint64 count, qint64 listSize) {
    const QString number = QLocale(QLocale::English).toString(count);
    if (listSize <= 0) return number;
    const double percent = 100.0 * static_cast<double>(count) / static_cast<double>(listSize);
    const QString share = count > 0 && percent < 0.1 ? QStringLiteral("<0.1%")
                                                      : QString::number(percent, 'f', 1) + QLatin1Char('%');
    return number + QStringLiteral(" (") + share + QLatin1Char(')');
}

DomainChart::DomainChart(QAbstractItemModel* model, QWidget* parent)
    : QScrollArea(parent),
      model_(model),
      view_(new QChartView),
      chart_(new QChart),
      series_(new QHorizontalBarSeries),
      set_(new QBarSet(QString())),
      domains_(new QBarCategoryAxis),
      counts_(new QValueAxis) {
    chart_->legend()->hide();
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->setBackgroundRoundness(0);
    chart_->setMargins(QMargins(4, 4, 8, 4));

    // One series, one set of bars and two axes for the whole life of the
    // chart; each new set of rows replaces their content.
    set_->setColor(kBarColor);
    set_->setBorderColor(kBarColor);
    set_->setSelectedColor(kOtherColor);
    series_->append(set_);
    series_->setBarWidth(0.7);
    chart_->addSeries(series_);
    domains_->setLabelsFont(font());
    domains_->setTruncateLabels(false);  // long names are cut in the middle already
    domains_->setGridLineVisible(false);
    chart_->addAxis(domains_, Qt::AlignLeft);
    series_->attachAxis(domains_);
    counts_->setLabelsVisible(false);  // each bar carries its own number
    counts_->setTickCount(5);
    chart_->addAxis(counts_, Qt::AlignBottom);
    series_->attachAxis(counts_);

    view_->setChart(chart_);
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setFrameShape(QFrame::NoFrame);
    setWidget(view_);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(model_, &QAbstractItemModel::modelReset, this, &DomainChart::rebuild);
    connect(model_, &QAbstractItemModel::dataChanged, this, &DomainChart::rebuild);
    connect(model_, &QAbstractItemModel::rowsInserted, this, &DomainChart::rebuild);
    connect(model_, &QAbstractItemModel::rowsRemoved, this, &DomainChart::rebuild);
    connect(chart_, &QChart::plotAreaChanged, this, &DomainChart::placeLabels);
    rebuild();
}

void DomainChart::setTopCount(int top) { top_ = top; }

void DomainChart::setListSize(qint64 addresses) {
    listSize_ = addresses;
    rebuild();
}

qint64 DomainChart::shareBase() const {
    qint64 sum = 0;
    for (const DomainBar& bar : bars_) sum += bar.count;
    return std::max(listSize_, sum);
}

QStringList DomainChart::barLabels() const {
    QStringList texts;
    for (const QGraphicsSimpleTextItem* label : labels_) texts << label->text();
    return texts;
}

void DomainChart::rebuild() {
    for (QGraphicsSimpleTextItem* label : labels_) delete label;
    labels_.clear();
    bars_ = domainBars(*model_, top_ == 0 ? kBarsForAllDomains : 0);
    fitHeight();

    // A horizontal bar chart draws its first category at the bottom: the
    // bars go in from the last, so that the largest is on top.
    QList<qreal> values;
    qint64 largest = 0;
    for (auto bar = bars_.rbegin(); bar != bars_.rend(); ++bar) {
        values << static_cast<qreal>(bar->count);
        largest = std::max(largest, bar->count);
    }
    QStringList names = categoryNames(bars_);
    std::reverse(names.begin(), names.end());
    set_->deselectAllBars();
    if (set_->count() > 0) set_->remove(0, set_->count());
    set_->append(values);
    if (top_ == 0 && model_->rowCount() > kBarsForAllDomains) set_->selectBar(0);  // "其他"
    domains_->clear();
    domains_->append(names);
    counts_->setRange(0, std::max<qreal>(1, static_cast<qreal>(largest) * kLabelRoom));

    const qint64 base = shareBase();
    for (const DomainBar& bar : bars_) {
        auto* label = new QGraphicsSimpleTextItem(barLabel(bar.count, base), chart_);
        label->setFont(font());
        label->setToolTip(bar.domain);
        labels_.push_back(label);
    }
    placeLabels();
}

void DomainChart::fitHeight() {
    const int wanted = static_cast<int>(bars_.size()) * kBarPitch + kChartPadding;
    view_->setMinimumHeight(std::max(wanted, viewport()->height()));
}

void DomainChart::placeLabels() {
    const std::size_t n = labels_.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto category = static_cast<qreal>(n - 1 - i);  // bottom up
        const QPointF end = chart_->mapToPosition(QPointF(static_cast<qreal>(bars_[i].count), category), series_);
        const QRectF box = labels_[i]->boundingRect();
        labels_[i]->setPos(end.x() + 5, end.y() - box.height() / 2);
    }
}

void DomainChart::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    fitHeight();
}

}  // namespace app
