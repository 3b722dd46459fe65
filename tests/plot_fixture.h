#pragma once
// Shared set-up of the plot tests: one QApplication, a plot set up as the main window does at start.
#include <QApplication>
#include <QFont>
#include <QImage>

#include <cmath>
#include <cstdlib>
#include <memory>

#include "app/plot/Xygraph.h"
#include "app/plot/xy_start_settings.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "platform/numtext.h"

inline QApplication& plotTestApp() {
    static int argc = 1;
    static char name[] = "plot_test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: the application must outlive every widget and Qt's own globals at exit.
    static QApplication* a = new QApplication(argc, argv);
    return *a;
}

// The state every drawing test starts from: "." as decimal separator. A plot without a host shows x in
// nm and y as stored.
inline void resetPlotTestState() {
    plotTestApp();
    numtext::setDecimalSeparator('.');
}

// The plot shows its curves in these display units.
inline void showIn(TXYPlot& p, SpecXUnit xUnit, SpecYKind yMode) {
    p.Host.displayUnits = [xUnit, yMode] { return TDisplayState{xUnit, yMode}; };
}

// A plot with the start-up settings of the main window's plot.
inline std::unique_ptr<TXYPlot> makeStartPlot(int w = 800, int h = 500) {
    plotTestApp();
    auto plot = std::make_unique<TXYPlot>();
    plot->resize(w, h);
    plot->show();  // offscreen: repaints run as on screen
    SetUpStartPlot(*plot);  // as the main window does
    return plot;
}

// Curve n gets `count` points of a smooth band between x0 and x1.
inline void fillBand(TXYPlot& p, int n, int count, double x0, double x1, double height = 1.0) {
    p.ReserveCurvePoints(n, count);
    for (int i = 0; i < count; ++i) {
        const double x = x0 + (x1 - x0) * i / (count - 1);
        const double c = (x0 + x1) / 2 + n * 7.0;
        const double y = height * std::exp(-((x - c) * (x - c)) / (2 * 40.0 * 40.0)) + 0.02 * std::sin(i * 0.37 + n);
        p.SetCurvePoint(n, 1, x, i);
        p.SetCurvePoint(n, 2, y, i);
    }
}

inline void dumpImage(const QImage& img, const char* name) {
    if (const char* dir = std::getenv("VX_PLOT_DUMP")) img.save(QString(dir) + "/" + name + ".png");
}
