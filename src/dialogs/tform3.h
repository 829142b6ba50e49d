#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace zub {

// The Help dialog: a read-only page of usage notes. Modeless; closing it releases it.
class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* owner = nullptr);

    void Button1Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* Button1 = nullptr;
};

} // namespace zub
