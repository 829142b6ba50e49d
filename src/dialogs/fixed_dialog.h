#pragma once

#include <Qt>

class QDialog;
class QSize;

namespace zub {

// A fixed dialog frame: a title with a close button, nothing to resize, minimise or maximise.
Qt::WindowFlags fixedDialogFlags();

// Gives `dialog` (made with fixedDialogFlags() and its owner) a client area of `clientSize`,
// the dialogs' font, and a place in the middle of its owner's screen. A closed dialog is
// released: nothing keeps it to show again, each command opens a fresh one.
void setUpFixedDialog(QDialog* dialog, const QSize& clientSize);

} // namespace zub
