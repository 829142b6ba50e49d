#include "platform/x11/input_box.h"

#include "platform/qt_text.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QValidator>

#include <algorithm>

namespace zub {
namespace {

std::size_t codePageBytes(QStringView text) {
    return fromQString(text.toString()).size();
}

// Refuses any edit that would take the text past the byte limit, or past its own length when it
// is already longer. An insertion that does not fit whole (a paste) keeps as many of its first
// characters as fit, as a Windows edit control does.
class ByteLimitValidator : public QValidator {
public:
    ByteLimitValidator(std::size_t maxBytes, const QString& initial, QLineEdit* field)
        : QValidator(field), m_maxBytes(maxBytes), m_accepted(initial) {
        QObject::connect(field, &QLineEdit::textChanged, this,
                         [this](const QString& text) { m_accepted = text; });
    }

    State validate(QString& input, int& pos) const override {
        const std::size_t limit = std::max(m_maxBytes, codePageBytes(m_accepted));
        if (codePageBytes(input) <= limit) return Acceptable;

        // What was inserted lies between the parts that the old and the new text share.
        const qsizetype shortest = std::min(input.size(), m_accepted.size());
        qsizetype prefix = 0;
        while (prefix < shortest && input[prefix] == m_accepted[prefix]) ++prefix;
        if (prefix > 0 && input[prefix - 1].isHighSurrogate()) --prefix;
        qsizetype suffix = 0;
        while (suffix < shortest - prefix &&
               input[input.size() - 1 - suffix] == m_accepted[m_accepted.size() - 1 - suffix]) {
            ++suffix;
        }
        if (suffix > 0 && input[input.size() - suffix].isLowSurrogate()) --suffix;

        const QString head = input.first(prefix);
        const QString tail = input.last(suffix);
        const QStringView inserted =
            QStringView(input).sliced(prefix, input.size() - prefix - suffix);
        const std::size_t kept = codePageBytes(head) + codePageBytes(tail);
        if (kept >= limit) return Invalid;

        std::size_t budget = limit - kept;
        qsizetype taken = 0;
        while (taken < inserted.size()) {
            const qsizetype length =
                inserted[taken].isHighSurrogate() && taken + 1 < inserted.size() ? 2 : 1;
            const std::size_t cost = codePageBytes(inserted.sliced(taken, length));
            if (cost > budget) break;
            budget -= cost;
            taken += length;
        }
        if (taken == 0) return Invalid;
        QString fitted = head;
        fitted += inserted.first(taken);
        fitted += tail;
        input = fitted;
        pos = static_cast<int>(prefix + taken);
        return Acceptable;
    }

private:
    std::size_t m_maxBytes;
    QString m_accepted;
};

} // namespace

InputBox::InputBox(QWidget* owner, const QString& caption, const QString& prompt,
                   const QString& initial, std::size_t maxBytes)
    : QDialog(owner), m_prompt(new QLabel(prompt, this)), m_field(new QLineEdit(this)),
      m_ok(new QPushButton(QStringLiteral("OK"), this)),
      m_cancel(new QPushButton(QStringLiteral("Cancel"), this)) {
    setWindowTitle(caption);
    setModal(true);

    // The limit judges what the user does to the text, not the text the program starts with.
    m_field->setText(initial);
    m_field->setValidator(new ByteLimitValidator(maxBytes, initial, m_field));
    m_field->selectAll();
    m_field->setMinimumWidth(320);

    m_ok->setDefault(true);
    m_ok->setAutoDefault(true);
    m_cancel->setAutoDefault(false);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    // The buttons are laid out by hand: a button box would reorder them for some desktops.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_prompt);
    layout->addWidget(m_field);
    layout->addLayout(buttons);
    setSizeGripEnabled(false);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString InputBox::text() const {
    return m_field->text();
}

int InputBox::exec() {
    ensurePolished();
    adjustSize();
    QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen) move(screen->availableGeometry().center() - rect().center());
    m_field->setFocus();
    return QDialog::exec();
}

} // namespace zub
