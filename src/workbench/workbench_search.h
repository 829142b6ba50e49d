#pragma once

#include "workbench/replace_all.h"
#include "workbench/search_dialog.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace zub {

class WorkbenchEdit;

// Find and Replace on the workbench: one Find and one Replace dialog for the whole run, made on
// first use, whose buttons search and change the editor's text while the dialog keeps the focus.
class WorkbenchSearch : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        // Runs a button's work the way the window runs every handler (errors shown, not thrown).
        std::function<void(const std::function<void()>&)> run;
        // Nothing found: the dialog that searched and its find text.
        std::function<void(QWidget* dialog, const std::string& findText)> notFound;
        // Replace All changed the editor in one step, without a changed() signal; the old text
        // and what became of it, for what each replacement would have set off.
        std::function<void(const std::string& oldText, const ReplaceAllResult& result)> replacedAll;
    };

    WorkbenchSearch(WorkbenchEdit* editor, QWidget* owner, Hooks hooks);

    // Opens the dialog, or brings it to the front.
    void showFind();
    void showReplace();
    // Null until first opened.
    SearchDialog* findDialog() const { return m_findDialog; }
    SearchDialog* replaceDialog() const { return m_replaceDialog; }

    void findNext(SearchDialog& dialog);
    void replace(SearchDialog& dialog);
    void replaceAll(SearchDialog& dialog);

private:
    SearchDialog* dialog(SearchDialog::Kind kind);
    // The next match after the selection (down) or before it (up), in bytes.
    std::optional<std::uint64_t> locate(const TextSearch& search, bool down) const;
    void select(std::uint64_t start, std::uint64_t length);

    WorkbenchEdit* m_editor;
    QWidget* m_owner;
    Hooks m_hooks;
    SearchDialog* m_findDialog = nullptr;
    SearchDialog* m_replaceDialog = nullptr;
};

} // namespace zub
