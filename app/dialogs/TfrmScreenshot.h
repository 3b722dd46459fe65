#pragma once
// The webcam window "Webcam spectrum image": the camera picture with the region of interest drawn on
// it, the measurement settings, and the buttons that grab frames and keep dark and reference spectra.
// The work lives in TWebcamSession (tools/webcam_session.h); this window shows it.
#include <QWidget>

#include <functional>
#include <string>

#include "tools/webcam_session.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TRadioGroup;
class TWebcamImage;

class TfrmScreenshot : public QWidget {
    Q_OBJECT
public:
    explicit TfrmScreenshot(QWidget* parent = nullptr);

    TWebcamSession Session;
    // Called after every conversion that changed the spectra list (the main window re-plots) and after
    // settings changed the display units.
    std::function<void()> OnSpectraChanged;
    // Called when the window switched dark use or the measurement mode by itself (a spectrum was
    // dropped), so that the menu follows.
    std::function<void()> OnSettingsChanged;

    void InitWebcamView(bool useDarkChecked);
    void ReleaseWebcamView();
    // Grab (when grabbing from the camera) and, with `convert`, convert into the live record. Errors are
    // shown; false when nothing could be grabbed.
    bool GrabAndConvert(bool convert);
    void UpdateStatusLabels();
    // The next conversion makes a new live spectrum; it joins the list only when the picture gives one.
    void CreateLiveSpectrum();
    // One cycle of GRAB!: grab, convert, re-plot; false when the grab failed.
    bool GrabCycle();
    void SetGrabEnabled(bool on);
    // "Webcam Settings": the settings of the connected camera.
    void ShowVideoSourceDialog();

    // ----- event handlers of the controls
    void DarkButtonClick();
    void ReferenceButtonClick();
    void RMeasModeClick(int index);
    void cbFlipSpectrumClick();
    void cbWlRangeClick();
    void eStartWlChange();
    void eEndWlChange();
    void Button1Click();
    void cbUseROIClick();
    void bGrabClick();
    void DrawAllFigures(bool skipHandles = false);

    TWebcamImage* Image() const { return image_; }

private:
    void showResult(const TGrabResult& r);
    void fitImageControl();

    TWebcamImage* image_;
    QLabel* lWebcamName_;
    TRadioGroup* rMeasMode_;
    QCheckBox* cbFlip_;
    QCheckBox* cbWlRange_;
    QLineEdit* eStartWl_;
    QLineEdit* eEndWl_;
    QCheckBox* cbUseRoi_;
    QPushButton* darkButton_;
    QPushButton* referenceButton_;
    QPushButton* bGrab_;
    QPushButton* button1_;
    QLabel* lDark_;
    QLabel* lRef_;
    QLabel* lBlue_;
    QLabel* lGreen_;
    QLabel* lRed_;
    QLabel* lStatus_;
};

// The image control: the picture stretched over the control, the ROI shapes and their handles, and the
// mouse editing (ImageMouseDown, ImageMouseMove, ImageMouseUp).
class TWebcamImage : public QWidget {
    Q_OBJECT
public:
    TWebcamImage(TWebcamSession& session, QWidget* parent);
    void SetEditing(bool on);
    void ImageMouseDown(bool left, bool shift, int x, int y);
    void ImageMouseMove(int x, int y);
    void ImageMouseUp(bool left, int x, int y);
    bool SkipHandles = false;
    // Called when a drag ended (the ROI changed).
    std::function<void()> OnRoiChanged;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void apply(const TMouseOutcome& out);
    TWebcamSession& session_;
    std::unique_ptr<TShapeEditor> editor_;
    TVectorGraphicsList* editing_ = nullptr;
};
