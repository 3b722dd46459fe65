// The commands behind the menus, run in a main window offscreen: dialogs and re-plot, removal, the
// range commands driven by synthetic mouse events, the value read-out, the spectroscope view and the
// peak-label bar.
#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include <QDir>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/TMainwin.h"
#include "app/dialogs/TInfWin.h"
#include "app/dialogs/tool_dialog.h"
#include "app/plot/Xygraph.h"
#include "app/program_state.h"
#include "app/qt_ui_backend.h"
#include "app/spectroscope_view.h"
#include "app/tool_commands.h"
#include "core/tone_player.h"
#include "platform/sound.h"
#include "platform/ui.h"
#include "tests/dialogs_test_support.h"
#include "tests/main_window_fixture.h"
#include "tests/app_state_support.h"
#include "app/replot.h"
#include "tools/range_commands.h"

using namespace dlgtest;
using namespace tooltest;

namespace {

void Send(QWidget& w, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(p), w.mapToGlobal(QPointF(p)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

void Drag(QWidget& w, QPoint from, QPoint to) {
    Send(w, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    Send(w, QEvent::MouseMove, (from + to) / 2, Qt::NoButton, Qt::LeftButton);
    Send(w, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    Send(w, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

void Later(int ms, std::function<void()> fn) { QTimer::singleShot(ms, qApp, std::move(fn)); }

class Commands : public MainWindowTest {
protected:
    void replot() {
        win->StandardReplot();
        plot->Repaint();
        QApplication::processEvents();
    }
    std::vector<std::vector<double>> values() const {
        std::vector<std::vector<double>> v;
        for (const auto& r : SpectraList) v.push_back(r->Values);
        return v;
    }
};

}  // namespace

TEST_F(Commands, DialogCommandAppendsAndReplots) {
    ui::ScopedScriptedBackend ui;
    addRecord("a", 400, 1, std::vector<double>(301, 1.0));
    addRecord("b", 400, 1, std::vector<double>(301, 2.0));
    replot();
    SetModalRunner([](QDialog& d) {
        d.show();
        QApplication::processEvents();
        EXPECT_EQ(d.windowTitle(), "Multiplication");
        setCombo(&d, "Cs2", 1);
        d.accept();
        return d.result();
    });
    trigger("Multiplication1");
    ASSERT_EQ(SpectraList.Count(), 3);
    EXPECT_EQ(SpectraList[2].Values, std::vector<double>(301, 2.0));
    EXPECT_EQ(plot->KurvenAnzahl(), 3);
    EXPECT_EQ(win->StatusText(0), "3 Spectra");
}

TEST_F(Commands, DialogCommandsNeedACurve) {
    int shown = 0;
    SetModalRunner([&](QDialog& d) {
        ++shown;
        d.reject();
        return d.result();
    });
    for (const char* a : {"Addition1", "YConstants1", "XConstants1", "PeaksFWHM1", "SelectforRemoval1",
                          "Schwerpunkt1", "Werteleser1", "Abspielen1", "Grundlinienkorrektur1"})
        trigger(a);
    EXPECT_EQ(shown, 0);
}

// Every entry that needs spectra says so in panel 1 when none is loaded, and shows nothing else: no
// dialog, no file dialog, no message (GaussFit in nm: the missing spectrum, not the axis type).
TEST_F(Commands, EntriesThatNeedSpectraSayThatNoneIsLoaded) {
    ui::ScopedScriptedBackend ui;
    int shown = 0;
    SetModalRunner([&](QDialog& d) {
        ++shown;
        d.reject();
        return d.result();
    });
    SetFileDialogRunner([&](const TFileDialogSpec&) {
        ++shown;
        return TFileDialogChoice{};
    });
    ASSERT_EQ(DisplayXUnit, SpecXNanometer);
    for (const char* entry :
         {"Speichern1", "SaveDataas1", "SaveforRRUFF1", "BatchExportData1", "SavePlotas1", "SaveforGnuPlot1",
          "CopyDatatoClipboard1", "General1", "Information1", "Normalize1", "Grundlinienkorrektur1",
          "AdvancedBaselining1", "SpikeRemoval1", "Abspielen1", "Smooth1", "AdvancedSmoothing1", "PeaksFWHM1",
          "Oszilatorstrke1", "CutoffSpectrumPart1", "Sort1", "SelectforRemoval1", "Letztesllschen1", "Addition1",
          "Subtraction1", "Multiplication1", "Division1", "SpectraAveraging1", "YConstants1", "XConstants1",
          "Derivative1", "TransmittanceReflectance1", "DegreeofPolarisation1", "RamanShift1", "Concentration1",
          "EffectiveAbsorbance1", "Schwerpunkt1", "FilmThickness1", "QuantumYield1", "LowTempQuantumYield1",
          "EmissionSensitivityCorrection1", "ExcitationWavelengthAssignment1", "CorrectionofExcitationIntensity1",
          "RemoveScatter1", "SubtractBlankEEM1", "ShowEEM1", "CalculateExcitationSpectra1", "Werteleser1",
          "GaussManually1"}) {
        win->SetStatusText(1, "");
        trigger(entry);
        EXPECT_EQ(win->StatusText(1), kNoSpectrumLoadedText) << entry;
    }
    EXPECT_EQ(shown, 0);
    EXPECT_TRUE(ui->messages.empty()) << ui->messages.front();
    EXPECT_EQ(SpectraList.Count(), 0);
}

TEST_F(Commands, BaselineCorrectionActsOnTheRangeDraggedInThisCommand) {
    addRecord("ramp", 400, 1, ramp(301));
    addRecord("flat", 400, 1, std::vector<double>(301, 5.0));
    replot();
    plot->SelectionDone = true;  // left over from earlier: must not end this wait
    bool openDisabled = false;
    Later(100, [&] {
        openDisabled = !win->Action("ffnen1")->isEnabled() && !win->Action("Letztesllschen1")->isEnabled();
        EXPECT_FALSE(plot->ZoomOnDrag);
        EXPECT_EQ(win->StatusText(1), "Baseline Correction");
        Drag(*plot, {300, 150}, {500, 350});
    });
    toolcmd::Grundlinienkorrektur1Click(*win);
    EXPECT_TRUE(openDisabled);
    EXPECT_TRUE(win->Action("ffnen1")->isEnabled());
    EXPECT_TRUE(plot->ZoomOnDrag);
    EXPECT_EQ(win->StatusText(1), " ");
    const double from = plot->SelectedRange.XFrom, to = plot->SelectedRange.XTo;
    ASSERT_LT(from, to);
    int i1 = SpecIndexOfX(SpectraList[0], from), i2 = SpecIndexOfX(SpectraList[0], to);
    const double mean = (i1 + i2) / 2.0;  // the ramp's mean over i1..i2
    EXPECT_NEAR(SpectraList[0].Values[0], -mean, 1e-9);
    EXPECT_NEAR(SpectraList[0].Values[300], 300 - mean, 1e-9);
    EXPECT_EQ(SpectraList[1].Values, std::vector<double>(301, 0.0));
    // The curves show the corrected values.
    EXPECT_NEAR(plot->Curve(2).Points[10].y, 0.0, 1e-9);
}

TEST_F(Commands, EscapeEndsTheWaitWithEverySpectrumUnchanged) {
    addRecord("ramp", 400, 1, ramp(301));
    replot();
    const auto before = values();
    Later(100, [&] {
        QKeyEvent e(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(win.get(), &e);
    });
    toolcmd::Grundlinienkorrektur1Click(*win);
    EXPECT_EQ(values(), before);
    EXPECT_EQ(win->AbortRequested, 0);
    EXPECT_TRUE(plot->ZoomOnDrag);

    ui::ScopedScriptedBackend ui;
    Later(100, [&] {
        QKeyEvent e(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(win.get(), &e);
    });
    toolcmd::Oszilatorstrke1Click(*win);
    EXPECT_TRUE(ui->messages.empty());
}

TEST_F(Commands, ClosingTheWindowEndsAWaitCleanly) {
    addRecord("ramp", 400, 1, ramp(301));
    replot();
    const auto before = values();
    Later(100, [] { SetShellClosing(true); });
    toolcmd::Grundlinienkorrektur1Click(*win);
    EXPECT_EQ(values(), before);
}

TEST_F(Commands, IntegrationShowsOneBoxPerSpectrumUntilCancel) {
    ui::ScopedScriptedBackend ui;
    ui->answers = {ui::Answer::Ok, ui::Answer::Cancel};
    for (int i = 0; i < 3; ++i) addRecord("s" + std::to_string(i), 400, 1, std::vector<double>(301, 1.0));
    replot();
    Later(100, [&] { Drag(*plot, {300, 150}, {500, 350}); });
    toolcmd::Oszilatorstrke1Click(*win);
    ASSERT_EQ(ui->messages.size(), 2u);
    const double from = plot->SelectedRange.XFrom, to = plot->SelectedRange.XTo;
    EXPECT_EQ(ui->messages[0], IntegrationMessage(CurrentDisplayState(), SpectraList[0], from, to));
    EXPECT_EQ(ui->messages[0].rfind("Spectrum: s0\r\n\r\nintegral from ", 0), 0u);
    EXPECT_TRUE(plot->ZoomOnDrag);
}

TEST_F(Commands, RangeCommandsRefuseElectronVolts) {
    ui::ScopedScriptedBackend ui;
    addRecord("a", 400, 1, ramp(301));
    replot();
    DisplayXUnit = SpecXElectronVolt;
    toolcmd::Oszilatorstrke1Click(*win);
    toolcmd::Schwerpunkt1Click(*win);
    EXPECT_EQ(ui->messages, std::vector<std::string>(2, kRangeUnitRefusedText));
}

TEST_F(Commands, CenterOfGravityOverThePlotRange) {
    addRecord("one", 300, 1, std::vector<double>(601, 1.0));
    replot();
    plot->Autoscaling = false;
    plot->MinXValue = 400;
    plot->MaxXValue = 700;
    SetModalRunner([](QDialog& d) {
        d.show();
        EXPECT_EQ(d.windowTitle(), "Choose Spectrum for Center of Gravity Calculation!");
        d.accept();
        return d.result();
    });
    toolcmd::Schwerpunkt1Click(*win);
    EXPECT_EQ(win->StatusText(1), "center of gravity: 550.00 nm");
}

TEST_F(Commands, DisplayValuesFollowsTheCursorAndEndsWhenItsSpectrumGoes) {
    addRecord("a", 400, 1, ramp(301));
    addRecord("b", 400, 1, ramp(301, 1000.0));
    replot();
    SetModalRunner([](QDialog& d) {
        d.show();
        setCombo(&d, "SpekBox", 1);
        d.accept();
        return d.result();
    });
    QString text, caption;
    bool visible = false;
    Later(150, [&] { plot->CursorDataPosition.X = 405; });
    Later(450, [&] {
        auto* inf = win->findChild<TInfWin*>("InfWin");
        ASSERT_NE(inf, nullptr);
        text = inf->TextWin->text();
        caption = inf->windowTitle();
        visible = inf->isVisible();
        toolcmd::Letztesllschen1Click(*win);  // the spectrum read goes
    });
    toolcmd::Werteleser1Click(*win);
    EXPECT_EQ(text, "Position: 405  |  1005");
    EXPECT_EQ(caption, "b");
    EXPECT_TRUE(visible);
    EXPECT_FALSE(win->findChild<TInfWin*>("InfWin")->isVisible());
    EXPECT_EQ(SpectraList.Count(), 1);
}

TEST_F(Commands, RemoveAllAsksAndRemoveLastSwitchesTheSecondAxis) {
    ui::ScopedScriptedBackend ui;
    addRecord("a", 400, 1, ramp(301));
    addRecord("ratio", 400, 1, ramp(301)).SourceKind = SpecSourceRaw;
    replot();
    EXPECT_TRUE(plot->ZweiteYAchse);
    ui->answers = {ui::Answer::No};
    toolcmd::Allelschen2Click(*win);
    EXPECT_EQ(ui->messages, (std::vector<std::string>{" all spectra will be removed from display"}));
    EXPECT_EQ(SpectraList.Count(), 2);
    toolcmd::Letztesllschen1Click(*win);
    EXPECT_FALSE(plot->ZweiteYAchse);
    EXPECT_EQ(win->StatusText(0), "1 Spectrum");  // "1 Spectra" as the paint shows it
    DisplayYMode = SpecYTransmittance;
    ui->answers = {ui::Answer::Yes};
    toolcmd::Allelschen2Click(*win);
    EXPECT_TRUE(SpectraList.Empty());
    EXPECT_EQ(plot->KurvenAnzahl(), 0);
    EXPECT_EQ(win->StatusText(0), "0 Spectra");
    EXPECT_EQ(DisplayYMode, SpecYAbsorbance);
}

TEST_F(Commands, RemoveAllWithNothingLoadedAsksOnlyWhileItStillHasSomethingToReset) {
    ui::ScopedScriptedBackend ui;
    ASSERT_FALSE(plot->ZweiteYAchse);
    trigger("Allelschen2");
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_EQ(win->StatusText(1), kNoSpectrumLoadedText);
    // A removed ratio spectrum leaves the second y axis on, another display y mode stays chosen:
    // Remove All is what resets them, so it asks.
    plot->ZweiteYAchse = true;
    ui->answers = {ui::Answer::Yes};
    trigger("Allelschen2");
    EXPECT_EQ(ui->messages, (std::vector<std::string>{" all spectra will be removed from display"}));
    EXPECT_FALSE(plot->ZweiteYAchse);
    DisplayYMode = SpecYLogEpsilon;
    ui->answers = {ui::Answer::Yes};
    trigger("Allelschen2");
    EXPECT_EQ(ui->messages.size(), 2u);
    EXPECT_EQ(DisplayYMode, SpecYAbsorbance);
}

TEST_F(Commands, RemoveLastLeavesTheOtherCurvesAsShown) {
    for (int i = 0; i < 3; ++i) addRecord("s" + std::to_string(i), 400, 1, ramp(301));
    replot();
    win->PlotAllBlack1Click();  // curve colours only; the records keep theirs
    plot->Dirty = false;
    toolcmd::Letztesllschen1Click(*win);
    ASSERT_EQ(plot->KurvenAnzahl(), 2);
    for (int n = 1; n <= 2; ++n) EXPECT_EQ(plot->GetCurveColor(n), 0x000000u) << n;
    EXPECT_EQ(SpectraList[0].Color, 0x123456u);
    EXPECT_EQ(win->StatusText(0), "2 Spectra");
    // A dialog command copies every record again, with its colour.
    win->StandardReplot();
    EXPECT_EQ(plot->GetCurveColor(1), 0x123456u);
    EXPECT_TRUE(plot->Dirty);
}

TEST_F(Commands, SpectroscopeViewOnlyInWavelengthsAndOffWithTheLastSpectrum) {
    ui::ScopedScriptedBackend ui;
    addRecord("a", 380, 1, std::vector<double>(401, 0.3));
    replot();
    DisplayXUnit = SpecXWavenumber;
    trigger("ShowSpectroscopeView");
    EXPECT_FALSE(win->Action("ShowSpectroscopeView")->isChecked());
    EXPECT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(SpectroscopeBitmap(*win), nullptr);
    DisplayXUnit = SpecXNanometer;
    trigger("ShowSpectroscopeView");
    EXPECT_TRUE(win->Action("ShowSpectroscopeView")->isChecked());
    QWidget* imageBar = win->findChild<QWidget*>("SpectroscopeImageBar");
    EXPECT_TRUE(imageBar->isVisible());
    RedrawSpectroscopeImage(*win);
    const QImage* strip = SpectroscopeBitmap(*win);
    if (imageBar->width() > 110) {
        ASSERT_NE(strip, nullptr);
        EXPECT_EQ(strip->width(), imageBar->width() - 110);
    }
    toolcmd::Letztesllschen1Click(*win);
    EXPECT_FALSE(win->Action("ShowSpectroscopeView")->isChecked());
    EXPECT_EQ(SpectroscopeBitmap(*win), nullptr);
}

// The strip shows colours of wavelengths: only x in nm, with y as transmittance, absorbance or intensity.
TEST_F(Commands, SpectroscopeViewUnitsTable) {
    ui::ScopedScriptedBackend ui;
    addRecord("a", 380, 1, std::vector<double>(401, 0.3));
    replot();
    struct Case {
        SpecXUnit x;
        SpecYKind y;
        bool shown;
    };
    const Case cases[] = {
        {SpecXNanometer, SpecYTransmittance, true}, {SpecXNanometer, SpecYAbsorbance, true},
        {SpecXNanometer, SpecYIntensity, true},     {SpecXNanometer, SpecYEpsilon, false},
        {SpecXNanometer, SpecYLogEpsilon, false},   {SpecXNanometer, SpecYReflectance, false},
        {SpecXMicrometer, SpecYAbsorbance, false},  {SpecXElectronVolt, SpecYTransmittance, false},
    };
    for (const Case& c : cases) {
        DisplayXUnit = c.x;
        DisplayYMode = c.y;
        ui->messages.clear();
        QAction* a = win->Action("ShowSpectroscopeView");
        if (a->isChecked()) trigger("ShowSpectroscopeView");  // off again from the case before
        trigger("ShowSpectroscopeView");
        EXPECT_EQ(a->isChecked(), c.shown) << CodeOf(c.x) << " " << CodeOf(c.y);
        EXPECT_EQ(ui->messages.empty(), c.shown) << CodeOf(c.x) << " " << CodeOf(c.y);
    }
    DisplayXUnit = SpecXNanometer;
    DisplayYMode = SpecYAbsorbance;
}

TEST_F(Commands, PeakLabelsForTheChosenSpectrumOnly) {
    std::vector<double> band(301);
    for (int i = 0; i < 301; ++i) band[i] = std::exp(-0.5 * std::pow((i - 150) / 8.0, 2));
    addRecord("a", 400, 1, band);
    addRecord("b", 400, 1, std::vector<double>(band.begin(), band.begin() + 301));
    addRecord("c", 400, 1, band);
    replot();
    const auto saved = ProgramSettings.PeakLabelSettings;
    ProgramSettings.PeakLabelSettings.AllSpectra = false;
    ProgramSettings.PeakLabelSettings.SelectedSpectrum = 7;  // beyond the list: clamped to the last item
    ProgramSettings.PeakLabelSettings.Mode = 2;
    ProgramSettings.PeakLabelSettings.YDigits = 2;
    trigger("ShowPeakLabels1");
    auto* combo = win->findChild<QComboBox*>("PeakLabelCombo");
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->currentIndex(), 2);
    combo->setCurrentIndex(1);
    QApplication::processEvents();
    EXPECT_TRUE(plot->Curve(1).MarkerIndices.empty());
    ASSERT_EQ(plot->Curve(2).MarkerIndices, std::vector<int>{150});
    EXPECT_EQ(plot->Curve(2).MarkerLabels, QStringList{"1"});
    EXPECT_TRUE(plot->Curve(3).MarkerIndices.empty());
    // Hiding and showing the bar keeps the choice.
    trigger("ShowPeakLabels1");
    EXPECT_EQ(ProgramSettings.PeakLabelSettings.SelectedSpectrum, 1);
    trigger("ShowPeakLabels1");
    EXPECT_EQ(combo->currentIndex(), 1);
    ProgramSettings.PeakLabelSettings = saved;
    SetPeakLabelsShown(false);
}

TEST_F(Commands, RemovalKeysLeaveSpectraAloneWhileAnEditHasTheFocus) {
    ui::ScopedScriptedBackend ui;
    ui->answers = {ui::Answer::Yes};
    addRecord("a", 400, 1, ramp(301));
    addRecord("b", 400, 1, ramp(301));
    replot();
    auto* edit = new QLineEdit(win->centralWidget());
    edit->show();
    win->activateWindow();
    QApplication::setActiveWindow(win.get());
    edit->setFocus();
    QApplication::processEvents();
    if (QApplication::focusWidget() != edit) GTEST_SKIP() << "no keyboard focus on this platform";
    trigger("Letztesllschen1");
    trigger("Allelschen2");
    EXPECT_EQ(SpectraList.Count(), 2);
    edit->clearFocus();
    win->setFocus();
    QApplication::processEvents();
    trigger("Letztesllschen1");
    EXPECT_EQ(SpectraList.Count(), 1);
}

TEST_F(Commands, CenterOfGravityHasItsMenuEntryAndCtrlAltGSmooths) {
    QAction* cog = win->Action("Schwerpunkt1");
    ASSERT_NE(cog, nullptr);
    EXPECT_TRUE(cog->isEnabled());
    EXPECT_TRUE(cog->shortcut().isEmpty());
    QAction* adv = win->Action("AdvancedSmoothing1");
    ASSERT_NE(adv, nullptr);
    EXPECT_EQ(adv->shortcut(), QKeySequence("Ctrl+Alt+G"));
}

TEST_F(Commands, PlayWritesItsTextsIntoTheStatusBar) {
    addRecord("a", 400, 1, ramp(301, 0.1, 0.001));
    replot();
    SetModalRunner([](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), "Choose Spectrum for Playing!");
        d.show();
        d.accept();
        return d.result();
    });
    std::size_t heard = 0;
    sound::SetSink([&](const std::vector<int16_t>& s, int) { heard += s.size(); });
    toolcmd::Abspielen1Click(*win);
    sound::SetSink({});
    EXPECT_GT(heard, 0u);
    EXPECT_EQ(win->StatusText(1), "Task accomplished!");
    // Without a sound device the panel says so instead of claiming success.
    sound::SetDeviceName("varolux32-no-such-device");
    toolcmd::Abspielen1Click(*win);
    sound::SetDeviceName("");
    EXPECT_EQ(win->StatusText(1), kNoSoundDeviceText);
}

TEST_F(Commands, TheStripIsSavedAsBitmapAndAnExistingOneReplacedOnlyOnYes) {
    ui::ScopedScriptedBackend ui;
    addRecord("a", 380, 1, std::vector<double>(401, 0.3));
    replot();
    trigger("ShowSpectroscopeView");
    QWidget* imageBar = win->findChild<QWidget*>("SpectroscopeImageBar");
    imageBar->setFixedWidth(500);
    QApplication::processEvents();
    RedrawSpectroscopeImage(*win);
    ASSERT_NE(SpectroscopeBitmap(*win), nullptr);
    const std::string folder = QDir::tempPath().toStdString() + "/vx_strip_save/";
    std::filesystem::create_directories(folder);
    const std::string bmp = folder + "strip.bmp";
    std::filesystem::remove(bmp);
    std::string asked;
    SetFileDialogRunner([&](const TFileDialogSpec& spec) {
        EXPECT_EQ(spec.Mode, TFileDialogSpec::TMode::Save);
        asked = spec.ObjectName;
        return TFileDialogChoice{{folder + "strip"}, 1};  // typed without the extension
    });
    click(win.get(), "SaveAsButton");
    EXPECT_EQ(asked, "SaveStrip");
    ASSERT_TRUE(std::filesystem::exists(bmp));
    EXPECT_TRUE(ui->messages.empty());
    // Now the name exists once the extension is in place: No keeps the file, Yes replaces it.
    std::ofstream(bmp, std::ios::binary | std::ios::trunc) << "old";
    ui->answers = {ui::Answer::No};
    click(win.get(), "SaveAsButton");
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(std::filesystem::file_size(bmp), 3u);
    ui->answers = {ui::Answer::Yes};
    click(win.get(), "SaveAsButton");
    EXPECT_GT(std::filesystem::file_size(bmp), 3u);
    std::filesystem::remove_all(folder);
}

TEST_F(Commands, ANarrowSpectroscopeBarDrawsNothingAndRecovers) {
    addRecord("a", 380, 1, std::vector<double>(401, 0.3));
    replot();
    trigger("ShowSpectroscopeView");
    QWidget* imageBar = win->findChild<QWidget*>("SpectroscopeImageBar");
    auto* image = win->findChild<QLabel*>("SpectroscopeImage");
    ASSERT_NE(image, nullptr);
    imageBar->setFixedWidth(100);  // less than the 110 pixels of the combo column
    QApplication::processEvents();
    RedrawSpectroscopeImage(*win);
    EXPECT_TRUE(image->pixmap().isNull());
    imageBar->setFixedWidth(500);
    QApplication::processEvents();
    RedrawSpectroscopeImage(*win);
    ASSERT_NE(SpectroscopeBitmap(*win), nullptr);
    EXPECT_EQ(SpectroscopeBitmap(*win)->width(), 390);
    EXPECT_FALSE(image->pixmap().isNull());
}

namespace {

TEST_F(Commands, PeakLabelBarKeepsTheWindowAndOffRestoresPlotAndRange) {
    std::vector<double> band(401);
    for (int i = 0; i < 401; ++i)
        band[i] = 0.8 * std::exp(-std::pow((i - 120) / 25.0, 2)) + 0.3 * std::exp(-std::pow((i - 350) / 20.0, 2));
    addRecord("a", 300, 1, band);
    replot();
    const QSize window = win->size(), plotSize = plot->size();
    const double lo = plot->XDrawnMin, hi = plot->XDrawnMax;
    ASSERT_EQ(lo, 300);
    ASSERT_EQ(hi, 750);
    const auto xLabels = [&] {
        std::vector<std::string> labels;
        for (int i = 0; i < plot->XMajorTics; ++i) labels.push_back(plot->Ticks(0).Labels[i].toStdString());
        return labels;
    };
    const std::vector<std::string> xTicks = xLabels();  // the same ticks come back after on and off
    auto* bar = win->findChild<QWidget*>("PeakLabelBar");
    ASSERT_NE(bar, nullptr);
    for (const int width : {900, 520}) {
        SCOPED_TRACE(width);
        win->resize(width, 640);
        QApplication::processEvents();
        const QSize narrow = win->size(), narrowPlot = plot->size();
        trigger("ShowPeakLabels1");
        plot->Repaint();
        QApplication::processEvents();
        // The bar takes the window's width (its controls wrap) and every control stays within it.
        EXPECT_EQ(win->size(), narrow);
        EXPECT_LE(bar->geometry().right(), win->centralWidget()->width());
        for (QWidget* c : bar->findChildren<QWidget*>()) {
            if (!c->isVisibleTo(bar)) continue;
            EXPECT_LE(c->mapTo(bar, QPoint(c->width(), 0)).x(), bar->width()) << c->objectName().toStdString();
        }
        EXPECT_FALSE(plot->Curve(1).MarkerIndices.empty());
        trigger("ShowPeakLabels1");
        plot->Repaint();
        QApplication::processEvents();
        EXPECT_EQ(win->size(), narrow);
        EXPECT_EQ(plot->size(), narrowPlot);
        EXPECT_EQ(plot->XDrawnMin, lo);
        EXPECT_EQ(plot->XDrawnMax, hi);
    }
    win->resize(window);
    QApplication::processEvents();
    EXPECT_EQ(plot->size(), plotSize);
    EXPECT_EQ(xLabels(), xTicks);
    // An automatic scale comes back with its own ticks: 400-700 nm is drawn as 400-750 in steps of 50,
    // which a step fitted to the drawn 350 nm would make steps of 40.
    SpectraList.Clear();
    addRecord("b", 400, 1, std::vector<double>(band.begin(), band.begin() + 301));
    replot();
    const std::vector<std::string> before = xLabels();
    for (int i = 0; i < 2; ++i) {
        trigger("ShowPeakLabels1");
        plot->Repaint();
        QApplication::processEvents();
    }
    EXPECT_EQ(xLabels(), before);
    // A zoomed range (its end a whole step) stays through on and off as well.
    plot->Autoscaling = false;
    plot->MinXValue = 350;
    plot->MaxXValue = 600;
    plot->Repaint();
    const double zoomLo = plot->XDrawnMin, zoomHi = plot->XDrawnMax;
    for (int i = 0; i < 2; ++i) {
        trigger("ShowPeakLabels1");
        plot->Repaint();
        QApplication::processEvents();
        EXPECT_EQ(plot->XDrawnMin, zoomLo) << i;
        EXPECT_EQ(plot->XDrawnMax, zoomHi) << i;
    }
    SetPeakLabelsShown(false);
}

}  // namespace
