#include "app/dialogs/TfrmScreenshot.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

#include "app/dialogs/TWebcamSettingsDia.h"
#include "app/dialogs/radio_group.h"
#include "app/dialogs/tool_dialog.h"
#include "core/date_time.h"
#include "core/helpers.h"
#include "core/spectra_list.h"
#include "core/units.h"
#include "platform/ui.h"
#include "platform/v4l2_camera.h"

namespace {

// The largest image control; pictures are stretched to fit it with their proportions kept.
constexpr int kImageBoxWidth = 640;
constexpr int kImageBoxHeight = 480;

QColor colorOf(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

class PainterCanvas : public TShapeCanvas {
public:
    explicit PainterCanvas(QPainter& p) : p_(p) {}
    void Rectangle(TPoint a, TPoint b, uint32_t pen, uint8_t style, int32_t width) override {
        QPen qp(colorOf(pen), width);
        qp.setStyle(style == 1 ? Qt::DashLine : style == 2 ? Qt::DotLine : Qt::SolidLine);
        qp.setJoinStyle(Qt::MiterJoin);
        p_.setPen(qp);
        p_.setBrush(Qt::NoBrush);
        p_.drawRect(QRect(QPoint(std::min(a.x, b.x), std::min(a.y, b.y)), QPoint(std::max(a.x, b.x), std::max(a.y, b.y))));
    }
    void Handle(TPoint c, uint32_t pen, int32_t a, uint32_t fill) override {
        p_.setPen(QPen(colorOf(pen), 1));
        p_.setBrush(colorOf(fill));
        p_.drawRect(QRect(c.x - a, c.y - a, 2 * a, 2 * a));
    }

private:
    QPainter& p_;
};

std::string nowText() { return DateTimeToText(NowDateTime()); }

QLabel* label(QWidget* parent, const char* name, const QString& text) {
    auto* l = new QLabel(text, parent);
    if (name) l->setObjectName(name);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

}  // namespace

// ----- image control

TWebcamImage::TWebcamImage(TWebcamSession& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName("Image_Webcam");
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TWebcamImage::SetEditing(bool on) {
    editing_ = on ? session_.Roi() : nullptr;
    editor_ = editing_ ? std::make_unique<TShapeEditor>(*editing_) : nullptr;
    if (editor_) editor_->SetImageSize(width(), height());
}

void TWebcamImage::apply(const TMouseOutcome& out) {
    switch (out.Cursor) {
    case TEditCursor::SizeAll: setCursor(Qt::SizeAllCursor); break;
    case TEditCursor::Drag: setCursor(Qt::ClosedHandCursor); break;
    case TEditCursor::Default: unsetCursor(); break;
    }
    if (out.Redraw) update();
}

void TWebcamImage::ImageMouseDown(bool left, bool shift, int x, int y) {
    if (session_.Roi() != editing_) SetEditing(session_.Roi() != nullptr);
    if (!editor_) return;
    editor_->SetImageSize(width(), height());
    apply(editor_->MouseDown(left, shift, x, y));
    SkipHandles = editor_->DragState() != 0;
}

void TWebcamImage::ImageMouseMove(int x, int y) {
    if (!editor_ || session_.Roi() != editing_) return;
    apply(editor_->MouseMove(x, y));
}

void TWebcamImage::ImageMouseUp(bool left, int x, int y) {
    if (!editor_ || session_.Roi() != editing_) return;
    const bool dragging = editor_->DragState() != 0;
    const TMouseOutcome out = editor_->MouseUp(left, x, y);
    SkipHandles = false;
    apply(out);
    if (dragging && OnRoiChanged) OnRoiChanged();
}

void TWebcamImage::mousePressEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    ImageMouseDown(e->button() == Qt::LeftButton, e->modifiers() & Qt::ShiftModifier, p.x(), p.y());
}

void TWebcamImage::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    ImageMouseMove(p.x(), p.y());
}

void TWebcamImage::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    ImageMouseUp(e->button() == Qt::LeftButton, p.x(), p.y());
}

void TWebcamImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const TFrame& f = session_.Frame();
    if (f.Empty()) {
        p.fillRect(rect(), Qt::black);
    } else {
        // The frame's bytes are blue, green, red, unused: QImage's RGB32 on a little-endian machine.
        const QImage img(f.Bgra.data(), f.Width, f.Height, f.Width * 4, QImage::Format_RGB32);
        p.drawImage(rect(), img);
    }
    if (TVectorGraphicsList* roi = session_.Roi(); roi && session_.UseRoi) {
        PainterCanvas canvas(p);
        roi->DrawAll(canvas);
        if (!SkipHandles) roi->DrawSelectedHandles(canvas);
    }
}

