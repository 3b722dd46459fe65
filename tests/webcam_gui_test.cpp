// The webcam window and the Spectrometer menu, offscreen, with the synthetic picture in place of a
// camera: connect, grab, dark and reference, modes, mouse editing of the ROI, live acquisition, the
// settings dialog, and Load spectrum image.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QImage>

#include <filesystem>

#include "app/TMainwin.h"
#include "app/file_filters.h"
#include "app/dialogs/TWebcamSettingsDia.h"
#include "app/dialogs/TfrmScreenshot.h"
#include "app/dialogs/tool_dialog.h"
#include "app/plot/Xygraph.h"
#include "app/program_state.h"
#include "app/qt_ui_backend.h"
#include "app/webcam_commands.h"
#include "app_test_support.h"
#include "core/helpers.h"
#include "core/units.h"
#include "platform/bmp_file.h"
#include "platform/errors.h"
#include "platform/frame_source.h"
#include "platform/ui.h"

namespace {

class WebcamGui : public ::testing::Test {
protected:
    void SetUp() override {
        AppTestSetUp();
        SetDelayHandler([](int32_t ms) { QtDelay(ms); });
        source_ = nullptr;
        SetWebcamSourceFactory([this]() -> std::unique_ptr<TFrameSource> {
            if (noCamera_) throw vx::FileError("No webcam found (no video capture device /dev/video0 .. /dev/video9).");
            auto s = MakeSyntheticSource(settings_);
            source_ = s.get();
            return s;
        });
        w_ = std::make_unique<TMainwin>();
        folder_ = TestFolder() + "prog" + std::to_string(++counter_) + "/";
        std::filesystem::create_directories(folder_);
        ProgramSettings.ProgramFolder = folder_;
        f_ = WebcamWindow(*w_);
        ASSERT_NE(f_, nullptr);
    }
    void TearDown() override {
        SetWebcamSourceFactory({});
        SetFileDialogRunner({});
        SetModalRunner({});
        w_.reset();
    }
    QAction* action(const char* name) { return w_->Action(name); }
    void connectWebcam() { action("Get1")->trigger(); }
    template <typename T>
    T* ctl(const char* name) {
        T* c = f_->findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QString text(const char* name) { return ctl<QLabel>(name)->text(); }
    void click(const char* name) { ctl<QAbstractButton>(name)->click(); }

    static inline int counter_ = 0;
    ui::ScopedScriptedBackend ui_;
    TSyntheticSettings settings_;
    TFrameSource* source_ = nullptr;
    bool noCamera_ = false;
    std::unique_ptr<TMainwin> w_;
    TfrmScreenshot* f_ = nullptr;
    std::string folder_;
};

}  // namespace

TEST_F(WebcamGui, ConnectShowsTheWindowAndPlotsTheLiveSpectrum) {
    for (const char* name : {"Get1", "RunAcq1", "SaveDark1", "Loadspectrumimage1"}) EXPECT_TRUE(action(name)->isEnabled()) << name;
    connectWebcam();
    EXPECT_TRUE(action("Get1")->isChecked());
    EXPECT_TRUE(f_->isVisible());
    EXPECT_EQ(f_->windowTitle(), "Webcam spectrum image");
    ASSERT_EQ(SpectraList.Count(), 1);
    const TSpectrumRecord& live = SpectraList[0];
    EXPECT_EQ(live.PointCount(), 541);  // the default ROI of a 640 x 480 frame
    EXPECT_EQ(live.SpecType, "LiveSpec");
    EXPECT_EQ(live.Comment1, "spectrometer name: synthetic picture - test source");
    EXPECT_EQ(w_->XYPlot()->KurvenAnzahl(), 1);
    EXPECT_EQ(w_->XYPlot()->XachsenText, "Pixel");
    EXPECT_EQ(text("LwebcamName"), "synthetic picture - test source");
    EXPECT_EQ(text("LDark"), "none");
    EXPECT_EQ(text("LRef"), "none");
    EXPECT_EQ(text("lBlue"), "OK");
    EXPECT_FALSE(ctl<QRadioButton>("RMeasMode_1")->isEnabled());
    EXPECT_FALSE(ctl<QRadioButton>("RMeasMode_2")->isEnabled());
    EXPECT_FALSE(ctl<QLineEdit>("eStartWl")->isEnabled());
    // The frame went to cam.bmp in the program folder.
    EXPECT_EQ(ReadBitmapFile(folder_ + "cam.bmp").Width, 640);
    // Off: hidden, the camera released.
    connectWebcam();
    EXPECT_FALSE(action("Get1")->isChecked());
    EXPECT_FALSE(f_->isVisible());
    EXPECT_FALSE(f_->Session.Connected());
    EXPECT_EQ(text("LwebcamName"), "none");
}

TEST_F(WebcamGui, WithoutACameraAClearMessageAndNothingConverted) {
    noCamera_ = true;
    connectWebcam();
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0], "No webcam found (no video capture device /dev/video0 .. /dev/video9).");
    EXPECT_FALSE(action("Get1")->isChecked());
    EXPECT_FALSE(f_->isVisible());
    EXPECT_TRUE(SpectraList.Empty());
    // Live acquisition and dark use refuse without a camera, and change nothing.
    action("RunAcq1")->trigger();
    action("SaveDark1")->trigger();
    ASSERT_EQ(ui_->messages.size(), 3u);
    EXPECT_EQ(ui_->messages[1], "Connect Webcam first!");
    EXPECT_EQ(ui_->messages[2], "Connect Webcam first!");
    EXPECT_FALSE(action("RunAcq1")->isChecked());
    EXPECT_FALSE(action("SaveDark1")->isChecked());
    EXPECT_TRUE(SpectraList.Empty());
}

