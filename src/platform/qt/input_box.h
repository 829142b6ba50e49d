#pragma once

#include <QDialog>
#include <QString>

#include <cstddef>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zub {

// A small modal box asking for one line of text: a prompt, a field pre-filled with the current
// text and wholly selected, and the buttons OK (default) and Cancel. The field takes no more than
// `maxBytes` bytes in the program's code page; a pre-filled text that is already longer stays as
// it is but cannot grow.
class InputBox : public QDialog {
    Q_OBJECT
public:
    InputBox(QWidget* owner, const QString& caption, const QString& prompt, const QString& initial,
             std::size_t maxBytes);

    QString text() const;
    QLineEdit* field() const { return m_field; }
    QPushButton* okButton() const { return m_ok; }
    QPushButton* cancelButton() const { return m_cancel; }

    // Shows the box centred on the screen and waits for the answer.
    int exec() override;

private:
    QLabel* m_prompt;
    QLineEdit* m_field;
    QPushButton* m_ok;
    QPushButton* m_cancel;
};

} // namespace zub
