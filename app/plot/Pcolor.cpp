// The colour map's state: properties, data, zoom and layout. Painting is in pcolor_paint.cpp, the
// mouse in pcolor_mouse.cpp.
#include "app/plot/Pcolor.h"

#include <QFontMetrics>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <chrono>

#include "app/plot/xy_fonts.h"
#include "platform/errors.h"

// ------------------------------------------------------------------------------------------ TDIBWork

void TDIBWork::SetSize(int width, int height) {
    width_ = std::max(width, 0);
    height_ = std::max(height, 0);
    image_ = QImage();
    if (width_ == 0 || height_ == 0) return;
    image_ = QImage(width_, height_, QImage::Format_Indexed8);
    if (image_.isNull()) {
        width_ = height_ = 0;
        throw vx::Error("Error create DIB");
    }
    image_.setColorCount(256);
    image_.fill(0);
}

void TDIBWork::SetColorTable(const TColorTable& table) {
    if (image_.isNull()) return;
    QList<QRgb> colors(256);
    for (int i = 0; i < 256; ++i) colors[i] = qRgb(RedOf(table[i]), GreenOf(table[i]), BlueOf(table[i]));
    image_.setColorTable(colors);
}

uint8_t TDIBWork::PixelAt(int x, int rowFromBottom) const {
    if (x < 0 || rowFromBottom < 0 || x >= width_ || rowFromBottom >= height_) return 0;
    return image_.constScanLine(height_ - 1 - rowFromBottom)[x];
}

void TDIBWork::Clear() {
    if (!image_.isNull()) image_.fill(0);
}

void TDIBWork::Draw(QPainter& p, int x, int y) const {
    if (!image_.isNull()) p.drawImage(x, y, image_);
}

TIndexView TDIBWork::View() {
    TIndexView v;
    if (image_.isNull()) return v;
    v.Bits = image_.bits();
    v.Width = width_;
    v.Height = height_;
    v.Stride = image_.bytesPerLine();
    return v;
}

// ---------------------------------------------------------------------------------- title and axes

void TTitle::SetAlignment(Qt::Alignment a) {
    if (a == alignment_) return;
    alignment_ = a;
    Changed();
}
void TTitle::SetFont(const QFont& f) {
    font_ = f;
    Changed();
}
void TTitle::SetText(const QString& t) {
    if (t == text_) return;
    text_ = t;
    Changed();
}
void TTitle::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    Changed();
}
void TTitle::Assign(const TTitle& from) {
    alignment_ = from.alignment_;
    font_ = from.font_;
    text_ = from.text_;
    visible_ = from.visible_;
    Changed();
}

void TAxes::SetFont(const QFont& f) {
    font_ = f;
    Changed();
}
void TAxes::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    Changed();
}
void TAxes::SetTitles(const QString& x, const QString& y) {
    if (x == xTitle_ && y == yTitle_) return;
    xTitle_ = x;
    yTitle_ = y;
    Changed();
}

// ------------------------------------------------------------------------------------------- TPColor

TPColor::TPColor(QWidget* parent) : QWidget(parent), dib_(135, 126) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(xyfont::HeightForSize(8));
    Title.SetFont(f);
    Title.SetText(QStringLiteral("Title PColor"));
    Axes.SetFont(f);
    auto relayout = [this] {
        laidOutFor_ = QSize();
        pictureDirty_ = true;
        update();
    };
    Title.OnChange = relayout;
    Axes.OnChange = relayout;
    Coordinates.OnChange = relayout;
    window_ = FullWindow(model_.Axes());
    resize(150, 150);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

TPColor::~TPColor() = default;

