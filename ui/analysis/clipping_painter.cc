// The engine keeps the source painter's state on the target painter and, for
// each shape, compares its reach with the clip (the painter's clip and the
// system clip, in device coordinates): inside it goes on unchanged, outside
// it is dropped, across the edge its fill and its stroke outline are
// intersected with the clip and filled.
#include "ui/analysis/clipping_painter.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPixmap>
#include <optional>

namespace corvalith {
namespace {

// The region painting may touch, with a quick answer for a plain rectangle.
struct ClipArea {
    QPainterPath path;
    QRectF bounds;
    bool rectangle = false;

    [[nodiscard]] bool Holds(const QRectF& reach) const {
        return rectangle ? bounds.contains(reach) : path.contains(reach);
    }
    [[nodiscard]] bool Meets(const QRectF& reach) const {
        return rectangle ? bounds.intersects(reach) : path.intersects(reach);
    }
};

// Four or five points, each a corner of the bounds, each step along an axis:
// the form a clip rectangle takes as a path.
bool IsRectangle(const QPainterPath& path) {
    const int count = path.elementCount();
    if (count < 4 || count > 5) return false;
    const QRectF bounds = path.boundingRect();
    const auto corner = [&bounds](const QPointF& p) {
        return (qFuzzyCompare(p.x(), bounds.left()) || qFuzzyCompare(p.x(), bounds.right())) &&
               (qFuzzyCompare(p.y(), bounds.top()) || qFuzzyCompare(p.y(), bounds.bottom()));
    };
    for (int i = 0; i < count; ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isCurveTo() || !corner(e)) return false;
        if (i == 0) continue;
        const QPainterPath::Element before = path.elementAt(i - 1);
        if (!qFuzzyCompare(e.x, before.x) && !qFuzzyCompare(e.y, before.y)) return false;
    }
    return true;
}

}  // namespace

