#include "app/plot/emf_device.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <QPaintEngineState>
#include <QTextItem>

#include <algorithm>
#include <cstring>
#include <cmath>
#include <vector>

namespace {

constexpr int kRefWidthPx = 1920, kRefHeightPx = 1080;  // the reference (screen) device
constexpr double kDpi = 96.0;
constexpr uint32_t kNullBrush = 0x80000005;  // stock object
constexpr uint32_t kHandleSlots = 7;          // 0 reserved; pens 1-2, brushes 3-4, fonts 5-6

class Writer {
public:
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void u16(uint16_t v) {
        b.append(static_cast<char>(v & 0xFF));
        b.append(static_cast<char>(v >> 8));
    }
    void u8(uint8_t v) { b.append(static_cast<char>(v)); }
    void f32(float v) {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        u32(u);
    }
    void pad4() {
        while (b.size() % 4) b.append('\0');
    }
    QByteArray b;
};

uint32_t ColorRef(const QColor& c) {
    return static_cast<uint32_t>(c.red()) | static_cast<uint32_t>(c.green()) << 8 |
           static_cast<uint32_t>(c.blue()) << 16;
}

int32_t Clamp32(double v) {
    if (!(v > -1e9)) return -1000000000;
    if (!(v < 1e9)) return 1000000000;
    return static_cast<int32_t>(std::lround(v));
}

}  // namespace

class TEmfEngine : public QPaintEngine {
public:
    TEmfEngine(QSize size, QString createdBy, QString description)
        : QPaintEngine(QPaintEngine::AllFeatures), size_(size), createdBy_(std::move(createdBy)),
          description_(std::move(description)) {}