void TPColor::Assign(TPColor& from) {
    Axes.font_ = from.Axes.font_;
    Axes.visible_ = from.Axes.visible_;
    Axes.xTitle_ = from.Axes.xTitle_;
    Axes.yTitle_ = from.Axes.yTitle_;
    if (model_.AssignAxes(from.model_.Axes())) window_ = FullWindow(model_.Axes());
    barKind_ = from.barKind_;
    colorMinValue_ = from.colorMinValue_;
    colorMaxValue_ = from.colorMaxValue_;
    colorLower_ = from.colorLower_;
    colorHigher_ = from.colorHigher_;
    colorContour_ = from.colorContour_;
    colorImageFon_ = from.colorImageFon_;
    colorFon_ = from.colorFon_;
    colorFacet_ = from.colorFacet_;
    colorMap_ = from.colorMap_;
    contourLines_ = from.contourLines_;
    drawFacet_ = from.drawFacet_;
    drawColorBar_ = from.drawColorBar_;
    Coordinates.Assign(from.Coordinates);
    // Through the setters: a range written while automatic is ignored, as on the other map.
    model_.SetMaxMinValGraphAuto(from.MaxMinValGraphAuto());
    model_.SetMaxValGraph(from.MaxValGraph());
    model_.SetMinValGraph(from.MinValGraph());
    model_.SetGMaxMinValGraphAuto(from.GMaxMinValGraphAuto());
    model_.SetGMaxValGraph(from.GMaxValGraph());
    model_.SetGMinValGraph(from.GMinValGraph());
    model_.ImageMode = from.model_.ImageMode;
    mouseOn_ = from.mouseOn_;
    numbCol_ = from.numbCol_;
    Title.Assign(from.Title);
    typeImage_ = from.typeImage_;
    laidOutFor_ = QSize();
    Changed(true, true);
}

void TPColor::Changed(bool imageDirty, bool tableDirty) {
    imageDirty_ = imageDirty_ || imageDirty;
    tableDirty_ = tableDirty_ || tableDirty;
    pictureDirty_ = true;
    update();
}

void TPColor::RefreshImage() { Changed(false, false); }
void TPColor::Repaint() { Changed(false, false); }

// ----- properties

void TPColor::SetColorBarKind(TScrollBarKind k) {
    if (k == barKind_) return;
    barKind_ = k;
    laidOutFor_ = QSize();
    Changed(false, false);
}
void TPColor::SetDrawColorBar(bool on) {
    if (on == drawColorBar_) return;
    drawColorBar_ = on;
    laidOutFor_ = QSize();
    Changed(false, false);
}
void TPColor::SetColorMap(TColorMaps m) {
    colorMap_ = m;
    Changed(false, true);
}
void TPColor::SetColorMinValue(uint32_t c) {
    colorMinValue_ = c;
    if (colorMap_ == cmLine) Changed(false, true);
}
void TPColor::SetColorMaxValue(uint32_t c) {
    colorMaxValue_ = c;
    if (colorMap_ == cmLine) Changed(false, true);
}
// A colour that the current draw type does not show still enters the table, so that it is right when
// the type changes.
void TPColor::SetColorLower(uint32_t c) {
    if (c == colorLower_) return;
    colorLower_ = c;
    Changed(false, true);
}
void TPColor::SetColorHigher(uint32_t c) {
    if (c == colorHigher_) return;
    colorHigher_ = c;
    Changed(false, true);
}
void TPColor::SetColorContour(uint32_t c) {
    if (c == colorContour_) return;
    colorContour_ = c;
    Changed(false, true);
}
void TPColor::SetColorImageFon(uint32_t c) {
    colorImageFon_ = c;
    Changed(false, true);
}
void TPColor::SetColorFon(uint32_t c) {
    colorFon_ = c;
    Changed(false, false);
}
void TPColor::SetColorFacet(uint32_t c) {
    colorFacet_ = c;
    if (drawFacet_) Changed(false, false);
}
void TPColor::SetDrawFacet(bool on) {
    drawFacet_ = on;
    Changed(false, false);
}
void TPColor::SetContourLines(int n) {
    contourLines_ = std::max(n, 1);
    if (typeImage_ == dtContour || typeImage_ == dtInterpContour) Changed(true, false);
}
void TPColor::SetNumbCol(int n) {
    n = std::clamp(n, 2, kMaxNumbCol);
    if (n == numbCol_) return;
    numbCol_ = n;
    Changed(true, true);
}
void TPColor::SetTypeImage(TDrawTypes t) {
    if (t == typeImage_) return;
    typeImage_ = t;
    Changed(true, false);
}
void TPColor::SetImageMode(TImageModes m) {
    if (m == model_.ImageMode) return;
    model_.ImageMode = m;
    Changed(true, false);
}
void TPColor::SetMaxMinValGraphAuto(bool on) {
    if (model_.SetMaxMinValGraphAuto(on)) Changed(true, false);
}
void TPColor::SetMaxValGraph(double v) {
    if (model_.SetMaxValGraph(v)) Changed(true, false);
}
void TPColor::SetMinValGraph(double v) {
    if (model_.SetMinValGraph(v)) Changed(true, false);
}
void TPColor::SetGMaxMinValGraphAuto(bool on) {
    if (model_.SetGMaxMinValGraphAuto(on)) Changed(true, false);
}
void TPColor::SetGMaxValGraph(double v) {
    if (model_.SetGMaxValGraph(v)) Changed(true, false);
}
void TPColor::SetGMinValGraph(double v) {
    if (model_.SetGMinValGraph(v)) Changed(true, false);
}
void TPColor::SetMouseOn(bool on) {
    mouseOn_ = on;
    update();  // the bar marker comes or goes; the picture stays
}

