#pragma once
// TPColor: a grid of values shown as a colour image (flat, interpolated, contour lines, or both; of
// the values or of their gradient), with a colour bar, a title, axes and facets; zoom by mouse and a
// value read-out. The rules live in app/plot/pcolor/ (no Qt); this control keeps the state, lays out,
// and paints through one routine for the screen, images and the clipboard.
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>

#include "app/plot/pcolor/pcolor_colors.h"
#include "app/plot/pcolor/pcolor_layout.h"
#include "app/plot/pcolor/pcolor_model.h"
#include "app/plot/pcolor/pcolor_render.h"
#include "app/plot/pcolor/pcolor_zoom.h"

class QMouseEvent;
class QPainter;

// The system's button-face colour (resolved from the palette when the colour table is built).
inline constexpr uint32_t kClBtnFace = 0x8000000F;

// The 8-bit image buffer: an indexed image whose palette is the control's colour table.
class TDIBWork {
public:
    TDIBWork(int width, int height) { SetSize(width, height); }
    // Throws vx::Error("Error create DIB") when the pixels cannot be had.
    void SetSize(int width, int height);
    void SetColorTable(const TColorTable& table);
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Palette index at column x of row `rowFromBottom`.
    uint8_t PixelAt(int x, int rowFromBottom) const;
    void Clear();
    void Draw(QPainter& p, int x, int y) const;
    TIndexView View();
    const QImage& Image() const { return image_; }

private:
    QImage image_;
    int width_ = 0, height_ = 0;
};

class TTitle {
public:
    std::function<void()> OnChange;
    Qt::Alignment Alignment() const { return alignment_; }
    void SetAlignment(Qt::Alignment a);
    const QFont& Font() const { return font_; }
    void SetFont(const QFont& f);
    const QString& Text() const { return text_; }
    void SetText(const QString& t);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    void Assign(const TTitle& from);

private:
    void Changed() {
        if (OnChange) OnChange();
    }
    Qt::Alignment alignment_ = Qt::AlignHCenter;
    QFont font_;
    QString text_;
    bool visible_ = true;
};

// Font and visibility of the axes: tick labels and titles left of and below the image, and the value
// labels of the colour bar. The data extent itself is the control's (AxesExtent).
class TAxes {
public:
    std::function<void()> OnChange;
    const QFont& Font() const { return font_; }
    void SetFont(const QFont& f);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    const QString& XTitle() const { return xTitle_; }
    const QString& YTitle() const { return yTitle_; }
    void SetTitles(const QString& x, const QString& y);

private:
    void Changed() {
        if (OnChange) OnChange();
    }
    QFont font_;
    bool visible_ = true;
    QString xTitle_, yTitle_;
    friend class TPColor;
};

class TPColor : public QWidget {
    Q_OBJECT
public:
    explicit TPColor(QWidget* parent = nullptr);
    ~TPColor() override;

    // Copies the look and the ranges of another map (not its grid).
    void Assign(TPColor& from);

    TTitle Title;
    TAxes Axes;
    TPColorCoordinates Coordinates;
    QString About() const { return QStringLiteral("TPColor: values of a grid as a colour map"); }

    // ----- events, fired after the control's own handling
    std::function<void()> OnZoom, OnPaint;
    std::function<void(QMouseEvent*)> OnMouseDown, OnMouseMove, OnMouseUp;

    // ----- properties
    TScrollBarKind ColorBarKind() const { return barKind_; }
    void SetColorBarKind(TScrollBarKind k);
    bool DrawColorBar() const { return drawColorBar_; }
    void SetDrawColorBar(bool on);
    TColorMaps ColorMap() const { return colorMap_; }
    void SetColorMap(TColorMaps m);
    uint32_t ColorMinValue() const { return colorMinValue_; }
    void SetColorMinValue(uint32_t c);
    uint32_t ColorMaxValue() const { return colorMaxValue_; }
    void SetColorMaxValue(uint32_t c);
    uint32_t ColorLower() const { return colorLower_; }
    void SetColorLower(uint32_t c);
    uint32_t ColorHigher() const { return colorHigher_; }
    void SetColorHigher(uint32_t c);
    uint32_t ColorContour() const { return colorContour_; }
    void SetColorContour(uint32_t c);
    uint32_t ColorImageFon() const { return colorImageFon_; }
    void SetColorImageFon(uint32_t c);
    uint32_t ColorFon() const { return colorFon_; }
    void SetColorFon(uint32_t c);
    uint32_t ColorFacet() const { return colorFacet_; }
    void SetColorFacet(uint32_t c);
    bool DrawFacet() const { return drawFacet_; }
    void SetDrawFacet(bool on);
    int ContourLines() const { return contourLines_; }
    void SetContourLines(int n);
    int NumbCol() const { return numbCol_; }
    void SetNumbCol(int n);
    TDrawTypes TypeImage() const { return typeImage_; }
    void SetTypeImage(TDrawTypes t);
    TImageModes ImageMode() const { return model_.ImageMode; }
    void SetImageMode(TImageModes m);
    bool MaxMinValGraphAuto() const { return model_.MaxMinValGraphAuto(); }
    void SetMaxMinValGraphAuto(bool on);
    double MaxValGraph() { return model_.MaxValGraph(); }
    void SetMaxValGraph(double v);
    double MinValGraph() { return model_.MinValGraph(); }
    void SetMinValGraph(double v);
    bool GMaxMinValGraphAuto() const { return model_.GMaxMinValGraphAuto(); }
    void SetGMaxMinValGraphAuto(bool on);
    double GMaxValGraph() { return model_.GMaxValGraph(); }
    void SetGMaxValGraph(double v);
    double GMinValGraph() { return model_.GMinValGraph(); }
    void SetGMinValGraph(double v);
    bool MouseOn() const { return mouseOn_; }
    void SetMouseOn(bool on);

