#include "app/webcam_commands.h"

#include <QAction>
#include <QPointer>

#include <cstdlib>

#include "app/command_host.h"
#include "app/dialog_command.h"
#include "app/file_filters.h"
#include "app/dialogs/TfrmScreenshot.h"
#include "app/program_state.h"
#include "app/qt_ui_backend.h"
#include "core/file_names.h"
#include "core/helpers.h"
#include "platform/bmp_file.h"
#include "platform/data_folder.h"
#include "platform/errors.h"
#include "platform/frame_source.h"
#include "platform/jpeg_file.h"
#include "platform/scratch_file.h"
#include "platform/ui.h"
#include "platform/v4l2_camera.h"

namespace {

std::function<std::unique_ptr<TFrameSource>()> sourceFactory;
int liveLoops = 0;

std::unique_ptr<TFrameSource> connectSource() {
    if (sourceFactory) return sourceFactory();
    if (const char* c = std::getenv("VAROLUX32_CAMERA"); c && std::string(c) == "synthetic")
        return MakeSyntheticSource();
    return ConnectCaptureDriver(0);
}

std::string framePath() { return WritablePathBesideProgram(ProgramSettings.ProgramFolder, "cam.bmp"); }

void setChecked(TCommandHost& w, const char* name, bool on) {
    if (QAction* a = w.Action(name)) a->setChecked(on);
}

bool isChecked(TCommandHost& w, const char* name) {
    QAction* a = w.Action(name);
    return a && a->isChecked();
}

void replot(TCommandHost& w) {
    TReplotSteps steps;
    steps.AxisTitles = true;
    steps.Autoscale = true;
    w.ReplotSpectra(steps);
}

// The camera off: live acquisition ends, the device is released.
void disconnect(TCommandHost& w, TfrmScreenshot& f) {
    setChecked(w, "Get1", false);
    setChecked(w, "RunAcq1", false);
    f.Session.Disconnect();
    f.SetGrabEnabled(true);
}

}  // namespace

void SetWebcamSourceFactory(std::function<std::unique_ptr<TFrameSource>()> factory) {
    sourceFactory = std::move(factory);
}

TfrmScreenshot* WebcamWindow(TCommandHost& w) { return w.Window()->findChild<TfrmScreenshot*>("frmScreenshot"); }

void ConnectWebcamCommands(TCommandHost& w) {
    auto* f = new TfrmScreenshot(w.Window());
    f->hide();
    f->Session.ConnectSource = connectSource;
    TCommandHost* win = &w;
    f->OnSpectraChanged = [win] { replot(*win); };
    f->OnSettingsChanged = [win, f] { setChecked(*win, "SaveDark1", f->Session.Params.UseDark); };
    dialogcmd::connectToggle(w, "Get1", [win](bool on) { webcamcmd::Get1Click(*win, on); });
    dialogcmd::connectToggle(w, "RunAcq1", [win](bool on) { webcamcmd::RunAcq1Click(*win, on); });
    dialogcmd::connectToggle(w, "SaveDark1", [win](bool on) { webcamcmd::SaveDark1Click(*win, on); });
    dialogcmd::connectCommand(w, "Loadspectrumimage1", [win] { webcamcmd::Loadspectrumimage1Click(*win); });
}

void ReleaseWebcam(TCommandHost& w) {
    if (TfrmScreenshot* f = WebcamWindow(w)) {
        f->hide();
        disconnect(w, *f);
    }
}

namespace webcamcmd {

void Get1Click(TCommandHost& w, bool on) {
    TfrmScreenshot* f = WebcamWindow(w);
    if (!f) return;
    if (!on) {
        disconnect(w, *f);
        f->hide();
        f->ReleaseWebcamView();
        return;
    }
    f->Session.GrabFromCamera = true;
    f->Session.FramePath = framePath();
    if (!f->Session.Connected()) {
        try {
            f->Session.Connect(connectSource());
        } catch (const vx::Error& e) {
            setChecked(w, "Get1", false);
            ui::showMessage(e.what());
            return;
        }
    }
    setChecked(w, "Get1", true);
    f->show();
    f->raise();
    if (!f->GrabAndConvert(false)) {
        disconnect(w, *f);
        f->hide();
        return;
    }
    f->InitWebcamView(isChecked(w, "SaveDark1"));
    f->CreateLiveSpectrum();
    f->GrabAndConvert(true);
}

void RunAcq1Click(TCommandHost& w, bool on) {
    TfrmScreenshot* f = WebcamWindow(w);
    if (!f || !f->Session.Connected() || !f->Session.GrabFromCamera) {
        setChecked(w, "RunAcq1", false);
        ui::showMessage("Connect Webcam first!");
        return;
    }
    if (!on) {
        setChecked(w, "RunAcq1", false);
        f->SetGrabEnabled(true);
        return;
    }
    if (liveLoops > 0) return;  // the running loop goes on
    ++liveLoops;
    f->SetGrabEnabled(false);
    QPointer<QWidget> pw(w.Window());
    QPointer<TfrmScreenshot> pf(f);
    QPointer<QAction> run(w.Action("RunAcq1"));
    while (run && run->isChecked() && pf && !ShellClosing()) {
        if (!pf->GrabCycle()) {
            run->setChecked(false);
            break;
        }
        DelayWithMessages(50);
        if (!pw) break;
    }
    --liveLoops;
    if (pf) pf->SetGrabEnabled(true);
}

void SaveDark1Click(TCommandHost& w, bool on) {
    TfrmScreenshot* f = WebcamWindow(w);
    if (!f || !f->Session.Connected() || !f->Session.GrabFromCamera) {
        setChecked(w, "SaveDark1", !on);
        ui::showMessage("Connect Webcam first!");
        return;
    }
    if (!on) {
        f->Session.Params.UseDark = false;
    } else if (f->Session.Dark()) {
        f->Session.Params.UseDark = true;
    } else {
        f->Session.Params.UseDark = false;
        setChecked(w, "SaveDark1", false);
        ui::showMessage("Create dark spectrum first!");
    }
}

void Loadspectrumimage1Click(TCommandHost& w) {
    TfrmScreenshot* f = WebcamWindow(w);
    if (!f) return;
    const std::string path =
        ChooseFile(w.Window(), {.ObjectName = "OpenPicture",
                        .Title = {},
                        .Start = QString::fromStdString(ProgramSettings.OpenFolder),
                        .Filters = {"Bitmap image (*.bmp *.BMP)", "JPEG image (*.jpg *.JPG *.jpeg *.JPEG)"}});
    if (path.empty()) return;
    const std::string ext = LowerAscii(ExtensionOf(path));
    if (ext != "bmp" && ext != "jpg" && ext != "jpeg") {
        ui::showMessage("\"" + NameWithoutFolder(path) +
                        "\" is no spectrum image: only bitmap (.bmp) and JPEG (.jpg) pictures can be loaded.");
        return;
    }
    const std::string cam = framePath();
    TFrame frame;
    try {
        frame = ext == "bmp" ? ReadBitmapFile(path) : ReadJpegFile(path);
        WriteScratchFile(cam, EncodeBitmap(frame));
    } catch (const vx::Error& e) {
        ui::showMessage(e.what());
        return;
    }
    // The picture takes the camera's place.
    disconnect(w, *f);
    f->Session.FramePath = cam;
    f->Session.SetStillImage(std::move(frame));
    f->show();
    f->raise();
    f->InitWebcamView(isChecked(w, "SaveDark1"));
    f->CreateLiveSpectrum();
    f->GrabAndConvert(true);
}

}  // namespace webcamcmd
