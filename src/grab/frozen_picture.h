#pragma once

#include "grab/rubber_band.h"

#include <QImage>
#include <QWidget>

namespace zub {

// The region selector's picture control: the frozen screen at its natural size, with a
// cross-hair cursor, and the rubber band's dotted outline drawn over it while a selection is in
// progress. The outline inverts the pixels it passes, but only on the screen: the picture itself
// is never drawn into.
class FrozenPicture : public QWidget {
    Q_OBJECT
public:
    FrozenPicture(const RubberBand& band, QWidget* parent = nullptr);

    const QImage& picture() const { return m_picture; }
    // Takes the picture and the size it needs.
    void setPicture(QImage picture);

    // The picture's pixel under a point of the control.
    PixelPoint pixelAt(QPointF position) const;
    // The rubber band changed from `before`: the outline is drawn again where it was and where
    // it is now.
    void outlineMoved(const SelectionRect& before);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect toControl(const SelectionRect& pixels) const;

    const RubberBand& m_band;
    QImage m_picture;
};

} // namespace zub
