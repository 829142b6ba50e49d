#pragma once

#include <QDialog>

class QFrame;
class QIcon;
class QLabel;
class QPushButton;

namespace zub {

class ClickLabel;

// The About dialog: the program's icon, name, version and contacts. Modeless; closing it releases
// it. Clicks on the version text are counted over the whole run, across every About dialog.
class TForm2 : public QDialog {
    Q_OBJECT
public:
    // `icon` is the main window's icon, shown at 32 × 32.
    explicit TForm2(const QIcon& icon, QWidget* owner = nullptr);

    void Button1Click();
    void Label2Click();

private:
    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    ClickLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QPushButton* Button1 = nullptr;
};

} // namespace zub
