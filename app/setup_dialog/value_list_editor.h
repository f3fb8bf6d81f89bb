// The key/value table of the domain groups: key = group name, value = the
// group's comma list of domains, with a title row "Key", "Value".  Rows are
// added and removed from the keyboard (there are no row buttons); keys hold
// no "=" and are unique without regard to letter case.  Every keystroke in a
// cell is taken into the rows at once, so the rows are whole even while a
// cell is still being edited.
#pragma once

#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableWidget>
#include <string>

#include "platform/operation_feedback.h"
#include <utility>
#include <vector>

namespace settings {


class ValueListEditor : public QTableWidget {
    Q_OBJECT

public:
    using Rows = std::vector<std::pair<std::string, std::string>>;  // key, value

    explicit ValueListEditor(platform::OperationFeedback& failureBox, QWidget* parent = nullptr);
    ~ValueListEditor() override;

    // Replaces every row; a cell editor still open is dropped unsaved.  With no
    // rows the table shows one blank row.
    void setRows(const Rows& rows);
    // The rows in order.  A row whose key and value are both empty is the
    // blank row of an empty table or one about to be removed: not a row.
    Rows rows() const;
    // Ends the edit in progress as leaving the cell does: the key is checked.
    void finishEditing();
    // The open cell editor, if any.
    QLineEdit* cellEditor() const { return editor_; }

signals:
    // Escape, also while a cell is being edited: the dialog cancels.
    void escapePressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class CellDelegate;

    // Insert, Down on the last row, Ctrl+Delete, Ctrl+Up, Ctrl+Down; true
    // when the key was one of them.
    bool handleRowKey(QKeyEvent* event);
    void editorOpened(QLineEdit* editor, const QModelIndex& index);
    void cellEdited(const QPersistentModelIndex& index, const QString& text);
    void cellLeft(const QModelIndex& index, const QString& text);
    void refuse(const std::string& message);
    void insertBlankRow(int row);
    void removeRowKeepingOne(int row);
    void dropEditor();
    QString keyAt(int row) const;
    QString valueAt(int row) const;
    bool rowIsBlank(int row) const;
    bool keyTakenByOtherRow(int row, const QString& key) const;

    platform::OperationFeedback& failureBox_;
    QPointer<QLineEdit> editor_;
    QPersistentModelIndex editorIndex_;
    QString keyAtEditStart_;
    bool refusing_ = false;     // a refusal's box is up: the editor stays open
    bool changingRows_ = false; // rows being inserted or removed by the table itself
};

}  // namespace settings
