#include "cliplist/clip_list_view.h"

#include "cliplist/clip_list_model.h"
#include "platform/qt/qt_text.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace zub {
namespace {} // namespace

ClipListView::ClipListView(ClipList& list, QWidget* parent)
    : FixedRowView(kItemHeight, parent), m_list(list), m_model(new ClipListModel(list, this)) {
    // The model must hear of each change before this view re-reads the selection.
    m_list.addListener(this);
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideNone);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setFocusPolicy(Qt::ClickFocus);
}

ClipListView::~ClipListView() {
    m_list.removeListener(this);
}

void ClipListView::showSelection(bool scroll) {
    if (const auto row = m_list.selection()) {
        const QModelIndex index = m_model->index(static_cast<int>(*row));
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        if (scroll) scrollTo(index);
    } else {
        selectionModel()->clearSelection();
        selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    }
}

void ClipListView::selectionChanged() {
    showSelection(true);
}

// Re-sorting keeps the selected row number and the rows in view; the view would otherwise let
// its selection follow the entry to its new row.
void ClipListView::afterReorder(const RowNumbers&) {
    showSelection(false);
}

void ClipListView::afterReset() {
    showSelection(false);
}

void ClipListView::selectByUser(std::optional<std::size_t> row) {
    if (row) m_list.select(row);
    emit userSelected();
}

void ClipListView::takeSelectionFromView() {
    const QModelIndex current = currentIndex();
    if (current.isValid()) selectByUser(static_cast<std::size_t>(current.row()));
}

void ClipListView::mousePressEvent(QMouseEvent* event) {
    // A right click opens the context menu on the current selection without changing it, and a
    // click below the last row leaves the selection where it is.
    if (event->button() != Qt::LeftButton || !indexAt(event->position().toPoint()).isValid()) {
        event->accept();
        return;
    }
    FixedRowView::mousePressEvent(event);
    takeSelectionFromView();
}

void ClipListView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit doubleClicked();
    event->accept();
}

void ClipListView::keyPressEvent(QKeyEvent* event) {
    const auto now = TypeAhead::Clock::now();
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        FixedRowView::keyPressEvent(event);
        takeSelectionFromView();
        return;
    case Qt::Key_Backspace:
        if (const auto row = m_typeAhead.backspace(m_list, now)) selectByUser(row);
        return;
    case Qt::Key_Space:
        if (const auto row = m_list.selection()) m_list.setChecked(*row, !m_list.isChecked(*row));
        break;
    default:
        break;
    }
    const QString text = event->text();
    const bool typed = !text.isEmpty() && text.at(0).isPrint() &&
                       !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!typed) {
        FixedRowView::keyPressEvent(event);
        return;
    }
    // An input method may deliver several characters at once; each counts as a key.
    std::optional<std::size_t> found;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        found = m_typeAhead.type(m_list, fromQString(text.mid(i, length)), now);
        i += length;
    }
    if (found) selectByUser(found);
}

} // namespace zub
