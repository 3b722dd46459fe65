// The EEM display end to end offscreen: spectra in the list, the menu command opens the dialog, its
// controls switch the colour map, the mouse gives the read-out, and the picture goes to the clipboard.
#include <QAction>
#include <QClipboard>
#include <QMouseEvent>
#include <QSlider>

#include <cmath>
#include <cstdio>
#include <memory>

#include "app/TMainwin.h"
#include "app/dialogs/TEEMDia.h"
#include "app/dialogs/tool_dialog.h"
#include "app/plot/Pcolor.h"
#include "app/plot/Xygraph.h"
#include "platform/ui.h"
#include "tests/dialogs_test_support.h"
#include "tests/main_window_fixture.h"
#include "tests/app_state_support.h"

using namespace dlgtest;
using namespace tooltest;

namespace {

// Five emission spectra at excitation 300 .. 340 nm over 350 .. 450 nm: a band at 400 nm whose height
// grows with the excitation, 100 (i + 1).
void AddEmissionSeries() {
    for (int i = 0; i < 5; ++i) {
        std::vector<double> v;
        for (int k = 0; k <= 100; ++k) v.push_back(100.0 * (i + 1) * std::exp(-std::pow((350 + k - 400) / 20.0, 2)));
        auto& r = addRecord("EEM Fluorescence, EX=" + std::to_string(300 + 10 * i), 350, 1, v);
        r.ExcitationWl = 300 + 10 * i;
        r.SourceKind = 21;
        r.SpecType = "generic_csv";
        r.YKind = SpecYIntensity;
    }
}

void Move(QWidget& w, QPoint p) {
    QMouseEvent e(QEvent::MouseMove, QPointF(p), w.mapToGlobal(QPointF(p)), Qt::NoButton, Qt::NoButton,
                  Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

// The control pixel of a data position (x, y) in the full window.
QPoint PixelOf(TPColor& m, double x, double y) {
    const TPixelRect& im = m.Coordinates.Image();
    const TAxesExtent& a = m.AxesExtent();
    return QPoint(im.Left + static_cast<int>(std::lround((x - a.XMin) / (a.XMax - a.XMin) * (im.Width - 1))),
                  im.Top + static_cast<int>(std::lround((a.YMax - y) / (a.YMax - a.YMin) * (im.Height - 1))));
}

struct Readout {
    double ex = 0, em = 0, value = 0;
    bool parsed = false;
};

Readout Parse(const QString& text) {
    Readout r;
    r.parsed = std::sscanf(text.toStdString().c_str(), "EX: %lf   EM: %lf   INT: %lf", &r.ex, &r.em, &r.value) == 3;
    return r;
}

class EEMDisplay : public MainWindowTest {
protected:
    void SetUp() override {
        numtext::setDecimalSeparator('.');
        MainWindowTest::SetUp();
    }
    // Runs the menu command with `drive` in place of the user.
    void RunCommand(const std::function<void(TEEMDia&)>& drive) {
        win->StandardReplot();
        QApplication::processEvents();
        int shown = 0;
        SetModalRunner([&](QDialog& d) {
            ++shown;
            auto* eem = dynamic_cast<TEEMDia*>(&d);
            EXPECT_NE(eem, nullptr);
            if (eem) {
                eem->resize(900, 620);
                open(*eem);
                drive(*eem);
            }
            d.accept();
            return d.result();
        });
        trigger("ShowEEM1");
        EXPECT_EQ(shown, 1);
    }

    ListGuard list;
};

}  // namespace

TEST_F(EEMDisplay, EndToEnd) {
    AddEmissionSeries();
    const std::vector<std::vector<double>> before = [] {
        std::vector<std::vector<double>> v;
        for (const auto& r : SpectraList) v.push_back(r->Values);
        return v;
    }();
    RunCommand([](TEEMDia& d) {
        TPColor& m = *d.PColor1;
        EXPECT_EQ(d.windowTitle(), "EEM - Excitation Emission Matrix");
        // Spectra along x (excitation), whole nanometres along y (emission), within the data's range.
        ASSERT_EQ(m.Nx(), 5);
        ASSERT_EQ(m.Ny(), 101);
        EXPECT_EQ(m.AxesExtent().XMin, 300.0);
        EXPECT_EQ(m.AxesExtent().XMax, 340.0);
        EXPECT_EQ(m.AxesExtent().YMin, 350.0);
        EXPECT_EQ(m.AxesExtent().YMax, 450.0);
        EXPECT_DOUBLE_EQ(m.GetValue(2, 50), 300.0);  // 320 nm excitation, 400 nm emission
        EXPECT_EQ(m.GetValue(0, 0), 0.0);            // before the spectrum's second point
        EXPECT_EQ(d.Label2->text(), "10 cont. lines");
        EXPECT_EQ(d.Label3->text(), "64 colours");

        // Display type: contours come only with interpolation.
        EXPECT_EQ(m.TypeImage(), dtInterp);
        setCheck(&d, "CheckBox1", true);
        EXPECT_EQ(m.TypeImage(), dtInterpContour);
        setCheck(&d, "CheckBox2", false);
        EXPECT_EQ(m.TypeImage(), dtFlat);
        setCheck(&d, "CheckBox2", true);
        d.RxSlider1->setValue(25);
        EXPECT_EQ(m.ContourLines(), 25);
        EXPECT_EQ(d.Label2->text(), "25 cont. lines");
        d.RxSlider2->setValue(252);
        EXPECT_EQ(d.Label3->text(), "252 colours");
        click(&d, "RadioGroup1_1");
        EXPECT_EQ(m.ImageMode(), imGradient);
        m.RenderToImage();  // gradient with contours over a grid 5 wide
        click(&d, "RadioGroup1_0");
        EXPECT_EQ(m.ImageMode(), imNormal);

        // The read-out: x is the excitation axis.
        m.RenderToImage();
        const int rebuilds = m.ImageRebuilds();
        Move(m, PixelOf(m, 320, 400));
        Readout r = Parse(d.Label1->text());
        ASSERT_TRUE(r.parsed) << d.Label1->text().toStdString();
        EXPECT_NEAR(r.ex, 320, 0.1);
        EXPECT_NEAR(r.em, 400, 0.3);
        EXPECT_NEAR(r.value, 300, 12);  // two significant digits
        EXPECT_EQ(m.ImageRebuilds(), rebuilds);  // the mouse never rebuilds the picture

        // Logarithm on: log10 values, two decades shown; off: the linear values exactly.
        const double linear = m.GetValue(3, 37);
        setCheck(&d, "CheckBox4", true);
        EXPECT_TRUE(d.Logarithm());
        EXPECT_DOUBLE_EQ(m.GetValue(2, 50), std::log10(300.0));
        EXPECT_DOUBLE_EQ(m.MaxValGraph(), std::log10(500.0));
        EXPECT_DOUBLE_EQ(m.MinValGraph(), std::log10(5.0));
        EXPECT_DOUBLE_EQ(m.GetValue(0, 0), std::log10(0.5));  // not positive: three decades down
        EXPECT_TRUE(m.Title.Text().contains("log10"));
        Move(m, PixelOf(m, 320, 400));
        EXPECT_NEAR(Parse(d.Label1->text()).value, std::log10(300.0), 0.05);
        setCheck(&d, "CheckBox4", false);
        EXPECT_FALSE(d.Logarithm());
        EXPECT_EQ(m.GetValue(3, 37), linear);
        EXPECT_TRUE(m.MaxMinValGraphAuto());

        // Axes swapped: emission along x; the read-out still names each axis by its own wavelength.
        setCheck(&d, "CheckBox4", true);
        setCheck(&d, "CheckBox6", true);
        EXPECT_FALSE(d.Orientation());
        EXPECT_FALSE(d.CheckBox4->isChecked());  // back to linear values
        ASSERT_EQ(m.Nx(), 101);
        ASSERT_EQ(m.Ny(), 5);
        EXPECT_EQ(m.AxesExtent().XMin, 350.0);
        EXPECT_DOUBLE_EQ(m.GetValue(50, 2), 300.0);
        m.RenderToImage();
        Move(m, PixelOf(m, 410, 330));  // emission 410, excitation 330
        r = Parse(d.Label1->text());
        EXPECT_NEAR(r.ex, 330, 0.1);
        EXPECT_NEAR(r.em, 410, 0.3);
        EXPECT_NEAR(r.value, 400 * std::exp(-0.25), 12);
        setCheck(&d, "CheckBox6", false);
        EXPECT_EQ(m.Nx(), 5);

        // Manual limits: the edits show them and push each other.
        setCheck(&d, "CheckBox3", false);
        EXPECT_TRUE(d.Edit1->isEnabled());
        EXPECT_EQ(d.Edit1->text(), "500");
        EXPECT_EQ(d.Edit2->text(), "0");
        d.Edit2->setText("600");
        emit d.Edit2->textEdited("600");
        EXPECT_EQ(m.MinValGraph(), 600.0);
        EXPECT_EQ(d.Edit1->text(), "600");
        setCheck(&d, "CheckBox3", true);
        EXPECT_FALSE(d.Edit1->isEnabled());
        EXPECT_TRUE(d.Edit1->text().isEmpty());
        EXPECT_EQ(m.MaxValGraph(), 500.0);

        setCheck(&d, "CheckBox5", false);
        EXPECT_FALSE(m.Axes.Visible());

        click(&d, "Button2");
        const QImage clip = QGuiApplication::clipboard()->image();
        EXPECT_EQ(clip.size(), m.size());
        EXPECT_FALSE(clip.isNull());
    });
    // The display changes no spectrum.
    ASSERT_EQ(SpectraList.Count(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(SpectraList[i].Values, before[static_cast<std::size_t>(i)]);
}

TEST_F(EEMDisplay, OneSpectrumGivesNoReadout) {
    auto& r = addRecord("one", 350, 1, std::vector<double>(101, 5.0));
    r.ExcitationWl = 300;
    RunCommand([](TEEMDia& d) {
        TPColor& m = *d.PColor1;
        EXPECT_EQ(m.Nx(), 2);  // one column shown twice
        m.RenderToImage();
        Move(m, PixelOf(m, 300, 400));
        EXPECT_TRUE(d.Label1->text().isEmpty());
    });
}

TEST_F(EEMDisplay, LogarithmWithoutPositiveValuesIsRefused) {
    ui::ScopedScriptedBackend ui;
    for (int i = 0; i < 3; ++i) addRecord("neg", 350, 1, std::vector<double>(101, -1.0 - i)).ExcitationWl = 300 + i;
    RunCommand([&](TEEMDia& d) {
        TPColor& m = *d.PColor1;
        const double v = m.GetValue(1, 20);
        setCheck(&d, "CheckBox4", true);
        EXPECT_FALSE(d.CheckBox4->isChecked());
        EXPECT_FALSE(d.Logarithm());
        EXPECT_EQ(m.GetValue(1, 20), v);
        EXPECT_TRUE(m.MaxMinValGraphAuto());
        ASSERT_FALSE(ui->messages.empty());
        EXPECT_EQ(ui->messages.back(), kEEMNoPositiveText);
    });
}

TEST_F(EEMDisplay, OtherUnitsAndHugeGridsLeaveTheMapEmpty) {
    ui::ScopedScriptedBackend ui;
    AddEmissionSeries();
    DisplayXUnit = SpecXWavenumber;
    TEEMDia wn(nullptr, 350, 450);
    EXPECT_EQ(wn.PColor1->Nx(), 0);
    EXPECT_TRUE(ui->messages.empty());
    wn.CheckBox4->setChecked(true);  // nothing to take the logarithm of
    EXPECT_FALSE(wn.CheckBox4->isChecked());
    DisplayXUnit = SpecXNanometer;
    SpectraList.Clear();
    addRecord("a", 0, 5e6, {1, 2, 3});
    addRecord("b", 0, 5e6, {1, 2, 3});
    TEEMDia huge(nullptr, 0, 1e7);
    EXPECT_EQ(huge.PColor1->Nx(), 0);
    ASSERT_EQ(ui->messages.size(), 1u);
    EXPECT_EQ(ui->messages[0], kEEMTooLargeText);
}

TEST_F(EEMDisplay, CommandNeedsCurves) {
    int shown = 0;
    SetModalRunner([&](QDialog& d) {
        ++shown;
        d.reject();
        return d.result();
    });
    win->Action("ShowEEM1")->trigger();
    EXPECT_EQ(shown, 0);
}
