#include "tools/webcam_session.h"

#include <algorithm>

#include "platform/bmp_file.h"
#include "platform/errors.h"
#include "platform/scratch_file.h"
#include "platform/v4l2_camera.h"

namespace {

std::string darkDroppedText(const TSpectrumRecord& dark, const TImageRange& range) {
    return "The dark spectrum does not fit the region of interest any more (" + std::to_string(dark.PointCount()) +
           " instead of " + std::to_string(range.Columns()) + " columns). It was dropped: no dark spectrum is subtracted.";
}

}  // namespace

TWebcamSession::TWebcamSession() {
    ConnectSource = [] { return ConnectCaptureDriver(0); };
}

void TWebcamSession::SetStillImage(TFrame frame) {
    frame_ = std::move(frame);
    GrabFromCamera = false;
}

void TWebcamSession::CreateDefaultRoi() {
    const int32_t w = ControlWidth > 0 ? ControlWidth : frame_.Width;
    const int32_t h = ControlHeight > 0 ? ControlHeight : frame_.Height;
    roi_ = std::make_unique<TVectorGraphicsList>();
    auto rect = MakeRoiRectangle({50, 50}, {w - 50, h - 50});
    rect->Normalize();
    roi_->Add(std::move(rect));
    ClampShapesToImage(*roi_, w, h);
    roi_->SelectIndex(roi_->Count() - 1);
}

void TWebcamSession::EnsureRoi() {
    if (!roi_ || roi_->Count() == 0) CreateDefaultRoi();
    else roi_->SelectIndex(roi_->Count() - 1);
}

TImageRange TWebcamSession::ConversionRange() const {
    const TVectorGraphicsNode* s = roi_ ? roi_->Last() : nullptr;
    if (!UseRoi || !s) return WholeImage(frame_);
    return RoiToImageRange(s->First.x, s->First.y, s->Second.x, s->Second.y, ControlWidth, ControlHeight,
                           frame_.Width, frame_.Height);
}

void TWebcamSession::InitView(const std::string& driverText, bool useDarkChecked) {
    DriverText = driverText;
    Clip = {};
    Params.UseDark = useDarkChecked && dark_;
    Params.MeasYKind = SpecYIntensity;
    Params.RatioMode = false;
    if (UseRoi) CreateDefaultRoi();
}

void TWebcamSession::ReleaseView() {
    DriverText = "none";
    roi_.reset();
}

TSpectrumRecord* TWebcamSession::LiveRecord(TSpectraList& list) const {
    if (liveIdentity_ == 0) return nullptr;
    const int32_t i = IndexOfIdentity(list, liveIdentity_);
    return i < 0 ? nullptr : &list[i];
}

void TWebcamSession::DropDark() {
    dark_.reset();
    Params.UseDark = false;
}

void TWebcamSession::DropReference() {
    reference_.reset();
    Params.RatioMode = false;
    Params.MeasYKind = SpecYIntensity;
}

bool TWebcamSession::GrabFrameToFile(TGrabResult& result) {
    if (!GrabFromCamera) return true;
    try {
        if (!source_) source_ = ConnectSource();
        TFrame f = source_->Grab();
        if (f.Empty()) throw vx::FileError("The webcam delivered no picture.");
        frame_ = std::move(f);
    } catch (const vx::Error& e) {
        result.Error = e.what();
        return false;
    }
    if (!FramePath.empty()) {
        try {
            WriteScratchFile(FramePath, EncodeBitmap(frame_));
        } catch (const vx::Error& e) {
            result.Status = e.what();
        }
    }
    return true;
}

TGrabResult TWebcamSession::GrabAndConvert(TSpectraList& list, bool convert, const std::string& dateText) {
    return run(list, convert, dateText, Stored::None);
}

TGrabResult TWebcamSession::SaveDarkSpectrum(TSpectraList& list, const std::string& dateText) {
    return run(list, true, dateText, Stored::Dark);
}

TGrabResult TWebcamSession::SaveReferenceSpectrum(TSpectraList& list, const std::string& dateText) {
    return run(list, true, dateText, Stored::Reference);
}

TGrabResult TWebcamSession::run(TSpectraList& list, bool convert, const std::string& dateText, Stored store) {
    TGrabResult result;
    if (!GrabFrameToFile(result)) return result;
    result.HasFrame = !frame_.Empty();
    if (!result.HasFrame) {
        result.Error = "There is no picture to convert: connect the webcam or load a spectrum image.";
        return result;
    }
    if (!convert) return result;

    const TImageRange range = ConversionRange();
    if (store != Stored::None) {
        // Dark and reference keep raw intensities: no ratio; the dark without the old dark.
        TWebcamParams raw = Params;
        raw.RatioMode = false;
        raw.MeasYKind = SpecYIntensity;
        raw.UseDark = store == Stored::Reference && Params.UseDark;
        TSpectrumRecord probe;
        probe.FileName = "none";
        probe.DateText = dateText;
        const TConversionResult r = ImageToSpectrum(probe, frame_, range, raw, dark_.get(), nullptr);
        if (r.Status != TConversionStatus::Converted) {
            result.Status = "The region of interest holds fewer than 2 columns of the picture: nothing was stored.";
            return result;
        }
        if (r.DarkUnfit) {
            result.Messages.push_back(darkDroppedText(*dark_, range));
            DropDark();
        }
        auto rec = MakeStoredSpectrum(store == Stored::Dark ? TStoredSpectrum::Dark : TStoredSpectrum::Reference,
                                      probe, DriverText, dateText);
        if (store == Stored::Dark) dark_ = std::move(rec);
        else reference_ = std::move(rec);
    }

    // A new live record joins the list only with a spectrum in it.
    std::unique_ptr<TSpectrumRecord> fresh;
    TSpectrumRecord* live = LiveRecord(list);
    if (!live) {
        fresh = MakeLiveSpectrum(list.Count(), std::max(frame_.Width, 2), Params.MeasYKind, DriverText, dateText);
        live = fresh.get();
    }
    const TConversionResult r = ImageToSpectrum(*live, frame_, range, Params, dark_.get(), reference_.get());
    if (r.Status != TConversionStatus::Converted) {
        if (fresh) {
            result.Error = "The region of interest holds fewer than 2 columns of the picture: no live spectrum was added.";
        } else {
            result.Status = "The region of interest holds fewer than 2 columns of the picture: the spectrum was kept.";
            result.LiveIndex = IndexOfIdentity(list, liveIdentity_);
        }
        return result;
    }
    if (fresh) {
        liveIdentity_ = fresh->Identity.Value();
        list.Add(std::move(fresh));
        result.LiveCreated = true;
    }
    result.LiveIndex = IndexOfIdentity(list, liveIdentity_);
    Clip = r.Clip;
    if (r.DarkUnfit) {
        result.Messages.push_back(darkDroppedText(*dark_, range));
        DropDark();
    }
    if (r.ReferenceUnfit) {
        result.Messages.push_back("The reference spectrum does not fit the region of interest any more (" +
                                  std::to_string(reference_->PointCount()) + " instead of " +
                                  std::to_string(range.Columns()) +
                                  " columns). It was dropped: the spectrum shows intensities.");
        DropReference();
    }
    live->Title = "live spectrum: " + dateText;
    live->DateText = dateText;
    result.Converted = true;
    return result;
}
