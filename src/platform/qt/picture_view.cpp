#include "platform/qt/picture_view.h"

#include <QPainter>

namespace zub {

PictureView::PictureView(Scaling scaling, QWidget* parent) : QWidget(parent), m_scaling(scaling) {}

void PictureView::setPicture(QImage picture) {
    m_picture = std::move(picture);
    update();
}

QRect PictureView::pictureRect() const {
    if (m_picture.isNull()) return {};
    QSize size = m_picture.size();
    if (m_scaling == Scaling::Fit || size.width() > width() || size.height() > height())
        size.scale(this->size(), Qt::KeepAspectRatio);
    return QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_picture.isNull()) {
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("(None)"));
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(pictureRect(), m_picture);
}

} // namespace zub