// ----- data

void TPColor::AfterData(TPColorModel::TDataResult r) {
    switch (r) {
    case TPColorModel::TDataResult::Refused:
        return;
    case TPColorModel::TDataResult::Cleared:
        dib_.Clear();
        imageDirty_ = true;
        ZoomReset();
        break;
    case TPColorModel::TDataResult::SameAxes:
        imageDirty_ = true;
        break;
    case TPColorModel::TDataResult::NewAxes:
        imageDirty_ = true;
        ZoomReset();
        break;
    }
    // Tick labels may need other room.
    laidOutFor_ = QSize();
    Changed(false, false);
}

void TPColor::SetGridSize(int nx, int ny, double x1, double x2, double y1, double y2) {
    AfterData(model_.SetGridSize(nx, ny, x1, x2, y1, y2));
}

bool TPColor::SetData(const TPColorMatrix& data, double x1, double x2, double y1, double y2) {
    const auto r = model_.SetData(data, x1, x2, y1, y2);
    AfterData(r);
    return r != TPColorModel::TDataResult::Refused;
}

bool TPColor::UpdateData(const TPColorMatrix& data) {
    if (!model_.UpdateData(data)) return false;
    laidOutFor_ = QSize();
    Changed(true, false);
    return true;
}

void TPColor::SetValue(int column, int row, double value) {
    if (model_.SetValue(column, row, value)) imageDirty_ = true;
}

// ----- zoom

void TPColor::ApplyZoom(bool changed) {
    if (!changed) return;
    Changed(true, false);
    Zoomed();
}

void TPColor::Zoomed() {
    if (OnZoom) OnZoom();
}

void TPColor::SetZoom(double cx, double cy, double fx, double fy) {
    ApplyZoom(::SetZoom(window_, model_.Axes(), cx, cy, fx, fy));
}
void TPColor::ZoomCentre(double x, double y) { SetZoom(x, y, window_.ZoomX, window_.ZoomY); }
void TPColor::ZoomFactors(double fx, double fy) { SetZoom(window_.CentreX, window_.CentreY, fx, fy); }
void TPColor::ZoomReset() { SetZoom(window_.CentreX, window_.CentreY, 1.0, 1.0); }
void TPColor::ZoomRect(double x1, double y1, double x2, double y2) {
    ApplyZoom(::ZoomRect(window_, model_.Axes(), x1, y1, x2, y2));
}

TDataPoint TPColor::PixelToData(int x, int y) const {
    return ::PixelToData(x, y, Coordinates.Image(), window_, model_.Axes());
}

// ----- layout

