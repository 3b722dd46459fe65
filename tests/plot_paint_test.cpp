#include <gtest/gtest.h>

#include <QPainter>

#include "tests/plot_fixture.h"

namespace {

class PlotPaint : public ::testing::Test {
protected:
    void SetUp() override {
        plotTestApp();
        SpectraList.Clear();
        DisplayXUnit = 1;
        DisplayYMode = 2;
        numtext::setDecimalSeparator('.');
    }
};

TEST_F(PlotPaint, StartPlotLooks) {
    auto plot = makeStartPlot();
    plot->SetKurvenAnzahl(3);
    for (int n = 1; n <= 3; ++n) {
        fillBand(*plot, n, 601, 300, 900, 0.5 + 0.2 * n);
        plot->SetCurveName(n, QString("Spectrum %1").arg(n));
    }
    plot->SetCurveStyle(2, 1, 1);
    plot->SetCurveStyle(3, 2, 2);
    plot->SecondXAxisOn = true;
    const QImage img = plot->RenderToImage();
    dumpImage(img, "start");
    EXPECT_DOUBLE_EQ(plot->XDrawnMin, 300);
    EXPECT_DOUBLE_EQ(plot->XDrawnMax, 950);
}

}  // namespace
