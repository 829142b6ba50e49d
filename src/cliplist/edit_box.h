#pragma once

// The edit box's behaviour on top of an editable QComboBox: completion from the recent list while
// typing, Backspace by whole characters, picks from the drop-down, and one signal for every change
// of its text that the user makes (which runs the edit-box search), never for the program's own.
// Texts are code-page bytes here; only the combo box holds QStrings.

#include "cliplist/edit_box_completion.h"
#include "cliplist/recent_list.h"

#include <QObject>
#include <QString>

#include <string>

class QComboBox;
class QInputMethodEvent;
class QKeyEvent;
class QLineEdit;

namespace zub {

class EditBox : public QObject {
    Q_OBJECT

public:
    // Takes over `combo` (made editable, without Qt's completer or insertion of typed text) for
    // as long as both live; the combo box's line edit must not be replaced afterwards.
    EditBox(QComboBox* combo, QObject* parent = nullptr);

    std::string text() const;
    // The program's own change of the text: no userChanged, and the next completion counts as
    // a switch of item.
    void setTextByProgram(std::string bytes);

    // The field and the drop-down show at most this many bytes of a text; a longer one is cut on a
    // character boundary and shown ending in "…", while text() still gives every byte until the
    // user edits the field. The field is one line a few hundred pixels wide: laying out megabytes
    // in it takes seconds and memory many times the text, and some hundred million characters
    // crash the text layout.
    static constexpr std::size_t kMaxShownBytes = 16384;
    // How a text is shown in the field and the drop-down.
    static QString shownForm(std::string_view bytes);

    // Puts `clipText` on top of the drop-down items (see RecentList); the field keeps its text.
    void remember(std::string clipText);
    const RecentList& recent() const { return m_recent; }
    // Empties the field and the drop-down items, without userChanged.
    void clearAll();

signals:
    // The user changed the text in a way that must run the edit-box search.
    void userChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool keyPressed(QObject* receiver, QKeyEvent* key);
    bool inputMethodUsed(QInputMethodEvent* event);
    void typeCharacter(const QString& character);
    void backspace();
    void itemPicked(int index);
    void fieldEditedByUser();

    // Delivers `event` as usual, except that a QComboBox activation it causes is not a pick.
    void deliverWithoutPicking(QObject* receiver, QEvent* event);
    void showResult(const EditResult& result);
    void replaceChangedPart(const QString& text);
    void showItems();

    QComboBox* m_combo;
    QLineEdit* m_field;
    RecentList m_recent;
    EditBoxCompletion m_completion;
    // The bytes last put into the field and how the field showed them: a text cut for show
    // comes back whole from text() until the user edits the field.
    std::string m_shownBytes;
    QString m_shownText;
    bool m_applying = false;
    bool m_pickingBlocked = false;
    QEvent* m_redelivered = nullptr;
};

} // namespace zub
