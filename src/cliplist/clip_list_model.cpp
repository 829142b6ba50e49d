#include "cliplist/clip_list_model.h"

#include "platform/qt/qt_text.h"
#include "text/codepage.h"

namespace zub {

ClipListModel::ClipListModel(ClipList& list, QObject* parent)
    : QAbstractListModel(parent), m_list(list) {
    m_list.addListener(this);
}

ClipListModel::~ClipListModel() {
    m_list.removeListener(this);
}

int ClipListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_list.size());
}

// The list view asks for the index of every row each time it lays its rows out, which it does
// after every insertion; the checks of the base class cost several virtual calls per row.
QModelIndex ClipListModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0 || parent.isValid() ||
        static_cast<std::size_t>(row) >= m_list.size())
        return {};
    return createIndex(row, column);
}

QString ClipListModel::tipText(std::string_view entry) {
    if (entry.size() <= kMaxShownBytes) return toQString(entry);
    std::size_t end = 0;
    while (end < kMaxShownBytes) end += cp::charLength(entry, end);
    return toQString(entry.substr(0, end)) + QChar(0x2026);
}

QString ClipListModel::rowText(std::string_view entry) {
    QString text = tipText(entry);
    text.replace(QLatin1String("\r\n"), QStringLiteral("\u21B5"));
    text.replace(QLatin1Char('\r'), QChar(0x21B5));
    text.replace(QLatin1Char('\n'), QChar(0x21B5));
    return text;
}

QVariant ClipListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const auto row = static_cast<std::size_t>(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return rowText(m_list.text(row));
    case Qt::CheckStateRole:
        return m_list.isChecked(row) ? Qt::Checked : Qt::Unchecked;
    default:
        return {};
    }
}

bool ClipListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::CheckStateRole || !index.isValid() || index.row() >= rowCount()) return false;
    m_list.setChecked(static_cast<std::size_t>(index.row()),
                      value.value<Qt::CheckState>() != Qt::Unchecked);
    return true;
}

Qt::ItemFlags ClipListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable |
           Qt::ItemNeverHasChildren;
}

void ClipListModel::beforeInsert(std::size_t row, std::size_t count) {
    beginInsertRows({}, static_cast<int>(row), static_cast<int>(row + count - 1));
}
void ClipListModel::afterInsert() {
    endInsertRows();
}

void ClipListModel::beforeRemove(std::size_t first, std::size_t last) {
    beginRemoveRows({}, static_cast<int>(first), static_cast<int>(last));
}
void ClipListModel::afterRemove() {
    endRemoveRows();
}

void ClipListModel::beforeMove(std::size_t from, std::size_t to) {
    // Qt names the row the entry is inserted before, counted before the move.
    const int destination = static_cast<int>(to > from ? to + 1 : to);
    beginMoveRows({}, static_cast<int>(from), static_cast<int>(from), {}, destination);
}
void ClipListModel::afterMove() {
    endMoveRows();
}

void ClipListModel::beforeReorder() {
    emit layoutAboutToBeChanged();
}

void ClipListModel::afterReorder(const RowNumbers& newRowOf) {
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before) {
        const auto old = static_cast<std::size_t>(i.row());
        after.push_back(old < newRowOf.size() ? index(static_cast<int>(newRowOf[old]))
                                              : QModelIndex());
    }
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

void ClipListModel::beforeReset() {
    beginResetModel();
}
void ClipListModel::afterReset() {
    endResetModel();
}

void ClipListModel::changed(std::size_t first, std::size_t last) {
    emit dataChanged(index(static_cast<int>(first)), index(static_cast<int>(last)),
                     {Qt::DisplayRole, Qt::CheckStateRole});
}

} // namespace zub