// ----- the window

// A non-modal window of the dialog type, transient for the main window: the window manager keeps it in
// front of the main window, and the main window's modal dialogs and message boxes, transient for the same
// window, in front of it. Kept on top of every window, it would hide them, and a modal dialog that cannot
// be seen makes the program look frozen. (A plain Qt::Window gets no transient parent on X11 and falls
// behind the main window as soon as that is clicked.)
TfrmScreenshot::TfrmScreenshot(QWidget* parent) : QWidget(parent, Qt::Dialog) {
    setObjectName("frmScreenshot");
    setWindowTitle("Webcam spectrum image");
    auto* lay = new QHBoxLayout(this);
    image_ = new TWebcamImage(Session, this);
    image_->setFixedSize(kImageBoxWidth, kImageBoxHeight);
    lay->addWidget(image_, 0, Qt::AlignTop);

    auto* side = new QWidget(this);
    auto* col = new QVBoxLayout(side);
    col->setContentsMargins(0, 0, 0, 0);
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(label(side, "Label1", "Webcam:"));
    lWebcamName_ = label(side, "LwebcamName", "none");
    lWebcamName_->setWordWrap(true);
    nameRow->addWidget(lWebcamName_, 1);
    col->addLayout(nameRow);

    rMeasMode_ = new TRadioGroup(side, "RMeasMode", "Measurement Mode", {"Intensity", "Transmittance", "Absorbance"}, 0);
    col->addWidget(rMeasMode_);
    cbFlip_ = NewCheck(side, "cbFlipSpectrum", "Flip horizontally", false);
    col->addWidget(cbFlip_);
    cbWlRange_ = NewCheck(side, "cbWlRange", "Set wl range:", false);
    col->addWidget(cbWlRange_);
    auto* wl = new QGridLayout;
    eStartWl_ = NewEdit(side, "eStartWl", "");
    eEndWl_ = NewEdit(side, "eEndWl", "");
    wl->addWidget(label(side, nullptr, "left:"), 0, 0);
    wl->addWidget(eStartWl_, 0, 1);
    wl->addWidget(label(side, nullptr, "nm"), 0, 2);
    wl->addWidget(label(side, nullptr, "right:"), 1, 0);
    wl->addWidget(eEndWl_, 1, 1);
    wl->addWidget(label(side, nullptr, "nm"), 1, 2);
    col->addLayout(wl);
    cbUseRoi_ = NewCheck(side, "cbUseROI", "use spectrum ROI", true);
    col->addWidget(cbUseRoi_);

    auto* store = new QGridLayout;
    darkButton_ = button(side, "DarkButton", "Save dark spectrum");
    referenceButton_ = button(side, "ReferenceButton", "Save ref. spectrum");
    lDark_ = label(side, "LDark", "none");
    lRef_ = label(side, "LRef", "none");
    store->addWidget(darkButton_, 0, 0);
    store->addWidget(lDark_, 0, 1);
    store->addWidget(referenceButton_, 1, 0);
    store->addWidget(lRef_, 1, 1);
    col->addLayout(store);

    auto* clip = new QGridLayout;
    lBlue_ = label(side, "lBlue", "Clip!");
    lGreen_ = label(side, "lGreen", "Clip!");
    lRed_ = label(side, "lRed", "Clip!");
    clip->addWidget(label(side, nullptr, "Blue:"), 0, 0);
    clip->addWidget(lBlue_, 0, 1);
    clip->addWidget(label(side, nullptr, "Green:"), 1, 0);
    clip->addWidget(lGreen_, 1, 1);
    clip->addWidget(label(side, nullptr, "Red:"), 2, 0);
    clip->addWidget(lRed_, 2, 1);
    col->addLayout(clip);

    bGrab_ = button(side, "bGrab", "GRAB!");
    QFont big = bGrab_->font();
    big.setBold(true);
    bGrab_->setFont(big);
    col->addWidget(bGrab_);
    button1_ = button(side, "Button1", "Webcam Settings");
    col->addWidget(button1_);
    lStatus_ = label(side, "LStatus", "");
    lStatus_->setWordWrap(true);
    col->addWidget(lStatus_);
    col->addStretch(1);
    side->setFixedWidth(220);
    lay->addWidget(side);

    for (int i = 0; i < 3; ++i) {
        auto* b = rMeasMode_->findChild<QRadioButton*>(QString("RMeasMode_%1").arg(i));
        connect(b, &QRadioButton::clicked, this, [this, i] { RMeasModeClick(i); });
    }
    connect(cbFlip_, &QCheckBox::clicked, this, [this] { cbFlipSpectrumClick(); });
    connect(cbWlRange_, &QCheckBox::clicked, this, [this] { cbWlRangeClick(); });
    connect(eStartWl_, &QLineEdit::textChanged, this, [this] { eStartWlChange(); });
    connect(eEndWl_, &QLineEdit::textChanged, this, [this] { eEndWlChange(); });
    connect(cbUseRoi_, &QCheckBox::clicked, this, [this] { cbUseROIClick(); });
    connect(darkButton_, &QPushButton::clicked, this, [this] { DarkButtonClick(); });
    connect(referenceButton_, &QPushButton::clicked, this, [this] { ReferenceButtonClick(); });
    connect(bGrab_, &QPushButton::clicked, this, [this] { bGrabClick(); });
    connect(button1_, &QPushButton::clicked, this, [this] { Button1Click(); });
    image_->OnRoiChanged = [this] { lStatus_->clear(); };
    cbWlRangeClick();
    UpdateStatusLabels();
    if (QScreen* s = QApplication::primaryScreen()) {
        adjustSize();
        move(s->availableGeometry().center() - rect().center());
    }
}

