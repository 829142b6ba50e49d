#include "workbench/search_dialog.h"

#include "platform/qt/byte_limit_validator.h"
#include "platform/qt/qt_text.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QVBoxLayout>

namespace zub {

SearchDialog::SearchDialog(Kind kind, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_kind(kind) {
    const bool replacing = kind == Kind::Replace;
    setObjectName(replacing ? QStringLiteral("ReplaceDialog") : QStringLiteral("FindDialog"));
    setWindowTitle(replacing ? QStringLiteral("替换") : QStringLiteral("查找"));
    setModal(false);

    auto* fields = new QFormLayout;
    m_findField = textField("FindText");
    fields->addRow(QStringLiteral("查找内容(&N):"), m_findField);
    if (replacing) {
        m_replaceField = textField("ReplaceText");
        fields->addRow(QStringLiteral("替换为(&P):"), m_replaceField);
    }

    m_wholeWord = new QCheckBox(QStringLiteral("全字匹配(&W)"));
    m_wholeWord->setObjectName(QStringLiteral("WholeWord"));
    m_matchCase = new QCheckBox(QStringLiteral("区分大小写(&C)"));
    m_matchCase->setObjectName(QStringLiteral("MatchCase"));
    auto* checks = new QVBoxLayout;
    checks->addWidget(m_wholeWord);
    checks->addWidget(m_matchCase);
    auto* options = new QHBoxLayout;
    options->addLayout(checks);
    // Replace always searches down, so only Find offers the direction.
    if (!replacing) {
        m_up = new QRadioButton(QStringLiteral("向上(&U)"));
        m_up->setObjectName(QStringLiteral("Up"));
        m_down = new QRadioButton(QStringLiteral("向下(&D)"));
        m_down->setObjectName(QStringLiteral("Down"));
        m_down->setChecked(true);
        auto* direction = new QGroupBox(QStringLiteral("方向"));
        auto* directionLayout = new QHBoxLayout(direction);
        directionLayout->addWidget(m_up);
        directionLayout->addWidget(m_down);
        options->addWidget(direction);
    }

    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(options);
    left->addStretch(1);

    auto button = [this](const QString& caption, const char* name) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    m_findNext = button(QStringLiteral("查找下一个(&F)"), "FindNext");
    m_findNext->setDefault(true);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    if (replacing) {
        m_replace = button(QStringLiteral("替换(&R)"), "Replace");
        m_replaceAll = button(QStringLiteral("全部替换(&A)"), "ReplaceAll");
        buttons->addWidget(m_replace);
        buttons->addWidget(m_replaceAll);
        connect(m_replace, &QPushButton::clicked, this, &SearchDialog::replaceClicked);
        connect(m_replaceAll, &QPushButton::clicked, this, &SearchDialog::replaceAllClicked);
    }
    m_cancel = button(QStringLiteral("取消"), "Cancel");
    buttons->addWidget(m_cancel);
    buttons->addStretch(1);
    connect(m_findNext, &QPushButton::clicked, this, &SearchDialog::findNextClicked);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::hide);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
}

QLineEdit* SearchDialog::textField(const char* name) {
    auto* field = new QLineEdit(this);
    field->setObjectName(QString::fromLatin1(name));
    field->setMinimumWidth(200);
    field->setValidator(new ByteLimitValidator(kMaxTextBytes, QString(), field));
    // One line, as a system edit box keeps it: a pasted text ends at its first line break.
    connect(field, &QLineEdit::textEdited, field, [field](const QString& text) {
        const qsizetype lineBreak = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
        if (lineBreak >= 0) field->setText(text.left(lineBreak));
    });
    return field;
}

std::string SearchDialog::findText() const {
    return fromQString(m_findField->text());
}

std::string SearchDialog::replaceText() const {
    return m_replaceField ? fromQString(m_replaceField->text()) : std::string();
}

SearchOptions SearchDialog::options() const {
    return {m_matchCase->isChecked(), m_wholeWord->isChecked()};
}

bool SearchDialog::searchesDown() const {
    return m_down == nullptr || m_down->isChecked();
}

void SearchDialog::present() {
    if (!isVisible()) m_findField->selectAll();
    show();
    raise();
    activateWindow();
    m_findField->setFocus();
}

} // namespace zub
