// The read-only grids of the two preview pages: one line per row, a cell too
// narrow for its text cut at its right end with "…" (the whole text is the
// cell's tooltip), and a fresh preview shown from its first row and column.
#pragma once

class QAbstractItemModel;
class QTableView;
class QWidget;

namespace app {

QTableView* createPreviewGrid(QWidget* parent, int x, int y, int width, int height, QAbstractItemModel* model);

// After each successful preview: every column 180 pixels wide, scrolled to
// the top left.
void showPreviewFromTopLeft(QTableView* grid);

}  // namespace app