void TfrmScreenshot::fitImageControl() {
    const TFrame& f = Session.Frame();
    if (f.Empty()) return;
    const double scale = std::min(double(kImageBoxWidth) / f.Width, double(kImageBoxHeight) / f.Height);
    const int w = std::max(1, static_cast<int>(f.Width * scale + 0.5));
    const int h = std::max(1, static_cast<int>(f.Height * scale + 0.5));
    const bool changed = w != Session.ControlWidth || h != Session.ControlHeight;
    Session.ControlWidth = w;
    Session.ControlHeight = h;
    image_->setFixedSize(w, h);
    // A new picture size: the ROI starts afresh inside it.
    if (changed && Session.Roi()) {
        Session.CreateDefaultRoi();
        image_->SetEditing(true);
    }
}

void TfrmScreenshot::InitWebcamView(bool useDarkChecked) {
    std::string name = ListCaptureDrivers();
    if (name.empty()) name = Session.GrabFromCamera && Session.Source() ? Session.Source()->Name() : "none";
    Session.Params.Flip = cbFlip_->isChecked();
    Session.Params.WlRangeOn = cbWlRange_->isChecked();
    Session.Params.StartWl = WavelengthEditValue(S(eStartWl_->text()));
    Session.Params.EndWl = WavelengthEditValue(S(eEndWl_->text()));
    Session.UseRoi = cbUseRoi_->isChecked();
    fitImageControl();
    if (Session.ControlWidth <= 0) {
        Session.ControlWidth = image_->width();
        Session.ControlHeight = image_->height();
    }
    Session.InitView(name, useDarkChecked);
    rMeasMode_->SetItemIndex(0);
    image_->SetEditing(Session.Roi() != nullptr);
    lStatus_->clear();
    UpdateStatusLabels();
    DrawAllFigures();
}

void TfrmScreenshot::ReleaseWebcamView() {
    Session.ReleaseView();
    image_->SetEditing(false);
    UpdateStatusLabels();
    DrawAllFigures();
}

void TfrmScreenshot::showResult(const TGrabResult& r) {
    if (!r.Error.empty()) ui::showMessage(r.Error);
    for (const std::string& m : r.Messages) ui::showMessage(m);
    lStatus_->setText(QString::fromStdString(r.Status));
    if (!r.Messages.empty()) {
        // A dropped reference ends the ratio modes: back to Intensity, shown as such.
        if (Session.Params.MeasYKind == SpecYIntensity && rMeasMode_->ItemIndex() != 0) {
            rMeasMode_->SetItemIndex(0);
            DisplayYMode = SpecYAbsorbance;
        }
        if (OnSettingsChanged) OnSettingsChanged();
    }
    UpdateStatusLabels();
    DrawAllFigures();
}

bool TfrmScreenshot::GrabAndConvert(bool convert) {
    Session.Params.Flip = cbFlip_->isChecked();
    Session.Params.WlRangeOn = cbWlRange_->isChecked();
    const TGrabResult r = Session.GrabAndConvert(SpectraList, convert, nowText());
    fitImageControl();
    showResult(r);
    if (r.Converted && OnSpectraChanged) OnSpectraChanged();
    return r.Error.empty();
}

