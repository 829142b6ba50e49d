#include "dialogs/tform2.h"

#include "dialogs/click_label.h"
#include "dialogs/dialog_fonts.h"
#include "dialogs/fixed_dialog.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace zub {
namespace {

constexpr QSize kClientSize(282, 177);
constexpr int kIconSize = 32;
constexpr int kChangingClick = 30;

// Clicks on the version text since the program started, in every About dialog of the run.
std::int32_t versionClicks = 0;

// A label at its place, at least as large as designed and never smaller than its text.
void place(QLabel* label, const QRect& designed) {
    const QSize text = label->sizeHint();
    label->setGeometry(designed.x(), designed.y(), std::max(designed.width(), text.width()),
                       std::max(designed.height(), text.height()));
}

template <typename Label = QLabel>
Label* makeLabel(QWidget* owner, const char* name, const QString& text) {
    auto* label = new Label(text, owner);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

void colour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

TForm2::TForm2(const QIcon& icon, QWidget* owner) : QDialog(owner, fixedDialogFlags()) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("关于Korvel剪贴板"));
    setUpFixedDialog(this, kClientSize);

    Image1 = makeLabel(this, "Image1", QString());
    Image1->setPixmap(icon.pixmap(kIconSize, kIconSize));
    Image1->setGeometry(QRect(QPoint(16, 16), Image1->sizeHint()));

    Label1 = makeLabel(this, "Label1", QStringLiteral("Korvel剪贴板....."));
    QFont title = dialog_fonts::proportional(16);
    title.setBold(true);
    title.setItalic(true);
    Label1->setFont(title);
    colour(Label1, QColor(0, 0, 255));
    place(Label1, {60, 27, 120, 20});

    Label2 = makeLabel<ClickLabel>(this, "Label2", QStringLiteral("version3.23"));
    Label2->setCursor(Qt::ArrowCursor);
    place(Label2, {192, 32, 68, 16});
    connect(Label2, &ClickLabel::clicked, this, &TForm2::Label2Click);

    Label3 = makeLabel(this, "Label3", QStringLiteral("Korvel剪贴板"));
    QFont name = dialog_fonts::proportional(13);
    name.setBold(true);
    name.setUnderline(true);
    Label3->setFont(name);
    colour(Label3, QColor(0, 128, 0));
    place(Label3, {107, 64, 66, 16});

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Bevel1->setGeometry(13, 96, 257, 2);

    Label4 = makeLabel(this, "Label4", QStringLiteral("邮箱：zub@example.org"));
    place(Label4, {24, 115, 162, 16});
    Label5 = makeLabel(this, "Label5", QStringLiteral("IRC：#zub"));
    place(Label5, {24, 138, 86, 16});

    Button1 = new QPushButton(QStringLiteral("确  定"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(199, 136, 75, 25);
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
    Button1->setFocus();
}

void TForm2::Button1Click() {
    close();
}

void TForm2::Label2Click() {
    // Counting stops short of overflow; only the thirtieth click matters.
    if (versionClicks < std::numeric_limits<std::int32_t>::max()) ++versionClicks;
    if (versionClicks == kChangingClick) {
        Label1->setText(QStringLiteral("母亲万岁！       "));
        place(Label1, {60, 27, 120, 20});
    }
}

} // namespace zub