TEST_F(WebcamGui, DarkUseNeedsADarkSpectrumAndReferenceEnablesTheRatioModes) {
    connectWebcam();
    action("SaveDark1")->trigger();
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0], "Create dark spectrum first!");
    EXPECT_FALSE(action("SaveDark1")->isChecked());
    source_->SetControl(kSyntheticBrightnessId, 20);
    click("DarkButton");
    EXPECT_EQ(text("LDark"), " OK");
    action("SaveDark1")->trigger();
    EXPECT_TRUE(action("SaveDark1")->isChecked());
    EXPECT_TRUE(f_->Session.Params.UseDark);
    source_->SetControl(kSyntheticBrightnessId, 128);
    click("ReferenceButton");
    EXPECT_EQ(text("LRef"), " OK");
    ASSERT_TRUE(ctl<QRadioButton>("RMeasMode_2")->isEnabled());
    click("RMeasMode_1");
    EXPECT_EQ(DisplayYMode, SpecYTransmittance);
    click("bGrab");
    const TSpectrumRecord& live = SpectraList[0];
    EXPECT_EQ(live.YKind, SpecYTransmittance);
    // The same light as the reference: transmittance 1 inside the colour band's columns.
    EXPECT_NEAR(SpecYValue(live, 270, CurrentDisplayState()), 1.0, 1e-9);
    click("RMeasMode_2");
    EXPECT_EQ(DisplayYMode, SpecYAbsorbance);
    click("bGrab");
    EXPECT_EQ(SpectraList[0].YKind, SpecYAbsorbance);
    click("RMeasMode_1");
    // A wider ROI drops the dark and the reference: Intensity again, shown as intensity.
    f_->Session.Roi()->Last()->First = {10, 10};
    click("bGrab");
    EXPECT_EQ(ui_->messages.size(), 3u);
    EXPECT_TRUE(ctl<QRadioButton>("RMeasMode_0")->isChecked());
    EXPECT_FALSE(ctl<QRadioButton>("RMeasMode_1")->isEnabled());
    EXPECT_EQ(DisplayYMode, SpecYAbsorbance);
    EXPECT_FALSE(action("SaveDark1")->isChecked());
    click("bGrab");
    EXPECT_EQ(SpectraList[0].YKind, SpecYIntensity);
}