void TfrmScreenshot::UpdateStatusLabels() {
    lWebcamName_->setText(QString::fromStdString(Session.DriverText));
    lDark_->setText(Session.Dark() ? " OK" : "none");
    lRef_->setText(Session.Reference() ? " OK" : "none");
    lBlue_->setText(Session.Clip.BlueOk ? "OK" : "Clip!");
    lGreen_->setText(Session.Clip.GreenOk ? "OK" : "Clip!");
    lRed_->setText(Session.Clip.RedOk ? "OK" : "Clip!");
    const bool ref = Session.Reference() != nullptr;
    if (!ref) {
        Session.Params.MeasYKind = SpecYIntensity;
        Session.Params.RatioMode = false;
        rMeasMode_->SetItemIndex(0);
    }
    for (int i = 1; i < 3; ++i)
        if (auto* b = rMeasMode_->findChild<QRadioButton*>(QString("RMeasMode_%1").arg(i))) b->setEnabled(ref);
}

void TfrmScreenshot::CreateLiveSpectrum() { Session.NewLiveSpectrum(); }

bool TfrmScreenshot::GrabCycle() { return GrabAndConvert(true); }

void TfrmScreenshot::SetGrabEnabled(bool on) { bGrab_->setEnabled(on); }

void TfrmScreenshot::DarkButtonClick() {
    const TGrabResult r = Session.SaveDarkSpectrum(SpectraList, nowText());
    showResult(r);
    if (r.Converted && OnSpectraChanged) OnSpectraChanged();
}

void TfrmScreenshot::ReferenceButtonClick() {
    const TGrabResult r = Session.SaveReferenceSpectrum(SpectraList, nowText());
    showResult(r);
    if (r.Converted && OnSpectraChanged) OnSpectraChanged();
}

void TfrmScreenshot::RMeasModeClick(int index) {
    if (index > 0 && !Session.Reference()) index = 0;
    switch (index) {
    case 1:
        Session.Params.RatioMode = true;
        Session.Params.MeasYKind = SpecYTransmittance;
        DisplayYMode = SpecYTransmittance;
        break;
    case 2:
        Session.Params.RatioMode = true;
        Session.Params.MeasYKind = SpecYAbsorbance;
        DisplayYMode = SpecYAbsorbance;
        break;
    default:
        Session.Params.RatioMode = false;
        Session.Params.MeasYKind = SpecYIntensity;
        DisplayYMode = SpecYAbsorbance;
        break;
    }
    rMeasMode_->SetItemIndex(index);
    if (OnSpectraChanged) OnSpectraChanged();
}

void TfrmScreenshot::cbFlipSpectrumClick() { Session.Params.Flip = cbFlip_->isChecked(); }

void TfrmScreenshot::cbWlRangeClick() {
    const bool on = cbWlRange_->isChecked();
    Session.Params.WlRangeOn = on;
    for (QLineEdit* e : {eStartWl_, eEndWl_}) SetGreyed(e, !on);
}

void TfrmScreenshot::eStartWlChange() { Session.Params.StartWl = WavelengthEditValue(S(eStartWl_->text())); }

void TfrmScreenshot::eEndWlChange() { Session.Params.EndWl = WavelengthEditValue(S(eEndWl_->text())); }

void TfrmScreenshot::Button1Click() { ShowVideoSourceDialog(); }

void TfrmScreenshot::ShowVideoSourceDialog() {
    TFrameSource* src = Session.GrabFromCamera ? Session.Source() : nullptr;
    if (!src) {
        ui::showMessage("Connect Webcam first!");
        return;
    }
    TWebcamSettingsDia dia(*src, this);
    RunModal(dia);
}

void TfrmScreenshot::cbUseROIClick() {
    Session.UseRoi = cbUseRoi_->isChecked();
    if (Session.UseRoi) {
        Session.EnsureRoi();
        image_->SetEditing(true);
    } else {
        image_->SetEditing(false);
    }
    DrawAllFigures();
}

void TfrmScreenshot::bGrabClick() {
    GrabCycle();
    DelayWithMessages(50);
}

void TfrmScreenshot::DrawAllFigures(bool skipHandles) {
    if (TVectorGraphicsList* roi = Session.Roi(); roi && roi->SelectedCount() == 0) roi->SelectIndex(-1);
    image_->SkipHandles = skipHandles;
    image_->update();
}
