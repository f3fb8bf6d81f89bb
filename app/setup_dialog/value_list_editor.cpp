#include "app/setup_dialog/value_list_editor.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <algorithm>

#include "platform/operation_feedback.h"
#include "app/widget_text.h"

namespace settings {

namespace {

constexpr int kKeyColumn = 0;
constexpr int kValueColumn = 1;

const char* const kEqualsSignMessage = "Key may not contain equals sign (\"=\")";

std::string duplicateKeyMessage(const QString& key) {
    return "A key with the name of \"" + app::utf8Of(key) + "\" already exists";
}

}  // namespace

// Plain line editors whose every keystroke goes to the table at once, and
// whose row keys (Insert, Ctrl+Delete, ...) reach the table while editing.
class CellDelegate : public QStyledItemDelegate {
public:
    explicit CellDelegate(ValueListEditor* table) : QStyledItemDelegate(table), table_(table) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* editor = new QLineEdit(parent);
        editor->setFrame(false);
        const QPersistentModelIndex cell(index);
        ValueListEditor* table = table_;
        QObject::connect(editor, &QLineEdit::textEdited, table,
                         [table, cell](const QString& text) { table->cellEdited(cell, text); });
        table_->editorOpened(editor, index);
        return editor;
    }

    // The cell already holds what was typed; setting it again would move the
    // cursor to the end.
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* lineEdit = static_cast<QLineEdit*>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        if (lineEdit->text() != text) lineEdit->setText(text);
    }

    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
        table_->cellLeft(index, static_cast<QLineEdit*>(editor)->text());
    }

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override {
        editor->setGeometry(option.rect);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            auto* keyEvent = static_cast<QKeyEvent*>(event);
            if (keyEvent->key() == Qt::Key_Escape && keyEvent->modifiers() == Qt::NoModifier) {
                emit table_->escapePressed();
                return true;
            }
            if (table_->handleRowKey(keyEvent)) return true;
        }
        // The refusal's box takes the focus; that is no leaving of the cell.
        if (event->type() == QEvent::FocusOut && table_->refusing_) return false;
        return QStyledItemDelegate::eventFilter(object, event);
    }

private:
    ValueListEditor* table_;
};

ValueListEditor::ValueListEditor(platform::OperationFeedback& failureBox, QWidget* parent)
    : QTableWidget(0, 2, parent), failureBox_(failureBox) {
    setHorizontalHeaderLabels({QStringLiteral("Key"), QStringLiteral("Value")});
    verticalHeader()->hide();
    // Rows as tall as the designer's grid rows.
    verticalHeader()->setMinimumSectionSize(18);
    verticalHeader()->setDefaultSectionSize(18);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setHighlightSections(false);
    setColumnWidth(kKeyColumn, 150);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setTabKeyNavigation(true);
    setWordWrap(false);
    setItemDelegate(new CellDelegate(this));
    insertBlankRow(0);
}

// An open editor would hear of the window closing (its focus going) while
// the table is half destroyed, and ask it about a refusal: it goes first.
ValueListEditor::~ValueListEditor() { dropEditor(); }

void ValueListEditor::setRows(const Rows& rows) {
    dropEditor();
    changingRows_ = true;
    setRowCount(0);
    for (const auto& [key, value] : rows) {
        const int row = rowCount();
        insertBlankRow(row);
        item(row, kKeyColumn)->setText(app::widgetText(key));
        item(row, kValueColumn)->setText(app::widgetText(value));
    }
    if (rowCount() == 0) insertBlankRow(0);
    changingRows_ = false;
    // The first cell is current, but not shown selected until the user moves.
    selectionModel()->setCurrentIndex(model()->index(0, kKeyColumn), QItemSelectionModel::NoUpdate);
}

ValueListEditor::Rows ValueListEditor::rows() const {
    Rows result;
    for (int row = 0; row < rowCount(); ++row) {
        if (rowIsBlank(row)) continue;
        result.emplace_back(app::utf8Of(keyAt(row)), app::utf8Of(valueAt(row)));
    }
    return result;
}

