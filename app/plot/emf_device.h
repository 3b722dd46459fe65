#pragma once
// A paint device that records what is painted on it as enhanced-metafile records, so the plot's one
// paint routine also produces the metafile of the clipboard copy and of ".wmf" files.
#include <QByteArray>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QSize>
#include <QString>

#include <memory>

class TEmfEngine;

class TEmfDevice : public QPaintDevice {
public:
    // size: the picture in pixels; createdBy and description: the header's two comment strings.
    TEmfDevice(QSize size, const QString& createdBy, const QString& description);
    ~TEmfDevice() override;
    QPaintEngine* paintEngine() const override;
    // The complete file (header, records, end-of-file record). Call after painting has ended.
    QByteArray bytes() const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize size_;
    std::unique_ptr<TEmfEngine> engine_;
};

// Record types this writer produces.
namespace emf {
inline constexpr uint32_t kHeader = 1;
inline constexpr uint32_t kPolyline = 4;
inline constexpr uint32_t kPolygon = 3;
inline constexpr uint32_t kEof = 14;
inline constexpr uint32_t kSetBkMode = 18;
inline constexpr uint32_t kSetTextAlign = 22;
inline constexpr uint32_t kSetTextColor = 24;
inline constexpr uint32_t kMoveToEx = 27;
inline constexpr uint32_t kSelectObject = 37;
inline constexpr uint32_t kCreatePen = 38;
inline constexpr uint32_t kCreateBrushIndirect = 39;
inline constexpr uint32_t kDeleteObject = 40;
inline constexpr uint32_t kEllipse = 42;
inline constexpr uint32_t kRectangle = 43;
inline constexpr uint32_t kLineTo = 54;
inline constexpr uint32_t kExtCreateFontIndirectW = 82;
inline constexpr uint32_t kExtTextOutW = 84;
inline constexpr uint32_t kSignature = 0x464D4520;  // " EMF"
}  // namespace emf
