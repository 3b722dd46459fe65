// The colour-map control offscreen: one paint routine for screen, bitmap and clipboard, the picture's
// pixels, the mouse (zoom gestures, bar marker without a rebuild), properties and data operations.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>

#include <memory>

#include "app/plot/Pcolor.h"

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "pcolor_widget_test";
    static char* argv[] = {name, nullptr};
    static QApplication* a = new QApplication(argc, argv);  // outlives every widget
    return *a;
}

QRgb Rgb(uint32_t c) { return qRgb(RedOf(c), GreenOf(c), BlueOf(c)); }

// A 150 x 150 map with a plain picture: no title, axes or facets; 2 x 2 grid over x 0..10,
// y 0..20 (row 0: 1, 3; row 1: 5, 11).
std::unique_ptr<TPColor> PlainMap() {
    App();
    auto m = std::make_unique<TPColor>();
    m->resize(150, 150);
    m->Title.SetVisible(false);
    m->Axes.SetVisible(false);
    m->SetDrawFacet(false);
    m->SetData({{1, 5}, {3, 11}}, 0, 10, 0, 20);
    m->show();
    QApplication::processEvents();
    return m;
}

void Send(QWidget& w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons,
          Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QMouseEvent e(type, QPointF(p), w.mapToGlobal(QPointF(p)), button, buttons, mods);
    QApplication::sendEvent(&w, &e);
}

void Click(QWidget& w, QPoint p, Qt::MouseButton b, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    Send(w, QEvent::MouseButtonPress, p, b, b, mods);
    Send(w, QEvent::MouseButtonRelease, p, b, Qt::NoButton, mods);
}

bool SameImage(const QImage& a, const QImage& b) {
    return a.convertToFormat(QImage::Format_RGB32) == b.convertToFormat(QImage::Format_RGB32);
}

// The image rectangle of a map's picture (without the colour bar and its marker).
QImage ImagePart(TPColor& m, const QImage& picture) {
    const TPixelRect& r = m.Coordinates.Image();
    return picture.copy(r.Left, r.Top, r.Width, r.Height);
}

}  // namespace

TEST(TPColorControl, LayoutOfA150x150Control) {
    auto m = PlainMap();
    m->Layout();
    EXPECT_EQ(m->Coordinates.Image(), (TPixelRect{3, 3, 135, 144}));
    EXPECT_EQ(m->Coordinates.ColorBar(), (TPixelRect{141, 3, 6, 144}));
    EXPECT_TRUE(m->ColorBarShown());
    EXPECT_EQ(m->Dib().Width(), 135);  // the buffer follows the image rectangle
    EXPECT_EQ(m->Dib().Height(), 144);
    m->Title.SetVisible(true);  // "Title PColor" pushes the image down
    m->Layout();
    EXPECT_TRUE(m->TitleShown());
    const TPixelRect t = m->Coordinates.Title();
    EXPECT_EQ(m->Coordinates.Image().Top, t.Height + 2 * t.Top);
    m->Axes.SetVisible(true);  // tick labels need room on the left and below
    m->Layout();
    EXPECT_GT(m->Coordinates.Image().Left, 3);
}

TEST(TPColorControl, PictureShowsTheNodeColours) {
    auto m = PlainMap();
    const QImage img = m->RenderToImage();
    const TColorTable& t = m->ColorTable();
    // Image at (3, 3), 135 x 144; flat cells: left half column 0, lower half row 0.
    EXPECT_EQ(img.pixel(10, 140), Rgb(t[1]));    // value 1
    EXPECT_EQ(img.pixel(130, 140), Rgb(t[14]));  // value 3
    EXPECT_EQ(img.pixel(10, 10), Rgb(t[26]));    // value 5
    EXPECT_EQ(img.pixel(130, 10), Rgb(t[64]));   // value 11
    EXPECT_EQ(img.pixel(1, 1), qRgb(255, 255, 255));  // ColorFon
    // The bar: highest colours at the top, lower values at the bottom.
    EXPECT_EQ(img.pixel(143, 3), Rgb(0x0000FF));    // ColorHigher, red
    EXPECT_EQ(img.pixel(143, 146), Rgb(0xFF0000));  // ColorLower, blue
    EXPECT_EQ(img.pixel(143, 6), Rgb(t[64]));
}

