#pragma once

#include <QAbstractItemView>

namespace zub {

// A one-column item view whose rows all have the same height and no width of their own, so that
// everything it does costs the rows on screen, not the rows in the model: adding an entry to a
// list of a million does not lay the million out again, as a QListView does on every insertion.
// It scrolls by whole rows, like a list box.
class FixedRowView : public QAbstractItemView {
    Q_OBJECT
public:
    explicit FixedRowView(int rowHeight, QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    QRect visualRect(const QModelIndex& index) const override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    QModelIndex indexAt(const QPoint& point) const override;
    int sizeHintForRow(int row) const override;

    int rowHeight() const { return m_rowHeight; }
    int topRow() const;
    // Rows that fit on the viewport entirely, at least one.
    int pageRows() const;

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    int horizontalOffset() const override { return 0; }
    int verticalOffset() const override;
    bool isIndexHidden(const QModelIndex&) const override { return false; }
    void setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags) override;
    QRegion visualRegionForSelection(const QItemSelection& selection) const override;
    void updateGeometries() override;
    void scrollContentsBy(int dx, int dy) override;
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                     const QList<int>& roles = QList<int>()) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int rowCount() const;
    void rowsChanged();
    void rowsShifted(const QModelIndex& parent, int first);

    int m_rowHeight;
};

} // namespace zub
