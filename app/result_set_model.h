// A read-only table model over one engine result set: its columns in result
// order, titled by column name, every row by random access.
#pragma once

#include <QAbstractTableModel>

#include "engine/engine.h"

namespace app {

class ResultSetModel : public QAbstractTableModel {
public:
    explicit ResultSetModel(const engine::ResultSet& result, QObject* parent = nullptr)
        : QAbstractTableModel(parent), result_(result) {}

    // Runs change (which closes, reopens or fills the result set) with the
    // views held back, and shows the outcome once afterwards, also when
    // change throws.  While it runs the model is empty: the views may repaint
    // meanwhile (the operation runs on a worker), and must not read a result
    // set that the worker is changing.
    template <class Change>
    void reload(Change&& change) {
        beginResetModel();
        frozen_ = true;
        try {
            change();
        } catch (...) {
            frozen_ = false;
            endResetModel();
            throw;
        }
        frozen_ = false;
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    bool readable() const { return !frozen_ && result_.isOpen(); }

    const engine::ResultSet& result_;
    bool frozen_ = false;
};

}  // namespace app
