#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QPixmap>

#include "tests/plot_fixture.h"

namespace {

void Send(QWidget& w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(p), w.mapToGlobal(QPointF(p)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

void Drag(QWidget& w, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton) {
    Send(w, QEvent::MouseButtonPress, from, button, button);
    Send(w, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, button);
    Send(w, QEvent::MouseMove, to, Qt::NoButton, button);
    Send(w, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}

class PlotMouse : public ::testing::Test {
protected:
    void SetUp() override {
        resetPlotTestState();
        plot = makeStartPlot(800, 500);
        plot->SetKurvenAnzahl(2);
        fillBand(*plot, 1, 300, 300, 900, 1.0);
        fillBand(*plot, 2, 300, 300, 900, 0.5);
        plot->Host.setStatusText = [this](int panel, const QString& t) { status[panel] = t; };
        plot->Host.statusText = [this](int panel) { return status[panel]; };
        plot->RenderToImage();
    }
    // Data x and y (left axis) under a pixel, from the plot's public layout.
    QPointF DataAt(QPoint p) const {
        const QRect a = plot->PlotArea();
        double px = p.x();
        if (plot->Direction == 2) px = plot->width() + a.left() - (plot->width() - (a.right() - a.left()) - a.left()) - px;
        return QPointF((px - a.left()) / plot->Ticks(0).Scale + plot->MinXValue,
                       (a.bottom() - p.y()) / plot->Ticks(2).Scale + plot->MinY1Value);
    }

    std::unique_ptr<TXYPlot> plot;
    std::map<int, QString> status;
};

TEST_F(PlotMouse, DragZoomsAndEitherDirectionGivesTheSameRange) {
    const QPointF lo = DataAt({200, 400}), hi = DataAt({500, 100});
    Drag(*plot, {200, 400}, {500, 100});
    EXPECT_FALSE(plot->Autoscaling);
    EXPECT_FALSE(plot->SelectionDone);
    // The repaint after the drag rounds the range outward: the view holds at least the rectangle.
    EXPECT_LE(plot->MinXValue, lo.x());
    EXPECT_GE(plot->XDrawnMax, hi.x());
    EXPECT_LT(plot->XDrawnMax - plot->MinXValue, 450);
    const double min1 = plot->MinXValue, max1 = plot->XDrawnMax, y1 = plot->MinY1Value;

    auto other = makeStartPlot(800, 500);
    other->SetKurvenAnzahl(2);
    fillBand(*other, 1, 300, 300, 900, 1.0);
    fillBand(*other, 2, 300, 300, 900, 0.5);
    other->RenderToImage();
    Drag(*other, {500, 100}, {200, 400});
    EXPECT_DOUBLE_EQ(other->MinXValue, min1);
    EXPECT_DOUBLE_EQ(other->XDrawnMax, max1);
    EXPECT_DOUBLE_EQ(other->MinY1Value, y1);
}

TEST_F(PlotMouse, SmallDragChangesNothingAndLeavesNoBand) {
    const double min = plot->MinXValue, max = plot->MaxXValue;
    Send(*plot, QEvent::MouseButtonPress, {300, 300}, Qt::LeftButton, Qt::LeftButton);
    Send(*plot, QEvent::MouseMove, {309, 200}, Qt::NoButton, Qt::LeftButton);
    const QImage during = plot->grab().toImage();
    Send(*plot, QEvent::MouseButtonRelease, {309, 200}, Qt::LeftButton, Qt::NoButton);
    const QImage after = plot->grab().toImage();
    EXPECT_NE(during, after);                                 // the band was shown ...
    EXPECT_EQ(after, plot->RenderToImage().convertToFormat(after.format()));  // ... and is gone
    EXPECT_DOUBLE_EQ(plot->MinXValue, min);
    EXPECT_DOUBLE_EQ(plot->MaxXValue, max);
    EXPECT_TRUE(plot->Autoscaling);
    EXPECT_FALSE(plot->SelectionDone);
}

TEST_F(PlotMouse, SelectionStoresTheRangeOnlyWhenOneWasDragged) {
    plot->ZoomOnDrag = false;
    plot->SelectionDone = false;
    Drag(*plot, {100, 300}, {600, 300}, Qt::RightButton);
    EXPECT_FALSE(plot->SelectionDone);  // a right click stores nothing
    Drag(*plot, {100, 300}, {105, 250});
    EXPECT_FALSE(plot->SelectionDone);  // too small to store
    const double min = plot->MinXValue, max = plot->MaxXValue;
    const QPointF a = DataAt({600, 350}), b = DataAt({150, 120});
    Drag(*plot, {600, 350}, {150, 120});
    EXPECT_TRUE(plot->SelectionDone);
    EXPECT_EQ(plot->SelectedRange.Pixels, QRect(QPoint(150, 120), QPoint(600, 350)));
    EXPECT_DOUBLE_EQ(plot->SelectedRange.XFrom, b.x());
    EXPECT_DOUBLE_EQ(plot->SelectedRange.XTo, a.x());
    EXPECT_DOUBLE_EQ(plot->SelectedRange.Y1Low, a.y());
    EXPECT_DOUBLE_EQ(plot->SelectedRange.Y1High, b.y());
    EXPECT_DOUBLE_EQ(plot->MinXValue, min);
    EXPECT_DOUBLE_EQ(plot->MaxXValue, max);
}

TEST_F(PlotMouse, FixedLeftAxisKeepsItsRangeOnZoom) {
    plot->Y1AchseFix = true;
    plot->MinY1Value = 0;
    plot->MaxY1Value = 2;
    plot->RenderToImage();
    const double ymin = plot->MinY1Value, ymax = plot->MaxY1Value;
    Drag(*plot, {200, 400}, {500, 100});
    EXPECT_DOUBLE_EQ(plot->MinY1Value, ymin);
    EXPECT_DOUBLE_EQ(plot->MaxY1Value, ymax);
    EXPECT_LT(plot->XDrawnMax - plot->MinXValue, 450);
}

TEST_F(PlotMouse, RightToLeftAxisZoomsToTheRangeUnderTheRectangle) {
    plot->Direction = 2;
    plot->RenderToImage();
    const QPointF left = DataAt({200, 400}), right = DataAt({500, 100});
    EXPECT_GT(left.x(), right.x());  // larger values on the left
    Drag(*plot, {200, 400}, {500, 100});
    EXPECT_LE(plot->MinXValue, right.x());
    EXPECT_GE(plot->XDrawnMax, left.x());
    EXPECT_LT(plot->XDrawnMax - plot->MinXValue, 450);
}

TEST_F(PlotMouse, RightClickRestoresAutomaticRanges) {
    const double min = plot->MinXValue, max = plot->XDrawnMax;
    Drag(*plot, {200, 400}, {500, 100});
    ASSERT_NE(plot->MinXValue.get(), min);
    Send(*plot, QEvent::MouseButtonPress, {300, 300}, Qt::RightButton, Qt::RightButton);
    Send(*plot, QEvent::MouseButtonRelease, {300, 300}, Qt::RightButton, Qt::NoButton);
    EXPECT_TRUE(plot->Autoscaling);
    EXPECT_DOUBLE_EQ(plot->MinXValue, min);
    EXPECT_DOUBLE_EQ(plot->XDrawnMax, max);
}

TEST_F(PlotMouse, LegendDragMovesTheLegend) {
    const QRect frame = plot->LegendFrame();
    ASSERT_FALSE(frame.isNull());
    const QPoint inside = frame.center();
    Drag(*plot, inside, inside + QPoint(200, 120));
    EXPECT_EQ(plot->LegendFrame(), frame.translated(200, 120));
    EXPECT_EQ(plot->LegendTop(), 70 + 120);
    EXPECT_TRUE(plot->Autoscaling);  // no zoom
}

TEST_F(PlotMouse, LegendDraggedAboveTheTopComesBack) {
    const QRect frame = plot->LegendFrame();
    Drag(*plot, frame.center(), frame.center() - QPoint(0, 200));
    EXPECT_EQ(plot->LegendTop(), 70);
}

TEST_F(PlotMouse, PositionReadOutInDisplayUnits) {
    const QPoint p(400, 250);
    const QPointF d = DataAt(p);
    Send(*plot, QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton);
    const QString want = "Position: " + QString::fromStdString(numtext::FloatToStrF(d.x(), numtext::FloatFormat::General, 5, 2)) +
                         "  |  " + QString::fromStdString(numtext::FloatToStrF(d.y(), numtext::FloatFormat::General, 4, 2));
    EXPECT_EQ(status[2], want);
    EXPECT_DOUBLE_EQ(plot->CursorDataPosition.X, d.x());
    EXPECT_DOUBLE_EQ(plot->CursorDataPosition.Y2, 0.0);
}

TEST_F(PlotMouse, SmallValuesGetTwoExponentDigits) {
    auto fresh = makeStartPlot(800, 500);
    fresh->SetKurvenAnzahl(1);
    for (int i = 0; i < 10; ++i) {
        fresh->SetCurvePoint(1, 1, 400 + i, i);
        fresh->SetCurvePoint(1, 2, 1e-7 * i, i);
    }
    QString text;
    fresh->Host.setStatusText = [&text](int, const QString& t) { text = t; };
    fresh->RenderToImage();
    Send(*fresh, QEvent::MouseMove, {400, 300}, Qt::NoButton, Qt::NoButton);
    EXPECT_TRUE(text.contains("E-07") || text.contains("E-08")) << text.toStdString();
}

TEST_F(PlotMouse, NoReadOutBeforeTheFirstPaint) {
    auto fresh = makeStartPlot(800, 500);
    bool called = false;
    fresh->Host.setStatusText = [&called](int, const QString&) { called = true; };
    Send(*fresh, QEvent::MouseMove, {400, 250}, Qt::NoButton, Qt::NoButton);
    EXPECT_FALSE(called);
}

}  // namespace