TEST_F(WebcamGui, DraggingTheRoiChangesTheSpectrumAndDropsTheDarkWithAMessage) {
    connectWebcam();
    click("DarkButton");
    action("SaveDark1")->trigger();
    ASSERT_TRUE(f_->Session.Params.UseDark);
    // The top-left handle from (50, 50) to (150, 60) with the mouse.
    QWidget* img = ctl<QWidget>("Image_Webcam");
    QTest::mousePress(img, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    QTest::mouseMove(img, QPoint(100, 55));
    QTest::mouseMove(img, QPoint(150, 60));
    QTest::mouseRelease(img, Qt::LeftButton, Qt::NoModifier, QPoint(150, 60));
    EXPECT_EQ(f_->Session.Roi()->Last()->First, (TPoint{150, 60}));
    click("bGrab");
    EXPECT_EQ(SpectraList[0].PointCount(), 441);
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_NE(ui_->messages[0].find("dark spectrum does not fit"), std::string::npos);
    EXPECT_EQ(text("LDark"), "none");
    EXPECT_FALSE(action("SaveDark1")->isChecked());
    // A click outside deselects; "use spectrum ROI" off converts the whole picture.
    QTest::mouseClick(img, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(f_->Session.Roi()->SelectedCount(), 0);
    click("cbUseROI");
    click("bGrab");
    EXPECT_EQ(SpectraList[0].PointCount(), 640);
    click("cbUseROI");
    EXPECT_EQ(f_->Session.Roi()->SelectedCount(), 1);
}

TEST_F(WebcamGui, FlipWavelengthRangeAndADeletedLiveRecord) {
    connectWebcam();
    click("cbWlRange");
    EXPECT_TRUE(ctl<QLineEdit>("eStartWl")->isEnabled());
    ctl<QLineEdit>("eStartWl")->setText("400");
    ctl<QLineEdit>("eEndWl")->setText("940");
    click("bGrab");
    EXPECT_EQ(SpectraList[0].SourceKind, SpecSourceImage);
    EXPECT_EQ(SpectraList[0].FirstX, 400);
    EXPECT_EQ(SpectraList[0].StepX, 1.0);
    ctl<QLineEdit>("eEndWl")->setText("");
    click("cbFlipSpectrum");
    click("bGrab");
    EXPECT_EQ(SpectraList[0].SourceKind, SpecSourceWebcamLive);
    // Deleted from the list, with another spectrum loaded after it: GRAB! makes a new live record.
    SpectraList.AddWithDefaultColor(MakeRecord(400, 1, {1, 2, 3}, SpecXNanometer, SpecYAbsorbance, 0, "loaded"));
    DeleteSpectrum(SpectraList, 0);
    w_->StandardReplot();
    click("bGrab");
    ASSERT_EQ(SpectraList.Count(), 2);
    EXPECT_EQ(SpectraList[0].Title, "loaded");
    EXPECT_EQ(SpectraList[0].Values, (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(SpectraList[1].SpecType, "LiveSpec");
    EXPECT_EQ(w_->XYPlot()->KurvenAnzahl(), 2);
}

TEST_F(WebcamGui, LiveAcquisitionRepeatsUntilUncheckedAndDisablesGrab) {
    connectWebcam();
    int passes = 0;
    std::string firstTitle = SpectraList[0].Title;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        // The timer may fire once more while the last pass ends.
        if (++passes > 6) return;
        EXPECT_FALSE(ctl<QPushButton>("bGrab")->isEnabled());
        if (passes == 6) action("RunAcq1")->trigger();
    });
    watch.start(60);
    action("RunAcq1")->trigger();  // returns when the loop ended
    watch.stop();
    EXPECT_FALSE(action("RunAcq1")->isChecked());
    EXPECT_TRUE(ctl<QPushButton>("bGrab")->isEnabled());
    EXPECT_GE(passes, 6);
    EXPECT_EQ(SpectraList.Count(), 1);
}

TEST_F(WebcamGui, SettingsDialogShowsTheSourcesControlsAndWhiteFramesClip) {
    connectWebcam();
    SetModalRunner([](QDialog& d) {
        auto* dia = dynamic_cast<TWebcamSettingsDia*>(&d);
        EXPECT_NE(dia, nullptr);
        if (!dia) return 0;
        EXPECT_EQ(dia->windowTitle(), "Webcam Settings");
        EXPECT_EQ(dia->ControlCount(), 2);
        auto* pattern = dia->findChild<QComboBox*>(QString("Control%1").arg(kSyntheticPatternId));
        EXPECT_NE(pattern, nullptr);
        if (pattern) pattern->setCurrentIndex(3);  // White
        auto* bright = dia->findChild<QSpinBox*>(QString("Control%1").arg(kSyntheticBrightnessId));
        EXPECT_NE(bright, nullptr);
        if (bright) {
            EXPECT_EQ(bright->value(), 128);
        }
        return 1;
    });
    click("Button1");
    click("bGrab");
    EXPECT_EQ(text("lBlue"), "Clip!");
    EXPECT_EQ(text("lGreen"), "Clip!");
    EXPECT_EQ(text("lRed"), "Clip!");
    source_->SetControl(kSyntheticPatternId, 1);
    source_->SetControl(kSyntheticBrightnessId, 100);
    click("bGrab");
    EXPECT_EQ(text("lRed"), "OK");
}

TEST_F(WebcamGui, LoadSpectrumImageTakesBitmapsAndJpegsAndRefusesOtherFiles) {
    std::string chosen = TestFolder() + "spectrum.png";
    SetFileDialogRunner([&](const TFileDialogSpec&) { return TFileDialogChoice{{chosen}, 1}; });
    action("Loadspectrumimage1")->trigger();
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0],
              "\"spectrum.png\" is no spectrum image: only bitmap (.bmp) and JPEG (.jpg) pictures can be loaded.");
    EXPECT_TRUE(SpectraList.Empty());
    EXPECT_FALSE(f_->isVisible());
    // A damaged bitmap: its reader's message, nothing converted.
    chosen = WriteTestFile("broken.BMP", "BM");
    action("Loadspectrumimage1")->trigger();
    ASSERT_EQ(ui_->messages.size(), 2u);
    EXPECT_EQ(ui_->messages[1], "Not a bitmap file.");
    EXPECT_TRUE(SpectraList.Empty());
    // A good one: shown, saved as cam.bmp, converted over the default ROI.
    settings_.Width = 320;
    settings_.Height = 240;
    chosen = TestFolder() + "band.Bmp";
    WriteBitmapFile(chosen, SyntheticFrame(settings_));
    action("Loadspectrumimage1")->trigger();
    EXPECT_EQ(ui_->messages.size(), 2u);
    EXPECT_TRUE(f_->isVisible());
    ASSERT_EQ(SpectraList.Count(), 1);
    // The 320 x 240 picture is shown 640 x 480: ROI (50, 50)-(590, 430) is columns 25 to 295.
    EXPECT_EQ(SpectraList[0].PointCount(), 271);
    EXPECT_EQ(ReadBitmapFile(folder_ + "cam.bmp").Width, 320);
    EXPECT_FALSE(action("Get1")->isChecked());
    // A JPEG picture goes through cam.bmp too.
    QImage jpeg(200, 100, QImage::Format_RGB32);
    jpeg.fill(QColor(40, 200, 90));
    chosen = TestFolder() + "photo.JPG";
    ASSERT_TRUE(jpeg.save(QString::fromStdString(chosen), "JPG"));
    action("Loadspectrumimage1")->trigger();
    EXPECT_EQ(ui_->messages.size(), 2u);
    ASSERT_EQ(SpectraList.Count(), 2);
    EXPECT_EQ(ReadBitmapFile(folder_ + "cam.bmp").Width, 200);
    EXPECT_EQ(SpectraList[1].PointCount(), f_->Session.ConversionRange().Columns());
    EXPECT_NEAR(SpectraList[1].Values[10], (40 + 200 + 90) / 3 * f_->Session.ConversionRange().Rows() / 199.0, 2.0);
    // A still image is no camera: live acquisition refuses.
    action("RunAcq1")->trigger();
    EXPECT_EQ(ui_->messages.back(), "Connect Webcam first!");
}

