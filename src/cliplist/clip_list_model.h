#pragma once

#include "cliplist/clip_list.h"

#include <QAbstractListModel>

namespace zub {

// Item model over a ClipList, following its change notices row by row. Rows are decoded from
// the code page only when a view asks for them, that is when they are painted.
class ClipListModel : public QAbstractListModel, private ClipListListener {
    Q_OBJECT
public:
    explicit ClipListModel(ClipList& list, QObject* parent = nullptr);
    ~ClipListModel() override;

    // Rows longer than this are shown cut: a row is one line a few hundred pixels wide, and
    // decoding megabytes for it on every paint would stall the window.
    static constexpr std::size_t kMaxShownBytes = 4096;

    int rowCount(const QModelIndex& parent = {}) const override;
    QModelIndex index(int row, int column = 0, const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The text a row shows for an entry: line breaks become visible marks so one row stays one
    // line.
    static QString rowText(std::string_view entry);
    // The list's tool tip for an entry, cut like a row.
    static QString tipText(std::string_view entry);

private:
    void beforeInsert(std::size_t row, std::size_t count) override;
    void afterInsert() override;
    void beforeRemove(std::size_t first, std::size_t last) override;
    void afterRemove() override;
    void beforeMove(std::size_t from, std::size_t to) override;
    void afterMove() override;
    void beforeReorder() override;
    void afterReorder(const RowNumbers& newRowOf) override;
    void beforeReset() override;
    void afterReset() override;
    void changed(std::size_t first, std::size_t last) override;

    ClipList& m_list;
};

} // namespace zub