void ValueListEditor::finishEditing() {
    if (QWidget* editor = editor_) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void ValueListEditor::keyPressEvent(QKeyEvent* event) {
    if (handleRowKey(event)) return;
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->ignore();  // the dialog's cancel
        return;
    }
    // Enter, also in a cell being edited, is the dialog's default button; the
    // cell already holds every keystroke.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->ignore();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

// A committed input-method text starts editing the current cell with it, as
// a typed letter does.
void ValueListEditor::inputMethodEvent(QInputMethodEvent* event) {
    if (!editor_ && !event->commitString().isEmpty() && currentIndex().isValid() &&
        edit(currentIndex(), QAbstractItemView::EditKeyPressed, nullptr) && editor_) {
        editor_->clear();
        QCoreApplication::sendEvent(editor_, event);
        return;
    }
    QTableWidget::inputMethodEvent(event);
}

bool ValueListEditor::handleRowKey(QKeyEvent* event) {
    const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int row = std::max(currentRow(), 0);
    const int column = std::max(currentColumn(), 0);
    const int last = rowCount() - 1;
    switch (event->key()) {
    case Qt::Key_Insert:
        if (modifiers != Qt::NoModifier) return false;
        if (!keyAt(row).isEmpty()) {
            insertBlankRow(row);
            setCurrentCell(row, kKeyColumn);
        }
        return true;
    case Qt::Key_Down:
        if (modifiers == Qt::ControlModifier) {
            setCurrentCell(last, column);
            return true;
        }
        if (modifiers != Qt::NoModifier || row != last) return false;
        if (!keyAt(row).isEmpty()) {
            insertBlankRow(last + 1);
            setCurrentCell(last + 1, column);
        }
        return true;
    case Qt::Key_Up:
        if (modifiers != Qt::ControlModifier) return false;
        setCurrentCell(0, column);
        return true;
    case Qt::Key_Delete:
        if (modifiers != Qt::ControlModifier) return false;
        dropEditor();
        removeRowKeepingOne(row);
        setCurrentCell(std::min(row, rowCount() - 1), column);
        return true;
    default:
        return false;
    }
}

void ValueListEditor::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableWidget::currentChanged(current, previous);  // commits and closes an open editor
    if (changingRows_ || !previous.isValid() || previous.row() == current.row()) return;
    const int left = previous.row();
    if (left < rowCount() && rowIsBlank(left)) removeRowKeepingOne(left);
}

void ValueListEditor::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (editor == editor_) {
        editor_ = nullptr;
        editorIndex_ = QPersistentModelIndex();
    }
    QTableWidget::closeEditor(editor, hint);
}

void ValueListEditor::editorOpened(QLineEdit* editor, const QModelIndex& index) {
    editor_ = editor;
    editorIndex_ = index;
    keyAtEditStart_ = keyAt(index.row());
}

void ValueListEditor::cellEdited(const QPersistentModelIndex& index, const QString& text) {
    if (!index.isValid()) return;
    if (index.column() == kKeyColumn && text.contains(QLatin1Char('='))) {
        refuse(kEqualsSignMessage);  // the row keeps the key it last held
        return;
    }
    item(index.row(), index.column())->setText(text);
}

void ValueListEditor::cellLeft(const QModelIndex& index, const QString& text) {
    if (!index.isValid()) return;
    const int row = index.row();
    if (index.column() == kValueColumn) {
        item(row, kValueColumn)->setText(text);
        return;
    }
    if (text.contains(QLatin1Char('='))) {
        refuse(kEqualsSignMessage);
        return;
    }
    if (keyTakenByOtherRow(row, text)) {
        refuse(duplicateKeyMessage(text));
        // Back to the key the row held before this edit.
        item(row, kKeyColumn)->setText(keyAtEditStart_);
        return;
    }
    item(row, kKeyColumn)->setText(text);
}

void ValueListEditor::refuse(const std::string& message) {
    refusing_ = true;
    failureBox_.showFailure(message);
    refusing_ = false;
}

void ValueListEditor::insertBlankRow(int row) {
    const bool wasChanging = changingRows_;
    changingRows_ = true;
    insertRow(row);
    setItem(row, kKeyColumn, new QTableWidgetItem());
    setItem(row, kValueColumn, new QTableWidgetItem());
    changingRows_ = wasChanging;
}

void ValueListEditor::removeRowKeepingOne(int row) {
    const bool wasChanging = changingRows_;
    changingRows_ = true;
    if (rowCount() == 1) {
        item(0, kKeyColumn)->setText(QString());
        item(0, kValueColumn)->setText(QString());
    } else {
        removeRow(row);
    }
    changingRows_ = wasChanging;
}

void ValueListEditor::dropEditor() {
    if (QWidget* editor = editor_) closeEditor(editor, QAbstractItemDelegate::NoHint);
}

QString ValueListEditor::keyAt(int row) const {
    const QTableWidgetItem* cell = item(row, kKeyColumn);
    return cell ? cell->text() : QString();
}

QString ValueListEditor::valueAt(int row) const {
    const QTableWidgetItem* cell = item(row, kValueColumn);
    return cell ? cell->text() : QString();
}

bool ValueListEditor::rowIsBlank(int row) const {
    return keyAt(row).isEmpty() && valueAt(row).isEmpty();
}

// Blanks around a key are not part of its name in the settings file.
bool ValueListEditor::keyTakenByOtherRow(int row, const QString& key) const {
    const QString name = key.trimmed();
    if (name.isEmpty()) return false;
    for (int other = 0; other < rowCount(); ++other) {
        if (other != row && keyAt(other).trimmed().compare(name, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

}  // namespace settings
