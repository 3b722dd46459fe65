// The sort, concentration, advanced smoothing and baseline dialogs driven offscreen by their controls'
// object names, and their menu commands in a main window.
#include <QListWidget>
#include <QMouseEvent>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>

#include "app/dialogs/TAdvBaselineDia.h"
#include "app/dialogs/TAdvSmoothDia.h"
#include "app/dialogs/TCalcKonzDia.h"
#include "app/dialogs/TSortDia.h"
#include "app/dialogs/radio_group.h"
#include "app/processing_commands.h"
#include "app/program_state.h"
#include "platform/ui.h"
#include "tests/dialogs_test_support.h"
#include "tests/main_window_fixture.h"
#include "tests/app_state_support.h"
#include "tools/concentration.h"

using namespace dlgtest;
using namespace tooltest;

namespace {

struct SettingsGuard {
    TAdvSmoothSettings s = ProgramSettings.AdvSmoothSettings;
    TAdvBaselineSettings b = ProgramSettings.AdvBaselineSettings;
    ~SettingsGuard() {
        ProgramSettings.AdvSmoothSettings = s;
        ProgramSettings.AdvBaselineSettings = b;
    }
};

std::vector<std::string> listBoxTexts(QListWidget* box) {
    std::vector<std::string> t;
    for (int i = 0; i < box->count(); ++i) t.push_back(box->item(i)->text().toStdString());
    return t;
}

void mouse(QWidget* w, QEvent::Type type, QPoint p, Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Presses on row `from` of the list box, moves and releases at `to` (a point in the viewport).
void dragRows(QListWidget* box, int from, QPoint to) {
    QWidget* vp = box->viewport();
    const QPoint start = box->visualItemRect(box->item(from)).center();
    mouse(vp, QEvent::MouseButtonPress, start, Qt::LeftButton);
    mouse(vp, QEvent::MouseMove, (start + to) / 2, Qt::LeftButton);
    mouse(vp, QEvent::MouseMove, to, Qt::LeftButton);
    mouse(vp, QEvent::MouseButtonRelease, to, Qt::NoButton);
    QApplication::processEvents();
}

std::vector<double> wavy(int n, double base = 0.6) {
    std::vector<double> y(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) y[i] = base + 0.3 * std::sin(i * 0.37);
    return y;
}

}  // namespace

TEST(TSortDia, DragMovesTheSelectionAndSortKeepsNumbers) {
    ListGuard g;
    addRecord("d", 400, 1, ramp(3)).Temperature = 295;
    addRecord("a", 400, 1, ramp(3)).Temperature = 77;
    addRecord("c", 400, 1, ramp(3)).Temperature = 100;
    addRecord("b", 400, 1, ramp(3)).Temperature = 120;
    TSortDia d;
    open(d);
    auto* box = child<QListWidget>(&d, "ListBox1");
    EXPECT_EQ(listBoxTexts(box), (std::vector<std::string>{"1- d", "2- a", "3- c", "4- b"}));
    EXPECT_FALSE(child<QGroupBox>(&d, "KritBox")->isEnabled());
    // Select "d" and "c", drag them onto "b".
    box->item(0)->setSelected(true);
    box->item(2)->setSelected(true);
    dragRows(box, 0, box->visualItemRect(box->item(3)).center());
    EXPECT_EQ(listBoxTexts(box), (std::vector<std::string>{"2- a", "1- d", "3- c", "4- b"}));
    // Onto the empty space below the last entry: appended.
    box->clearSelection();
    box->item(0)->setSelected(true);
    dragRows(box, 0, QPoint(10, box->viewport()->height() - 2));
    EXPECT_EQ(listBoxTexts(box), (std::vector<std::string>{"1- d", "3- c", "4- b", "2- a"}));

    setCheck(&d, "CheckBox1", true);
    EXPECT_TRUE(child<QGroupBox>(&d, "KritBox")->isEnabled());
    EXPECT_EQ(child<TRadioGroup>(&d, "KTemperatur")->ItemIndex(), -1);
    click(&d, "KTemperatur_1");  // increasing
    click(&d, "Button1");
    EXPECT_EQ(listBoxTexts(box), (std::vector<std::string>{"2- a", "3- c", "4- b", "1- d"}));
    click(&d, "OKBtn");
    EXPECT_EQ(titles(), (std::vector<std::string>{"a", "c", "b", "d"}));
}

TEST(TSortDia, CancelLeavesTheOrder) {
    ListGuard g;
    addRecord("b", 400, 1, ramp(3));
    addRecord("a", 400, 1, ramp(3));
    TSortDia d;
    open(d);
    setCheck(&d, "CheckBox1", true);
    click(&d, "Button1");
    EXPECT_EQ(listBoxTexts(child<QListWidget>(&d, "ListBox1")), (std::vector<std::string>{"2- a", "1- b"}));
    click(&d, "CancelBtn");
    EXPECT_EQ(titles(), (std::vector<std::string>{"b", "a"}));
}

TEST(TCalcKonzDia, CalculateStoresAtOnceAndInsertPeakWithoutPeak) {
    ListGuard g;
    ui::ScopedScriptedBackend ui;
    addRecord("flat", 400, 1, std::vector<double>(201, 0.6));
    TCalcKonzDia d;
    open(d);
    EXPECT_EQ(child<QLineEdit>(&d, "Cschicht")->text(), "1");
    setEdit(&d, "Cext", "2000");
    setEdit(&d, "Clamba", "500");
    setEdit(&d, "Cschicht", "0");
    click(&d, "BRechenen");
    EXPECT_EQ(ui->messages, (std::vector<std::string>{kPathLengthNotPositiveText}));
    EXPECT_EQ(SpectraList[0].PathLength, 1.0);
    setEdit(&d, "Cschicht", "0.3");
    click(&d, "BRechenen");
    EXPECT_EQ(child<QLineEdit>(&d, "Ckonz")->text(), "0.001");
    click(&d, "BPeak");  // a flat spectrum has no peak: the wavelength stays
    EXPECT_EQ(child<QLineEdit>(&d, "Clamba")->text(), "500");
    click(&d, "CancelBtn");
    EXPECT_DOUBLE_EQ(SpectraList[0].Concentration, 0.001);
    EXPECT_DOUBLE_EQ(SpectraList[0].PathLength, 0.3);
}

TEST(TAdvSmoothDia, ShowsTheGroupAndSmoothsAllSpectra) {
    ListGuard g;
    SettingsGuard s;
    addRecord("a", 400, 1, wavy(40));
    addRecord("b", 400, 1, wavy(40, 1.0));
    ProgramSettings.AdvSmoothSettings = TAdvSmoothSettings{};
    TAdvSmoothDia d;
    open(d);
    EXPECT_TRUE(child<QRadioButton>(&d, "RBsavitsky")->isChecked());
    EXPECT_EQ(child<QSpinBox>(&d, "Esavitskyorder")->value(), 3);
    EXPECT_EQ(child<QSpinBox>(&d, "Epercentile")->singleStep(), 5);
    // Changing a percentile control chooses the percentile filter.
    child<QSpinBox>(&d, "Epercentile")->setValue(25);
    EXPECT_TRUE(child<QRadioButton>(&d, "RBpercentile")->isChecked());
    setCheck(&d, "AlleSpektren", true);
    EXPECT_FALSE(child<QComboBox>(&d, "SpekBox")->isEnabled());
    click(&d, "OKBtn");
    EXPECT_EQ(titles(), (std::vector<std::string>{"a", "b", "a\t smoothed", "b\t smoothed"}));
    EXPECT_EQ(ProgramSettings.AdvSmoothSettings.Mode, 2);
    EXPECT_EQ(ProgramSettings.AdvSmoothSettings.Percentile, 25);
    EXPECT_TRUE(ProgramSettings.AdvSmoothSettings.AllSpectra);
}

TEST(TAdvBaselineDia, PreviewBeforeOkRemovedByIdentityAfterwards) {
    ListGuard g;
    SettingsGuard s;
    ProgramSettings.AdvBaselineSettings = TAdvBaselineSettings{};
    addRecord("a", 400, 1, wavy(60), SpecXNanometer, 0x11);
    addRecord("b", 400, 1, wavy(60, 1.0), SpecXNanometer, 0x22);
    std::vector<int> shown;
    TAdvBaselineDia d;
    d.BaselineShown = [&shown](int i) { shown.push_back(i); };
    open(d);
    ASSERT_EQ(SpectraList.Count(), 3);
    const TSpectrumRecord* B = &SpectraList[2];
    EXPECT_EQ(d.Baseline(), B);
    EXPECT_EQ(B->Title.str(), "Baseline for: a");
    EXPECT_EQ(shown, (std::vector<int>{2}));
    const std::vector<double> linear = B->Values;
    child<QSlider>(&d, "RxSliderLinearOffset")->setValue(40);
    EXPECT_NE(B->Values, linear);
    child<QTabWidget>(&d, "PageControl1")->setCurrentIndex(1);
    EXPECT_EQ(shown.size(), 3u);
    setCheck(&d, "AlleSpektren", true);
    setCheck(&d, "OrgLoeschen", true);
    click(&d, "OKBtn");
    // B sat between the originals and the results; it is gone, the corrected spectra replaced theirs.
    EXPECT_EQ(titles(), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SpectraList[1].Color, 0x22u);
    EXPECT_EQ(ProgramSettings.AdvBaselineSettings.Method, 1);
    EXPECT_EQ(ProgramSettings.AdvBaselineSettings.LinearOffset, 40);
}

TEST(TAdvBaselineDia, CancelRemovesThePreview) {
    ListGuard g;
    SettingsGuard s;
    addRecord("a", 400, 1, wavy(60));
    std::vector<int> shown;
    TAdvBaselineDia d;
    d.BaselineShown = [&shown](int i) { shown.push_back(i); };
    open(d);
    child<QSlider>(&d, "RxSliderLinearSlope")->setValue(-20);
    click(&d, "RadioGroupScatteringPower_2");
    EXPECT_EQ(SpectraList.Count(), 2);
    click(&d, "CancelBtn");
    EXPECT_EQ(titles(), (std::vector<std::string>{"a"}));
    EXPECT_EQ(shown.back(), -1);
    EXPECT_EQ(ProgramSettings.AdvBaselineSettings.LinearSlope, s.b.LinearSlope);
}

class ProcessingCommands : public MainWindowTest {};

TEST_F(ProcessingCommands, ConcentrationOnlyInNanometresAndTransmittanceOrAbsorbance) {
    ui::ScopedScriptedBackend ui;
    DisplayGuard display;
    addRecord("a", 400, 1, std::vector<double>(301, 0.5));
    win->StandardReplot();
    DisplayYMode = SpecYEpsilon;
    bool opened = false;
    SetModalRunner([&opened](QDialog& d) {
        opened = true;
        d.reject();
        return d.result();
    });
    trigger("Concentration1");
    EXPECT_FALSE(opened);
    EXPECT_EQ(ui->messages, (std::vector<std::string>{kNoConcentrationUnitsText}));
    DisplayYMode = SpecYTransmittance;
    trigger("Concentration1");
    EXPECT_TRUE(opened);
}

TEST_F(ProcessingCommands, BaselinePreviewCurveDrawnAndTakenAwayOnCancel) {
    addRecord("a", 400, 1, wavy(301));
    win->StandardReplot();
    int curvesDuringPreview = 0;
    SetModalRunner([&](QDialog& d) {
        d.show();
        QApplication::processEvents();
        curvesDuringPreview = plot->KurvenAnzahl();
        d.reject();
        return d.result();
    });
    trigger("AdvancedBaselining1");
    EXPECT_EQ(curvesDuringPreview, 2);
    EXPECT_EQ(plot->KurvenAnzahl(), 1);
    EXPECT_EQ(SpectraList.Count(), 1);

    SetModalRunner([](QDialog& d) {
        d.show();
        QApplication::processEvents();
        d.accept();
        return d.result();
    });
    trigger("AdvancedBaselining1");
    EXPECT_EQ(SpectraList.Count(), 2);
    EXPECT_EQ(plot->KurvenAnzahl(), 2);
    EXPECT_EQ(win->StatusText(0), "2  Spectra");
    trigger("Sort1");
    EXPECT_EQ(titles(), (std::vector<std::string>{"a", "a"}));
    trigger("AdvancedSmoothing1");
    EXPECT_EQ(SpectraList.Count(), 3);
    EXPECT_EQ(plot->KurvenAnzahl(), 3);
}
