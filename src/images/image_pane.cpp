#include "images/image_pane.h"

#include "images/picture_control.h"

#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>
#include <cstdint>
#include <optional>

namespace zub {
namespace {

constexpr int kBarThickness = 16;

// The drag gesture is kept for the whole run, as the program keeps its other gesture state: off
// until a left press on the picture, off again at the release of any button.
bool g_panning = false;
std::int32_t g_panAnchorX = 0;
std::int32_t g_panAnchorY = 0;

QScrollBar* scrollBar(Qt::Orientation orientation, const char* name, QWidget* parent) {
    auto* bar = new QScrollBar(orientation, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(0, 0);
    // A click on an arrow or in the track moves one pixel; with a page of 1 the thumb keeps the
    // standard size instead of showing the visible share.
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setFocusPolicy(Qt::StrongFocus);
    return bar;
}

// `value`, worked out in 64 bits so that no drag overflows, limited to the bar's range.
int limited(const QScrollBar* bar, std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, bar->minimum(), bar->maximum()));
}

// What a key does to a focused scroll bar, the same for both directions as on Windows (Qt turns
// the horizontal arrows round on scroll bars): back towards 0, or on towards the maximum.
std::optional<QAbstractSlider::SliderAction> keyAction(int key) {
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        return QAbstractSlider::SliderSingleStepSub;
    case Qt::Key_Right:
    case Qt::Key_Down:
        return QAbstractSlider::SliderSingleStepAdd;
    case Qt::Key_PageUp:
        return QAbstractSlider::SliderPageStepSub;
    case Qt::Key_PageDown:
        return QAbstractSlider::SliderPageStepAdd;
    case Qt::Key_Home:
        return QAbstractSlider::SliderToMinimum;
    case Qt::Key_End:
        return QAbstractSlider::SliderToMaximum;
    default:
        return std::nullopt;
    }
}

} // namespace

ImagePane::ImagePane(QWidget* parent) : QWidget(parent) {
    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, 564, 243);
    // The viewport shows the menu colour wherever the picture leaves it free.
    Panel1->setBackgroundRole(QPalette::Window);
    Panel1->setAutoFillBackground(true);

    Image1 = new PictureControl(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, 0, 0);

    // Created in tab order: the vertical bar first.
    ScrollBar2 = scrollBar(Qt::Vertical, "ScrollBar2", this);
    ScrollBar2->setGeometry(564, 0, kBarThickness, 243);
    ScrollBar1 = scrollBar(Qt::Horizontal, "ScrollBar1", this);
    ScrollBar1->setGeometry(0, 243, 564, kBarThickness);
    setTabOrder(ScrollBar2, ScrollBar1);
    ScrollBar1->installEventFilter(this);
    ScrollBar2->installEventFilter(this);

    connect(ScrollBar1, &QScrollBar::valueChanged, this, &ImagePane::ScrollBar1Change);
    connect(ScrollBar2, &QScrollBar::valueChanged, this, &ImagePane::ScrollBar2Change);
    connect(Image1, &PictureControl::mousePressed, this,
            [this](Qt::MouseButton button, QPoint p) { Image1MouseDown(button, p.x(), p.y()); });
    connect(Image1, &PictureControl::mouseMoved, this,
            [this](QPoint p) { Image1MouseMove(p.x(), p.y()); });
    connect(Image1, &PictureControl::mouseReleased, this,
            [this](Qt::MouseButton button, QPoint p) { Image1MouseUp(button, p.x(), p.y()); });
}

bool ImagePane::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == ScrollBar1 || watched == ScrollBar2)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (const auto action = keyAction(key->key());
            action && key->modifiers() == Qt::NoModifier) {
            static_cast<QScrollBar*>(watched)->triggerAction(*action);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ImagePane::FormResize() {
    // Qt sizes only the page on show; this one must have the page area's size in any case.
    if (QWidget* pageArea = parentWidget(); pageArea && size() != pageArea->size())
        resize(pageArea->size());
    layOut();
}

void ImagePane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The page changes size with the window: Qt tells the page itself, and only once its size
    // is settled, so the layout runs here as well.
    layOut();
}

void ImagePane::layOut() {
    Panel1->resize(std::max(0, width() - kBarThickness), std::max(0, height() - kBarThickness));
    ScrollBar1->resize(Panel1->width(), kBarThickness);
    ScrollBar2->resize(kBarThickness, Panel1->height());
    ScrollBar1->move(ScrollBar1->x(), Panel1->height());
    ScrollBar2->move(Panel1->width(), ScrollBar2->y());
    // A lower maximum pulls the position down with it, which moves the picture.
    ScrollBar1->setMaximum(std::max(0, Image1->width() - Panel1->width()));
    ScrollBar2->setMaximum(std::max(0, Image1->height() - Panel1->height()));
}

const Picture& ImagePane::picture() const {
    return Image1->picture();
}

void ImagePane::setPicture(Picture picture) {
    Image1->setPicture(std::move(picture));
}

void ImagePane::clear() {
    Image1->setPicture(Picture());
    Image1->resize(0, 0);
    ScrollBar1->setMaximum(0);
    ScrollBar2->setMaximum(0);
}

void ImagePane::ScrollBar1Change() {
    Image1->move(-ScrollBar1->value(), Image1->y());
}

void ImagePane::ScrollBar2Change() {
    Image1->move(Image1->x(), -ScrollBar2->value());
}

void ImagePane::Image1MouseDown(Qt::MouseButton button, int x, int y) {
    if (button != Qt::LeftButton) return;
    g_panning = true;
    g_panAnchorX = x;
    g_panAnchorY = y;
}

void ImagePane::Image1MouseMove(int x, int y) {
    if (!g_panning) return;
    // The pressed point of the picture follows the cursor as far as the bars allow.
    ScrollBar1->setValue(limited(ScrollBar1, std::int64_t{ScrollBar1->value()} + g_panAnchorX - x));
    ScrollBar2->setValue(limited(ScrollBar2, std::int64_t{ScrollBar2->value()} + g_panAnchorY - y));
}

void ImagePane::Image1MouseUp(Qt::MouseButton, int, int) {
    g_panning = false;
}

bool ImagePane::panning() {
    return g_panning;
}

} // namespace zub
