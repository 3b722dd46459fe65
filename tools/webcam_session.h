#pragma once
// The state and work behind the webcam window: the frame source, the picture of this session, the
// region of interest, the live record (found in the spectra list by its identity every time), and the
// dark and reference spectra with the rules that keep them fitting the conversion. GUI-free; the
// window shows what it holds and passes the user's settings in.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/spectra_list.h"
#include "platform/frame_source.h"
#include "tools/roi_shapes.h"
#include "tools/webcam_spectrum.h"

// What one grab or conversion did.
struct TGrabResult {
    bool HasFrame = false;   // a picture of this session is there
    bool Converted = false;  // the live record holds its spectrum
    int32_t LiveIndex = -1;  // the live record's list index
    bool LiveCreated = false;
    std::string Error;                  // nothing was converted or added: show it in a message box
    std::vector<std::string> Messages;  // a dark or reference spectrum was dropped: tell the user
    std::string Status;                 // shown in the window (too narrow ROI, frame file not written)
};

class TWebcamSession {
public:
    TWebcamSession();

    // ----- settings of the window
    TWebcamParams Params;
    bool UseRoi = true;
    bool GrabFromCamera = true;       // false: the loaded picture is converted
    std::string DriverText = "none";  // the webcam's name as shown
    TClipFlags Clip;
    int32_t ControlWidth = 0, ControlHeight = 0;  // the image control (0: the picture's size)
    std::string FramePath;                        // every grabbed frame is written here ("cam.bmp")
    // Connects the camera when a grab needs one (default: capture driver 0); raises vx::FileError.
    std::function<std::unique_ptr<TFrameSource>()> ConnectSource;

    // ----- source and picture
    void Connect(std::unique_ptr<TFrameSource> source) { source_ = std::move(source); }
    void Disconnect() { source_.reset(); }
    bool Connected() const { return source_ != nullptr; }
    TFrameSource* Source() { return source_.get(); }
    const TFrame& Frame() const { return frame_; }
    // A picture loaded by the user: converted instead of camera frames.
    void SetStillImage(TFrame frame);

    // ----- region of interest (absent until needed), in image-control coordinates
    TVectorGraphicsList* Roi() { return roi_.get(); }
    // A new list with one rectangle from (50, 50) to (control width - 50, control height - 50), normalised
    // and clamped to the control, made current and selected.
    void CreateDefaultRoi();
    void EnsureRoi();
    void FreeRoi() { roi_.reset(); }
    // The columns and rows converted: the last shape of the ROI, or the whole picture.
    TImageRange ConversionRange() const;

    // InitWebcamView: the name, clip flags OK, dark use from the menu (only with a dark spectrum),
    // intensity, a fresh ROI when it is used.
    void InitView(const std::string& driverText, bool useDarkChecked);
    // ReleaseWebcamView.
    void ReleaseView();

    // ----- records
    // The live record in `list` by its identity; nullptr when it was deleted.
    TSpectrumRecord* LiveRecord(TSpectraList& list) const;
    // The next conversion starts a new live record (appended once it holds a spectrum); the one before
    // stays in the list as an ordinary spectrum.
    void NewLiveSpectrum() { liveIdentity_ = 0; }
    const TSpectrumRecord* Dark() const { return dark_.get(); }
    const TSpectrumRecord* Reference() const { return reference_.get(); }
    void DropDark();       // and dark use off
    void DropReference();  // and back to intensity

    // GrabAndConvert: a new frame when grabbing from the camera (written to FramePath), then, when
    // `convert`, the conversion into the live record, named with `dateText`. Without a live record in
    // `list` a new one is appended once the picture gave a spectrum; a picture or region of interest of
    // fewer than 2 columns adds none and says so in the result's Error.
    TGrabResult GrabAndConvert(TSpectraList& list, bool convert, const std::string& dateText);
    // The raw spectrum of a new frame (dark off, no ratio, intensity) becomes the dark spectrum; the live
    // record is converted with it.
    TGrabResult SaveDarkSpectrum(TSpectraList& list, const std::string& dateText);
    // The same with the dark subtracted as set, for the reference spectrum.
    TGrabResult SaveReferenceSpectrum(TSpectraList& list, const std::string& dateText);

private:
    enum class Stored { None, Dark, Reference };
    TGrabResult run(TSpectraList& list, bool convert, const std::string& dateText, Stored store);
    // A new frame from the camera (connected first when needed), written to FramePath as a scratch
    // file (platform/scratch_file.h); a frame that cannot be written is still used (the status says why).
    bool GrabFrameToFile(TGrabResult& result);

    std::unique_ptr<TFrameSource> source_;
    TFrame frame_;  // only pictures of this session
    std::unique_ptr<TVectorGraphicsList> roi_;
    uint64_t liveIdentity_ = 0;
    std::unique_ptr<TSpectrumRecord> dark_, reference_;
};
