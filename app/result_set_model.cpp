#include "app/result_set_model.h"

#include "app/widget_text.h"

namespace app {

int ResultSetModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !readable()) return 0;
    return static_cast<int>(result_.recordCount());
}

int ResultSetModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid() || !readable()) return 0;
    return static_cast<int>(result_.columnNames().size());
}

QVariant ResultSetModel::data(const QModelIndex& index, int role) const {
    // The tooltip is the whole text of a cell that may be cut at its right end.
    if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !index.isValid() || !readable()) return {};
    const auto row = static_cast<std::size_t>(index.row());
    const auto column = static_cast<std::size_t>(index.column());
    if (row >= result_.recordCount() || column >= result_.columnNames().size()) return {};
    const auto value = result_.value(row, column);
    if (!value) return QString();
    return valueText(*value, result_.columnEncoding(static_cast<std::size_t>(index.column())) == engine::CodePage::Utf8);
}

QVariant ResultSetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (!readable() || section < 0 || static_cast<std::size_t>(section) >= result_.columnNames().size())
        return {};
    return widgetText(result_.columnNames()[static_cast<std::size_t>(section)]);
}

}  // namespace app
