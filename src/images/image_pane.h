#pragma once

#include "images/picture.h"

#include <QWidget>

class QScrollBar;

namespace zub {

class PictureControl;

// The image page of the main window (`TabSheet2`): one picture at its natural size in a clipping
// viewport (`Panel1`) with a horizontal (`ScrollBar1`) and a vertical (`ScrollBar2`) scroll bar,
// moved with the bars or by dragging it with the left button.
class ImagePane : public QWidget {
    Q_OBJECT
public:
    explicit ImagePane(QWidget* parent = nullptr);

    // The layout: viewport and bars fill the page less the 16-pixel bars, and the bars' maxima
    // fit the picture, which slides back into the viewport if a maximum drops below its bar's
    // position. It runs whenever the main window (and so the page) is resized, and after a
    // captured bitmap has been shown.
    void FormResize();

    const Picture& picture() const;
    // Shows `picture` (see PictureControl::setPicture); the scroll bars stay as they are.
    void setPicture(Picture picture);
    // Empties the pane: no picture, a picture control of 0 × 0, both bars at 0 of 0.
    void clear();

    void ScrollBar1Change();
    void ScrollBar2Change();
    void Image1MouseDown(Qt::MouseButton button, int x, int y);
    void Image1MouseMove(int x, int y);
    void Image1MouseUp(Qt::MouseButton button, int x, int y);

    QWidget* panel1() const { return Panel1; }
    PictureControl* image1() const { return Image1; }
    QScrollBar* scrollBar1() const { return ScrollBar1; }
    QScrollBar* scrollBar2() const { return ScrollBar2; }
    // Whether a drag is under way (one gesture state for the whole run).
    static bool panning();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layOut();

    QWidget* Panel1 = nullptr;
    PictureControl* Image1 = nullptr;
    QScrollBar* ScrollBar1 = nullptr;
    QScrollBar* ScrollBar2 = nullptr;
};

} // namespace zub
