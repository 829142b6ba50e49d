#include "dialogs/fixed_dialog.h"

#include "dialogs/dialog_fonts.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>

namespace zub {

Qt::WindowFlags fixedDialogFlags() {
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
           Qt::MSWindowsFixedSizeDialogHint;
}

void setUpFixedDialog(QDialog* dialog, const QSize& clientSize) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setModal(false);
    dialog->setFont(dialog_fonts::proportional(12));
    dialog->setFixedSize(clientSize);
    const QWidget* owner = dialog->parentWidget();
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        dialog->move(area.x() + (area.width() - clientSize.width()) / 2,
                     area.y() + (area.height() - clientSize.height()) / 2);
    }
}

} // namespace zub
