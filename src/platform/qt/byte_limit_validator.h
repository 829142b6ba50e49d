#pragma once

#include <QString>
#include <QValidator>

#include <cstddef>

class QLineEdit;

namespace zub {

// Keeps a line edit's text within a number of bytes in the program's code page. Refuses any edit
// that would take the text past the limit, or past its own length when it is already longer. An
// insertion that does not fit whole (a paste) keeps as many of its first characters as fit, as a
// Windows edit control does.
class ByteLimitValidator : public QValidator {
    Q_OBJECT
public:
    ByteLimitValidator(std::size_t maxBytes, const QString& initial, QLineEdit* field);

    State validate(QString& input, int& pos) const override;

private:
    std::size_t m_maxBytes;
    QString m_accepted;
};

} // namespace zub
