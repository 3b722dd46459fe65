#include "app/plot/xy_start_settings.h"

#include <QFont>

#include "app/plot/Xygraph.h"

void SetUpStartPlot(TXYPlot& p) {
    p.SecondXAxisOn = false;
    p.ZweiteYAchse = false;
    p.Y2AutoText = true;
    p.Y2AutoTics = true;
    p.Autoscaling = true;
    p.SetKurvenAnzahl(0);
    p.BaseLineWidth = 1;
    p.MinXValue = 300;
    p.MaxXValue = 900;
    p.MinY1Value = 0;
    p.MaxY1Value = 1;
    p.DrawAsLines = true;
    p.Legende = true;
    p.GridOn = true;
    p.PlotFont = QFont("Arial", 10);
    p.LegendeFont = QFont("Arial", 10);
    p.XAchsenTextAn = true;
    p.XachsenText = "Wavelength [nm]";
    p.X2achsenText = "Wavenumbers [1000/cm]";
    p.Y1AchsenTextAn = true;
    p.Y1achsenText = "Absorbance";
    p.Y2AchseFix = true;
    p.MinY2Value = -0.6;
    p.MaxY2Value = 0.6;
    p.AlternateTickLabels = false;
    p.Dirty = true;
}
