#pragma once

#include "workbench/text_search.h"

#include <QDialog>

#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zub {

// The modeless Find or Replace dialog of the workbench, with the fields, options, buttons and
// defaults of the system's own: Find has the find text, match case, whole word, the direction
// (down at first), Find Next and Cancel; Replace has the find text, the replacement, match case,
// whole word, Find Next, Replace, Replace All and Cancel, and always searches down. The texts
// take at most 255 bytes in the code page and one line each. Cancel only hides the dialog: it
// keeps its texts and options for the next time.
class SearchDialog : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Find, Replace };
    static constexpr std::size_t kMaxTextBytes = 255;

    SearchDialog(Kind kind, QWidget* owner);

    Kind kind() const { return m_kind; }
    std::string findText() const;
    std::string replaceText() const;
    SearchOptions options() const;
    bool searchesDown() const;

    // Shows the dialog, or brings it to the front when it is open, the find text selected.
    void present();

    QLineEdit* findField() const { return m_findField; }
    // Replace only.
    QLineEdit* replaceField() const { return m_replaceField; }
    QCheckBox* matchCaseBox() const { return m_matchCase; }
    QCheckBox* wholeWordBox() const { return m_wholeWord; }
    // Find only.
    QRadioButton* upButton() const { return m_up; }
    QRadioButton* downButton() const { return m_down; }
    QPushButton* findNextButton() const { return m_findNext; }
    QPushButton* replaceButton() const { return m_replace; }
    QPushButton* replaceAllButton() const { return m_replaceAll; }
    QPushButton* cancelButton() const { return m_cancel; }

signals:
    void findNextClicked();
    void replaceClicked();
    void replaceAllClicked();

private:
    QLineEdit* textField(const char* name);

    Kind m_kind;
    QLineEdit* m_findField = nullptr;
    QLineEdit* m_replaceField = nullptr;
    QCheckBox* m_matchCase = nullptr;
    QCheckBox* m_wholeWord = nullptr;
    QRadioButton* m_up = nullptr;
    QRadioButton* m_down = nullptr;
    QPushButton* m_findNext = nullptr;
    QPushButton* m_replace = nullptr;
    QPushButton* m_replaceAll = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace zub
