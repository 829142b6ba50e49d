#include "dialogs/tform3.h"

#include "dialogs/dialog_fonts.h"
#include "dialogs/fixed_dialog.h"
#include "dialogs/help_page.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>

namespace zub {
namespace {

constexpr QSize kClientSize(516, 348);
constexpr int kPageHeight = 281;

} // namespace

TForm3::TForm3(QWidget* owner) : QDialog(owner, fixedDialogFlags()) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("帮助"));
    setUpFixedDialog(this, kClientSize);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(0, 0, kClientSize.width(), kPageHeight);
    Memo1->setFont(dialog_fonts::fixedPitch(12));
    Memo1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Memo1->setLineWidth(1);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setReadOnly(true);
    // Read-only still lets the reader select and copy, with the mouse and with the keys.
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QPalette page = Memo1->palette();
    page.setColor(QPalette::Base, palette().color(QPalette::Midlight));
    page.setColor(QPalette::Text, QColor(0, 0, 255));
    Memo1->setPalette(page);
    Memo1->setPlainText(helpPageText());

    Button1 = new QPushButton(QStringLiteral("确定"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(416, 304, 75, 25);
    connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);

    setTabOrder(Memo1, Button1);
    Memo1->setFocus();
    Memo1->installEventFilter(this);
}

bool TForm3::eventFilter(QObject* watched, QEvent* event) {
    // A read-only page passes Return on to the dialog, which would take it for its default
    // button and close: in the page it does nothing.
    if (watched == Memo1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TForm3::Button1Click() {
    close();
}

} // namespace zub
