#pragma once
// The Spectrometer menu (Connect Webcam, Live Acquisition, Use Dark Spectrum) and File › Load spectrum
// image, driving the webcam window.
#include <functional>
#include <memory>
#include <string>

class TFrameSource;
class TCommandHost;
class TfrmScreenshot;

// Creates the webcam window (it lives as long as the host's window), enables and connects the actions
// "Get1", "RunAcq1", "SaveDark1" and "Loadspectrumimage1".
void ConnectWebcamCommands(TCommandHost& w);
// The main window's close: the webcam window hidden, the camera released.
void ReleaseWebcam(TCommandHost& w);
TfrmScreenshot* WebcamWindow(TCommandHost& w);

// Where "Connect Webcam" gets its pictures: capture driver 0, or with VAROLUX32_CAMERA=synthetic the
// synthetic test picture. Tests put their own source in place; an empty function restores the default.
void SetWebcamSourceFactory(std::function<std::unique_ptr<TFrameSource>()> factory);

namespace webcamcmd {
// `on` is the menu item's state after the click.
void Get1Click(TCommandHost& w, bool on);
void RunAcq1Click(TCommandHost& w, bool on);
void SaveDark1Click(TCommandHost& w, bool on);
void Loadspectrumimage1Click(TCommandHost& w);
}  // namespace webcamcmd