TEST(TPColorControl, OnePaintRoutineForScreenImageAndClipboard) {
    auto m = PlainMap();
    m->Title.SetVisible(true);
    m->Axes.SetVisible(true);
    m->SetDrawFacet(true);
    m->SetTypeImage(dtInterpContour);
    m->resize(320, 260);
    QApplication::processEvents();
    const QImage rendered = m->RenderToImage();
    EXPECT_TRUE(SameImage(m->grab().toImage(), rendered));  // what paintEvent puts on screen
    EXPECT_TRUE(SameImage(m->ScreenImage(), rendered));     // no marker yet
    m->CopyToClipboard();
    const QImage clip = QGuiApplication::clipboard()->image();
    EXPECT_EQ(clip.size(), QSize(320, 260));
    EXPECT_TRUE(SameImage(clip, rendered));
}

TEST(TPColorControl, MouseMovesMarkTheBarWithoutRebuildingTheImage) {
    auto m = PlainMap();
    m->RenderToImage();
    const int rebuilds = m->ImageRebuilds();
    Send(*m, QEvent::MouseMove, QPoint(130, 10), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(m->MarkedIndex(), 64);
    Send(*m, QEvent::MouseMove, QPoint(10, 140), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(m->MarkedIndex(), 1);
    QApplication::processEvents();
    EXPECT_EQ(m->ImageRebuilds(), rebuilds);
    // The marker inverts the pixels around the bar cell of index 1 on screen only.
    TPixelRect r;
    ASSERT_TRUE(MarkerRect(1, 64, m->Coordinates.ColorBar(), true, r));
    const QImage screen = m->ScreenImage(), plain = m->RenderToImage();
    const QRgb before = plain.pixel(r.Left, r.Top), after = screen.pixel(r.Left, r.Top);
    EXPECT_EQ(after, qRgb(255 - qRed(before), 255 - qGreen(before), 255 - qBlue(before)));
    EXPECT_EQ(m->ImageRebuilds(), rebuilds);
    m->SetMouseOn(false);  // the marker goes, the picture stays
    EXPECT_TRUE(SameImage(m->ScreenImage(), plain));
}

TEST(TPColorControl, ClicksZoomAndBothButtonsReset) {
    auto m = PlainMap();
    int zooms = 0;
    m->OnZoom = [&] { ++zooms; };
    Click(*m, QPoint(70, 75), Qt::RightButton);  // at zoom 1: nothing, no notification
    EXPECT_EQ(zooms, 0);
    Click(*m, QPoint(136, 140), Qt::LeftButton);  // near the corner: in by 2, kept inside the data
    EXPECT_EQ(zooms, 1);
    EXPECT_EQ(m->Window().ZoomX, 2.0);
    EXPECT_EQ(m->Window().Right, 10.0);
    EXPECT_EQ(m->Window().Left, 5.0);
    EXPECT_EQ(m->Window().Bottom, 0.0);
    Click(*m, QPoint(70, 75), Qt::RightButton);  // out by 2
    EXPECT_EQ(m->Window().ZoomX, 1.0);
    // A drag: zoom to its rectangle (x 0..~5, y ~10..20).
    Send(*m, QEvent::MouseButtonPress, QPoint(3, 3), Qt::LeftButton, Qt::LeftButton);
    Send(*m, QEvent::MouseMove, QPoint(40, 40), Qt::NoButton, Qt::LeftButton);
    EXPECT_FALSE(SameImage(ImagePart(*m, m->ScreenImage()), ImagePart(*m, m->RenderToImage())));  // the rectangle
    Send(*m, QEvent::MouseMove, QPoint(70, 75), Qt::NoButton, Qt::LeftButton);
    Send(*m, QEvent::MouseButtonRelease, QPoint(70, 75), Qt::LeftButton, Qt::NoButton);
    EXPECT_DOUBLE_EQ(m->Window().ZoomX, 134.0 / 67.0);
    EXPECT_DOUBLE_EQ(m->Window().Left, 0.0);
    EXPECT_NEAR(m->Window().Top, 20.0, 1e-9);
    EXPECT_TRUE(SameImage(ImagePart(*m, m->ScreenImage()), ImagePart(*m, m->RenderToImage())));  // gone
    // Left released while the right is held: back to the whole data.
    Send(*m, QEvent::MouseButtonRelease, QPoint(70, 75), Qt::LeftButton, Qt::RightButton);
    EXPECT_EQ(m->Window().ZoomX, 1.0);
    EXPECT_EQ(m->Window().ZoomY, 1.0);
}

TEST(TPColorControl, ShiftClickCentresAndCtrlClickDoesNothing) {
    auto m = PlainMap();
    m->ZoomFactors(4, 4);
    Click(*m, QPoint(70, 75), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(m->Window().ZoomX, 4.0);
    EXPECT_NEAR(m->Window().CentreX, 5.0, 1e-9);  // pixel 70 is the middle column of the image
    const TPColorWindow before = m->Window();
    Click(*m, QPoint(20, 20), Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(m->Window().CentreX, before.CentreX);
    EXPECT_EQ(m->Window().ZoomX, before.ZoomX);
}

TEST(TPColorControl, ARightClickAfterAKeyedDragZoomsOut) {
    auto m = PlainMap();
    m->ZoomFactors(4, 4);
    // An Alt-drag is a click that does nothing; its ends must not linger for the next gesture.
    Send(*m, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton, Qt::LeftButton, Qt::AltModifier);
    Send(*m, QEvent::MouseMove, QPoint(120, 130), Qt::NoButton, Qt::LeftButton, Qt::AltModifier);
    Send(*m, QEvent::MouseButtonRelease, QPoint(120, 130), Qt::LeftButton, Qt::NoButton, Qt::AltModifier);
    EXPECT_EQ(m->Window().ZoomX, 4.0);
    Click(*m, QPoint(70, 75), Qt::RightButton);
    EXPECT_EQ(m->Window().ZoomX, 2.0);
    EXPECT_EQ(m->Window().ZoomY, 2.0);
}

TEST(TPColorControl, ReadoutThroughPixelToDataAndValueAt) {
    auto m = PlainMap();
    m->SetTypeImage(dtInterp);
    const TDataPoint p = m->PixelToData(3 + 67, 3 + 143);  // middle column, bottom row
    EXPECT_TRUE(p.Inside);
    EXPECT_DOUBLE_EQ(p.X, 5.0);
    EXPECT_DOUBLE_EQ(p.Y, 0.0);
    EXPECT_DOUBLE_EQ(m->ValueAt(p.X, p.Y), 2.0);
    EXPECT_FALSE(m->PixelToData(0, 50).Inside);
    m->SetTypeImage(dtFlat);
    EXPECT_DOUBLE_EQ(m->ValueAt(2.4, 15), 5.0);
}

TEST(TPColorControl, PropertiesClampAndDataOperations) {
    auto m = PlainMap();
    m->SetNumbCol(300);
    EXPECT_EQ(m->NumbCol(), 252);
    m->SetNumbCol(1);
    EXPECT_EQ(m->NumbCol(), 2);
    m->SetContourLines(0);
    EXPECT_EQ(m->ContourLines(), 1);
    EXPECT_FALSE(m->SetData({{1, 2}, {3}}, 0, 1, 0, 1));  // ragged: refused
    EXPECT_EQ(m->GetValue(1, 1), 11.0);
    const QImage before = m->RenderToImage();
    const int rebuilds = m->ImageRebuilds();
    EXPECT_FALSE(m->UpdateData({{1, 2, 3}, {4, 5, 6}}));
    EXPECT_TRUE(SameImage(m->RenderToImage(), before));
    EXPECT_EQ(m->ImageRebuilds(), rebuilds);
    m->SetData({}, 0, 1, 0, 1);  // cleared: the image rectangle shows the image background
    m->SetColorImageFon(0x00FF00);
    EXPECT_EQ(m->RenderToImage().pixel(50, 50), qRgb(0, 255, 0));
    EXPECT_EQ(m->ValueAt(5, 5), 0.0);
}

TEST(TPColorControl, ColoursChangedForAnotherDrawTypeStillApplyLater) {
    auto m = PlainMap();
    m->SetTypeImage(dtContour);
    m->RenderToImage();
    m->SetColorHigher(0x00FF00);
    m->SetTypeImage(dtFlat);
    m->RenderToImage();
    EXPECT_EQ(m->ColorTable()[kIndexHigher], 0x00FF00u);
}

TEST(TPColorControl, AssignCopiesTheLookButNotTheGrid) {
    auto a = PlainMap();
    a->SetColorMap(cmLine);
    a->SetNumbCol(16);
    a->SetTypeImage(dtInterpContour);
    a->SetMaxMinValGraphAuto(false);
    a->SetMaxValGraph(50);
    App();
    TPColor b;
    b.SetData({{7, 7}, {7, 8}}, 0, 1, 0, 1);
    b.Assign(*a);
    EXPECT_EQ(b.ColorMap(), cmLine);
    EXPECT_EQ(b.NumbCol(), 16);
    EXPECT_EQ(b.TypeImage(), dtInterpContour);
    EXPECT_FALSE(b.MaxMinValGraphAuto());
    EXPECT_EQ(b.MaxValGraph(), 50.0);
    EXPECT_EQ(b.GetValue(1, 1), 8.0);
    EXPECT_EQ(b.AxesExtent().XMax, 10.0);
}