int TPColor::TitleHeightFor(int width) const {
    const QFontMetrics fm(Title.Font());
    const QString text = Title.Text().isEmpty() ? QStringLiteral(" ") : Title.Text();
    return fm.boundingRect(QRect(0, 0, std::max(width, 1), 1 << 20), Qt::TextWordWrap | Qt::TextExpandTabs, text).height();
}

void TPColor::Layout() {
    TLayoutInput in;
    in.Width = width();
    in.Height = height();
    in.TitleVisible = Title.Visible();
    in.TitleTextEmpty = Title.Text().isEmpty();
    in.TitleFontHeight = xyfont::HeightPx(Title.Font());
    in.MeasureTitle = [this](int w) { return TitleHeightFor(w); };
    in.DrawColorBar = drawColorBar_;
    in.VerticalBar = barKind_ == sbVertical;
    AxisRoom(in.AxisLeft, in.AxisBottom, in.BarLabelRoom);
    room_ = {in.AxisLeft, in.AxisBottom, in.BarLabelRoom};
    const TLayoutResult r = Coordinates.Automatic() ? AutomaticLayout(in) : FixedLayout(in, Coordinates);
    if (Coordinates.Automatic()) Coordinates.Store(r.Image, r.Title, r.ColorBar);
    titleShown_ = r.TitleShown;
    barShown_ = r.ColorBarShown;
    laidOutFor_ = size();
    pictureDirty_ = true;
    ResizeBuffer();
}

void TPColor::ResizeBuffer() {
    const TPixelRect& im = Coordinates.Image();
    if (im.Width == dib_.Width() && im.Height == dib_.Height()) return;
    dib_.SetSize(im.Width, im.Height);
    tableDirty_ = imageDirty_ = true;
}

void TPColor::resizeEvent(QResizeEvent* event) {
    pictureDirty_ = true;
    QWidget::resizeEvent(event);
}

// ----- the pixel buffer

namespace {

uint32_t ResolveColor(const QWidget& w, uint32_t c) {
    if ((c & 0xFF000000u) == 0x80000000u) {
        const QColor q = w.palette().color(QPalette::Button);
        return RGBColor(q.red(), q.green(), q.blue());
    }
    return c & 0xFFFFFF;
}

}  // namespace

void TPColor::BuildColorTable() {
    TColorTableRequest req;
    req.Map = colorMap_;
    req.N = numbCol_;
    req.MinValue = colorMinValue_;
    req.MaxValue = colorMaxValue_;
    req.ImageFon = ResolveColor(*this, colorImageFon_);
    req.Lower = ResolveColor(*this, colorLower_);
    req.Higher = ResolveColor(*this, colorHigher_);
    req.Contour = ResolveColor(*this, colorContour_);
    req.User = &user_;
    req.RandomSeed = static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    table_ = ::BuildColorTable(req);
    dib_.SetColorTable(table_);
    tableDirty_ = false;
    pictureDirty_ = true;
}

TRenderInput TPColor::RenderInputFor() {
    TRenderInput in;
    in.Values = model_.ImageValues(scratch_);
    in.Nx = model_.Nx();
    in.Ny = model_.Ny();
    in.Axes = model_.Axes();
    in.Window = window_;
    in.Mode = model_.ImageMode;
    model_.ImageRange(in.Max, in.Min);
    in.N = numbCol_;
    in.ContourLines = contourLines_;
    return in;
}

void TPColor::RebuildImage() {
    imageDirty_ = false;
    pictureDirty_ = true;
    if (!model_.HasData() || dib_.Width() == 0 || dib_.Height() == 0) return;
    ::RebuildImage(RenderInputFor(), typeImage_, dib_.View());
    ++rebuilds_;
}

void TPColor::Prepare() {
    int l = 0, b = 0, bar = 0;
    AxisRoom(l, b, bar);
    // New tick labels (another range, another zoom) may need other room beside the image.
    const bool roomChanged = l != room_[0] || b != room_[1] || bar != room_[2];
    if (laidOutFor_ != size() || roomChanged) Layout();
    if (tableDirty_) BuildColorTable();
    if (imageDirty_) RebuildImage();
}
