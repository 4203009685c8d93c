#include "artwork/SvgPicture.h"

#include <QBuffer>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRegularExpression>
#include <QSvgGenerator>

namespace halvrick::SvgPicture {

namespace {

// Takes every drawing call and paints it again onto the generator's painter, in the same coordinates,
// with the painter's clip already applied to the shape.
class ClipApplyingEngine : public QPaintEngine {
public:
    explicit ClipApplyingEngine(QPainter& target) : QPaintEngine(AllFeatures), target_(&target) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    Type type() const override { return User; }

    void drawPath(const QPainterPath& path) override { draw(path, true); }

    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        QPainterPath path;
        path.setFillRule(mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
        path.addPolygon(QPolygonF(QList<QPointF>(points, points + count)));
        if (mode != PolylineMode) {
            path.closeSubpath();
        }
        draw(path, mode != PolylineMode);
    }

    void drawPixmap(const QRectF& rect, const QPixmap& pixmap, const QRectF& source) override {
        drawImage(rect, pixmap.toImage(), source, Qt::AutoColor);
    }

    void drawImage(const QRectF& rect, const QImage& image, const QRectF& source,
                   Qt::ImageConversionFlags) override {
        prepare();
        target_->drawImage(rect, image, source);
        target_->restore();
    }

private:
    // Saves the target and gives it the source's transform and settings; the caller restores it.
    void prepare() {
        const QPainter* source = painter();
        target_->save();
        target_->setTransform(source->combinedTransform());
        target_->setOpacity(source->opacity());
        target_->setRenderHints(source->renderHints());
        target_->setBrushOrigin(source->brushOrigin());
    }

    void draw(const QPainterPath& path, bool filled) {
        const QPainter* source = painter();
        const QBrush brush = filled ? source->brush() : QBrush();
        prepare();
        if (!source->hasClipping()) {
            target_->setPen(source->pen());
            target_->setBrush(brush);
            target_->drawPath(path);
        } else {
            const QPainterPath clip = source->clipPath();
            if (brush.style() != Qt::NoBrush) {
                target_->fillPath(path.intersected(clip), brush);
            }
            if (source->pen().style() != Qt::NoPen) {
                const QPainterPath outline = QPainterPathStroker(source->pen()).createStroke(path);
                target_->fillPath(outline.intersected(clip), source->pen().brush());
            }
        }
        target_->restore();
    }

    QPainter* target_;
};

// The device the painter function paints on: the generator's size and resolution, this engine.
class ClipApplyingDevice : public QPaintDevice {
public:
    ClipApplyingDevice(QPainter& target, const QPaintDevice& generator)
        : engine_(target), like_(&generator) {}

    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmWidth:
            return like_->width();
        case PdmHeight:
            return like_->height();
        case PdmWidthMM:
            return like_->widthMM();
        case PdmHeightMM:
            return like_->heightMM();
        case PdmNumColors:
            return like_->colorCount();
        case PdmDepth:
            return like_->depth();
        case PdmDpiX:
            return like_->logicalDpiX();
        case PdmDpiY:
            return like_->logicalDpiY();
        case PdmPhysicalDpiX:
            return like_->physicalDpiX();
        case PdmPhysicalDpiY:
            return like_->physicalDpiY();
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        }
        return QPaintDevice::metric(metric);
    }

private:
    mutable ClipApplyingEngine engine_;
    const QPaintDevice* like_;
};

} // namespace

QByteArray render(const CardPainter& paint, QSize size, const QString& title) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRectF(QPointF(0, 0), size));
    generator.setTitle(title);
    QPainter target(&generator);
    {
        ClipApplyingDevice device(target, generator);
        QPainter painter(&device);
        paint(painter, size);
    }
    target.end();
    // The generator gives the size in millimetres; icon loaders read it in pixels.
    static const QRegularExpression extent(QStringLiteral(R"(<svg width="[^"]*" height="[^"]*")"));
    const QString pixels =
        QStringLiteral(R"(<svg width="%1" height="%2")").arg(size.width()).arg(size.height());
    return QString::fromUtf8(bytes).replace(extent, pixels).toUtf8();
}

} // namespace halvrick::SvgPicture
