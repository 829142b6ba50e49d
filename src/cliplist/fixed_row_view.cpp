#include "cliplist/fixed_row_view.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cstdlib>

namespace zub {

FixedRowView::FixedRowView(int rowHeight, QWidget* parent)
    : QAbstractItemView(parent), m_rowHeight(rowHeight) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    verticalScrollBar()->setSingleStep(1);
}

void FixedRowView::setModel(QAbstractItemModel* model) {
    if (this->model()) this->model()->disconnect(this);
    QAbstractItemView::setModel(model);
    if (!model) return;
    connect(model, &QAbstractItemModel::rowsInserted, this, &FixedRowView::rowsShifted);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &FixedRowView::rowsShifted);
    connect(model, &QAbstractItemModel::rowsMoved, this, &FixedRowView::rowsChanged);
    connect(model, &QAbstractItemModel::modelReset, this, &FixedRowView::rowsChanged);
    connect(model, &QAbstractItemModel::layoutChanged, this, &FixedRowView::rowsChanged);
    rowsChanged();
}

int FixedRowView::rowCount() const {
    return model() ? model()->rowCount(rootIndex()) : 0;
}

int FixedRowView::topRow() const {
    return verticalScrollBar()->value();
}

int FixedRowView::pageRows() const {
    return std::max(1, viewport()->height() / m_rowHeight);
}

void FixedRowView::rowsChanged() {
    updateGeometries();
    viewport()->update();
}

// Rows above the first one inserted or removed keep their place and their pixels: an entry added
// at the end of a long list repaints nothing until the view scrolls to it.
void FixedRowView::rowsShifted(const QModelIndex& parent, int first) {
    if (parent != rootIndex()) return;
    updateGeometries();
    const int top = std::max(0, (first - topRow()) * m_rowHeight);
    if (top < viewport()->height())
        viewport()->update(QRect(0, top, viewport()->width(), viewport()->height() - top));
}

QRect FixedRowView::visualRect(const QModelIndex& index) const {
    if (!index.isValid() || index.parent() != rootIndex()) return {};
    return QRect(0, (index.row() - topRow()) * m_rowHeight, viewport()->width(), m_rowHeight);
}

void FixedRowView::scrollTo(const QModelIndex& index, ScrollHint hint) {
    if (!index.isValid()) return;
    const int row = index.row();
    const int top = topRow();
    const int page = pageRows();
    int newTop = top;
    switch (hint) {
    case PositionAtTop:
        newTop = row;
        break;
    case PositionAtBottom:
        newTop = row - page + 1;
        break;
    case PositionAtCenter:
        newTop = row - page / 2;
        break;
    case EnsureVisible:
        if (row < top)
            newTop = row;
        else if (row >= top + page)
            newTop = row - page + 1;
        break;
    }
    verticalScrollBar()->setValue(newTop);
}

QModelIndex FixedRowView::indexAt(const QPoint& point) const {
    if (point.y() < 0 || !model()) return {};
    const int row = topRow() + point.y() / m_rowHeight;
    return row < rowCount() ? model()->index(row, 0, rootIndex()) : QModelIndex();
}

int FixedRowView::sizeHintForRow(int row) const {
    return row >= 0 && row < rowCount() ? m_rowHeight : -1;
}

QModelIndex FixedRowView::moveCursor(CursorAction action, Qt::KeyboardModifiers) {
    const int count = rowCount();
    if (count == 0) return {};
    const QModelIndex current = currentIndex();
    if (!current.isValid()) return model()->index(0, 0, rootIndex());
    int row = current.row();
    switch (action) {
    case MoveUp:
    case MovePrevious:
        --row;
        break;
    case MoveDown:
    case MoveNext:
        ++row;
        break;
    case MovePageUp:
        row -= pageRows() - 1;
        break;
    case MovePageDown:
        row += pageRows() - 1;
        break;
    case MoveHome:
        row = 0;
        break;
    case MoveEnd:
        row = count - 1;
        break;
    default:
        break;
    }
    return model()->index(std::clamp(row, 0, count - 1), 0, rootIndex());
}

int FixedRowView::verticalOffset() const {
    return topRow() * m_rowHeight;
}

void FixedRowView::setSelection(const QRect& rect, QItemSelectionModel::SelectionFlags flags) {
    const int count = rowCount();
    if (count == 0) return;
    const int first = std::clamp(topRow() + rect.top() / m_rowHeight, 0, count - 1);
    const int last = std::clamp(topRow() + rect.bottom() / m_rowHeight, 0, count - 1);
    selectionModel()->select(
        QItemSelection(model()->index(first, 0, rootIndex()), model()->index(last, 0, rootIndex())),
        flags);
}

QRegion FixedRowView::visualRegionForSelection(const QItemSelection& selection) const {
    QRegion region;
    for (const QItemSelectionRange& range : selection) {
        const int top = (range.top() - topRow()) * m_rowHeight;
        const int height = (range.bottom() - range.top() + 1) * m_rowHeight;
        region += QRect(0, top, viewport()->width(), height);
    }
    return region;
}

void FixedRowView::updateGeometries() {
    QScrollBar* bar = verticalScrollBar();
    bar->setPageStep(pageRows());
    bar->setRange(0, std::max(0, rowCount() - pageRows()));
    QAbstractItemView::updateGeometries();
}

// A scroll by fewer rows than the page moves the pixels already drawn and paints only the rows it
// uncovers, as a list box does, rather than every row on the page.
void FixedRowView::scrollContentsBy(int, int dy) {
    const int pixels = dy * m_rowHeight;
    if (pixels == 0) return;
    if (std::abs(pixels) >= viewport()->height()) {
        viewport()->update();
        return;
    }
    scrollDirtyRegion(0, pixels);
    viewport()->scroll(0, pixels);
}

// Qt works out the area of a changed range row by row, which for Tidy or Invert over a million
// entries costs more than the command; only the rows on screen can need painting.
void FixedRowView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight,
                               const QList<int>& roles) {
    if (topLeft.isValid() && bottomRight.isValid() && topLeft.parent() == bottomRight.parent() &&
        topLeft.row() < bottomRight.row()) {
        const int first = std::max(topLeft.row(), topRow());
        const int last = std::min(bottomRight.row(), topRow() + pageRows());
        if (first > last) return;
        const QModelIndex parent = topLeft.parent();
        QAbstractItemView::dataChanged(model()->index(first, 0, parent),
                                       model()->index(last, 0, parent), roles);
        return;
    }
    QAbstractItemView::dataChanged(topLeft, bottomRight, roles);
}

void FixedRowView::resizeEvent(QResizeEvent* event) {
    QAbstractItemView::resizeEvent(event);
    updateGeometries();
}

void FixedRowView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const int count = rowCount();
    const int first = topRow() + std::max(0, event->rect().top()) / m_rowHeight;
    const int last = std::min(count - 1, topRow() + event->rect().bottom() / m_rowHeight);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QModelIndex current = currentIndex();
    const bool focused = hasFocus();
    for (int row = first; row <= last; ++row) {
        const QModelIndex index = model()->index(row, 0, rootIndex());
        QStyleOptionViewItem rowOption = option;
        rowOption.rect = visualRect(index);
        if (selectionModel() && selectionModel()->isSelected(index))
            rowOption.state |= QStyle::State_Selected;
        if (focused && index == current) rowOption.state |= QStyle::State_HasFocus;
        itemDelegateForIndex(index)->paint(&painter, rowOption, index);
    }
}

} // namespace zub