    bool begin(QPaintDevice*) override {
        records_.clear();
        count_ = 0;
        penSlot_ = brushSlot_ = fontSlot_ = 0;
        penValid_ = brushValid_ = fontValid_ = false;
        Writer w;
        w.u32(emf::kSetBkMode);
        w.u32(12);
        w.u32(1);  // TRANSPARENT
        add(w);
        Writer a;
        a.u32(emf::kSetTextAlign);
        a.u32(12);
        a.u32(24);  // TA_BASELINE | TA_LEFT
        add(a);
        return true;
    }
    bool end() override {
        Writer e;
        e.u32(emf::kEof);
        e.u32(20);
        e.u32(0);
        e.u32(16);
        e.u32(20);
        add(e);
        return true;
    }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState& state) override {
        const QPaintEngine::DirtyFlags f = state.state();
        if (f & DirtyPen) {
            pen_ = state.pen();
            penValid_ = false;
        }
        if (f & DirtyBrush) {
            brush_ = state.brush();
            brushValid_ = false;
        }
        if (f & DirtyFont) {
            font_ = state.font();
            fontValid_ = false;
        }
        if (f & DirtyTransform) {
            transform_ = state.transform();
            fontValid_ = false;  // the escapement follows the rotation
        }
    }

    void drawLines(const QLineF* lines, int n) override {
        selectPen();
        for (int i = 0; i < n; ++i) {
            point(emf::kMoveToEx, transform_.map(lines[i].p1()));
            point(emf::kLineTo, transform_.map(lines[i].p2()));
        }
    }
    void drawPolygon(const QPointF* pts, int n, PolygonDrawMode mode) override {
        if (n <= 0) return;
        selectPen();
        if (mode != PolylineMode) selectBrush();
        Writer w;
        w.u32(mode == PolylineMode ? emf::kPolyline : emf::kPolygon);
        w.u32(static_cast<uint32_t>(28 + 8 * n));
        QRectF bounds;
        std::vector<QPoint> mapped(static_cast<std::size_t>(n));
        int l = 0, t = 0, r = 0, b = 0;
        for (int i = 0; i < n; ++i) {
            const QPointF m = transform_.map(pts[i]);
            mapped[static_cast<std::size_t>(i)] = QPoint(Clamp32(m.x()), Clamp32(m.y()));
            const QPoint& q = mapped[static_cast<std::size_t>(i)];
            if (i == 0) {
                l = r = q.x();
                t = b = q.y();
            }
            l = std::min(l, q.x());
            r = std::max(r, q.x());
            t = std::min(t, q.y());
            b = std::max(b, q.y());
        }
        w.i32(l);
        w.i32(t);
        w.i32(r);
        w.i32(b);
        w.u32(static_cast<uint32_t>(n));
        for (const QPoint& q : mapped) {
            w.i32(q.x());
            w.i32(q.y());
        }
        add(w);
    }
    void drawRects(const QRectF* rects, int n) override {
        selectPen();
        selectBrush();
        for (int i = 0; i < n; ++i) box(emf::kRectangle, rects[i]);
    }
    void drawEllipse(const QRectF& r) override {
        selectPen();
        selectBrush();
        box(emf::kEllipse, r);
    }
    void drawPath(const QPainterPath& path) override {
        selectPen();
        for (const QPolygonF& poly : path.toSubpathPolygons(QTransform())) {
            if (poly.size() >= 2) drawPolygon(poly.constData(), static_cast<int>(poly.size()), PolylineMode);
        }
    }
    void drawPoints(const QPointF* pts, int n) override {
        for (int i = 0; i < n; ++i) {
            const QLineF l(pts[i], pts[i] + QPointF(1, 0));
            drawLines(&l, 1);
        }
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        const QString text = item.text();
        if (text.isEmpty()) return;
        selectFont(item.font());
        Writer c;
        c.u32(emf::kSetTextColor);
        c.u32(12);
        c.u32(ColorRef(pen_.color()));
        add(c);

        const QPointF ref = transform_.map(p);
        const QFontMetricsF fm(item.font());
        const int n = static_cast<int>(text.size());
        const uint32_t strBytes = static_cast<uint32_t>((2 * n + 3) & ~3);
        const uint32_t offString = 76;
        const uint32_t offDx = offString + strBytes;
        const uint32_t size = offDx + 4u * static_cast<uint32_t>(n);
        const double width = fm.horizontalAdvance(text);
        Writer w;
        w.u32(emf::kExtTextOutW);
        w.u32(size);
        w.i32(Clamp32(ref.x()));
        w.i32(Clamp32(ref.y() - fm.ascent()));
        w.i32(Clamp32(ref.x() + width));
        w.i32(Clamp32(ref.y() + fm.descent()));
        w.u32(1);  // GM_COMPATIBLE
        w.f32(1.0f);
        w.f32(1.0f);
        w.i32(Clamp32(ref.x()));
        w.i32(Clamp32(ref.y()));
        w.u32(static_cast<uint32_t>(n));
        w.u32(offString);
        w.u32(0);  // options
        w.i32(0);
        w.i32(0);
        w.i32(-1);
        w.i32(-1);
        w.u32(offDx);
        for (const QChar ch : text) w.u16(ch.unicode());
        w.pad4();
        for (const QChar ch : text) w.i32(Clamp32(fm.horizontalAdvance(ch)));
        add(w);
    }

    QByteArray file() const {
        // The description: "created by\0description\0\0" in UTF-16.
        std::u16string desc = createdBy_.toStdU16String();
        desc.push_back(u'\0');
        desc += description_.toStdU16String();
        desc.push_back(u'\0');
        desc.push_back(u'\0');
        constexpr uint32_t kHeaderFixed = 108;
        const uint32_t descBytes = static_cast<uint32_t>((2 * desc.size() + 3) & ~std::size_t{3});
        const uint32_t headerSize = kHeaderFixed + descBytes;
        const uint32_t total = headerSize + static_cast<uint32_t>(records_.size());
        Writer h;
        h.u32(emf::kHeader);
        h.u32(headerSize);
        h.i32(0);  // bounds, device units
        h.i32(0);
        h.i32(size_.width() - 1);
        h.i32(size_.height() - 1);
        h.i32(0);  // frame, 0.01 mm
        h.i32(0);
        h.i32(Clamp32(size_.width() * 2540.0 / kDpi));
        h.i32(Clamp32(size_.height() * 2540.0 / kDpi));
        h.u32(emf::kSignature);
        h.u32(0x10000);
        h.u32(total);
        h.u32(static_cast<uint32_t>(count_ + 1));
        h.u16(static_cast<uint16_t>(kHandleSlots));
        h.u16(0);
        h.u32(static_cast<uint32_t>(desc.size()));
        h.u32(kHeaderFixed);
        h.u32(0);  // palette entries
        h.i32(kRefWidthPx);
        h.i32(kRefHeightPx);
        h.i32(Clamp32(kRefWidthPx * 25.4 / kDpi));
        h.i32(Clamp32(kRefHeightPx * 25.4 / kDpi));
        h.u32(0);  // pixel format size, offset
        h.u32(0);
        h.u32(0);  // no OpenGL
        h.i32(Clamp32(kRefWidthPx * 25400.0 / kDpi));
        h.i32(Clamp32(kRefHeightPx * 25400.0 / kDpi));
        for (char16_t ch : desc) h.u16(static_cast<uint16_t>(ch));
        h.pad4();
        return h.b + records_;
    }

