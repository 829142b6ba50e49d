#include "platform/qt/picture_preview_window.h"

#include "platform/qt/picture_view.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

namespace zub {
namespace {

constexpr int kMargin = 8;

} // namespace

PicturePreviewWindow::PicturePreviewWindow(const QImage& picture, QWidget* parent)
    : QDialog(parent, Qt::Tool) {
    setWindowTitle(QStringLiteral("Preview"));
    setSizeGripEnabled(true);
    m_view = new PictureView(PictureView::Scaling::Fit);
    m_view->setPicture(picture);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->addWidget(m_view);

    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 800, 600);
    const QSize most(area.width() * 3 / 4, area.height() * 3 / 4);
    const QSize wanted = picture.size() + QSize(2 * kMargin, 2 * kMargin);
    resize(wanted.boundedTo(most).expandedTo(QSize(2 * kMargin + 1, 2 * kMargin + 1)));
    move(area.center() - rect().center());
}

} // namespace zub