class ClipForwardingEngine final : public QPaintEngine {
  public:
    explicit ClipForwardingEngine(QPainter& target)
        : QPaintEngine(QPaintEngine::AllFeatures), m_target(target) {}

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState& state) override {
        const DirtyFlags dirty = state.state();
        if (dirty & DirtyPen) m_target.setPen(state.pen());
        if (dirty & DirtyBrush) m_target.setBrush(state.brush());
        if (dirty & DirtyBrushOrigin) m_target.setBrushOrigin(state.brushOrigin());
        if (dirty & DirtyFont) m_target.setFont(state.font());
        if (dirty & DirtyBackground) m_target.setBackground(state.backgroundBrush());
        if (dirty & DirtyBackgroundMode) m_target.setBackgroundMode(state.backgroundMode());
        if (dirty & DirtyHints) m_target.setRenderHints(state.renderHints());
        if (dirty & DirtyCompositionMode) m_target.setCompositionMode(state.compositionMode());
        if (dirty & DirtyOpacity) m_target.setOpacity(state.opacity());
        if (dirty & DirtyTransform) {
            m_matrix = state.transform();
            m_target.setTransform(m_matrix);
        }
        // The clip is read from the source painter when a shape arrives.
    }

    void drawPath(const QPainterPath& path) override {
        Shape(path, true, [this, &path] { m_target.drawPath(path); });
    }

    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        if (count <= 0) return;
        QPainterPath path(points[0]);
        for (int i = 1; i < count; ++i) path.lineTo(points[i]);
        const bool closed = mode != PolylineMode;
        if (closed) path.closeSubpath();
        path.setFillRule(mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
        Shape(path, closed, [&] {
            if (!closed) {
                m_target.drawPolyline(points, count);
            } else {
                m_target.drawPolygon(points, count,
                                     mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
            }
        });
    }

    void drawPolygon(const QPoint* points, int count, PolygonDrawMode mode) override {
        QPolygonF polygon;
        polygon.reserve(count);
        for (int i = 0; i < count; ++i) polygon << QPointF(points[i]);
        drawPolygon(polygon.constData(), count, mode);
    }

    // Lines arrive as a batch (a chart's series); a batch inside the clip
    // goes on as one, one across its edge line by line.
    void drawLines(const QLineF* lines, int count) override {
        if (count <= 0) return;
        QRectF reach;
        for (int i = 0; i < count; ++i) {
            reach |= QRectF(lines[i].p1(), lines[i].p2()).normalized();
        }
        const std::optional<ClipArea> clip = DeviceClip();
        if (!clip || clip->Holds(Reach(reach))) {
            m_target.drawLines(lines, count);
            return;
        }
        for (int i = 0; i < count; ++i) {
            const QPointF ends[2] = {lines[i].p1(), lines[i].p2()};
            drawPolygon(ends, 2, PolylineMode);
        }
    }

    void drawPixmap(const QRectF& r, const QPixmap& pixmap, const QRectF& sr) override {
        Picture(r, sr, [&](const QRectF& to, const QRectF& from) {
            m_target.drawPixmap(to, pixmap, from);
        });
    }

    void drawImage(const QRectF& r, const QImage& image, const QRectF& sr,
                   Qt::ImageConversionFlags flags) override {
        Picture(r, sr, [&](const QRectF& to, const QRectF& from) {
            m_target.drawImage(to, image, from, flags);
        });
    }

    void drawTiledPixmap(const QRectF& r, const QPixmap& pixmap, const QPointF& offset) override {
        const std::optional<ClipArea> clip = DeviceClip();
        if (clip && !clip->Meets(m_matrix.mapRect(r))) return;
        m_target.drawTiledPixmap(r, pixmap, offset);
    }

    // Text goes on whole unless it lies wholly outside the clip: cutting
    // glyphs would turn them into outlines.
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        const QRectF box(p.x(), p.y() - item.ascent(), item.width(),
                         item.ascent() + item.descent());
        const std::optional<ClipArea> clip = DeviceClip();
        if (clip && !clip->Meets(m_matrix.mapRect(box))) return;
        m_target.drawTextItem(p, item);
    }

  private:
    // Where painting `logical` with the current pen may touch the device:
    // the pen's width and a pixel of smoothing around it.
    [[nodiscard]] QRectF Reach(const QRectF& logical) const {
        const QPen pen = m_target.pen();
        const qreal scale = pen.isCosmetic() ? 1.0 : std::max(1.0, m_matrix.m11());
        const qreal margin = pen.style() != Qt::NoPen ? pen.widthF() * scale + 1.0 : 1.0;
        return m_matrix.mapRect(logical).adjusted(-margin, -margin, margin, margin);
    }

    [[nodiscard]] std::optional<ClipArea> DeviceClip() const {
        std::optional<QPainterPath> clip;
        const QPainter* source = painter();
        if (source != nullptr && source->hasClipping()) {
            clip = source->clipPath() * source->deviceTransform();
        }
        if (const QRegion system = systemClip(); !system.isEmpty()) {
            QPainterPath area;
            area.addRegion(system);
            clip = clip ? clip->intersected(area) : area;
        }
        if (!clip) return std::nullopt;
        return ClipArea{*clip, clip->boundingRect(), IsRectangle(*clip)};
    }

    template <typename Forward>
    void Shape(const QPainterPath& path, bool fill, const Forward& forward) {
        const std::optional<ClipArea> clip = DeviceClip();
        const QPen pen = m_target.pen();
        const bool stroked = pen.style() != Qt::NoPen;
        const QRectF reach = Reach(path.controlPointRect());
        if (!clip || clip->Holds(reach)) {
            forward();
            return;
        }
        if (!clip->Meets(reach)) return;
        const QBrush brush = m_target.brush();
        m_target.resetTransform();
        m_target.setPen(Qt::NoPen);
        if (fill && m_target.brush().style() != Qt::NoBrush) {
            m_target.drawPath((path * m_matrix).intersected(clip->path));
        }
        if (stroked) {
            const QPainterPathStroker stroker(pen);
            const QPainterPath outline = pen.isCosmetic() ? stroker.createStroke(path * m_matrix)
                                                          : stroker.createStroke(path) * m_matrix;
            m_target.setBrush(pen.brush());
            m_target.drawPath(outline.intersected(clip->path));
        }
        m_target.setPen(pen);
        m_target.setBrush(brush);
        m_target.setTransform(m_matrix);
    }

    template <typename Forward>
    void Picture(const QRectF& r, const QRectF& sr, const Forward& forward) {
        const std::optional<ClipArea> clip = DeviceClip();
        const QRectF onDevice = m_matrix.mapRect(r);
        if (!clip || clip->Holds(onDevice)) {
            forward(r, sr);
            return;
        }
        const QRectF kept = onDevice & clip->bounds;
        if (kept.isEmpty() || onDevice.isEmpty()) return;
        // The same share of the source as of the target.
        const qreal sx = sr.width() / onDevice.width(), sy = sr.height() / onDevice.height();
        const QRectF from(sr.x() + (kept.x() - onDevice.x()) * sx,
                          sr.y() + (kept.y() - onDevice.y()) * sy, kept.width() * sx,
                          kept.height() * sy);
        m_target.resetTransform();
        forward(kept, from);
        m_target.setTransform(m_matrix);
    }

    QPainter& m_target;
    QTransform m_matrix;
};

ClippingDevice::ClippingDevice(QPainter& target)
    : m_target(target), m_engine(std::make_unique<ClipForwardingEngine>(target)) {}

ClippingDevice::~ClippingDevice() = default;

QPaintEngine* ClippingDevice::paintEngine() const { return m_engine.get(); }

int ClippingDevice::metric(PaintDeviceMetric metric) const {
    const QPaintDevice& device = *m_target.device();
    switch (metric) {
        case PdmWidth:
            return device.width();
        case PdmHeight:
            return device.height();
        case PdmWidthMM:
            return device.widthMM();
        case PdmHeightMM:
            return device.heightMM();
        case PdmNumColors:
            return device.colorCount();
        case PdmDepth:
            return device.depth();
        case PdmDpiX:
            return device.logicalDpiX();
        case PdmDpiY:
            return device.logicalDpiY();
        case PdmPhysicalDpiX:
            return device.physicalDpiX();
        case PdmPhysicalDpiY:
            return device.physicalDpiY();
        case PdmDevicePixelRatio:
            return device.devicePixelRatio();
        case PdmDevicePixelRatioScaled:
            return qRound(device.devicePixelRatioF() * devicePixelRatioFScale());
    }
    return QPaintDevice::metric(metric);
}

}  // namespace corvalith
