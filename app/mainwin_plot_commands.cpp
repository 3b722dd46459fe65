// The Plot / Options menu's switches, line and colour commands, fonts and the website command.
#include <QAction>
#include <QFontDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <memory>
#include <optional>

#include "app/TMainwin.h"
#include "app/app_version.h"
#include "app/dialogs/tool_dialog.h"
#include "app/plot/Xygraph.h"
#include "app/replot.h"
#include "app/qt_ui_backend.h"
#include "core/spectra_list.h"
#include "platform/ui.h"
#include "tools/dialog_support.h"

namespace {
constexpr const char* kNoPrinterText = "No printer is installed.";
}  // namespace

void TMainwin::ShowLegend1Click() {
    plot_->Legende = !plot_->Legende;
    if (QAction* a = Action("ShowLegend1")) a->setChecked(plot_->Legende);
    plot_->update();
}

void TMainwin::Gridonoff1Click() {
    plot_->GridOn = !plot_->GridOn;
    plot_->update();
}

void TMainwin::SecondaryXAxis1Click() {
    plot_->SecondXAxisOn = !plot_->SecondXAxisOn;
    plot_->Dirty = true;
    plot_->update();
}

void TMainwin::PointsLines1Click() {
    plot_->DrawAsLines = !plot_->DrawAsLines;
    plot_->update();
}

void TMainwin::FlipXAxis1Click() {
    plot_->X2Direction = plot_->Direction;
    plot_->Direction = plot_->Direction == 1 ? 2 : 1;
    if (plot_->Host.spectroscopeViewShown && plot_->Host.spectroscopeViewShown() &&
        plot_->Host.redrawSpectroscopeImage)
        plot_->Host.redrawSpectroscopeImage();
    plot_->update();
}

void TMainwin::StandardLinesColours1Click() {
    plot_->BaseLineWidth = 1;
    for (int32_t i = 0; i < SpectraList.Count() && i < plot_->KurvenAnzahl(); ++i) {
        TSpectrumRecord& rec = SpectraList[i];
        rec.LineStyle = 0;
        rec.LineWidth = 1;
        rec.Color = CurveColor(i + 1);
    }
    ApplyAllCurveLooks(*plot_, SpectraList);
    plot_->update();
}

void TMainwin::ThickerLines1Click() {
    if (plot_->BaseLineWidth >= 7) return;
    ++plot_->BaseLineWidth;
    for (int32_t i = 0; i < SpectraList.Count() && i < plot_->KurvenAnzahl(); ++i) {
        const TSpectrumRecord& rec = SpectraList[i];
        if (rec.LineWidth <= 6) plot_->SetCurveStyle(i + 1, plot_->GetCurveStyle(i + 1), EffectiveLineWidth(*plot_, rec));
    }
    plot_->update();
}

void TMainwin::ThinnerLines1Click() {
    if (plot_->BaseLineWidth < 2) return;
    --plot_->BaseLineWidth;
    for (int32_t i = 0; i < SpectraList.Count() && i < plot_->KurvenAnzahl(); ++i) {
        const TSpectrumRecord& rec = SpectraList[i];
        plot_->SetCurveStyle(i + 1, plot_->GetCurveStyle(i + 1), EffectiveLineWidth(*plot_, rec));
    }
    plot_->update();
}

void TMainwin::PlotAllBlack1Click() {
    PlotAllBlack(*plot_);
    plot_->update();
}

void TMainwin::CyclingLineTypes1Click() {
    CycleLineTypes(*plot_);
    plot_->update();
}

void TMainwin::BackgroundColour1Click() {
    if (const std::optional<uint32_t> chosen = ChooseColor(this, windowColor_)) SetWindowColor(*chosen);
}

namespace {
// The font dialog through the modal runner: the font shown when it closed with OK, else nothing.
std::optional<QFont> chooseFont(QWidget* parent, const QFont& start) {
    QFontDialog dlg(start, parent);
    dlg.setObjectName("FontDialog");
    if (RunModal(dlg) != QDialog::Accepted) return std::nullopt;
    return dlg.currentFont();
}
}  // namespace

void TMainwin::AxesFont1Click() {
    const std::optional<QFont> f = chooseFont(this, plot_->PlotFont);
    if (!f) return;
    plot_->PlotFont = *f;
    plot_->Dirty = true;
    plot_->update();
}

void TMainwin::LegendFont1Click() {
    const std::optional<QFont> f = chooseFont(this, plot_->LegendeFont);
    if (!f) return;
    plot_->LegendeFont = *f;
    plot_->Dirty = true;
    plot_->update();
}

void TMainwin::Website1Click() { OpenWebPage(kWebsiteUrl); }

void TMainwin::CopyPlottoClipboard1Click() {
    plot_->SaveMetafile(true);
    // The plot goes to the clipboard as it stands; that it held no curve should not go unnoticed.
    if (!HasCurves()) SetStatusText(1, kEmptyPlotCopiedText);
}

void TMainwin::Print1Click() {
    if (!plot_->PrinterInstalled()) {
        // Silence here would leave the user guessing why nothing printed.
        ui::messageBox(kNoPrinterText, "Print", ui::Buttons::Ok, ui::Icon::Information);
        return;
    }
    QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull() && !QPrinterInfo::availablePrinters().isEmpty()) info = QPrinterInfo::availablePrinters().front();
    auto printer = info.isNull() ? std::make_unique<QPrinter>(QPrinter::HighResolution)
                                 : std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    printer->setPageOrientation(QPageLayout::Landscape);
    {
        QPrintDialog dlg(printer.get(), this);
        dlg.setObjectName("PrintDialog");
        if (RunModal(dlg) != QDialog::Accepted) return;
    }
    TBusyCursor busy;
    plot_->PrintPlot(*printer);
}
