#pragma once

#include <QImage>
#include <QWidget>

namespace zub {

// A picture scaled proportionally into the widget and centred; "(None)" when there is none.
class PictureView : public QWidget {
    Q_OBJECT
public:
    enum class Scaling {
        ShrinkToFit, // larger pictures are made smaller, smaller ones keep their size
        Fit,         // any picture is made as large as fits
    };

    explicit PictureView(Scaling scaling, QWidget* parent = nullptr);

    const QImage& picture() const { return m_picture; }
    void setPicture(QImage picture);
    // Where the picture is drawn, in the widget's coordinates (empty without a picture).
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Scaling m_scaling;
    QImage m_picture;
};

} // namespace zub
