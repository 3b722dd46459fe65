#pragma once
// The Qt side of the ui layer: message boxes, the query dialogs, the desktop's URL opener and the
// clipboard; the top-level error handler; the event-processing wait behind DelayWithMessages.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <QApplication>
#include <QString>
#include <QUrl>

#include "platform/ui.h"

class QtUiBackend : public ui::Backend {
public:
    void showMessage(const std::string& text) override;
    ui::Answer messageBox(const std::string& text, const std::string& caption, ui::Buttons buttons,
                          ui::Icon icon) override;
    bool ask(ui::Query& query) override;
    // A file URL with a fragment (a help page at its section) goes to the desktop as a small page that
    // jumps there (platform/anchor_redirect.h), so that the section survives openers that drop it.
    bool openUrl(const std::string& url) override;
    std::string clipboardText() override;
    void setClipboardText(const std::string& text) override;
    // Into the status sink (the main window's status bar panel and progress bar).
    void setStatus(int panel, const std::string& text) override;
    void setProgress(int value, int maximum) override;
};

// Where the Qt back end puts status texts and progress: the main window sets it when it is created
// and clears it when it goes. Without a sink (before the window, after it, in tests of dialogs alone)
// both are dropped.
struct TStatusSink {
    const void* Owner = nullptr;  // who set it: only the owner clears it
    std::function<void(int panel, const QString& text)> SetText;
    std::function<void(int value, int maximum)> SetProgress;  // value < 0 hides the progress
};
void SetStatusSink(TStatusSink sink);
// Removes the sink if `owner` set it (a later window's sink stays).
void ClearStatusSink(const void* owner);

// What hands a URL to the desktop (QDesktopServices::openUrl unless set; tests set it).
void SetDesktopOpener(std::function<bool(const QUrl&)> opener);

// Colour depth of the screen in bits per pixel (0 without a screen).
int32_t GetScreenBitsPerPixel();

// Installs QtUiBackend as the ui backend and the Qt wait as the DelayWithMessages handler.
void InstallQtUi();

// Shows the text of an error the program raised (or any std::exception) in a message box.
void ShowErrorBox(const std::string& text);
// Runs fn and shows any exception it raises in a message box instead of letting it escape; true when
// fn ended normally.
bool RunGuarded(const std::function<void()>& fn);

// The application object, named "Varolux32": every event handler runs guarded, so no exception escapes
// into Qt.
class VxApplication : public QApplication {
public:
    VxApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Closing: the main window sets the flag when it starts to close. Every wait loop leaves as soon as it
// is set, and the objects it used are freed only after all loops have ended.
void SetShellClosing(bool closing);
bool ShellClosing();
// Number of event-processing waits running now (nested waits count each).
int ActiveWaits();
// Waits ms milliseconds processing events; returns early when the program is closing.
void QtDelay(int ms);
// The hourglass while a command works, restored on every way out.
class TBusyCursor {
public:
    TBusyCursor();
    ~TBusyCursor();
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

// For loops that must not be interrupted (the Gauss fit): while it lives, the user's input (keys,
// mouse, wheel, touch) is dropped, and ProcessEvents counts as a wait, so that a close waits for the
// loop to leave.
class TUserInputBlock {
public:
    TUserInputBlock();
    ~TUserInputBlock();
    TUserInputBlock(const TUserInputBlock&) = delete;
    TUserInputBlock& operator=(const TUserInputBlock&) = delete;
    void ProcessEvents();

private:
    std::unique_ptr<QObject> filter_;
};