TEST_F(WebcamGui, TheWindowBelongsToTheMainWindowAndNeverStaysInFrontOfItsDialogs) {
    w_->show();
    connectWebcam();
    ASSERT_TRUE(f_->isVisible());
    // Kept on top of everything, it would hide the Open dialog and every message box of the main window.
    EXPECT_FALSE(f_->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(f_->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(f_->isWindow());
    // A non-modal window transient for the main window (the type that gets a transient parent on
    // X11): in front of the main window only, behind the dialogs shown after it.
    EXPECT_EQ(f_->windowType(), Qt::Dialog);
    EXPECT_EQ(f_->parentWidget(), w_.get());
    EXPECT_EQ(f_->windowHandle()->transientParent(), w_->windowHandle());
    EXPECT_EQ(f_->windowModality(), Qt::NonModal);
    // Shown again by Load spectrum image, it still is.
    connectWebcam();
    settings_.Width = 64;
    settings_.Height = 48;
    const std::string chosen = TestFolder() + "small.bmp";
    WriteBitmapFile(chosen, SyntheticFrame(settings_));
    SetFileDialogRunner([&](const TFileDialogSpec&) { return TFileDialogChoice{{chosen}, 1}; });
    action("Loadspectrumimage1")->trigger();
    ASSERT_TRUE(f_->isVisible());
    EXPECT_FALSE(f_->windowHandle()->flags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(f_->windowHandle()->transientParent(), w_->windowHandle());
}

TEST_F(WebcamGui, APictureOneColumnWideAddsNoSpectrumAndSaysSo) {
    settings_.Width = 1;
    settings_.Height = 40;
    const std::string chosen = TestFolder() + "line.bmp";
    WriteBitmapFile(chosen, SyntheticFrame(settings_));
    SetFileDialogRunner([&](const TFileDialogSpec&) { return TFileDialogChoice{{chosen}, 1}; });
    action("Loadspectrumimage1")->trigger();
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0],
              "The region of interest holds fewer than 2 columns of the picture: no live spectrum was added.");
    EXPECT_TRUE(SpectraList.Empty());
    EXPECT_EQ(w_->XYPlot()->KurvenAnzahl(), 0);
    EXPECT_TRUE(f_->isVisible());  // the picture is shown
}
