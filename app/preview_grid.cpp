#include "app/preview_grid.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

namespace app {

QTableView* createPreviewGrid(QWidget* parent, int x, int y, int width, int height, QAbstractItemModel* model) {
    auto* grid = new QTableView(parent);
    grid->setGeometry(x, y, width, height);
    grid->setModel(model);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Chinese text may break between any two characters: wrapped into a
    // one-line row it showed only its first character.
    grid->setWordWrap(false);
    grid->setTextElideMode(Qt::ElideRight);
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->verticalHeader()->setMinimumWidth(14);
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return grid;
}

void showPreviewFromTopLeft(QTableView* grid) {
    for (int i = 0; i < grid->model()->columnCount(); ++i) grid->setColumnWidth(i, 180);
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->minimum());
    grid->horizontalScrollBar()->setValue(grid->horizontalScrollBar()->minimum());
}

}  // namespace app