    // ----- data (column first, as the EEM dialog hands it over)
    void SetGridSize(int nx, int ny, double x1, double x2, double y1, double y2);
    // Ragged input is refused (nothing changes, false).
    bool SetData(const TPColorMatrix& data, double x1, double x2, double y1, double y2);
    bool UpdateData(const TPColorMatrix& data);
    double GetValue(int column, int row) const { return model_.GetValue(column, row); }
    void SetValue(int column, int row, double value);
    int Nx() const { return model_.Nx(); }
    int Ny() const { return model_.Ny(); }
    const TAxesExtent& AxesExtent() const { return model_.Axes(); }

    // ----- zoom
    void SetZoom(double cx, double cy, double fx, double fy);
    void ZoomCentre(double x, double y);
    void ZoomFactors(double fx, double fy);
    void ZoomReset();
    void ZoomRect(double x1, double y1, double x2, double y2);
    const TPColorWindow& Window() const { return window_; }

    // ----- read-out
    TDataPoint PixelToData(int x, int y) const;
    double ValueAt(double x, double y) const { return model_.ValueAt(x, y, typeImage_); }
    // The fractional column and row index of a data position.
    void DataToIndex(double x, double y, double& column, double& row) const { model_.DataToIndex(x, y, column, row); }
    // The palette index under the mouse (0 when none).
    uint8_t MarkedIndex() const { return markIndex_; }
    // Marks the bar cell of a palette index (0 and 255 mark nothing); the screen's overlay shows it,
    // the picture is not rebuilt.
    void MarkBarColor(uint8_t index);

    // ----- painting
    // Rebuilds what is dirty and shows the new image.
    void RefreshImage();
    // The full paint at the next event-loop pass.
    void Repaint();
    // The one paint routine: the whole control without the mouse overlay, on any painter.
    void Render(QPainter& p);
    // The control as a bitmap of its size (what the clipboard receives).
    QImage RenderToImage();
    // What the screen shows: the picture with the bar marker and the drag rectangle.
    QImage ScreenImage();
    void CopyToClipboard();
    // How often the pixel buffer was rebuilt (the mouse never causes one).
    int ImageRebuilds() const { return rebuilds_; }
    // Lays out now (what a paint does when the size changed).
    void Layout();
    bool TitleShown() const { return titleShown_; }
    bool ColorBarShown() const { return barShown_; }
    const TDIBWork& Dib() const { return dib_; }
    const TColorTable& ColorTable() const { return table_; }

protected:
    // The zoom notification: fires OnZoom.
    virtual void Zoomed();
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void Prepare();
    void BuildColorTable();
    void RebuildImage();
    void AfterData(TPColorModel::TDataResult r);
    void ApplyZoom(bool changed);
    void Changed(bool imageDirty, bool tableDirty);
    void DrawImage(QPainter& p);
    void DrawColorBarCells(QPainter& p);
    void DrawAxes(QPainter& p);
    void DrawTitle(QPainter& p);
    void PaintOverlay(QPainter& p);
    int TitleHeightFor(int width) const;
    void AxisRoom(int& left, int& bottom, int& barRoom);
    TRenderInput RenderInputFor();
    void ResizeBuffer();

    TPColorModel model_;
    TPColorWindow window_;
    TDIBWork dib_;
    TColorTable table_{};
    TUserColorTable user_{};  // cmUser: black (the control offers no way to fill it)
    std::vector<double> scratch_;

    TScrollBarKind barKind_ = sbVertical;
    bool drawColorBar_ = true;
    TColorMaps colorMap_ = cmSpectr;
    uint32_t colorMinValue_ = 0x000000, colorMaxValue_ = 0xFFFFFF;
    uint32_t colorLower_ = 0xFF0000, colorHigher_ = 0x0000FF;
    uint32_t colorContour_ = 0x000000, colorImageFon_ = kClBtnFace, colorFon_ = 0xFFFFFF, colorFacet_ = 0x000000;
    bool drawFacet_ = true;
    int contourLines_ = 10;
    int numbCol_ = 64;
    TDrawTypes typeImage_ = dtFlat;
    bool mouseOn_ = true;

    bool imageDirty_ = true, tableDirty_ = true, pictureDirty_ = true;
    bool titleShown_ = false, barShown_ = false;
    QSize laidOutFor_;
    std::array<int, 3> room_{};  // axis room left, below, beside the bar at the last layout
    QImage picture_;
    int rebuilds_ = 0;

    // mouse
    bool dragging_ = false;
    QPoint dragStart_, dragEnd_;
    uint8_t markIndex_ = 0;
    int halfClickW_ = 2, halfClickH_ = 2;
};
