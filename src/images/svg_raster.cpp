#include "images/svg_raster.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QSvgRenderer>

#include <algorithm>

namespace zub {
namespace {

// Qt's SVG renderer turns antialiasing on for every drawing. This engine hands each drawing on
// to a painter on the image, with the state the renderer set except that hint. It also counts
// what the drawings cost, by the pixels of the image each may touch, and stops drawing at
// kMaxDrawnPixels: a few kilobytes of metafile can ask for thousands of fills of the whole
// picture.
class AliasedEngine : public QPaintEngine {
public:
    explicit AliasedEngine(QImage& target)
        : QPaintEngine(AllFeatures), m_target(target), m_bounds(target.rect()) {}

    bool overBudget() const { return m_overBudget; }

    bool begin(QPaintDevice*) override {
        if (!m_painter.begin(&m_target)) return false;
        m_painter.setRenderHint(QPainter::Antialiasing, false);
        return true;
    }
    bool end() override { return m_painter.end(); }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState& state) override {
        const DirtyFlags dirty = state.state();
        // The transform first: a clip is given in the coordinates of the transform of its time.
        if (dirty & DirtyTransform) m_painter.setWorldTransform(state.transform());
        if (dirty & DirtyPen) m_painter.setPen(state.pen());
        if (dirty & DirtyBrush) m_painter.setBrush(state.brush());
        if (dirty & DirtyBrushOrigin) m_painter.setBrushOrigin(state.brushOrigin());
        if (dirty & DirtyFont) m_painter.setFont(state.font());
        if (dirty & DirtyBackground) m_painter.setBackground(state.backgroundBrush());
        if (dirty & DirtyBackgroundMode) m_painter.setBackgroundMode(state.backgroundMode());
        if (dirty & DirtyCompositionMode) m_painter.setCompositionMode(state.compositionMode());
        if (dirty & DirtyOpacity) m_painter.setOpacity(state.opacity());
        if (dirty & DirtyHints) {
            m_painter.setRenderHints(state.renderHints());
            m_painter.setRenderHint(QPainter::Antialiasing, false);
        }
        if (dirty & DirtyClipPath) m_painter.setClipPath(state.clipPath(), state.clipOperation());
        if (dirty & DirtyClipRegion)
            m_painter.setClipRegion(state.clipRegion(), state.clipOperation());
        if (dirty & DirtyClipEnabled) m_painter.setClipping(state.isClipEnabled());
    }

    void drawPath(const QPainterPath& path) override {
        if (spend(stroked(path.controlPointRect()))) m_painter.drawPath(path);
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        if (!spend(stroked(QPolygonF(QList<QPointF>(points, points + count)).boundingRect())))
            return;
        if (mode == PolylineMode) {
            m_painter.drawPolyline(points, count);
        } else {
            m_painter.drawPolygon(points, count,
                                  mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
        }
    }
    void drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF& source) override {
        if (spend(target)) m_painter.drawPixmap(target, pixmap, source);
    }
    void drawTiledPixmap(const QRectF& target, const QPixmap& pixmap, const QPointF& at) override {
        if (spend(target)) m_painter.drawTiledPixmap(target, pixmap, at);
    }
    void drawImage(const QRectF& target, const QImage& image, const QRectF& source,
                   Qt::ImageConversionFlags flags) override {
        if (spend(target)) m_painter.drawImage(target, image, source, flags);
    }
    void drawTextItem(const QPointF& at, const QTextItem& item) override {
        const QRectF box(at.x(), at.y() - item.ascent(), item.width(),
                         item.ascent() + item.descent());
        if (spend(box)) m_painter.drawTextItem(at, item);
    }

private:
    // `box` in the painter's coordinates grown by half the pen's width on every side.
    QRectF stroked(const QRectF& box) const {
        const QPen& pen = m_painter.pen();
        if (pen.style() == Qt::NoPen || pen.isCosmetic()) return box;
        const qreal half = pen.widthF() / 2;
        return box.adjusted(-half, -half, half, half);
    }
    // Counts a drawing over `box` (in the painter's coordinates); whether to draw it.
    bool spend(const QRectF& box) {
        if (m_overBudget) return false;
        const QRectF touched = m_painter.worldTransform().mapRect(box).intersected(m_bounds);
        // Every drawing counts for something, even one off the picture.
        m_spent += std::max(0.0, touched.width() * touched.height()) + 1;
        m_overBudget = m_spent > static_cast<double>(kMaxDrawnPixels);
        return !m_overBudget;
    }

    QImage& m_target;
    const QRectF m_bounds;
    QPainter m_painter;
    double m_spent = 0;
    bool m_overBudget = false;
};

// The image as a paint device whose engine is the one above.
class AliasedDevice : public QPaintDevice {
public:
    explicit AliasedDevice(QImage& image) : m_image(image), m_engine(image) {}
    QPaintEngine* paintEngine() const override { return &m_engine; }
    bool overBudget() const { return m_engine.overBudget(); }

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
            return m_image.width();
        case PdmHeight:
            return m_image.height();
        case PdmWidthMM:
            return m_image.widthMM();
        case PdmHeightMM:
            return m_image.heightMM();
        case PdmNumColors:
            return 0;
        case PdmDepth:
            return m_image.depth();
        case PdmDpiX:
        case PdmPhysicalDpiX:
            return m_image.logicalDpiX();
        case PdmDpiY:
        case PdmPhysicalDpiY:
            return m_image.logicalDpiY();
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    QImage& m_image;
    mutable AliasedEngine m_engine;
};

} // namespace

QImage renderSvg(const QByteArray& svg, int width, int height) {
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) return {};
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return image;
    image.fill(Qt::transparent);
    AliasedDevice device(image);
    QPainter painter(&device);
    renderer.render(&painter, QRectF(0, 0, width, height));
    painter.end();
    return device.overBudget() ? QImage() : image;
}

} // namespace zub
