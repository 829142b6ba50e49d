#pragma once

#include <QDialog>
#include <QImage>

namespace zub {

class PictureView;

// The "Preview" tool window of the picture dialogs: the picture scaled to fit a sizable window,
// which opens centred on the screen, its client area the picture's size plus a small margin
// but at most three quarters of the screen each way. Esc closes it.
class PicturePreviewWindow : public QDialog {
    Q_OBJECT
public:
    PicturePreviewWindow(const QImage& picture, QWidget* parent);

    PictureView* view() const { return m_view; }

private:
    PictureView* m_view;
};

} // namespace zub
