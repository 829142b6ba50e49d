#pragma once

#include "images/picture.h"

#include <QWidget>

namespace zub {

// The picture control of the image pane (`Image1`): shows its picture unscaled from its own
// top-left corner, painting only what is exposed, and takes the size of each new picture. Its
// mouse presses, moves and releases go to whoever listens, in picture coordinates.
class PictureControl : public QWidget {
    Q_OBJECT
public:
    explicit PictureControl(QWidget* parent = nullptr);

    const Picture& picture() const { return m_picture; }
    // A picture whose sides are both above 0 gives the control its size, keeping its place; an
    // empty picture leaves the size as it was.
    void setPicture(Picture picture);

signals:
    void mousePressed(Qt::MouseButton button, QPoint position);
    void mouseMoved(QPoint position);
    void mouseReleased(Qt::MouseButton button, QPoint position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Picture m_picture;
};

} // namespace zub
