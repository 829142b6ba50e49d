#pragma once

#include "cliplist/clip_list.h"
#include "cliplist/fixed_row_view.h"
#include "cliplist/type_ahead.h"

namespace zub {

class ClipListModel;

// The clip list on screen: one row per entry with its check box. The ClipList holds the entries,
// marks and selection; this view shows them and turns the user's clicks and keys into changes
// of the list, telling the window whenever the user moved the selection.
class ClipListView : public FixedRowView, private ClipListListener {
    Q_OBJECT
public:
    static constexpr int kItemHeight = 16;

    explicit ClipListView(ClipList& list, QWidget* parent = nullptr);
    ~ClipListView() override;

    ClipList& clipList() { return m_list; }

signals:
    // The user selected an entry with the mouse or the keyboard.
    void userSelected();
    // The user double-clicked the list.
    void doubleClicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyboardSearch(const QString&) override {}
    // The item view's own selection notice stays as it is beside the list's, declared below.
    using FixedRowView::selectionChanged;

private:
    void selectionChanged() override;
    void afterReorder(const RowNumbers& newRowOf) override;
    void afterReset() override;

    void showSelection(bool scroll);
    void takeSelectionFromView();
    void selectByUser(std::optional<std::size_t> row);

    ClipList& m_list;
    ClipListModel* m_model;
    TypeAhead m_typeAhead;
};

} // namespace zub
