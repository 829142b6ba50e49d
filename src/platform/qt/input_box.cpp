#include "platform/qt/input_box.h"

#include "platform/qt/byte_limit_validator.h"
#include "platform/qt/qt_text.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace zub {

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