private:
    void add(const Writer& w) {
        records_ += w.b;
        ++count_;
    }
    void point(uint32_t type, QPointF p) {
        Writer w;
        w.u32(type);
        w.u32(16);
        w.i32(Clamp32(p.x()));
        w.i32(Clamp32(p.y()));
        add(w);
    }
    void box(uint32_t type, const QRectF& r) {
        // The platform's rectangles leave out their right and bottom edge; Qt's outline covers them.
        const QRectF m = transform_.mapRect(r);
        Writer w;
        w.u32(type);
        w.u32(24);
        w.i32(Clamp32(m.left()));
        w.i32(Clamp32(m.top()));
        w.i32(Clamp32(m.right()) + 1);
        w.i32(Clamp32(m.bottom()) + 1);
        add(w);
    }
    void select(uint32_t handle) {
        Writer w;
        w.u32(emf::kSelectObject);
        w.u32(12);
        w.u32(handle);
        add(w);
    }
    void remove(uint32_t handle) {
        Writer w;
        w.u32(emf::kDeleteObject);
        w.u32(12);
        w.u32(handle);
        add(w);
    }
    // A new object goes into the other slot of its pair, is selected, then the old one is deleted.
    uint32_t nextSlot(uint32_t& current, uint32_t first) {
        const uint32_t slot = current == first ? first + 1 : first;
        return slot;
    }
    void swapIn(uint32_t& current, uint32_t slot) {
        select(slot);
        if (current != 0) remove(current);
        current = slot;
    }
    void selectPen() {
        if (penValid_) return;
        penValid_ = true;
        const uint32_t slot = nextSlot(penSlot_, 1);
        uint32_t style = 0;  // PS_SOLID
        switch (pen_.style()) {
        case Qt::NoPen: style = 5; break;
        case Qt::DashLine: style = 1; break;
        case Qt::DotLine: style = 2; break;
        case Qt::DashDotLine: style = 3; break;
        case Qt::DashDotDotLine: style = 4; break;
        default: break;
        }
        Writer w;
        w.u32(emf::kCreatePen);
        w.u32(28);
        w.u32(slot);
        w.u32(style);
        w.i32(std::max(1, static_cast<int>(std::lround(pen_.widthF()))));
        w.i32(0);
        w.u32(ColorRef(pen_.color()));
        add(w);
        swapIn(penSlot_, slot);
    }
    void selectBrush() {
        if (brushValid_) return;
        brushValid_ = true;
        if (brush_.style() == Qt::NoBrush) {
            select(kNullBrush);
            if (brushSlot_ != 0) remove(brushSlot_);
            brushSlot_ = 0;
            return;
        }
        const uint32_t slot = nextSlot(brushSlot_, 3);
        Writer w;
        w.u32(emf::kCreateBrushIndirect);
        w.u32(24);
        w.u32(slot);
        w.u32(0);  // BS_SOLID
        w.u32(ColorRef(brush_.color()));
        w.u32(0);
        add(w);
        swapIn(brushSlot_, slot);
    }
    void selectFont(const QFont& font) {
        if (fontValid_ && font == lastFont_) return;
        fontValid_ = true;
        lastFont_ = font;
        const uint32_t slot = nextSlot(fontSlot_, 5);
        // Rotation of the painter becomes the font's escapement in tenths of a degree.
        const double angle = std::atan2(-transform_.m12(), transform_.m11()) * 180.0 / M_PI;
        const int32_t escapement = Clamp32(angle * 10.0);
        const int px = font.pixelSize() > 0 ? font.pixelSize() : static_cast<int>(std::lround(font.pointSizeF() * kDpi / 72.0));
        Writer w;
        w.u32(emf::kExtCreateFontIndirectW);
        w.u32(104);
        w.u32(slot);
        w.i32(-px);
        w.i32(0);
        w.i32(escapement);
        w.i32(escapement);
        w.i32(font.bold() ? 700 : 400);
        w.u8(font.italic() ? 1 : 0);
        w.u8(font.underline() ? 1 : 0);
        w.u8(font.strikeOut() ? 1 : 0);
        w.u8(1);     // DEFAULT_CHARSET
        w.u8(7);     // OUT_TT_ONLY_PRECIS
        w.u8(0x10);  // CLIP_LH_ANGLES
        w.u8(2);     // PROOF_QUALITY
        w.u8(1);     // FIXED_PITCH flagged
        const std::u16string face = font.family().left(31).toStdU16String();
        for (int i = 0; i < 32; ++i) w.u16(i < static_cast<int>(face.size()) ? static_cast<uint16_t>(face[static_cast<std::size_t>(i)]) : 0);
        add(w);
        swapIn(fontSlot_, slot);
    }

    QSize size_;
    QString createdBy_, description_;
    QByteArray records_;
    int count_ = 0;
    QPen pen_;
    QBrush brush_;
    QFont font_, lastFont_;
    QTransform transform_;
    uint32_t penSlot_ = 0, brushSlot_ = 0, fontSlot_ = 0;
    bool penValid_ = false, brushValid_ = false, fontValid_ = false;
};

TEmfDevice::TEmfDevice(QSize size, const QString& createdBy, const QString& description)
    : size_(size), engine_(std::make_unique<TEmfEngine>(size, createdBy, description)) {}

TEmfDevice::~TEmfDevice() = default;

QPaintEngine* TEmfDevice::paintEngine() const { return engine_.get(); }

QByteArray TEmfDevice::bytes() const { return engine_->file(); }

int TEmfDevice::metric(PaintDeviceMetric metric) const {
    switch (metric) {
    case PdmWidth: return size_.width();
    case PdmHeight: return size_.height();
    case PdmWidthMM: return static_cast<int>(std::lround(size_.width() * 25.4 / kDpi));
    case PdmHeightMM: return static_cast<int>(std::lround(size_.height() * 25.4 / kDpi));
    case PdmNumColors: return 0x7FFFFFFF;
    case PdmDepth: return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY: return static_cast<int>(kDpi);
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return static_cast<int>(QPaintDevice::devicePixelRatioFScale());
    default: return 0;
    }
}
